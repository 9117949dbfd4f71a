#include "file_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "fake_settings_store.h"
#include "memory_host.h"
#include "recording_operator.h"
#include "scripted_control.h"

namespace zelko {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kCommandFile = "c:\\SCONTRINO.INP";
constexpr const char* kResultFile = "c:\\SCONTRINO.OUT";
constexpr const char* kDataFile = "c:\\JQTZelkoData.OUT";
constexpr const char* kTitle = "JQT ZELKO Driver rel.1.0.11";
const std::string kReady = "0000000000001234";

class DriverRunTest : public ::testing::Test {
 protected:
  int Run() {
    DriverRun run(host, store, person, control, diagnostics);
    return Main(run);
  }
  void CommandFile(const std::string& content) { host.files[kCommandFile] = content; }
  std::string Result() { return host.files[kResultFile]; }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const auto& line : person.log) {
      if (line.starts_with("box")) boxes.push_back(line);
    }
    return boxes;
  }
  void StatusReplies(std::deque<std::pair<std::int32_t, std::string>> replies) {
    control.statusReplies = std::move(replies);
  }
  // The control's operation at `index`, or "(none)" when the run did not get that far.
  std::string OperationAt(std::size_t index) const {
    return index < control.operations.size() ? control.operations[index] : "(none)";
  }
  std::string LastOperation() const { return control.operations.empty() ? "(none)" : control.operations.back(); }

  testing::MemoryHost host{"d:\\app"};
  testing::FakeSettingsStore store;
  testing::RecordingOperator person;
  testing::ScriptedControl control;
  std::ostringstream diagnostics;
};

// The operations of a run whose session and checks pass at once.
std::vector<std::string> SessionThen(std::vector<std::string> tail) {
  std::vector<std::string> operations = {"ClosePort",      "OpenPort COM1",
                                         "SendCommand =K", "SendQuery <</?s",
                                         "SendCommand =D1/(  ZELKO  Collegato )", "SendQuery <</?f",
                                         "SendQuery <</?s"};
  operations.insert(operations.end(), tail.begin(), tail.end());
  return operations;
}

TEST_F(DriverRunTest, RunsEveryCommandAndWritesTheStatusTailAndOk) {
  CommandFile("COM1\r\n9600,n,8,1\r\n3\r\n  A  \r\nB\r\n\r\n");
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_THAT(control.operations,
              ElementsAreArray(SessionThen({"SendCommand A", "SendCommand B", "SendCommand ", "SendQuery <</?s",
                                            "ClosePort"})));
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
  EXPECT_THAT(person.log, IsEmpty());
  EXPECT_EQ(diagnostics.str(), "");
}

TEST_F(DriverRunTest, ThreeLinesWithNoCommandsSendNothingButAskTheStatus) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_THAT(control.operations, ElementsAreArray(SessionThen({"SendQuery <</?s", "ClosePort"})));
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
}

TEST_F(DriverRunTest, SetsHighSpeedBetweenClosingAndOpeningThePort) {
  CommandFile(" COM2 \r\n  115200,n,8,1\r\n0\r\n");
  Run();
  EXPECT_THAT(std::vector(control.operations.begin(), control.operations.begin() + 3),
              ElementsAre("ClosePort", "HighSpeed true", "OpenPort COM2"));
}

TEST_F(DriverRunTest, StopCommandIsTheLastOneSentAndNeedsNoStatusQuery) {
  CommandFile("COM1\r\n9600\r\n4\r\nA\r\n >>/?S1 \r\nC\r\nD\r\n");
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_THAT(control.operations, ElementsAreArray(SessionThen({"SendCommand A", "SendCommand >>/?S1", "ClosePort"})));
  EXPECT_EQ(Result(), "0000\r\nOK\r\n");
}

TEST_F(DriverRunTest, LowerCaseStopCommandDoesNotStop) {
  CommandFile("COM1\r\n9600\r\n2\r\n>>/?s\r\nB\r\n");
  Run();
  EXPECT_THAT(control.operations,
              ElementsAreArray(SessionThen({"SendCommand >>/?s", "SendCommand B", "SendQuery <</?s", "ClosePort"})));
}

