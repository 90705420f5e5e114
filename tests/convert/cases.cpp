#include "tests/convert/cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quenda::test {

namespace {

class Parser {
 public:
  Parser(std::string_view json, std::string& error) : s_(json), error_(error) {}

  JsonValue Document() {
    JsonValue v = Value();
    SkipBlanks();
    if (error_.empty() && at_ != s_.size()) Fail("text after the value");
    return error_.empty() ? v : JsonValue{};
  }

 private:
  void Fail(const std::string& what) {
    if (error_.empty()) error_ = what + " at offset " + std::to_string(at_);
    at_ = s_.size();
  }
  void SkipBlanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n')) ++at_;
  }
  bool Eat(char c) {
    SkipBlanks();
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view w) {
    if (s_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

  JsonValue Value() {
    JsonValue v;
    SkipBlanks();
    if (at_ >= s_.size()) {
      Fail("value expected");
      return v;
    }
    char c = s_[at_];
    if (c == '"') {
      v.kind = JsonValue::Kind::string;
      v.text = String();
    } else if (c == '{') {
      ++at_;
      v.kind = JsonValue::Kind::object;
      if (!Eat('}')) {
        do {
          SkipBlanks();
          if (at_ >= s_.size() || s_[at_] != '"') {
            Fail("member name expected");
            return v;
          }
          std::string key = String();
          if (!Eat(':')) Fail("':' expected");
          v.members.emplace_back(std::move(key), Value());
        } while (Eat(','));
        if (!Eat('}')) Fail("'}' expected");
      }
    } else if (c == '[') {
      ++at_;
      v.kind = JsonValue::Kind::array;
      if (!Eat(']')) {
        do v.items.push_back(Value());
        while (Eat(','));
        if (!Eat(']')) Fail("']' expected");
      }
    } else if (Word("true")) {
      v.kind = JsonValue::Kind::boolean;
      v.boolean = true;
    } else if (Word("false")) {
      v.kind = JsonValue::Kind::boolean;
    } else if (Word("null")) {
    } else {
      size_t start = at_;
      while (at_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[at_]) != std::string_view::npos) ++at_;
      if (start == at_) {
        Fail("unexpected character");
        return v;
      }
      v.kind = JsonValue::Kind::number;
      v.number = std::strtod(std::string(s_.substr(start, at_ - start)).c_str(), nullptr);
    }
    return v;
  }

  // The bytes of a string: raw bytes stand for themselves, \u escapes up to 00FF become one byte.
  std::string String() {
    std::string out;
    ++at_;
    while (at_ < s_.size() && s_[at_] != '"') {
      char c = s_[at_++];
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (at_ >= s_.size()) break;
      char e = s_[at_++];
      switch (e) {
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'u': {
          unsigned long code = std::strtoul(std::string(s_.substr(at_, 4)).c_str(), nullptr, 16);
          at_ += 4;
          if (code > 0xFF) Fail("character beyond Latin-1");
          out.push_back(static_cast<char>(code));
          break;
        }
        default: out.push_back(e); break;
      }
    }
    if (at_ >= s_.size()) {
      Fail("unterminated string");
      return out;
    }
    ++at_;
    return out;
  }

  std::string_view s_;
  std::string& error_;
  size_t at_ = 0;
};

const JsonValue& NullValue() {
  static const JsonValue null;
  return null;
}

}  // namespace

bool JsonValue::Has(std::string_view key) const {
  for (const auto& m : members) {
    if (m.first == key) return true;
  }
  return false;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
  for (const auto& m : members) {
    if (m.first == key) return m.second;
  }
  return NullValue();
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
const std::string& ConvertCase::ExpectedText() const {
  return expected.IsString() ? expected.text : expected["text"].Str();
}

JsonValue ParseJson(std::string_view json, std::string& error) {
  error.clear();
  return Parser(json, error).Document();
}

const std::vector<ConvertCase>& AllConvertCases() {
  static const std::vector<ConvertCase> cases = [] {
    std::vector<ConvertCase> all;
    const std::string path = std::string(QUENDA_SHARED_DIR) + "/fixtures/convert/cases.json";
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      ADD_FAILURE() << "cannot open " << path;
      return all;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string error;
    JsonValue root = ParseJson(bytes.str(), error);
    if (!error.empty()) {
      ADD_FAILURE() << path << ": " << error;
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
