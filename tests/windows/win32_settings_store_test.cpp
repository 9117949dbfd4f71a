#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host_backend.h"

namespace zelko {
namespace {

constexpr char kRoot[] = "Software\\VB and VBA Program Settings";

// A test application of its own under the VB settings key, removed afterwards.
class RegistrySettingsStoreTest : public ::testing::Test {
 protected:
  RegistrySettingsStoreTest() : application_("ZELKO TEST " + std::to_string(GetCurrentProcessId())) {}
  ~RegistrySettingsStoreTest() override {
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRoot, 0, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) return;
    HKEY application = nullptr;
    if (RegOpenKeyExA(root, application_.c_str(), 0, KEY_ALL_ACCESS, &application) == ERROR_SUCCESS) {
      RegDeleteKeyA(application, "ZELKO");
      RegCloseKey(application);
    }
    RegDeleteKeyA(root, application_.c_str());
    RegCloseKey(root);
  }

  std::string KeyPath() const { return std::string(kRoot) + "\\" + application_ + "\\ZELKO"; }

  // The value as the registry holds it: its type and its bytes.
  bool RawValue(const char* name, DWORD& type, std::string& data) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char buffer[256];
    DWORD size = sizeof buffer;
    const bool read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                      ERROR_SUCCESS;
    RegCloseKey(key);
    data.assign(buffer, size);
    return read;
  }

  std::string application_;
};

TEST_F(RegistrySettingsStoreTest, ValuesRoundTripByteForByte) {
  const auto store = MakeSettingsStore(application_, "ZELKO");
  EXPECT_EQ(store->Read("GestioneErrori").state, SettingValue::State::Absent) << "no key yet";
  const struct {
    const char* key;
    std::string value;
  } cases[] = {
      {"GestioneErrori", " N "},
      {"Messaggio", ""},
      {"ControlloTransazione", "S"},
      {"Messaggio", "  Buongiorno dal bar Caff\xe8  "},
      {"Messaggio", "NULL"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(store->Write(c.key, c.value)) << c.key;
    const SettingValue read = store->Read(c.key);
    EXPECT_EQ(read.state, SettingValue::State::Present) << c.key;
    EXPECT_EQ(read.value, c.value) << c.key;
  }
  EXPECT_EQ(store->Read("gestioneerrori").value, " N ") << "value names ignore case";
  EXPECT_EQ(store->Read("Assente").state, SettingValue::State::Absent);
  EXPECT_EQ(MakeSettingsStore(application_, "ZELKO")->Read("ControlloTransazione").value, "S")
      << "a second store sees what the first wrote";
}

TEST_F(RegistrySettingsStoreTest, WritesRegSzWhereVbKeepsProgramSettings) {
  ASSERT_TRUE(MakeSettingsStore(application_, "ZELKO")->Write("GestioneErrori", " N "));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(RawValue("GestioneErrori", type, data)) << KeyPath();
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string(" N \0", 4));
}

TEST_F(RegistrySettingsStoreTest, AValueThatIsNotTextIsUnreadable) {
  const auto store = MakeSettingsStore(application_, "ZELKO");
  ASSERT_TRUE(store->Write("Messaggio", "x"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD number = 7;
  RegSetValueExA(key, "GestioneErrori", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(store->Read("GestioneErrori").state, SettingValue::State::Unreadable);
  EXPECT_EQ(store->Read("Messaggio").value, "x");
}

}  // namespace
}  // namespace zelko
