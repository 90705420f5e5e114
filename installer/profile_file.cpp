#include "installer/profile_file.h"

#include "installer/ansi_text.h"
#include "platform/files.h"

namespace installer {

namespace {

// The system reader takes blanks, tabs and the other ASCII white-space characters as blanks.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A value in matching double or single quotes loses them; a lone quote stays.
std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

ProfileFile ProfileFile::Parse(std::string_view text) {
  ProfileFile file;
  // Keys in front of the first section header belong to a section without a name, which no
  // lookup of a named section reaches.
  file.sections_.push_back(Section{});
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimSpace(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        file.sections_.push_back(Section{std::string(TrimSpace(line.substr(1, close - 1))), {}});
        continue;
      }
    }
    Key key;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      key.name = std::string(line);
    } else {
      key.name = std::string(TrimSpace(line.substr(0, equals)));
      key.value = std::string(TrimSpace(line.substr(equals + 1)));
    }
    file.sections_.back().keys.push_back(std::move(key));
  }
  return file;
}

ProfileFile ProfileFile::Load(const std::string& path) {
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return ProfileFile{};
  return Parse(text);
}

std::optional<std::string> ProfileFile::Lookup(std::string_view section, std::string_view key) const {
  section = TrimSpace(section);
  key = TrimSpace(key);
  for (size_t s = 1; s < sections_.size(); ++s) {
    if (!EqualsIgnoreCase(sections_[s].name, section)) continue;
    // Only the first section of that name is searched, and there the first key of the name.
    for (const Key& entry : sections_[s].keys) {
      if (!EqualsIgnoreCase(entry.name, key)) continue;
      // A line without "=" names a key without a value, which reads as absent.
      if (!entry.value) return std::nullopt;
      std::string_view value = StripQuotes(*entry.value);
      return std::string(value.substr(0, kMaxProfileValue));
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace installer
