// ZelkoCheck as a technician runs it: the till's checks, and the register
// asked on one port or searched for, against ZelkoEmulator on one port only.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "child_process.h"
#include "file_bytes.h"
#include "run_lock.h"
#include "running_emulator.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using nlohmann::json;
using testing::ChildResult;
using testing::RunningEmulator;

class CheckTest : public ::testing::Test {
 protected:
  CheckTest() {
    std::filesystem::create_directories(folder_.File("bin"));
    std::filesystem::create_directories(folder_.File("root/c"));
    std::filesystem::copy_file(ZELKO_CHECK_PATH, folder_.File("bin/ZelkoCheck"));
    std::filesystem::copy_file(PLUZELKO_PATH, folder_.File("bin/PLUZELKO"));
    folder_.Write("bin/config.cmd", "port=3\r\n");
  }

  // A register that answers on port 3 only, its journal in "journal.txt".
  std::string StartRegister() {
    emulator_ = std::make_unique<RunningEmulator>(
        folder_, std::vector<std::string>{"--scenario", folder_.Write("scenario.txt", "port 3\n"), "--journal",
                                          folder_.File("journal.txt")});
    return "tcp:127.0.0.1:" + emulator_->Port();
  }

  ChildResult Check(const std::vector<std::string>& arguments, const std::string& control,
                    const testing::Command* as = nullptr) const {
    const testing::Environment environment = {{"ZELKO_ROOT", folder_.File("root")}, {"ZELKO_CONTROL", control}};
    if (as) return testing::RunChild(as->program, as->arguments, environment);
    return testing::RunChild(folder_.File("bin/ZelkoCheck"), arguments, environment);
  }

  // The check of `id` in a JSON report.
  static json Finding(const json& report, const std::string& id) {
    for (const json& check : report.at("checks")) {
      if (check.at("id") == id) return check;
    }
    return json();
  }

  std::set<std::string> JournalOperations() const {
    std::set<std::string> operations;
    std::istringstream lines(folder_.Read("journal.txt"));
    for (std::string line; std::getline(lines, line);) {
      operations.insert(line.substr(0, line.find('\t', line.find('\t') + 1)));
    }
    return operations;
  }

  testing::TempFolder folder_;
  std::unique_ptr<RunningEmulator> emulator_;
};

TEST_F(CheckTest, FindPortFindsTheOnePortThatAnswersAndSendsNothingButTheProbe) {
  const ChildResult result = Check({"--find-port", "--json"}, StartRegister());
  EXPECT_EQ(result.exitStatus, 0) << result.output;
  const json report = json::parse(result.output);
  EXPECT_TRUE(report.at("ok"));
  ASSERT_EQ(report.at("ports").size(), 1u) << result.output;
  EXPECT_EQ(report["ports"][0]["port"], "3");
  EXPECT_TRUE(report["ports"][0]["answered"]);
  EXPECT_EQ(report["ports"][0]["status"].get<std::string>().substr(0, 6), "pronto");
  for (const char* id : {"host", "files", "settings", "lock", "loader", "control"}) {
    EXPECT_TRUE(Finding(report, id).value("ok", false)) << id << ": " << result.output;
  }
  EXPECT_EQ(emulator_->Stop(), 0);
  std::set<std::string> expected = {"ClosePort\t", "HighSpeed\ttrue", "SendQuery\t<</?s"};
  for (int port = 1; port <= 16; ++port) expected.insert("OpenPort\t" + std::to_string(port));
  EXPECT_EQ(JournalOperations(), expected) << folder_.Read("journal.txt");
}

