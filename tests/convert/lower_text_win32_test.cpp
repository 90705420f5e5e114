// Windows only: the lower-casing table must be what Windows itself does to ANSI text.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "plugin/convert/text.h"

namespace quenda {
namespace {

TEST(LowerText, EqualsCharLowerBuffAForAll256Bytes) {
  ASSERT_EQ(GetACP(), 1252u) << "the comparison needs the Windows-1252 code page";
  char bytes[256];
  for (int c = 0; c < 256; ++c) bytes[c] = static_cast<char>(c);
  ASSERT_EQ(CharLowerBuffA(bytes, 256), 256u);
  const unsigned char* table = LowerTable();
  for (int c = 0; c < 256; ++c) EXPECT_EQ(static_cast<unsigned char>(bytes[c]), table[c]) << "byte " << c;
}

}  // namespace
}  // namespace quenda
#endif
