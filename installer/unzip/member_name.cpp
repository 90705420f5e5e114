#include "installer/unzip/member_name.h"

namespace kudu {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// An element Windows would read as "..": dots and blanks only, at least two dots.
bool LeadsUpwards(std::string_view element) {
  size_t dots = 0;
  for (char c : element) {
    if (c == '.') {
      ++dots;
    } else if (c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

}  // namespace

bool IsUnsafeMemberName(std::string_view name) {
  if (name.empty() || IsSeparator(name.front())) return true;
  if (name.find(':') != std::string_view::npos) return true;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsSeparator(name[i])) continue;
    if (LeadsUpwards(name.substr(start, i - start))) return true;
    start = i + 1;
  }
  return false;
}

}  // namespace kudu