TEST_F(DriverRunTest, FailingCommandIsReportedWithItsLineAndTheExtendedCode) {
  CommandFile("COM1\r\n9600\r\n3\r\nA\r\n  B\t \r\nC\r\n");
  control.failingCommands["B\t"] = 114;
  control.extendedCode = 4711;
  host.files[kResultFile] = "1234\r\nOK\r\n";
  std::string resultWhenPortCloses;
  control.beforeAnswer = [&](const std::string& operation, RegisterEvents&) {
    if (operation == "ClosePort") resultWhenPortCloses = Result();
  };
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_THAT(resultWhenPortCloses, ::testing::StartsWith("4711\r\n"));
  EXPECT_THAT(control.operations,
              ElementsAreArray(SessionThen({"SendCommand A", "SendCommand B\t", "ResultCodeExtended", "ClosePort"})));
  const std::string message = "COMANDO scontrino NON Eseguito!  Linea: 0005 Comando:   B\t ";
  EXPECT_EQ(Result(), "4711\r\n" + message + "\r\n");
  EXPECT_THAT(person.log, ElementsAre(std::string("box\t16\t") + kTitle + "\t" + message + "\tOK"));
}

TEST_F(DriverRunTest, FailingCommandCodeOtherThan114IsWrittenAsItCame) {
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  control.failingCommands["A"] = -7;
  store.values["GestioneErrori"] = " N ";
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(Result(), "-7\r\nCOMANDO scontrino NON Eseguito!  Linea: 0004 Comando: A\r\n");
  EXPECT_THAT(Boxes(), IsEmpty());
}

struct EarlyFailureCase {
  const char* name;
  std::optional<std::string> commandFile;
  const char* gestioneErrori;
  const char* message;
  bool box;
};

class EarlyFailure : public DriverRunTest, public ::testing::WithParamInterface<EarlyFailureCase> {};

