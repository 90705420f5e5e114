// Win32 implementation of the file services (ANSI API: paths are bytes in the ANSI code page).
#include "platform/files.h"

#include <windows.h>

#include <utility>

namespace platform {

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kInvalid)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kInvalid);
  }
  return *this;
}

File::~File() { Close(); }

void File::Close() {
  if (handle_ != kInvalid) CloseHandle(std::exchange(handle_, kInvalid));
}

File File::OpenRead(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? File() : File(h);
}

File File::Create(const std::string& path) {
  // Windows refuses to replace a read-only file; Wine running as a superuser does not, so
  // the attribute is checked here as well.
  DWORD a = GetFileAttributesA(path.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return File();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? File() : File(h);
}

int64_t File::Read(void* buffer, int64_t size) {
  if (!IsOpen()) return -1;
  int64_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    DWORD chunk = static_cast<DWORD>(size - total > (1 << 30) ? (1 << 30) : size - total);
    DWORD got = 0;
    if (!ReadFile(handle_, out + total, chunk, &got, nullptr)) return -1;
    if (got == 0) break;
    total += got;
  }
  return total;
}

bool File::Write(const void* data, int64_t size) {
  if (!IsOpen()) return false;
  auto* in = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(size > (1 << 30) ? (1 << 30) : size);
    DWORD put = 0;
    if (!WriteFile(handle_, in, chunk, &put, nullptr) || put == 0) return false;
    in += put;
    size -= put;
  }
  return true;
}

bool File::Seek(int64_t offset) {
  if (!IsOpen() || offset < 0) return false;
  LARGE_INTEGER to;
  to.QuadPart = offset;
  return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
}

int64_t File::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(handle_, &size)) return -1;
  return size.QuadPart;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  File file = File::OpenRead(path);
  int64_t size = file.Size();
  if (size < 0) return false;
  contents.resize(static_cast<size_t>(size));
  return file.Read(contents.data(), size) == size;
}

bool WriteWholeFile(const std::string& path, const std::string& contents) {
  File file = File::Create(path);
  return file.IsOpen() && file.Write(contents.data(), static_cast<int64_t>(contents.size()));
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }
bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

static FileAttributes FromWin32(DWORD a) {
  FileAttributes attributes;
  attributes.readOnly = (a & FILE_ATTRIBUTE_READONLY) != 0;
  attributes.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  attributes.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
  attributes.folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  attributes.link = (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return attributes;
}

bool GetAttributes(const std::string& path, FileAttributes& attributes) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  attributes = FromWin32(a);
  return true;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesA(path.c_str(), a) != 0;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({name, FromWin32(data.dwFileAttributes)});
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}

bool SetFileTimeFromDos(const std::string& path, uint32_t dosDateTime) {
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
      !LocalFileTimeToFileTime(&local, &utc)) {
    return false;
  }
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BOOL ok = SetFileTime(h, nullptr, nullptr, &utc);
  CloseHandle(h);
  return ok != 0;
}

uint32_t GetFileTimeAsDos(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
    return 0;
  }
  return (static_cast<uint32_t>(date) << 16) | time;
}

std::string CurrentFolder() {
  char buffer[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string TempFolder() {
  char buffer[2048];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string ProgramPath() {
  char buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool RenameFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace platform
