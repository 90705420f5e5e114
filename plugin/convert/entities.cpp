#include "plugin/convert/entities.h"

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

}  // namespace

const std::array<std::string_view, kSpecialCharCount>& SpecialBox1() { return kCodes; }
const std::array<std::string_view, kSpecialCharCount>& SpecialBox2() { return kEntities; }

std::string ReplaceSpecialCharacters(std::string_view text) {
  // Replacing the 95 characters one after the other gives the same result as one pass, since
  // every replacement is plain ASCII that no later row can match.
  size_t extra = 0;
  for (char c : text) {
    if (IsSpecial(static_cast<unsigned char>(c))) extra += kEntities[static_cast<unsigned char>(c) - kFirstSpecialChar].size() - 1;
  }
  std::string out;
  out.reserve(text.size() + extra);
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (!IsSpecial(c)) continue;
    out.append(text.data() + run, i - run);
    out.append(kEntities[c - kFirstSpecialChar]);
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
  return out;
}

void ConvertSpecialCharacters(WorkBuffer& buffer) {
  buffer.SelectAll();
  std::string text = buffer.SelText();
  std::string converted = ReplaceSpecialCharacters(text);
  if (converted != text) buffer.SetSelText(converted);
  buffer.SetSelStart(0);
}

}  // namespace quenda
