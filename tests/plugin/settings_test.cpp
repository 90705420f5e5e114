// The three settings operations against the in-memory registry and, on Windows, against the
// real registry (of the private Wine prefix when run under Wine).
#include "plugin/settings.h"

#include <gtest/gtest.h>

namespace {

using platform::RegistryRoot;
using platform::RegistryType;

// The message of the SettingsError `read` throws, or "no error".
template <class Read>
std::string ErrorOf(Read read) {
  try {
    read();
  } catch (const quenda::SettingsError& e) {
    return e.what();
  }
  return "no error";
}

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

TEST_P(SettingsStore, WrittenTextIsAStringValueAndMissingOrEmptyGivesTheDefault) {
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "n", -3), "-3");
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "german"), "german");
  quenda::WriteSetting(Registry(), key_, "a", "iso-8859-1");
  auto value = Registry().ReadValue(RegistryRoot::CurrentUser, key_, "a");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, RegistryType::String);
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "x"), "iso-8859-1");
  quenda::WriteSetting(Registry(), key_, "n", "-20");
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "n", 150), "-20");
  quenda::WriteSetting(Registry(), key_, "a", "");
  EXPECT_EQ(quenda::ReadSettingText(Registry(), key_, "a", "german"), "german");
  EXPECT_EQ(quenda::ReadSettingInt(Registry(), key_, "a", 7), "7");
}

TEST_P(SettingsStore, NonStringValueReportsItsName) {
  Registry().WriteValue(RegistryRoot::CurrentUser, key_, "b", {RegistryType::Dword, std::string("\x01\0\0\0", 4)});
  const std::string message = "Ung\xFCltiger Datentyp f\xFCr 'b'";
  EXPECT_EQ(ErrorOf([&] { (void)quenda::ReadSettingText(Registry(), key_, "b", "x"); }), message);
  EXPECT_EQ(ErrorOf([&] { (void)quenda::ReadSettingInt(Registry(), key_, "b", 1); }), message);
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
  const std::pair<const char*, int> valid[] = {{"0", 0},   {"150", 150},          {"-20", -20},
                                               {"+7", 7},  {"007", 7},            {"2147483647", 2147483647},
                                               {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : valid) EXPECT_EQ(quenda::TextToInt(text), value) << text;
  for (const char* text : {"2147483648", "99999999999999999999", "", "-", "abc", "1 ", " 1", "0x10", "1.5", "1e3"}) {
    EXPECT_EQ(ErrorOf([&] { (void)quenda::TextToInt(text); }), std::string("'") + text + "' ist kein g\xFCltiger Integerwert");
  }
  EXPECT_EQ(quenda::IntToText(-5), "-5");
  EXPECT_EQ(quenda::IntToText(0), "0");
}

}  // namespace
