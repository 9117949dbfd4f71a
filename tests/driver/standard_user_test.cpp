// A standard user's till: the folders that hold the programs' files take no
// new file, while the files in them exist and may be written (C:\ on Windows 8
// and later for a user without administrator rights). The programs run as a
// user without privileges, so that the folders' permissions hold for them.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "child_process.h"
#include "file_bytes.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

const std::string kEarlierOk = "0000\r\nOK\r\n";
const std::string kArticle = "11000000001234ACQUA               00000150  01X\r\n";

class StandardUserTest : public ::testing::Test {
 protected:
  StandardUserTest() {
    std::filesystem::create_directories(folder_.File("bin"));
    std::filesystem::copy_file(PLUZELKO_PATH, folder_.File("bin/PLUZELKO"));
    folder_.Write("bin/config.cmd", "");
    for (const char* name : {"SCONTRINO.INP", "SCONTRINO.OUT", "JQTZelkoData.OUT", "ZELKOPLU.TXT", "first.out",
                             "second.out"}) {
      Writable("root/c/" + std::string(name), "");
    }
    Writable("root/c/SCONTRINO.OUT", kEarlierOk);
    Writable("root/c/JQTZelkoData.OUT", "vecchi dati\r\n");
    Writable("root/settings.ini", "");
    Open(folder_.MakeFolder("root/emulator"), 0777);  // the built-in emulator's journal
    Open(folder_.Path(), 0755);
    Open(folder_.File("bin"), 0755);
    for (const char* folder : {"root/c", "root"}) Open(folder_.File(folder), kTakesNoNewFile);
  }
  ~StandardUserTest() override {
    for (const char* folder : {"root", "root/c"}) Open(folder_.File(folder), 0755);
  }

  static constexpr mode_t kTakesNoNewFile = 0555;

  static void Open(const std::string& path, mode_t mode) { ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path; }
  void Writable(const std::string& relative, const std::string& bytes) const {
    Open(folder_.Write(relative, bytes), 0666);
  }
  void Receipt(const std::string& text) const { testing::WriteBytes(folder_.File("root/c/SCONTRINO.INP"), text); }

  std::unique_ptr<ChildProcess> Start(const std::string& program, const std::vector<std::string>& arguments,
                                      const std::string& scenario = "", const std::string& output = "run.out") {
    const testing::Command command = testing::AsUnprivilegedUser(program, arguments);
    testing::Environment environment = {{"ZELKO_ROOT", folder_.File("root")},
                                        {"ZELKO_CONTROL", "emulator"},
                                        {"ZELKO_OPERATOR", "unattended"}};
    if (!scenario.empty()) environment["ZELKO_EMULATOR_SCENARIO"] = folder_.Write(output + ".scenario", scenario);
    return ChildProcess::Start(command.program, command.arguments, environment, folder_.File(output));
  }
  std::optional<int> Driver(const std::string& scenario = "") {
    return Start(ZELKO_DRIVER_PATH, {}, scenario)->Wait(30s);
  }
  std::optional<int> Loader(const std::string& switches) {
    const std::string articles = folder_.Write("articles.txt", kArticle);
    return Start(folder_.File("bin/PLUZELKO"), {articles + switches})->Wait(30s);
  }

  std::string Drive(const std::string& name) const { return folder_.Read("root/c/" + name); }
  std::string Output() const { return folder_.Read("run.out"); }
  std::size_t DriveEntries() const { return testing::EntryCount(folder_.File("root/c")); }

  testing::TempFolder folder_;
};

