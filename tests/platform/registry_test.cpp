// The same expectations hold for the in-memory registry and for the system one (the real
// registry of the private Wine prefix under Wine).
#include "platform/registry.h"

#include <gtest/gtest.h>

namespace {

using platform::RegistryRoot;
using platform::RegistryType;
using platform::RegistryValue;

class RegistryContract : public ::testing::TestWithParam<bool> {
 protected:
  platform::Registry& Registry() { return GetParam() ? platform::SystemRegistry() : memory_; }
  platform::MemoryRegistry memory_;
  const std::string key_ = "Software\\QuendaTest\\Contract";
};

// An empty string is a present value, not a missing one.
TEST_P(RegistryContract, ValuesRoundTripWithTheirTypeAndAreEnumerated) {
  auto& reg = Registry();
  for (const char* name : {"zeta", "alpha", "mid"}) reg.DeleteValue(RegistryRoot::CurrentUser, key_, name);
  ASSERT_TRUE(reg.WriteValue(RegistryRoot::CurrentUser, key_, "zeta", {RegistryType::String, ""}));
  ASSERT_TRUE(reg.ReadValue(RegistryRoot::CurrentUser, key_, "zeta"));
  EXPECT_EQ(reg.ReadValue(RegistryRoot::CurrentUser, key_, "zeta")->data, "");
  ASSERT_TRUE(reg.WriteValue(RegistryRoot::CurrentUser, key_, "zeta", {RegistryType::String, "C:\\Plugins\\"}));
  ASSERT_TRUE(reg.WriteValue(RegistryRoot::CurrentUser, key_, "alpha", {RegistryType::ExpandString, "%WINDIR%"}));
  ASSERT_TRUE(reg.WriteValue(RegistryRoot::CurrentUser, key_, "mid", {RegistryType::Dword, std::string("\x01\0\0\0", 4)}));
  EXPECT_TRUE(reg.KeyExists(RegistryRoot::CurrentUser, "\\" + key_));
  auto value = reg.ReadValue(RegistryRoot::CurrentUser, key_, "ZETA");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, RegistryType::String);
  EXPECT_EQ(value->data, "C:\\Plugins\\");
  EXPECT_EQ(reg.ReadValue(RegistryRoot::CurrentUser, key_, "alpha")->type, RegistryType::ExpandString);
  EXPECT_EQ(reg.ReadValue(RegistryRoot::CurrentUser, key_, "mid")->type, RegistryType::Dword);
  EXPECT_FALSE(reg.ReadValue(RegistryRoot::CurrentUser, key_, "missing"));
  EXPECT_FALSE(reg.ReadValue(RegistryRoot::LocalMachine, key_, "zeta"));
  auto names = reg.ValueNames(RegistryRoot::CurrentUser, key_);
  ASSERT_EQ(names.size(), 3u);
  if (!GetParam()) {  // the real registry chooses its own order
    EXPECT_EQ(names[0], "zeta");
    EXPECT_EQ(names[2], "mid");
  }
  for (const char* name : {"zeta", "alpha", "mid"}) EXPECT_TRUE(reg.DeleteValue(RegistryRoot::CurrentUser, key_, name));
  EXPECT_TRUE(reg.ValueNames(RegistryRoot::CurrentUser, key_).empty());
}

TEST_P(RegistryContract, MissingKeyIsNotCreatedByReading) {
  auto& reg = Registry();
  EXPECT_FALSE(reg.ReadValue(RegistryRoot::CurrentUser, "Software\\QuendaTest\\Nowhere", "x"));
  EXPECT_FALSE(reg.KeyExists(RegistryRoot::CurrentUser, "Software\\QuendaTest\\Nowhere"));
  EXPECT_TRUE(reg.ValueNames(RegistryRoot::CurrentUser, "Software\\QuendaTest\\Nowhere").empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "System" : "Memory"; });

}  // namespace
