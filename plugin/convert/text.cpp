#include "plugin/convert/text.h"

#include <cstdint>
#include <cstring>

namespace quenda {

namespace {

struct CaseTables {
  unsigned char lower[256];
  unsigned char upper[256];
};

// Code page 1252 maps its upper-case letters to lower-case ones inside the same code page
// except for a handful: 0x8A/0x9A (Š/š), 0x8C/0x9C (Œ/œ), 0x8E/0x9E (Ž/ž), 0x9F/0xFF (Ÿ/ÿ), and
// the Latin-1 block 0xC0-0xDE/0xE0-0xFE without the multiplication and division signs. ß, µ,
// ª and º have no counterpart in the code page and stay as they are.
constexpr CaseTables MakeCaseTables() {
  CaseTables t{};
  for (int i = 0; i < 256; ++i) {
    t.lower[i] = static_cast<unsigned char>(i);
    t.upper[i] = static_cast<unsigned char>(i);
  }
  auto pair = [&t](int up, int low) {
    t.lower[up] = static_cast<unsigned char>(low);
    t.upper[low] = static_cast<unsigned char>(up);
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  pair(0x8A, 0x9A);
  pair(0x8C, 0x9C);
  pair(0x8E, 0x9E);
  pair(0x9F, 0xFF);
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) pair(c, c + 32);
  }
  return t;
}

constexpr CaseTables kCaseTables = MakeCaseTables();

std::string UpperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kCaseTables.upper[static_cast<unsigned char>(c)]);
  return out;
}

}  // namespace

int64_t FindPos(std::string_view pattern, std::string_view text) {
  if (pattern.empty() || text.empty()) return 0;
  size_t at = text.find(pattern);
  return at == std::string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
}

const unsigned char* LowerTable() { return kCaseTables.lower; }

std::string LowerText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kCaseTables.lower[static_cast<unsigned char>(c)]);
  return out;
}

std::string ReplaceText(std::string_view text, std::string_view oldPattern, std::string_view newText,
                        ReplaceFlags flags) {
  if (oldPattern.empty() || oldPattern.size() > text.size()) return std::string(text);
  // With ignoreCase the search runs over upper-cased copies, which have the same positions.
  std::string upperText;
  std::string upperPattern;
  std::string_view haystack = text;
  std::string_view needle = oldPattern;
  if (flags.ignoreCase) {
    upperText = UpperCopy(text);
    upperPattern = UpperCopy(oldPattern);
    haystack = upperText;
    needle = upperPattern;
  }
  std::string out;
  size_t from = 0;
  size_t at = haystack.find(needle);
  if (at == std::string_view::npos) return std::string(text);
  out.reserve(text.size() + (newText.size() > needle.size() ? (newText.size() - needle.size()) * 4 : 0));
  while (at != std::string_view::npos) {
    out.append(text.data() + from, at - from);
    out.append(newText);
    from = at + needle.size();
    if (!flags.replaceAll) break;
    at = haystack.find(needle, from);
  }
  out.append(text.data() + from, text.size() - from);
  return out;
}

}  // namespace quenda
