#include "plugin/convert/entities.h"

#include <cstddef>
#include <cstring>

#include "plugin/convert/steps.h"

namespace quenda {

namespace {

constexpr std::array<std::string_view, kSpecialCharCount> kCodes = {
    "161", "162", "163", "164", "165", "166", "167", "168", "169", "170", "171", "172",
    "173", "174", "175", "176", "177", "178", "179", "180", "181", "182", "183", "184",
    "185", "186", "187", "188", "189", "190", "191", "192", "193", "194", "195", "196",
    "197", "198", "199", "200", "201", "202", "203", "204", "205", "206", "207", "208",
    "209", "210", "211", "212", "213", "214", "215", "216", "217", "218", "219", "220",
    "221", "222", "223", "224", "225", "226", "227", "228", "229", "230", "231", "232",
    "233", "234", "235", "236", "237", "238", "239", "240", "241", "242", "243", "244",
    "245", "246", "247", "248", "249", "250", "251", "252", "253", "254", "255"};

constexpr std::array<std::string_view, kSpecialCharCount> kEntities = {
    "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;", "&sect;",   "&uml;",
    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "&shy;",    "&reg;",    "&macr;",   "&deg;",
    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",  "&micro;",  "&para;",   "&middot;", "&cedil;",
    "&sup1;",   "&ordm;",   "&raquo;",  "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&Agrave;",
    "&Aacute;", "&Acirc;",  "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;", "&Egrave;",
    "&Eacute;", "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",   "&ETH;",
    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",  "&Oslash;",
    "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",  "&szlig;",  "&agrave;",
    "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",  "&aelig;",  "&ccedil;", "&egrave;",
    "&eacute;", "&ecirc;",  "&euml;",   "&igrave;", "&iacute;", "&icirc;",  "&iuml;",   "&eth;",
    "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",  "&otilde;", "&ouml;",   "&divide;", "&oslash;",
    "&ugrave;", "&uacute;", "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;"};

bool IsSpecial(unsigned char c) { return c >= kFirstSpecialChar; }

// Every entity padded to the longest one, so that one fixed-size copy writes any of them.
constexpr size_t kEntitySlot = 8;
struct EntitySlots {
  char text[kSpecialCharCount][kEntitySlot];
  unsigned char length[kSpecialCharCount];
};

constexpr EntitySlots MakeEntitySlots() {
  EntitySlots slots{};
  for (size_t i = 0; i < kEntities.size(); ++i) {
    for (size_t k = 0; k < kEntities[i].size(); ++k) slots.text[i][k] = kEntities[i][k];
    slots.length[i] = static_cast<unsigned char>(kEntities[i].size());
  }
  return slots;
}

constexpr EntitySlots kSlots = MakeEntitySlots();

constexpr bool FitSlots() {
  for (std::string_view entity : kEntities) {
    if (entity.size() > kEntitySlot) return false;
  }
  return true;
}
static_assert(FitSlots());

}  // namespace

const std::array<std::string_view, kSpecialCharCount>& SpecialBox1() { return kCodes; }
const std::array<std::string_view, kSpecialCharCount>& SpecialBox2() { return kEntities; }

void ReplaceSpecialCharacters(std::string_view text, std::string& out) {
  // Replacing the 95 characters one after the other gives the same result as one pass, since
  // every replacement is plain ASCII that no later row can match. The text is converted in
  // blocks through a buffer that holds the longest result of one block.
  constexpr size_t kBlock = 2048;
  char buffer[kBlock * kEntitySlot];
  out.clear();
  out.reserve(text.size() + text.size() / 4 + 16);
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* const stop = end - p > static_cast<ptrdiff_t>(kBlock) ? p + kBlock : end;
    char* target = buffer;
    for (; p < stop; ++p) {
      const auto c = static_cast<unsigned char>(*p);
      if (!IsSpecial(c)) {
        *target++ = static_cast<char>(c);
        continue;
      }
      const size_t entry = c - kFirstSpecialChar;
      std::memcpy(target, kSlots.text[entry], kEntitySlot);
      target += kSlots.length[entry];
    }
    out.append(buffer, static_cast<size_t>(target - buffer));
  }
}

std::string ReplaceSpecialCharacters(std::string_view text) {
  std::string out;
  ReplaceSpecialCharacters(text, out);
  return out;
}

void ConvertSpecialCharacters(std::string& text, std::string& spare) {
  ReplaceSpecialCharacters(text, spare);
  text.swap(spare);
}

}  // namespace quenda
