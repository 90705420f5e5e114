// A reader for Windows profile files ("ini" files) that answers lookups the way the system's
// profile-string reader does: sections and keys matched without case, the value taken after
// the first "=", blanks around names and values dropped, one enclosing pair of matching quotes
// removed, lines starting with ";" ignored, values cut to 2047 characters. The file is read
// once; nothing is ever written back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

// The longest value a lookup returns (the system reader's 2048-byte buffer less its NUL).
inline constexpr size_t kMaxProfileValue = 2047;

class ProfileFile {
 public:
  struct Key {
    std::string name;
    std::optional<std::string> value;  // none for a line without "="
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };

  // Parses profile text. Never fails: lines that mean nothing are passed over.
  static ProfileFile Parse(std::string_view text);
  // Reads and parses a file; a file that does not exist or cannot be read gives an empty one.
  static ProfileFile Load(const std::string& path);

  // The key's value (quotes removed, cut to kMaxProfileValue), or none when the section or
  // the key is absent. A key that is present with an empty value gives the empty text.
  std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;

  // The file's sections in file order, for listing tools.
  const std::vector<Section>& sections() const { return sections_; }

 private:
  std::vector<Section> sections_;
};

}  // namespace installer
