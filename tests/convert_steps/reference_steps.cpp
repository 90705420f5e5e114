#include "tests/convert_steps/reference_steps.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/tag_primitives.h"
#include "plugin/convert/tag_tables.h"
#include "plugin/convert/text.h"

namespace quenda::test {

constexpr ReplaceFlags kAll{true, false};
constexpr ReplaceFlags kAllNoCase{true, true};

std::string ReferenceNormalizeTag(std::string_view input, bool lowerCase) {
  std::string tag(input);
  if (tag.empty() || tag.back() != '>') tag += '>';
  while (FindPos(" =", tag) > 0 || FindPos("= ", tag) > 0) {
    tag = ReplaceText(tag, " =", "=", kAll);
    tag = ReplaceText(tag, "= ", "=", kAll);
  }
  size_t i = 0;
  while (i < tag.size() && tag[i] != '>') {
    if (tag[i] != '=') {
      ++i;
    } else if (i + 1 < tag.size() && tag[i + 1] == '"') {
      size_t j = i + 2;
      while (j < tag.size() && tag[j] != '"' && tag[j] != '>') ++j;
      if (j >= tag.size() || tag[j] == '>') break;
      i = j + 1;
    } else {
      tag.insert(i + 1, 1, '"');
      size_t j = i + 2;
      while (j < tag.size() && tag[j] != ' ' && tag[j] != '>') ++j;
      tag.insert(j, 1, '"');
      i = j + 1;
    }
  }
  if (!lowerCase) return tag;
  tag = ReplaceText(tag, "\"\"", EmptyValueMark, kAll);
  // The runs between quotes, empty ones dropped: the 1st, 3rd, ... lower-cased, the others quoted values.
  std::string result, piece;
  for (size_t at = 0, k = 0; at <= tag.size(); ++at) {
    if (at < tag.size() && tag[at] != '"') {
      piece += tag[at];
    } else if (!piece.empty()) {
      result += k++ % 2 == 0 ? LowerText(piece) : "\"" + piece + "\"";
      piece.clear();
    }
  }
  return ReplaceText(result, "_folium![]-", "\"\"", kAll);
}

namespace {

// Marks back to "<" and ">", reading pairs from the left.
std::string DecodeFromLeft(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    std::string_view pair = std::string_view(text).substr(i, 2);
    if (pair == TagOpenMark) {
      out += '<';
      ++i;
    } else if (pair == TagCloseMark) {
      out += '>';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string ReferenceTagRules(std::string_view input, bool nonXhtmlCompatible) {
  std::string tag = ReferenceNormalizeTag(input, true);
  if (tag.size() < 2 || tag[tag.size() - 2] != '/') {
    for (std::string_view entry : WithSlash) {
      if (FindPos(entry, LowerText(tag)) > 0) tag.insert(tag.size() - 1, nonXhtmlCompatible ? " /" : "/");
    }
  }
  for (std::string_view name : StandAlones) {
    if (!HasAttribute(name, tag)) continue;
    std::string a(name);
    tag = RemoveQuotedAttribute(a + "=", tag);
    tag = RemoveAttribute(a, tag);
    tag = AppendAttribute(tag, a + "=\"" + a + "\"");
  }
  if (FindPos("<img", LowerText(tag)) > 0 && FindPos("alt=\"", LowerText(tag)) == 0) {
    tag = AppendAttribute(tag, "alt=\"\"");
  }
  for (std::string_view value : LittleValues) tag = ReplaceText(tag, value, value, kAllNoCase);
  return std::string(TagOpenMark) + tag.substr(1, tag.size() - 2) + std::string(TagCloseMark);
}

}  // namespace

std::string ReferenceNormalizeTagsText(std::string_view input, bool nonXhtmlCompatible) {
  std::string text(input);
  for (;;) {
    int64_t lt = FindPos("<", text);
    int64_t gt = FindPos(">", text);
    if (lt == 0 || gt == 0 || lt > gt) break;
    size_t p = static_cast<size_t>(lt);
    size_t q;
    bool comment = text.compare(p - 1, 4, "<!--") == 0;
    if (comment) {
      int64_t dashes = FindPos("-->", text);
      if (dashes == 0) break;  // a comment without an end: the rest stays as it is
      q = static_cast<size_t>(dashes) + 2;
    } else {
      q = static_cast<size_t>(gt);
    }
    std::string item = text.substr(p - 1, q - p + 1);
    text.erase(p - 1, q - p + 1);
    if (comment) {
      item = ReplaceText(item, "<", TagOpenMark, kAll);
      item = ReplaceText(item, ">", TagCloseMark, kAll);
    } else {
      item = ReferenceTagRules(item, nonXhtmlCompatible);
    }
    text.insert(p - 1, item);
  }
  return DecodeFromLeft(text);
}

bool CompleteListsMatchesLiteral(std::string_view text) {
  WorkBuffer literal, step;
  LoadHostText(literal, text);
  LoadHostText(step, text);
  CompleteLists(step, ConversionOptions{});
  // From match to match, as an editor searches: the line of each gets the end tag it lacks.
  for (const auto& [open, close, excluded] : {std::tuple("<li", "</li>", "<link"), std::tuple("<option", "</option>", "")}) {
    literal.SetSelStart(0);
    while (literal.FindTxt(open)) {
      const int64_t line = literal.SelLine();
      const std::string lower = LowerText(literal.Line(line));
      if (FindPos(close, lower) == 0 && FindPos(excluded, lower) == 0) literal.ReplaceLine(line, literal.Line(line) + close);
    }
  }
  return step.Text() == literal.Text() && step.SelStart() == 0;
}

bool OnlyEndTagsInserted(std::string_view document, ConversionOptions options, size_t* inserted) {
  options.closeImpliedEndTags = false;
  options.completeLists = false;
  const std::string base = ConvertText(document, options);
  options.closeImpliedEndTags = true;
  options.completeLists = true;  // not run beside the implied end tags
  const std::string out = ConvertText(document, options);
  static const std::string kTags[] = {"</p>", "</li>", "</dt>", "</dd>", "</option>", "</thead>", "</tbody>",
                                      "</tfoot>", "</tr>", "</td>", "</th>", "</colgroup>", "</html>", "</head>",
                                      "</body>"};
  size_t i = 0, j = 0, count = 0;
  while (i < out.size()) {
    // An end tag in the output that the baseline does not have at the same place was inserted.
    const auto tag = std::find_if(std::begin(kTags), std::end(kTags), [&](const std::string& t) {
      return out[i] == '<' && out.compare(i, t.size(), t) == 0 && base.compare(j, t.size(), t) != 0;
    });
    if (tag != std::end(kTags)) {
      i += tag->size(), ++count;
    } else if (j < base.size() && out[i] == base[j]) {
      ++i, ++j;
    } else {
      return false;
    }
  }
  if (inserted != nullptr) *inserted += count;
  return j == base.size();
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::pair<std::string, std::string>> CorpusPages(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> pages;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".html") continue;
    pages.emplace_back(entry.path().filename().string(), ReadFile(entry.path().string()));
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

}  // namespace quenda::test
