#include "tests/convert/cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quenda::test {

namespace {

// A recursive reader; the first error stops it (the rest of the input is skipped).
class Parser {
 public:
  Parser(std::string_view json, std::string& error) : s_(json), error_(error) {}

  JsonValue Document() {
    JsonValue v = Value();
    if (Peek() != '\0') Fail("text after the value");
    return error_.empty() ? v : JsonValue{};
  }

 private:
  void Fail(const std::string& what) {
    if (error_.empty()) error_ = what + " at offset " + std::to_string(at_);
    at_ = s_.size();
  }
  // The next character after blanks, NUL at the end.
  char Peek() {
    while (at_ < s_.size() && std::string_view(" \t\r\n").find(s_[at_]) != std::string_view::npos) ++at_;
    return at_ < s_.size() ? s_[at_] : '\0';
  }
  bool Eat(char c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
  }
  void Expect(char c) {
    if (!Eat(c)) Fail(std::string("'") + c + "' expected");
  }
  bool Word(std::string_view w) {
    if (s_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

  JsonValue Value() {
    JsonValue v;
    const char c = Peek();
    if (c == '"') {
      v.kind = JsonValue::Kind::string;
      v.text = String();
    } else if (Eat('{')) {
      v.kind = JsonValue::Kind::object;
      if (Eat('}')) return v;
      do {
        if (Peek() != '"') {
          Fail("member name expected");
          return v;
        }
        std::string key = String();
        Expect(':');
        v.members.emplace_back(std::move(key), Value());
      } while (Eat(','));
      Expect('}');
    } else if (Eat('[')) {
      v.kind = JsonValue::Kind::array;
      if (Eat(']')) return v;
      do v.items.push_back(Value());
      while (Eat(','));
      Expect(']');
    } else if (const bool yes = Word("true"); yes || Word("false")) {
      v.kind = JsonValue::Kind::boolean;
      v.boolean = yes;
    } else if (!Word("null")) {
      const size_t start = at_;
      while (at_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[at_]) != std::string_view::npos) ++at_;
      if (start == at_) Fail(c ? "unexpected character" : "value expected");
      v.kind = JsonValue::Kind::number;
      v.number = std::strtod(std::string(s_.substr(start, at_ - start)).c_str(), nullptr);
    }
    return v;
  }

  // The bytes of a string: raw bytes stand for themselves, \u escapes up to 00FF become one byte.
  std::string String() {
    std::string out;
    for (++at_; at_ < s_.size() && s_[at_] != '"';) {
      const char c = s_[at_++];
      if (c != '\\' || at_ >= s_.size()) {
        out.push_back(c);
        continue;
      }
      const char e = s_[at_++];
      const size_t simple = std::string_view("nrtbf").find(e);
      if (simple != std::string_view::npos) {
        out.push_back("\n\r\t\b\f"[simple]);
      } else if (e == 'u') {
        const unsigned long code = std::strtoul(std::string(s_.substr(at_, 4)).c_str(), nullptr, 16);
        at_ += 4;
        if (code > 0xFF) Fail("character beyond Latin-1");
        out.push_back(static_cast<char>(code));
      } else {
        out.push_back(e);
      }
    }
    if (at_ >= s_.size()) Fail("unterminated string");
    ++at_;
    return out;
  }

  std::string_view s_;
  std::string& error_;
  size_t at_ = 0;
};

}  // namespace

bool JsonValue::Has(std::string_view key) const { return (*this)[key].kind != Kind::null; }

const JsonValue& JsonValue::operator[](std::string_view key) const {
  static const JsonValue null;
  for (const auto& m : members) {
    if (m.first == key) return m.second;
  }
  return null;
}

const std::string& JsonValue::Str() const {
  EXPECT_EQ(kind, Kind::string) << "a string was expected";
  return text;
}

int64_t JsonValue::Int() const {
  EXPECT_EQ(kind, Kind::number) << "a number was expected";
  return static_cast<int64_t>(number);
}

bool JsonValue::Bool() const {
  EXPECT_EQ(kind, Kind::boolean) << "true or false was expected";
  return boolean;
}

const std::string& ConvertCase::InputText() const { return input.IsString() ? input.text : input["text"].Str(); }
const std::string& ConvertCase::ExpectedText() const { return expected.IsString() ? expected.text : expected["text"].Str(); }

JsonValue ParseJson(std::string_view json, std::string& error) {
  error.clear();
  return Parser(json, error).Document();
}

const std::vector<ConvertCase>& AllConvertCases() {
  static const std::vector<ConvertCase> cases = [] {
    std::vector<ConvertCase> all;
    const std::string path = std::string(QUENDA_SHARED_DIR) + "/fixtures/convert/cases.json";
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string error;
    JsonValue root = ParseJson(bytes.str(), error);
    if (!file || !error.empty()) {
      ADD_FAILURE() << "cannot read " << path << ": " << error;
      return all;
    }
    for (const JsonValue& c : root["cases"].items) {
      all.push_back({c["name"].text, c["target"].text, c["input"], c["options"], c["expected"]});
    }
    return all;
  }();
  return cases;
}

std::vector<ConvertCase> ConvertCasesFor(std::string_view target) {
  std::vector<ConvertCase> out;
  for (const ConvertCase& c : AllConvertCases()) {
    if (c.target == target) out.push_back(c);
  }
  return out;
}

ConversionOptions OptionsOf(const JsonValue& options) {
  ConversionOptions o;
  if (options.Has("completeLists")) o.completeLists = options["completeLists"].Bool();
  if (options.Has("nonXhtmlCompatible")) o.nonXhtmlCompatible = options["nonXhtmlCompatible"].Bool();
  if (options.Has("docLanguage")) {
    o.docLanguage = options["docLanguage"].Str() == "english" ? DocLanguage::english : DocLanguage::german;
  }
  if (options.Has("encoding")) o.encoding = options["encoding"].Str();
  if (options.Has("dtd")) {
    const std::string& d = options["dtd"].Str();
    o.dtd = d == "strict" ? DtdKind::strict : d == "frameset" ? DtdKind::frameset : DtdKind::transitional;
  }
  return o;
}

}  // namespace quenda::test
