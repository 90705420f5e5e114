// The three settings operations against the in-memory registry and, on Windows, against the
// real registry (of the private Wine prefix when run under Wine).
#include "plugin/settings.h"

#include <gtest/gtest.h>

namespace {

using platform::RegistryRoot;
using platform::RegistryType;

class SettingsStore : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "n"}) Registry().DeleteValue(RegistryRoot::CurrentUser, key_, name);
  }
  void TearDown() override { SetUp(); }
  platform::Registry& Registry() { return GetParam() ? platform::SystemRegistry() : memory_; }
  platform::MemoryRegistry memory_;
  const std::string key_ = "Software\\QuendaTest\\Settings";
};

TEST_P(SettingsStore, WrittenTextIsAStringValueAndReadsBack) {
  quenda::WriteSetting(Registry(), key_, "a", "iso-8859-1");
  auto value = Registry().ReadValue(RegistryRoot::CurrentUser, key_, "a");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, RegistryType::String);
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "x"), "iso-8859-1");
  quenda::WriteSetting(Registry(), key_, "n", "-20");
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "n", 150), "-20");
}

TEST_P(SettingsStore, MissingOrEmptyValueGivesTheDefault) {
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "n", 150), "150");
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "n", -3), "-3");
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "german"), "german");
  quenda::WriteSetting(Registry(), key_, "a", "");
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "german"), "german");
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "a", 7), "7");
}

TEST_P(SettingsStore, NonStringValueReportsItsName) {
  Registry().WriteValue(RegistryRoot::CurrentUser, key_, "b", {RegistryType::Dword, std::string("\x01\0\0\0", 4)});
  for (int asInt = 0; asInt < 2; ++asInt) {
    try {
      if (asInt) {
        quenda::ReadSettingInt(Registry(), key_, "b", 1);
      } else {
        quenda::ReadSettingText(Registry(), key_, "b", "x");
      }
      ADD_FAILURE() << "no report for a DWORD value";
    } catch (const quenda::SettingsError& e) {
      EXPECT_STREQ(e.what(), "Ung\xFCltiger Datentyp f\xFCr 'b'");
    }
  }
}

TEST(SettingsStoreMemory, ReadingCreatesTheMissingKey) {
  platform::MemoryRegistry registry;
  ASSERT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, "Software\\Quenda"));
  EXPECT_EQ(quenda::ReadSettingText(registry, "Software\\Quenda", "dtd", "transitional"), "transitional");
  EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, "Software\\Quenda"));
  EXPECT_TRUE(registry.ValueNames(RegistryRoot::CurrentUser, "Software\\Quenda").empty());
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(MemoryAndSystem, SettingsStore, ::testing::Values(false, true));
#else
INSTANTIATE_TEST_SUITE_P(Memory, SettingsStore, ::testing::Values(false));
#endif

TEST(SettingsNumbers, DecimalIntegersOnly) {
  struct Case {
    const char* text;
    bool valid;
    int value;
  };
  const Case cases[] = {
      {"0", true, 0},           {"150", true, 150},        {"-20", true, -20},
      {"+7", true, 7},          {"007", true, 7},          {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"99999999999999999999", false, 0},
      {"", false, 0},           {"-", false, 0},           {"abc", false, 0},
      {"1 ", false, 0},         {" 1", false, 0},          {"0x10", false, 0},
      {"1.5", false, 0},        {"1e3", false, 0},
  };
  for (const Case& c : cases) {
    if (c.valid) {
      EXPECT_EQ(quenda::TextToInt(c.text), c.value) << c.text;
    } else {
      try {
        quenda::TextToInt(c.text);
        ADD_FAILURE() << "accepted '" << c.text << "'";
      } catch (const quenda::SettingsError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("'") + c.text + "' ist kein g\xFCltiger Integerwert");
      }
    }
  }
  EXPECT_EQ(quenda::IntToText(-5), "-5");
  EXPECT_EQ(quenda::IntToText(0), "0");
}

}  // namespace