// Before the port opens: the report goes to the default result path and the
// only operation is the report's ClosePort.
TEST_P(EarlyFailure, IsReportedWithCodeZeroBeforeThePortOpens) {
  const EarlyFailureCase& c = GetParam();
  if (c.commandFile) CommandFile(*c.commandFile);
  if (*c.gestioneErrori != '\0') store.values["GestioneErrori"] = c.gestioneErrori;
  host.commandLine = "d:\\elsewhere.out";
  host.files[kResultFile] = "1234\r\nOK\r\n";
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(Result(), std::string("0\r\n") + c.message + "\r\n");
  EXPECT_THAT(control.operations, ElementsAre("ClosePort"));
  if (c.box) {
    EXPECT_THAT(Boxes(), ElementsAre(std::string("box\t16\t") + kTitle + "\t" + c.message + "\tOK"));
  } else {
    EXPECT_THAT(Boxes(), IsEmpty());
  }
  EXPECT_FALSE(host.files.contains("d:\\elsewhere.out"));
  EXPECT_TRUE(store.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EarlyFailure,
    ::testing::Values(
        EarlyFailureCase{"TooManyLines", "COM1\r\n9600\r\n2\r\nA\r\nB\r\nC\r\n", "", "Righe Scontrino NON uguali lette: 0003", true},
        EarlyFailureCase{"TooFewLines", "COM1\r\n9600\r\n2\r\nA\r\n", " N ", "Righe Scontrino NON uguali lette: 0001", false},
        EarlyFailureCase{"LowerCaseN", "COM1\r\n9600\r\n2\r\n", "n", "Righe Scontrino NON uguali lette: 0000", true},
        EarlyFailureCase{"Missing", std::nullopt, "", "File Scontrino assente o incompleto: c:\\SCONTRINO.INP", true},
        EarlyFailureCase{"TwoLines", "COM1\r\n9600\r\n", "N", "File Scontrino assente o incompleto: c:\\SCONTRINO.INP", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever happens to the command file once it has been counted, the lines
// sent are the ones counted.
TEST_F(DriverRunTest, SecondPassSendsTheLinesTheFirstPassCounted) {
  const struct {
    const char* name;
    std::optional<std::string> later;  // the file when the session starts; nothing: removed
  } cases[] = {
      {"removed", std::nullopt},
      {"rewritten with as many lines", "COM1\r\n9600\r\n2\r\nX\r\nY\r\n"},
      {"half written", "COM1\r\n9600\r\n2\r\nX"},
      {"grown", "COM1\r\n9600\r\n2\r\nA\r\nB\r\nC\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandFile("COM1\r\n9600\r\n2\r\nA\r\nB\r\n");
    control.operations.clear();
    control.beforeAnswer = [&](const std::string& operation, RegisterEvents&) {
      if (operation != "SendCommand =K") return;
      if (c.later) {
        CommandFile(*c.later);
      } else {
        host.files.erase(kCommandFile);
      }
    };
    EXPECT_EQ(Run(), kExitSuccess);
    EXPECT_THAT(control.operations,
                ElementsAreArray(SessionThen({"SendCommand A", "SendCommand B", "SendQuery <</?s", "ClosePort"})));
    EXPECT_EQ(Result(), "1234\r\nOK\r\n");
  }
}

// A backend that throws, wherever in the run, ends it like any failure: a
// failure result instead of an earlier "OK", the port closed, exit status 1.
TEST_F(DriverRunTest, ExceptionFromTheControlEndsTheRunWithAFailureResult) {
  for (const char* thrower : {"OpenPort COM1", "SendCommand =K", "SendQuery <</?s", "SendCommand A",
                              "SendCommand B", "ResultCodeExtended"}) {
    SCOPED_TRACE(thrower);
    CommandFile("COM1\r\n9600\r\n2\r\nA\r\nB\r\n");
    control.failingCommands = {{"B", kResultExtended}};
    host.files[kResultFile] = "0000\r\nOK\r\n";
    control.operations.clear();
    diagnostics.str("");
    control.beforeAnswer = [&](const std::string& operation, RegisterEvents&) {
      if (operation == thrower) throw std::runtime_error("guasto");
    };
    EXPECT_EQ(Run(), kExitFailureReported);
    EXPECT_EQ(Result(), "0\r\nErrore interno del driver: guasto\r\n");
    EXPECT_EQ(LastOperation(), "ClosePort");
    EXPECT_EQ(diagnostics.str(), "internal failure: guasto\n");
  }
}

TEST_F(DriverRunTest, ExceptionThatAlsoStopsThePortClosingStillLeavesAFailureResult) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  control.beforeAnswer = [&](const std::string& operation, RegisterEvents&) {
    if (operation.starts_with("SendQuery") || operation == "ClosePort") throw std::runtime_error("guasto");
  };
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(Result(), "0\r\nErrore interno del driver: guasto\r\n");

  host.FailCreate(kResultFile);
  EXPECT_EQ(Run(), kExitResultNotWritten) << "only a result file that cannot be written gives 2";
}

TEST_F(DriverRunTest, CommandLineNamesTheResultFileInQuotes) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  host.commandLine = "  \"d:\\my results\\r.out\"  ";
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(host.files["d:\\my results\\r.out"], "1234\r\nOK\r\n");
  EXPECT_FALSE(host.files.contains(kResultFile));
}

TEST_F(DriverRunTest, UnwritableResultFileGivesExitStatusTwoAndOneDiagnosticLine) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  host.FailCreate(kResultFile);
  EXPECT_EQ(Run(), kExitResultNotWritten);
  EXPECT_EQ(diagnostics.str(), "the result file \"c:\\SCONTRINO.OUT\" could not be written\n");

  // Whatever the run, the earlier outcome is gone: the file holds nothing.
  CommandFile("COM1\r\n9600\r\n5\r\n");
  host.ClearFaults();
  host.FailWriteAfter(kResultFile, 0);
  host.files[kResultFile] = "0000\r\nOK\r\n";
  EXPECT_EQ(Run(), kExitResultNotWritten);
  EXPECT_EQ(Result(), "");
}

// The file the caller reads is emptied before anything reaches the register,
// so that an earlier "OK" never stands for this run: the named one when the
// command line names one (a miscounted file is still reported in the default
// one).
TEST_F(DriverRunTest, CallersResultFileIsEmptiedBeforeTheRegisterIsTouched) {
  const struct {
    const char* commandLine;
    const char* callersFile;
  } cases[] = {{"", kResultFile}, {"d:\\r.out", "d:\\r.out"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.commandLine);
    CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
    host.commandLine = c.commandLine;
    host.files[c.callersFile] = "0000\r\nOK\r\n";
    std::string seenAtFirstOperation;
    control.beforeAnswer = [&](const std::string&, RegisterEvents&) {
      if (seenAtFirstOperation.empty()) seenAtFirstOperation = "[" + host.files[c.callersFile] + "]";
    };
    host.ClearFileEvents();
    EXPECT_EQ(Run(), kExitSuccess);
    EXPECT_EQ(seenAtFirstOperation, "[]");
    EXPECT_THAT(host.FileEvents(), ElementsAre("lock c:\\SCONTRINO.INP", std::string("empty ") + c.callersFile,
                                               "unlock c:\\SCONTRINO.INP"));
  }
  control.beforeAnswer = nullptr;
  host.files["d:\\r.out"] = "0000\r\nOK\r\n";
  CommandFile("COM1\r\n9600\r\n5\r\n");
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(host.files["d:\\r.out"], "");
  EXPECT_EQ(Result(), "0\r\nRighe Scontrino NON uguali lette: 0000\r\n");
}

TEST_F(DriverRunTest, ResultFileThatCannotBeEmptiedEndsTheRunBeforeTheRegister) {
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  host.files[kResultFile] = "0000\r\nOK\r\n";
  host.FailEmpty(kResultFile);
  EXPECT_EQ(Run(), kExitResultNotWritten);
  EXPECT_THAT(control.operations, IsEmpty());
  EXPECT_EQ(diagnostics.str(), "the result file \"c:\\SCONTRINO.OUT\" could not be written; nothing "
                               "was sent to the register\n");
}

TEST_F(DriverRunTest, RunHoldsTheCommandFileLockFromStartToEnd) {
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  host.commandLine = "d:\\r.out";
  std::vector<std::size_t> heldAt;
  control.beforeAnswer = [&](const std::string&, RegisterEvents&) { heldAt.push_back(host.FileEvents().size()); };
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_THAT(heldAt, Each(2u));
  EXPECT_THAT(host.FileEvents(),
              ElementsAre("lock c:\\SCONTRINO.INP", "empty d:\\r.out", "unlock c:\\SCONTRINO.INP"));

  host.ClearFileEvents();
  CommandFile("COM1\r\n9600\r\n5\r\n");
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_THAT(host.FileEvents(),
              ElementsAre("lock c:\\SCONTRINO.INP", "empty d:\\r.out", "unlock c:\\SCONTRINO.INP"));
}

TEST_F(DriverRunTest, RunWithoutItsLockGoesOnAndSaysSo) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  host.FailLock(kCommandFile);
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
  EXPECT_EQ(diagnostics.str(),
            "the run lock of \"c:\\SCONTRINO.INP\" cannot be had; running without it\n");
}

TEST_F(DriverRunTest, HostPlacesTheFilesInTheProfileFolder) {
  host.version = WindowsVersion{2, 6, 1, 7601};
  host.environment = {"USERPROFILE=c:\\Users\\anna"};
  host.files["c:\\Users\\anna\\Scontrino.inp"] = "COM1\r\n9600\r\n0\r\n";
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(host.files["c:\\Users\\anna\\SCONTRINO.OUT"], "1234\r\nOK\r\n");
}

TEST_F(DriverRunTest, HiddenDefaultCommandFileCountsAsAbsent) {
  host.version = WindowsVersion{2, 5, 1, 2600};
  CommandFile("COM9\r\n9600\r\n0\r\n");
  host.MakeNotOrdinary(kCommandFile);
  host.files["d:\\app\\Scontrino.inp"] = "COM1\r\n9600\r\n0\r\n";
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(OperationAt(1), "OpenPort COM1");
}

// Register session set-up.

struct QueryFailureCase {
  std::int32_t result;
  const char* gestioneErrori;
  const char* line1;
  const char* message;
  bool box;
};

class StatusQueryFailure : public DriverRunTest, public ::testing::WithParamInterface<QueryFailureCase> {};

TEST_P(StatusQueryFailure, EndsTheRunBeforeTheGreeting) {
  const QueryFailureCase& c = GetParam();
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  if (*c.gestioneErrori != '\0') store.values["GestioneErrori"] = c.gestioneErrori;
  StatusReplies({{c.result, ""}});
  control.extendedCode = 3001;
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(Result(), std::string(c.line1) + "\r\n" + c.message + "\r\n");
  std::vector<std::string> expected = {"ClosePort", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s"};
  if (c.result == 114) expected.push_back("ResultCodeExtended");
  expected.push_back("ClosePort");
  EXPECT_THAT(control.operations, ElementsAreArray(expected));
  if (c.box) {
    EXPECT_THAT(Boxes(), ElementsAre(std::string("box\t16\t") + kTitle + "\t" + c.message + "\tOK"));
  } else {
    EXPECT_THAT(Boxes(), IsEmpty());
  }
  // Only GestioneErrori is written by a session that does not complete.
  ASSERT_EQ(store.writes.size(), *c.gestioneErrori == '\0' ? 1u : 0u);
  if (!store.writes.empty()) {
    EXPECT_EQ(store.writes[0], std::make_pair(std::string("GestioneErrori"), std::string("S")));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusQueryFailure,
                         ::testing::Values(QueryFailureCase{107, "", "107", "ZELKO NON Collegato!", true},
                                           QueryFailureCase{107, " N ", "107", "ZELKO NON Collegato!", false},
                                           QueryFailureCase{107, "n", "107", "ZELKO NON Collegato!", true},
                                           QueryFailureCase{114, "", "3001", "ZELKO NON Disponibile!", true},
                                           QueryFailureCase{5, "N", "5", "ZELKO NON Disponibile!", false}));

TEST_F(DriverRunTest, OpenCoverIsShownOncePerQueryUntilReady) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  StatusReplies({{0, "0103"}, {0, " 103xx"}, {0, kReady}});
  EXPECT_EQ(Run(), kExitSuccess);
  const std::string cover = std::string("box\t64\t") + kTitle + "\tCoperchio APERTO! chiudere il COPERCHIO e premere OK\tOK";
  EXPECT_THAT(person.log, ElementsAre(cover, cover));
  EXPECT_EQ(person.paces, 2);
  ASSERT_GE(control.operations.size(), 7u);
  EXPECT_THAT(std::vector(control.operations.begin(), control.operations.begin() + 7),
              ElementsAre("ClosePort", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s", "SendQuery <</?s",
                          "SendQuery <</?s", "SendCommand =D1/(  ZELKO  Collegato )"));
}

TEST_F(DriverRunTest, FaultAfterTheCoverClosesEndsTheRunSilently) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  store.values["GestioneErrori"] = "S";
  StatusReplies({{0, "0103"}, {0, "0042000000"}});
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(Result(), "42\r\nErrore Emissione Scontrino\r\n");
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(LastOperation(), "ClosePort");
  EXPECT_TRUE(store.writes.empty());
}

TEST_F(DriverRunTest, StatusWithoutANumberCountsAsReady) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  StatusReplies({{0, "abcd01"}});
  store.values["ControlloTransazione"] = "N";
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(Result(), "cd01\r\nOK\r\n");
}

