#include "site/write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

#include "platform/files.h"
#include "site/document.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quenda::site {

namespace {

std::string Reason(int error) { return std::strerror(error != 0 ? error : EIO); }

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool ReadDocument(const std::string& path, std::string& text, std::string& reason) {
  text.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    reason = Reason(errno);
    return false;
  }
  // A folder opens on POSIX but is no document. A regular file is read in one allocation,
  // with room for the conversion to grow in the same block.
  struct stat info;
  if (fstat(fileno(f), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      std::fclose(f);
      reason = Reason(EISDIR);
      return false;
    }
    if (S_ISREG(info.st_mode) && info.st_size > 0) text.reserve(WorkingSize(static_cast<size_t>(info.st_size)));
  }
  errno = 0;
  char block[1 << 16];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) text.append(block, n);
  const bool ok = !std::ferror(f);
  const int error = errno;
  std::fclose(f);
  if (!ok) reason = Reason(error);
  return ok;
}

bool WriteReplacing(const std::string& path, const std::string& text, const std::string* keepModeOf,
                    std::string& reason) {
  std::string temp;
  FILE* f = nullptr;
  int error = 0;
  for (int attempt = 0; attempt < 100 && f == nullptr; ++attempt) {
    temp = path + ".tmp" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
    if (platform::FileExists(temp)) continue;
    f = std::fopen(temp.c_str(), "wb");
    error = errno;
    if (f == nullptr) break;
  }
  if (f == nullptr) {
    reason = Reason(error);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  error = errno;
#ifndef _WIN32
  struct stat original;
  if (ok && keepModeOf != nullptr && stat(keepModeOf->c_str(), &original) == 0 &&
      fchmod(fileno(f), original.st_mode & 07777) != 0) {
    ok = false;
    error = errno;
  }
#else
  (void)keepModeOf;
#endif
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && !ReplaceFile(temp, path)) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    std::remove(temp.c_str());
    reason = Reason(error);
  }
  return ok;
}

bool IsReadOnly(const std::string& path) {
  platform::FileAttributes attributes;
  return platform::GetAttributes(path, attributes) && attributes.readOnly;
}

std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !platform::IsPathSeparator(path[end - 1])) --end;
  while (end > 1 && platform::IsPathSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

bool CreateFolders(const std::string& folder, std::string& reason) {
  if (folder.empty() || platform::FolderExists(folder)) return true;
  const std::string parent = FolderOf(folder);
  if (parent != folder && !CreateFolders(parent, reason)) return false;
#ifdef _WIN32
  const bool made = CreateDirectoryA(folder.c_str(), nullptr) != 0;
  if (!made) errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EEXIST;
#else
  const bool made = mkdir(folder.c_str(), 0777) == 0;
#endif
  if (made || platform::FolderExists(folder)) return true;
  reason = "cannot create folder '" + folder + "': " + Reason(errno);
  return false;
}

}  // namespace quenda::site
