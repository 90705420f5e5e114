#include "installer/unzip/unshrink.h"

#include <gtest/gtest.h>

#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

TEST(Unshrink, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, int>> codes;  // low bits first, at the given widths
    int32_t code;
    std::string output;
  } cases[] = {
      {"no input: an empty member", {}, 0, ""},
      {"literals and a defined code", {{'a', 9}, {'b', 9}, {257, 9}}, 0, "abab"},
      {"the code being defined (KwKwK)", {{'a', 9}, {257, 9}, {258, 9}}, 0, "aaaaaa"},
      {"a code defined later", {{'a', 9}, {258, 9}}, -4, ""},
      {"a first code that is no byte", {{300, 9}}, -4, ""},
      {"wider codes after 256,1", {{'x', 9}, {256, 9}, {1, 9}, {'y', 10}, {257, 10}}, 0, "xyxy"},
      {"an unknown control code", {{'a', 9}, {256, 9}, {3, 9}}, -4, ""},
      {"a control code cut off", {{'a', 9}, {256, 9}}, -3, ""},
      {"codes wider than 13 bits",
       {{256, 9}, {1, 9}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12}, {256, 13}, {1, 13}}, -4, ""},
      // 257 = "ab" and 258 = "bc" are leaves and become free; the entry owed by "c" is made
      // after the clear, at 257 ("cd"); 258 ("dc") is next.
      {"partial clear frees leaves",
       {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {'d', 9}, {257, 9}, {258, 9}}, 0, "abcdcddc"},
      // 257 = "ab" outlives the first clear as the prefix of 259 = "abc", and becomes a leaf
      // then; the second clear frees it, so "d" defines 257 = "cd".
      {"a second clear frees what the first left childless",
       {{'a', 9}, {'b', 9}, {257, 9}, {'c', 9}, {256, 9}, {2, 9}, {256, 9}, {2, 9}, {'d', 9}, {257, 9}}, 0, "ababcdcd"},
      // The clear frees 257 = "ab", the code just sent; the entry it owed is still made, at
      // 257 itself, but stands for no string.
      {"an entry on a freed prefix is unusable",
       {{'a', 9}, {'b', 9}, {257, 9}, {256, 9}, {2, 9}, {'c', 9}, {257, 9}}, -4, ""},
      {"a freed code is undefined", {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {258, 9}}, -4, ""},
      // 257 = "ab" is the prefix of 260 = "abc" and stays; 258 = "bc", 259 = "ca" and 260
      // are leaves, freed and given out again: 258 = "ca", 259 = "abc", 260 = "caa".
      {"prefixes survive a clear",
       {{'a', 9}, {'b', 9}, {'c', 9}, {257, 9}, {'c', 9}, {256, 9}, {2, 9}, {257, 9}, {258, 9}, {259, 9}},
       0, "abcabcabcaabc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodeResult result = RunDecoder(Unshrink, PackBits(c.codes));
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.code == 0 ? result.output : "", c.output);
  }
}

}  // namespace
}  // namespace kudu::test
