// Files and folders, as the portable layers need them. Paths are native: "\" separates on
// Windows, "/" on POSIX. Every operation reports failure by its result; none throws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The separator of this platform's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A character that separates path elements here: "/" everywhere, and "\" on Windows too.
inline constexpr bool IsPathSeparator(char c) { return c == '/' || (kPathSeparator == '\\' && c == '\\'); }

// An open file. Move-only; closes itself.
class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Opens an existing file for reading; other readers and writers are not locked out.
  static File OpenRead(const std::string& path);
  // Creates a file for writing, replacing an existing one. Fails on a read-only file
  // (also for a superuser on POSIX, where the missing owner write bit counts as read-only).
  static File Create(const std::string& path);

  bool IsOpen() const { return handle_ != kInvalid; }
  void Close();

  // Reads up to size bytes; returns the number read, or -1 on an error.
  int64_t Read(void* buffer, int64_t size);
  // Writes all bytes; false on an error or a short write.
  bool Write(const void* data, int64_t size);
  bool Seek(int64_t offset);
  // Size of the file in bytes, or -1.
  int64_t Size() const;

 private:
#ifdef _WIN32
  using Handle = void*;
  static inline Handle const kInvalid = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
#else
  using Handle = int;
  static constexpr Handle kInvalid = -1;
#endif
  explicit File(Handle handle) : handle_(handle) {}
  Handle handle_ = kInvalid;
};

// Whole-file helpers for tools and tests.
bool ReadWholeFile(const std::string& path, std::string& contents);
bool WriteWholeFile(const std::string& path, const std::string& contents);

bool FileExists(const std::string& path);    // an entry that is not a folder
bool FolderExists(const std::string& path);  // a folder (a trailing separator is allowed)
bool RemoveFile(const std::string& path);
bool CreateFolder(const std::string& path);  // one level; false if it exists or fails
bool RemoveFolder(const std::string& path);  // only when empty
// Removes the folder with everything below it, read-only files too; links are removed, not
// followed. True when the folder is gone.
bool RemoveTree(const std::string& folder);

// File attributes in the Windows sense; on POSIX read-only means no owner write bit,
// hidden means a name starting with ".", and system is never set.
struct FileAttributes {
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool folder = false;
  bool link = false;  // a symbolic link, junction or other reparse point
};
bool GetAttributes(const std::string& path, FileAttributes& attributes);
bool SetReadOnly(const std::string& path, bool readOnly);

// One entry of a folder listing, in the order the system lists them ("." and ".." left out).
struct FolderEntry {
  std::string name;
  FileAttributes attributes;
};
// Lists a folder (the empty text: the current folder); false when it cannot be listed.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Sets a file's last-write time from an MS-DOS date and time (high and low 16 bits of
// dosDateTime), taken as local time.
bool SetFileTimeFromDos(const std::string& path, uint32_t dosDateTime);
// The last-write time of a file as an MS-DOS date and time in local time (0 on failure).
uint32_t GetFileTimeAsDos(const std::string& path);

std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);
// The system's temporary folder as the system reports it (possibly without a trailing
// separator; empty when there is none).
std::string TempFolder();
// The full path of the running program.
std::string ProgramPath();
// Renames a file, replacing the target.
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace platform
