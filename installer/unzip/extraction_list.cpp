#include "installer/unzip/extraction_list.h"

#include <algorithm>

#include "platform/files.h"

namespace installer {

void ExtractionList::AddRow(bool extracted, const std::string& target) {
  rows_.insert(rows_.begin(), (extracted ? "1" : "0") + target);
  if (rowAdded_) rowAdded_();
}

bool RowExtracted(const std::string& row) { return !row.empty() && row[0] == '1'; }

std::string RowTarget(const std::string& row) { return row.empty() ? std::string() : row.substr(1); }

RowLayout LayoutRow(int rowLeft, int rowRight, int clientWidth, int okTextWidth, int errorTextWidth) {
  int statusWidth = std::max(okTextWidth, errorTextWidth) + 5;
  return RowLayout{rowLeft + 2, clientWidth - statusWidth - 12, rowRight - statusWidth + 1};
}

std::string ShortenRowPath(const std::string& path, int maxWidth, const TextWidth& width) {
  if (width(path) <= maxWidth) return path;
  const char sep = platform::kPathSeparator;
  // A folder path keeps its last folder as the part that is never cut.
  std::string body = path;
  std::string tail;
  if (!body.empty() && body.back() == sep) {
    body.pop_back();
    tail = std::string(1, sep);
  }
  size_t lastSep = body.rfind(sep);
  if (lastSep == std::string::npos) return path;
  std::string name = body.substr(lastSep + 1) + tail;
  size_t firstSep = body.find(sep);
  std::string drive = body.substr(0, firstSep);
  // The folders between the drive and the name.
  std::vector<std::string> folders;
  for (size_t at = firstSep; at < lastSep;) {
    size_t next = body.find(sep, at + 1);
    folders.push_back(body.substr(at + 1, next - at - 1));
    at = next;
  }
  const std::string dots = "...";
  for (size_t folded = 1; folded <= folders.size(); ++folded) {
    std::string candidate = drive + sep + dots + sep;
    for (size_t i = folded; i < folders.size(); ++i) candidate += folders[i] + sep;
    candidate += name;
    if (width(candidate) <= maxWidth) return candidate;
  }
  std::string withoutDrive = dots + sep + name;
  if (width(withoutDrive) <= maxWidth) return withoutDrive;
  return name;
}

}  // namespace installer