TEST_F(CheckTest, OnePortIsAskedAloneAndAPortWithoutTheRegisterIsAFailure) {
  const std::string control = StartRegister();
  const struct {
    const char* port;
    int exitStatus;
    bool answered;
  } cases[] = {{"3", 0, true}, {"5", 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    const ChildResult result = Check({"--port", c.port, "--json"}, control);
    EXPECT_EQ(result.exitStatus, c.exitStatus) << result.output;
    const json report = json::parse(result.output);
    ASSERT_EQ(report.at("ports").size(), 1u);
    EXPECT_EQ(report["ports"][0]["port"], c.port);
    EXPECT_EQ(report["ports"][0]["answered"], c.answered);
  }
  EXPECT_EQ(Check({"--port", "3", "--find-port"}, control).exitStatus, 2) << "a bad option";
}

// While a run holds the lock of the command file, the probe sends nothing.
TEST_F(CheckTest, ARunInProgressKeepsTheProbeOffTheRegister) {
  const std::string control = StartRegister();
  std::filesystem::create_directories(folder_.File("root/locks"));
  const std::string lockFile = folder_.File("root/locks/" + RunLockName(folder_.File("root/c/SCONTRINO.INP")));
  const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const ChildResult result = Check({"--port", "3", "--json"}, control);
  ::close(fd);
  EXPECT_EQ(result.exitStatus, 1) << result.output;
  const json report = json::parse(result.output);
  EXPECT_FALSE(Finding(report, "lock").at("ok"));
  EXPECT_TRUE(report.at("ports").empty());
  EXPECT_EQ(emulator_->Stop(), 0);
  EXPECT_EQ(folder_.Read("journal.txt"), "");
}

TEST_F(CheckTest, WhatIsWrongIsNamedWithWhatToDo) {
  const std::string register_ = StartRegister();
  const struct {
    const char* what;
    std::string config;
    std::string control;
    const char* id;
    const char* text;
  } cases[] = {
      {"port out of range", "port=40000\r\n", register_, "loader", "PLUZELKO termina con 6"},
      {"config.cmd missing", "", register_, "loader", "File di configurazione assente"},
      {"nobody at the address", "port=3\r\n", "tcp:127.0.0.1:1", "control", "NON accetta la connessione"},
      {"an unknown control", "port=3\r\n", "bogus", "control", "ZELKO_CONTROL=bogus"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(folder_.File("bin/config.cmd"));
    if (!c.config.empty()) folder_.Write("bin/config.cmd", c.config);
    const ChildResult result = Check({"--json"}, c.control);
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    const json finding = Finding(json::parse(result.output), c.id);
    EXPECT_FALSE(finding.at("ok"));
    EXPECT_NE(finding.at("text").get<std::string>().find(c.text), std::string::npos) << finding;
    EXPECT_FALSE(finding.value("remedy", "").empty());
  }
}

// As a standard user, in a drive folder that takes no new file: the files
// that exist are written in place, the missing one cannot be made; nothing
// is left behind and no byte changes.
TEST_F(CheckTest, FilesAreJudgedByHowARunWouldWriteThemAndStayAsTheyWere) {
  folder_.Write("root/c/SCONTRINO.INP", "1\r\n9600\r\n0\r\n");
  folder_.Write("root/c/SCONTRINO.OUT", "0000\r\nOK\r\n");
  for (const char* file : {"root/c/SCONTRINO.INP", "root/c/SCONTRINO.OUT"}) ::chmod(folder_.File(file).c_str(), 0666);
  ::chmod(folder_.File("root").c_str(), 0777);
  ::chmod(folder_.File("root/c").c_str(), 0555);
  for (const char* open : {"", "bin"}) ::chmod(folder_.File(open).c_str(), 0755);
  const testing::Command command = testing::AsUnprivilegedUser(folder_.File("bin/ZelkoCheck"), {"--report",
                                                                 folder_.File("root/report.txt")});
  const ChildResult result = Check({}, "emulator", &command);
  ::chmod(folder_.File("root/c").c_str(), 0755);
  EXPECT_EQ(result.exitStatus, 1) << result.output;
  EXPECT_NE(result.output.find("[NO] files: scontrino c:\\SCONTRINO.INP scrivibile sul posto (la cartella non accetta "
                               "file nuovi); esito c:\\SCONTRINO.OUT scrivibile sul posto"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("dati c:\\JQTZelkoData.OUT NON scrivibile da questo utente"), std::string::npos);
  EXPECT_NE(result.output.find("icacls c:\\JQTZelkoData.OUT /grant *S-1-5-11:M"), std::string::npos);
  EXPECT_EQ(testing::EntryCount(folder_.File("root/c")), 2u);
  EXPECT_EQ(folder_.Read("root/c/SCONTRINO.OUT"), "0000\r\nOK\r\n");
  EXPECT_EQ(folder_.Read("root/report.txt"), result.output);
}

}  // namespace
}  // namespace zelko
