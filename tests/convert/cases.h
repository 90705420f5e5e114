// The shared conversion cases (fixtures/convert/cases.json): a small JSON reader whose strings
// come back as the document's bytes (the file's code points 0-255 are Latin-1 bytes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/convert/options.h"

namespace quenda::test {

struct JsonValue {
  enum class Kind { null, boolean, number, string, array, object };
  Kind kind = Kind::null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  bool IsString() const { return kind == Kind::string; }
  bool Has(std::string_view key) const;
  const JsonValue& operator[](std::string_view key) const;  // a null value when absent
  // The value as bytes, integer or flag; a value of another kind fails the running test.
  const std::string& Str() const;
  int64_t Int() const;
  bool Bool() const;
};

struct ConvertCase {
  std::string name;
  std::string target;
  JsonValue input;
  JsonValue options;
  JsonValue expected;

  // The value when it is a plain string, else its member "text".
  const std::string& InputText() const;
  const std::string& ExpectedText() const;
};

// Parses JSON text; on malformed input sets `error` and returns a null value.
JsonValue ParseJson(std::string_view json, std::string& error);

// Every case of the shared file (a failed load fails the running test and gives none), those of
// one target ("FindTxt", "step1", "pipeline", ...), and the options a case names (absent ones
// keep their defaults).
const std::vector<ConvertCase>& AllConvertCases();
std::vector<ConvertCase> ConvertCasesFor(std::string_view target);
ConversionOptions OptionsOf(const JsonValue& options);

}  // namespace quenda::test
