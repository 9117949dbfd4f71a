#include <gtest/gtest.h>

#include <filesystem>

#include "file_bytes.h"
#include "host_backend.h"
#include "scoped_env.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using testing::ReadBytes;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteBytes;

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string File() const { return root_.File("settings.ini"); }
  std::unique_ptr<SettingsStore> Store() const { return MakeSettingsStore("JQT SPA", "ZELKO"); }

  TempFolder root_;
  ScopedEnv rootVariable_{"ZELKO_ROOT", root_.Path()};
};

TEST_F(SettingsStoreTest, MissingFileHasNoKeysAndTheFirstWriteCreatesIt) {
  const auto store = Store();
  EXPECT_EQ(store->Read("GestioneErrori").state, SettingValue::State::Absent);
  EXPECT_TRUE(store->Write("GestioneErrori", "S"));
  EXPECT_TRUE(store->Write("Messaggio", ""));
  EXPECT_EQ(ReadBytes(File()), "[JQT SPA\\ZELKO]\nGestioneErrori=S\nMessaggio=\n");
  const SettingValue message = store->Read("messaggio");
  EXPECT_EQ(message.state, SettingValue::State::Present);
  EXPECT_EQ(message.value, "");
}

TEST_F(SettingsStoreTest, MissingRootFolderIsCreatedByAWrite) {
  ScopedEnv nested("ZELKO_ROOT", root_.File("deeper/root"));
  EXPECT_TRUE(Store()->Write("ControlloTransazione", "S"));
  EXPECT_EQ(ReadBytes(root_.File("deeper/root/settings.ini")), "[JQT SPA\\ZELKO]\nControlloTransazione=S\n");
}

TEST_F(SettingsStoreTest, ValuesKeepTheirSpaces) {
  const auto store = Store();
  EXPECT_TRUE(store->Write("GestioneErrori", " N "));
  EXPECT_EQ(store->Read("GESTIONEERRORI").value, " N ");
  EXPECT_EQ(ReadBytes(File()), "[JQT SPA\\ZELKO]\nGestioneErrori= N \n");
}

TEST_F(SettingsStoreTest, HandEditedLineEndsAreRead) {
  WriteBytes(File(), "[JQT SPA\\ZELKO]\r\nMessaggio=NULL\r\nGestioneErrori=N\rControlloTransazione= S ");
  const auto store = Store();
  EXPECT_EQ(store->Read("Messaggio").value, "NULL");
  EXPECT_EQ(store->Read("GestioneErrori").value, "N");
  EXPECT_EQ(store->Read("ControlloTransazione").value, " S ");
}

TEST_F(SettingsStoreTest, WritesKeepEveryOtherLine) {
  const std::string before =
      "; hand notes\r\n[Other\\App]\r\nGestioneErrori=keep\r\n[jqt spa\\zelko]\r\nmessaggio=Ciao\r\n"
      "garbage line\r\n\r\n[Tail]\rx=1\r";
  WriteBytes(File(), before);
  EXPECT_TRUE(Store()->Write("Messaggio", "Buongiorno"));
  EXPECT_TRUE(Store()->Write("GestioneErrori", "S"));
  EXPECT_EQ(ReadBytes(File()),
            "; hand notes\r\n[Other\\App]\r\nGestioneErrori=keep\r\n[jqt spa\\zelko]\r\nmessaggio=Buongiorno\n"
            "garbage line\r\nGestioneErrori=S\n\r\n[Tail]\rx=1\r");
}

TEST_F(SettingsStoreTest, UnreadableFileIsNeverRewritten) {
  std::filesystem::create_directory(File());  // exists, but cannot be read as a file
  WriteBytes(File() + "/inside", "kept");
  const auto store = Store();
  EXPECT_EQ(store->Read("GestioneErrori").state, SettingValue::State::Unreadable);
  EXPECT_FALSE(store->Write("GestioneErrori", "S"));
  EXPECT_EQ(ReadBytes(File() + "/inside"), "kept");
}

TEST_F(SettingsStoreTest, ValueWithALineBreakIsRefusedAndTheFileKept) {
  WriteBytes(File(), "[JQT SPA\\ZELKO]\nMessaggio=old\n");
  EXPECT_FALSE(Store()->Write("Messaggio", "a\r\n[Evil]"));
  EXPECT_EQ(ReadBytes(File()), "[JQT SPA\\ZELKO]\nMessaggio=old\n");
}

}  // namespace
}  // namespace zelko