struct GreetingCase {
  const char* stored;
  std::optional<std::string> command;
};

class Greeting : public DriverRunTest, public ::testing::WithParamInterface<GreetingCase> {};

TEST_P(Greeting, FollowsTheStoredMessage) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  store.values["Messaggio"] = GetParam().stored;
  Run();
  std::vector<std::string> expected = {"SendQuery <</?s"};
  if (GetParam().command) expected.push_back("SendCommand " + *GetParam().command);
  expected.push_back("SendQuery <</?f");
  EXPECT_THAT(std::vector(control.operations.begin() + 3, control.operations.begin() + 3 + expected.size()),
              ElementsAreArray(expected));
  EXPECT_EQ(store.values["Messaggio"], GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Messages, Greeting,
                         ::testing::Values(GreetingCase{"", "=D1/(  ZELKO  Collegato )"},
                                           GreetingCase{"   ", "=D1/(  ZELKO  Collegato )"},
                                           GreetingCase{"NULL", std::nullopt}, GreetingCase{" nUlL  ", std::nullopt},
                                           GreetingCase{"  Buongiorno ", "=D1/(  Buongiorno )"},
                                           GreetingCase{"NULLA", "=D1/(NULLA)"}));

// A complete session writes a key only where the store lacks it or holds another value.
struct SettingsWritesCase {
  const char* name;
  std::map<std::string, std::string> stored;
  std::vector<std::pair<std::string, std::string>> writes;
};

