#include "authoring/windows1252.h"

#include <cstdint>
#include <cstdio>

namespace authoring {

namespace {

// Code points of Windows-1252's bytes 0x80..0x9F; 0 where the code page leaves a byte free.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes one sequence at text[pos]: its code point and length, or length 0 when invalid.
size_t Decode(std::string_view text, size_t pos, uint32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[pos + i]); };
  uint8_t lead = byte(0);
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || pos + length > text.size()) return 0;
  code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  static constexpr uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

size_t FirstMultiByte(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<uint8_t>(text[i]) >= 0x80) return i;
  }
  return std::string_view::npos;
}

bool LooksLikeUtf8(std::string_view text) {
  bool multiByte = false;
  uint32_t code = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length = Decode(text, pos, code);
    if (length == 0) return false;
    multiByte = multiByte || length > 1;
    pos += length;
  }
  return multiByte;
}

bool Utf8ToWindows1252(std::string_view text, std::string& result, std::string& unmappable) {
  result.clear();
  unmappable.clear();
  uint32_t code = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length = Decode(text, pos, code);
    if (length == 0) return false;
    int byte = code < 0x80 || (code >= 0xA0 && code <= 0xFF) ? static_cast<int>(code) : -1;
    for (int i = 0; i < 32 && byte < 0; ++i) {
      if (kHighControls[i] != 0 && kHighControls[i] == code) byte = 0x80 + i;
    }
    if (byte >= 0) {
      result += static_cast<char>(byte);
    } else {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X '", static_cast<unsigned>(code));
      std::string named = name + std::string(text.substr(pos, length)) + "'";
      if (unmappable.find(named) == std::string::npos) unmappable += (unmappable.empty() ? "" : ", ") + named;
    }
    pos += length;
  }
  return true;
}

}  // namespace authoring