// Whatever the outcome, the result file holds this run's, written in place
// over the earlier "OK"; nothing new appears beside it.
TEST_F(StandardUserTest, ResultFileHoldsThisRunsOutcome) {
  const struct {
    const char* what;
    std::string receipt;
    std::string scenario;
    int exitStatus;
    std::string result;  // from its fifth byte on for a success (the status tail comes first)
  } cases[] = {
      {"success", "1\r\n115200,n,8,1\r\n2\r\n=T1/$100\r\n=S\r\n", "", 0, "\r\nOK\r\n"},
      {"refused command", "1\r\n115200,n,8,1\r\n2\r\n=T1/$100\r\n=S\r\n", "on prefix =S fail 1234", 1,
       "1234\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando: =S\r\n"},
      {"wrong count", "1\r\n115200,n,8,1\r\n5\r\n=T1/$100\r\n=S\r\n", "", 1,
       "0\r\nRighe Scontrino NON uguali lette: 0002\r\n"},
  };
  const std::size_t entries = DriveEntries();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteBytes(folder_.File("root/c/SCONTRINO.OUT"), kEarlierOk);
    Receipt(c.receipt);
    EXPECT_EQ(Driver(c.scenario), c.exitStatus) << Output();
    const std::string result = Drive("SCONTRINO.OUT");
    EXPECT_EQ(c.exitStatus == 0 ? result.substr(std::min<std::size_t>(4, result.size())) : result, c.result);
    EXPECT_NE(result, kEarlierOk);
    EXPECT_EQ(DriveEntries(), entries) << "nothing new beside the files";
  }
}

TEST_F(StandardUserTest, DataAndSettingsAreWrittenInPlace) {
  Receipt("1\r\n115200,n,8,1\r\n2\r\n=T1/$100\r\n=S\r\n");
  EXPECT_EQ(Driver("on command 4 data Totale 1,00"), 0) << Output();
  EXPECT_EQ(Drive("JQTZelkoData.OUT"), "Totale 1,00\r\n");
  const std::string settings = folder_.Read("root/settings.ini");
  for (const char* line : {"[JQT SPA\\ZELKO]\n", "GestioneErrori=S\n", "Messaggio=\n", "ControlloTransazione=S\n"}) {
    EXPECT_NE(settings.find(line), std::string::npos) << line << " in:\n" << settings;
  }
  EXPECT_EQ(Output(), "") << "nothing to say: every file was written";
}

TEST_F(StandardUserTest, LoaderWritesItsOutputInPlaceAndTheDriverRunsIt) {
  EXPECT_EQ(Loader(" -CF"), 0) << Output();
  EXPECT_EQ(Drive("ZELKOPLU.TXT"), "110000000001234ACQUA               00000150019\r\n");
  EXPECT_EQ(Loader(""), 0) << Output();
  EXPECT_EQ(Drive("SCONTRINO.INP"),
            "1\r\n115200,n,8,1\r\n7\r\n=t/*1\r\n=C4\r\n=D1/(Carico Avviato)\r\n"
            ">>/?P/(110000000001234ACQUA               00000150019)\r\n=C1\r\n=t/*0\r\n=D1/(Carico Completato)\r\n");
  EXPECT_EQ(Driver(), 0) << Output();
  EXPECT_EQ(Drive("SCONTRINO.OUT").substr(4), "\r\nOK\r\n");
}

// The lock needs no file beside the command file: a second run waits while
// the first sends, and each run's operations reach the register whole.
TEST_F(StandardUserTest, SecondRunOnTheCommandFileWaitsForTheFirst) {
  Receipt("1\r\n115200,n,8,1\r\n2\r\n=T1/$100\r\n=S\r\n");
  auto first = Start(ZELKO_DRIVER_PATH, {"c:\\first.out"}, "on prefix =T1 delay 2000", "first.out");
  const std::string journal = folder_.File("root/emulator/journal.txt");
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (testing::ReadBytes(journal).find("=D1/(") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  auto second = Start(ZELKO_DRIVER_PATH, {"c:\\second.out"}, "", "second.out");
  EXPECT_EQ(second->Wait(1000ms), std::nullopt) << "the second run waits for the first";
  EXPECT_EQ(first->Wait(30s), 0) << folder_.Read("first.out");
  EXPECT_EQ(second->Wait(30s), 0) << folder_.Read("second.out");
  EXPECT_EQ(folder_.Read("first.out") + folder_.Read("second.out"), "");
  EXPECT_EQ(Drive("first.out").substr(4), "\r\nOK\r\n");
  EXPECT_EQ(Drive("second.out").substr(4), "\r\nOK\r\n");
  const std::string operations = testing::ReadBytes(journal);
  const std::size_t firstEnd = operations.find("SendCommand\t=S\t");
  ASSERT_NE(firstEnd, std::string::npos) << operations;
  EXPECT_EQ(operations.find("OpenPort", operations.find("OpenPort") + 1), operations.find("OpenPort", firstEnd))
      << "the second run opens the port only after the first has sent its last command:\n"
      << operations;
}

}  // namespace
}  // namespace zelko
