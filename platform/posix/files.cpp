// POSIX implementation of the file services.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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
  if (handle_ != kInvalid) ::close(std::exchange(handle_, kInvalid));
}

File File::OpenRead(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return File();
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return File();
  }
  return File(fd);
}

File File::Create(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) {
    return File();
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd < 0 ? File() : File(fd);
}

int64_t File::Read(void* buffer, int64_t size) {
  if (!IsOpen()) return -1;
  int64_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    ssize_t n = ::read(handle_, out + total, static_cast<size_t>(size - total));
    if (n < 0) return -1;
    if (n == 0) break;
    total += n;
  }
  return total;
}

bool File::Write(const void* data, int64_t size) {
  if (!IsOpen()) return false;
  auto* in = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(handle_, in, static_cast<size_t>(size));
    if (n <= 0) return false;
    in += n;
    size -= n;
  }
  return true;
}

bool File::Seek(int64_t offset) {
  return IsOpen() && offset >= 0 && ::lseek(handle_, offset, SEEK_SET) == offset;
}

int64_t File::Size() const {
  struct stat st;
  if (!IsOpen() || ::fstat(handle_, &st) != 0) return -1;
  return st.st_size;
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
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }
bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }
bool RemoveFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

static std::string BaseName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool GetAttributes(const std::string& path, FileAttributes& attributes) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  attributes = {};
  attributes.link = S_ISLNK(st.st_mode);
  if (attributes.link) {
    struct stat target;
    if (::stat(path.c_str(), &target) == 0) st = target;
  }
  attributes.folder = S_ISDIR(st.st_mode);
  attributes.readOnly = !(st.st_mode & S_IWUSR);
  std::string base = BaseName(path);
  attributes.hidden = !base.empty() && base[0] == '.' && base != "." && base != "..";
  return true;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  return ::chmod(path.c_str(), mode) == 0;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  // The empty path is the current folder, as on Windows.
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry item;
    item.name = name;
    if (!GetAttributes(prefix + name, item.attributes)) continue;
    entries.push_back(std::move(item));
  }
  ::closedir(dir);
  return true;
}

bool SetFileTimeFromDos(const std::string& path, uint32_t dosDateTime) {
  uint32_t time = dosDateTime & 0xFFFF, date = dosDateTime >> 16;
  struct tm local = {};
  local.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  local.tm_mday = static_cast<int>(date & 0x1F);
  local.tm_hour = static_cast<int>((time >> 11) & 0x1F);
  local.tm_min = static_cast<int>((time >> 5) & 0x3F);
  local.tm_sec = static_cast<int>((time & 0x1F) * 2);
  local.tm_isdst = -1;
  time_t when = ::mktime(&local);
  if (when == static_cast<time_t>(-1)) return false;
  struct timespec times[2];
  times[0].tv_sec = when;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

uint32_t GetFileTimeAsDos(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  struct tm local;
  time_t when = st.st_mtime;
  if (!::localtime_r(&when, &local) || local.tm_year < 80) return 0;
  uint32_t date = static_cast<uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  uint32_t time = static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return (date << 16) | time;
}

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

bool SetCurrentFolder(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}

std::string ProgramPath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform
