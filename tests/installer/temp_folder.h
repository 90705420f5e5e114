// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

#include "platform/files.h"
#include "platform/folder_text.h"

namespace installer_test {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = platform::AddTrailingBackslash(platform::TempFolder()) + "quenda-installer-test-" + std::to_string(stamp) +
            "-" + std::to_string(counter++);
    platform::CreateFolder(path_);
  }
  ~TempFolder() { platform::RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path() const { return path_ + platform::kPathSeparator; }  // with a trailing separator
  std::string operator/(const std::string& name) const { return path() + name; }

 private:
  std::string path_;
};

// A path written with "/" in the platform's form.
inline std::string P(std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
  return path;
}

}  // namespace installer_test