class SettingsWrites : public DriverRunTest, public ::testing::WithParamInterface<SettingsWritesCase> {};

TEST_P(SettingsWrites, OfACompleteSession) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  store.values = GetParam().stored;
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(store.writes, GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, SettingsWrites,
    ::testing::Values(
        SettingsWritesCase{"Empty", {}, {{"GestioneErrori", "S"}, {"Messaggio", ""}, {"ControlloTransazione", "S"}}},
        SettingsWritesCase{"AsWritten", {{"GestioneErrori", "S"}, {"Messaggio", ""}, {"ControlloTransazione", "S"}}, {}},
        SettingsWritesCase{
            "SetByHand", {{"GestioneErrori", " N "}, {"Messaggio", "NULL"}, {"ControlloTransazione", " S "}}, {}},
        SettingsWritesCase{"MessaggioMissing", {{"GestioneErrori", "S"}, {"ControlloTransazione", "s"}}, {{"Messaggio", ""}}},
        SettingsWritesCase{"BlankValues",
                           {{"GestioneErrori", " "}, {"Messaggio", " "}, {"ControlloTransazione", ""}},
                           {{"GestioneErrori", "S"}, {"ControlloTransazione", "S"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverRunTest, UnreadableStoreLoadsEmptySettingsAndTheRunGoesOn) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  store.unreadable = true;
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
}

// Open receipt.

struct OpenReceiptCase {
  const char* name;
  const char* controllo;  // nullptr: absent
  std::deque<OperatorAnswer> answers;
  std::deque<std::pair<std::int32_t, std::string>> replies;
  std::vector<std::string> boxes;  // "<style> <answer>"
  std::vector<std::string> afterCheck;
};

class OpenReceipt : public DriverRunTest, public ::testing::WithParamInterface<OpenReceiptCase> {};

TEST_P(OpenReceipt, IsHandledAsControlloTransazioneSays) {
  const OpenReceiptCase& c = GetParam();
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  if (c.controllo != nullptr) store.values["ControlloTransazione"] = c.controllo;
  person.answers = c.answers;
  StatusReplies(c.replies);
  EXPECT_EQ(Run(), kExitSuccess);
  std::vector<std::string> boxes;
  for (const auto& line : Boxes()) {
    const auto style = line.substr(4, 2);
    boxes.push_back(style + " " + line.substr(line.rfind('\t') + 1));
  }
  EXPECT_THAT(boxes, ElementsAreArray(c.boxes));
  // Session: ClosePort, OpenPort, =K, <</?s, greeting, <</?f; then the check's own query.
  std::vector<std::string> after(control.operations.begin() + 7, control.operations.end() - 3);
  EXPECT_THAT(after, ElementsAreArray(c.afterCheck));
  EXPECT_EQ(control.operations.end()[-3], "SendCommand A");
}

const std::pair<std::int32_t, std::string> kOpen{0, "000001001234"};
const std::pair<std::int32_t, std::string> kClosed{0, "000000001234"};

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenReceipt,
    ::testing::Values(
        OpenReceiptCase{"Yes", "S", {OperatorAnswer::Yes}, {kClosed, kOpen}, {"52 YES"}, {"SendCommand =k"}},
        OpenReceiptCase{"BlankMeansS", "  ", {}, {kClosed, kOpen}, {"52 YES"}, {"SendCommand =k"}},
        OpenReceiptCase{"NoTwice",
                        "S",
                        {OperatorAnswer::No},
                        {kClosed, kOpen, kOpen, kClosed},
                        {"52 NO", "64 OK", "64 OK"},
                        {"SendQuery <</?s", "SendQuery <</?s"}},
        OpenReceiptCase{"NoWhenAlreadyClosed", "S", {OperatorAnswer::No}, {kClosed, kOpen, kClosed},
                        {"52 NO", "64 OK"}, {"SendQuery <</?s"}},
        // While a receipt is open, the status code is not looked at.
        OpenReceiptCase{"OpenWithFaultCode", "S", {OperatorAnswer::Yes}, {kClosed, {0, "004201"}}, {"52 YES"},
                        {"SendCommand =k"}},
        OpenReceiptCase{"LowerCaseS", "s", {}, {kClosed, kOpen}, {}, {}},
        OpenReceiptCase{"SpacedS", " S ", {}, {kClosed, kOpen}, {}, {}},
        // A reply too short for the receipt state goes to the ready wait.
        OpenReceiptCase{"ShortReply", "S", {}, {kClosed, {0, "01030"}, {0, "0"}}, {"64 OK"}, {"SendQuery <</?s"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverRunTest, ShortStatusReplyIsTheWholeTail) {
  CommandFile("COM1\r\n9600\r\n0\r\n");
  StatusReplies({{0, "0"}, {0, "0"}, {0, "abc"}});
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(Result(), "abc\r\nOK\r\n");
}

// Notifications.

TEST_F(DriverRunTest, PaperEventsShowAndCloseOneNotice) {
  CommandFile("COM1\r\n9600\r\n3\r\nA\r\nB\r\nC\r\n");
  control.beforeAnswer = [](const std::string& operation, RegisterEvents& events) {
    if (operation == "SendCommand A") {
      events.StatusUpdate(24);
      events.StatusUpdate(21);
      events.StatusUpdate(99);
    } else if (operation == "SendCommand B") {
      events.StatusUpdate(26);
      events.StatusUpdate(23);
      events.StatusUpdate(21);
    } else if (operation == "SendCommand C") {
      events.StatusUpdate(23);
    }
  };
  EXPECT_EQ(Run(), kExitSuccess);
  const std::string caption = std::string("\t(") + kTitle + ")";
  EXPECT_THAT(person.log, ElementsAre("notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !" + caption,
                                      "notice\tshow\tFine ROTOLO GIORNALE,   SOSTITUIRE la carta !" + caption,
                                      "notice\tclose", "notice\tclose",
                                      "notice\tshow\tFine ROTOLO GIORNALE,   SOSTITUIRE la carta !" + caption,
                                      "notice\tclose"));
}

TEST_F(DriverRunTest, DataEventsRewriteTheDataFileOnlyWhenDataArrives) {
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  host.files[kDataFile] = "old\r\n";
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(host.files[kDataFile], "old\r\n");

  control.beforeAnswer = [](const std::string& operation, RegisterEvents& events) {
    if (operation == "SendCommand A") {
      events.DataReceived("first");
      events.DataReceived("");
      events.DataReceived("th\xE8rd");
    }
  };
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(host.files[kDataFile], "first\r\n\r\nth\xE8rd\r\n");
}

TEST_F(DriverRunTest, DataLoggedBeforeAFailureIsKept) {
  CommandFile("COM1\r\n9600\r\n2\r\nA\r\nB\r\n");
  control.failingCommands["B"] = 111;
  control.beforeAnswer = [](const std::string& operation, RegisterEvents& events) {
    if (operation.starts_with("SendCommand ")) events.DataReceived(operation.substr(12));
  };
  EXPECT_EQ(Run(), kExitFailureReported);
  EXPECT_EQ(host.files[kDataFile], "=K\r\n=D1/(  ZELKO  Collegato )\r\nA\r\nB\r\n");
}

// One run object serves run after run: each places its files afresh and
// starts its data log anew.
TEST_F(DriverRunTest, OneRunObjectServesManyRuns) {
  DriverRun run(host, store, person, control, diagnostics);
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  control.beforeAnswer = [](const std::string& operation, RegisterEvents& events) {
    if (operation == "SendCommand A") events.DataReceived("x");
  };
  host.FailCreate(kDataFile);
  host.commandLine = "d:\\named.out";
  EXPECT_EQ(Main(run), kExitSuccess);
  host.commandLine.clear();
  EXPECT_EQ(Main(run), kExitSuccess);
  host.ClearFaults();
  EXPECT_EQ(Main(run), kExitSuccess);
  EXPECT_EQ(host.files["d:\\named.out"], "1234\r\nOK\r\n");
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
  EXPECT_EQ(host.files[kDataFile], "x\r\n");
  const std::string told =
      "the data file \"c:\\JQTZelkoData.OUT\" could not be opened; register data of this run is "
      "dropped\n";
  EXPECT_EQ(diagnostics.str(), told + told);
}

TEST_F(DriverRunTest, DataFileFaultsAreToldOnceAndTheRunGoesOn) {
  CommandFile("COM1\r\n9600\r\n1\r\nA\r\n");
  control.beforeAnswer = [](const std::string& operation, RegisterEvents& events) {
    if (operation.starts_with("SendCommand")) events.DataReceived("x");
  };
  host.FailCreate(kDataFile);
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(Result(), "1234\r\nOK\r\n");
  EXPECT_EQ(diagnostics.str(),
            "the data file \"c:\\JQTZelkoData.OUT\" could not be opened; register data of this run is "
            "dropped\n");

  diagnostics.str("");
  host.ClearFaults();
  host.FailWriteAfter(kDataFile, 0);
  EXPECT_EQ(Run(), kExitSuccess);
  EXPECT_EQ(diagnostics.str(),
            "the data file \"c:\\JQTZelkoData.OUT\" could not be written; register data of this run is "
            "dropped\n");
}

TEST(DriverTitle, IsBuiltFromTheProgramVersion) { EXPECT_EQ(DriverTitle(), kTitle); }

}  // namespace
}  // namespace zelko
