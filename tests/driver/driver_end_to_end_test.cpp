// Runs the built ZelkoDriver against a scripted TCP register and checks the
// result file, the settings file, the operator log and every operation the
// register received.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "child_process.h"
#include "scripted_tcp_register.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using testing::DataEvent;
using testing::RegisterScript;
using testing::ScriptedTcpRegister;
using testing::StatusEvent;
using Operations = std::vector<std::string>;
using Settings = std::map<std::string, std::string>;

const std::string kTitle = "JQT ZELKO Driver rel.1.0.11";
const std::string kReceipt = "COM1\r\n9600,n,8,1\r\n2\r\nA\r\nB\r\n";
const std::pair<std::int32_t, std::string> kReady{0, "0000000000001234"};
const std::pair<std::int32_t, std::string> kOpenReceipt{0, "000001001234"};
const std::string kReceiptEmpty = "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !";
const std::string kJournalEmpty = "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !";
const Settings kDefaults = {{"GestioneErrori", "S"}, {"Messaggio", ""}, {"ControlloTransazione", "S"}};
const Operations kSession = {"ClosePort", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s",
                             "SendCommand =D1/(  ZELKO  Collegato )", "SendQuery <</?f"};

Operations Join(std::initializer_list<Operations> parts) {
  Operations all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Session, the open-receipt check, commands A and B, the closing status.
const Operations kWholeRun = Join({kSession, {"SendQuery <</?s", "SendCommand A", "SendCommand B", "SendQuery <</?s",
                                              "ClosePort"}});

std::string Box(int style, const std::string& text, const char* answer) {
  return "box\t" + std::to_string(style) + "\t" + kTitle + "\t" + text + "\t" + answer;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const auto end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The driver's keys in the settings file.
Settings ReadSettings(const std::string& file) {
  Settings settings;
  bool inSection = false;
  for (std::string line : Lines(file)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) {
      inSection = line == "[JQT SPA\\ZELKO]";
    } else if (inSection && line.find('=') != std::string::npos) {
      settings[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
  }
  return settings;
}

struct Case {
  const char* name;
  std::string commandFile = kReceipt;
  std::string settingsFile;  // empty: none
  std::string answers;       // operator script
  RegisterScript script;
  std::string result;
  Operations operations;
  std::vector<std::string> operatorLog;
  Settings settings = kDefaults;
  int exitStatus = 0;
};

class DriverEndToEnd : public ::testing::TestWithParam<Case> {
 protected:
  testing::ChildResult Run(const ScriptedTcpRegister& fake, testing::Environment environment = {},
                           const std::vector<std::string>& arguments = {}) {
    environment["ZELKO_CONTROL"] = "tcp:127.0.0.1:" + fake.Port();
    environment["ZELKO_OPERATOR"] = "script:" + root.Write("answers.txt", answers);
    environment["ZELKO_OPERATOR_LOG"] = root.File("operator.log");
    return RunDriver(environment, arguments);
  }
  // The driver in the temporary root, which is also its home and working folder.
  testing::ChildResult RunDriver(testing::Environment environment, const std::vector<std::string>& arguments = {}) {
    environment["HOME"] = root.Path();
    environment["ZELKO_ROOT"] = root.Path();
    return testing::RunChild(ZELKO_DRIVER_PATH, arguments, environment, root.Path());
  }
  std::vector<std::string> OperatorLog() const {
    const std::string log = root.Read("operator.log");
    return log.empty() ? std::vector<std::string>{} : Lines(log.substr(0, log.size() - 1));
  }

  testing::TempFolder root;
  std::string answers;
};

TEST_P(DriverEndToEnd, Runs) {
  const Case& c = GetParam();
  if (!c.commandFile.empty()) root.Write("c/SCONTRINO.INP", c.commandFile);
  if (!c.settingsFile.empty()) root.Write("settings.ini", c.settingsFile);
  root.Write("c/SCONTRINO.OUT", "earlier\r\nOK\r\n");
  answers = c.answers;
  ScriptedTcpRegister fake(c.script);
  const auto outcome = Run(fake);
  EXPECT_EQ(outcome.exitStatus, c.exitStatus) << outcome.output;
  EXPECT_EQ(root.Read("c/SCONTRINO.OUT"), c.result);
  EXPECT_THAT(fake.Operations(), ElementsAreArray(c.operations));
  EXPECT_THAT(OperatorLog(), ElementsAreArray(c.operatorLog));
  EXPECT_EQ(ReadSettings(root.Read("settings.ini")), c.settings);
}

RegisterScript Statuses(std::deque<std::pair<std::int32_t, std::string>> replies) {
  RegisterScript script;
  script.statusReplies = std::move(replies);
  return script;
}

RegisterScript FailingCommand(const std::string& command, std::int32_t result, std::int32_t extended) {
  RegisterScript script;
  script.failingCommands[command] = result;
  script.extendedCode = extended;
  return script;
}

RegisterScript Events(std::map<std::string, std::vector<testing::ScriptedEvent>> events) {
  RegisterScript script;
  script.eventsBefore = std::move(events);
  return script;
}

const std::string kCover = "Coperchio APERTO! chiudere il COPERCHIO e premere OK";
const std::string kQuestion =
    "Scontrino in CORSO sulla cassa!  ANNULLO lo scontrino APERTO e procedo con il SUCCESSIVO?";
const std::string kManual = "Completare MANUALMENTE la vendita CORRENTE e premere OK";
const Operations kUntilStatus = {"ClosePort", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s"};

INSTANTIATE_TEST_SUITE_P(
    Receipts, DriverEndToEnd,
    ::testing::Values(
        Case{.name = "Normal", .result = "1234\r\nOK\r\n", .operations = kWholeRun},
        Case{.name = "HighSpeedAndStop",
             .commandFile = "COM1\r\n115200,n,8,1\r\n3\r\nA\r\n>>/?S\r\nC\r\n",
             .result = "0000\r\nOK\r\n",
             .operations = Join({{"ClosePort", "HighSpeed true"}, Operations(kSession.begin() + 1, kSession.end()),
                                 {"SendQuery <</?s", "SendCommand A", "SendCommand >>/?S", "ClosePort"}})},
        Case{.name = "LineCountMismatch",
             .commandFile = "COM1\r\n9600\r\n2\r\nA\r\nB\r\nC\r\n",
             .result = "0\r\nRighe Scontrino NON uguali lette: 0003\r\n",
             .operations = {"ClosePort"},
             .operatorLog = {Box(16, "Righe Scontrino NON uguali lette: 0003", "OK")},
             .settings = {},
             .exitStatus = 1},
        Case{.name = "MissingCommandFileQuietly",
             .commandFile = "",
             .settingsFile = "[JQT SPA\\ZELKO]\nGestioneErrori= N \n",
             .result = "0\r\nFile Scontrino assente o incompleto: c:\\SCONTRINO.INP\r\n",
             .operations = {"ClosePort"},
             .settings = {{"GestioneErrori", " N "}},
             .exitStatus = 1},
        Case{.name = "FailingCommandWithExtendedCode",
             .commandFile = "COM1\r\n9600\r\n3\r\nA\r\n B \r\nC\r\n",
             .script = FailingCommand("B", 114, 4711),
             .result = "4711\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando:  B \r\n",
             .operations = Join({kSession, {"SendQuery <</?s", "SendCommand A", "SendCommand B", "ResultCodeExtended",
                                            "ClosePort"}}),
             .operatorLog = {Box(16, "COMANDO scontrino NON Eseguito!  Linea: 0005 Comando:  B ", "OK")},
             .exitStatus = 1},
        Case{.name = "NotConnected",
             .script = Statuses({{107, ""}}),
             .result = "107\r\nZELKO NON Collegato!\r\n",
             .operations = Join({kUntilStatus, {"ClosePort"}}),
             .operatorLog = {Box(16, "ZELKO NON Collegato!", "OK")},
             .settings = {{"GestioneErrori", "S"}},
             .exitStatus = 1},
        Case{.name = "NotConnectedQuietly",
             .settingsFile = "[JQT SPA\\ZELKO]\nGestioneErrori=N\n",
             .script = Statuses({{107, ""}}),
             .result = "107\r\nZELKO NON Collegato!\r\n",
             .operations = Join({kUntilStatus, {"ClosePort"}}),
             .settings = {{"GestioneErrori", "N"}},
             .exitStatus = 1},
        Case{.name = "QueryFailsWithExtendedCode",
             .script = [] {
               RegisterScript script = Statuses({{114, ""}});
               script.extendedCode = 301;
               return script;
             }(),
             .result = "301\r\nZELKO NON Disponibile!\r\n",
             .operations = Join({kUntilStatus, {"ResultCodeExtended", "ClosePort"}}),
             .operatorLog = {Box(16, "ZELKO NON Disponibile!", "OK")},
             .settings = {{"GestioneErrori", "S"}},
             .exitStatus = 1},
        Case{.name = "CoverOpenTwiceThenReady",
             .answers = "OK\nOK\nOK\n",
             .script = Statuses({{0, "0103"}, {0, "0103"}, kReady}),
             .result = "1234\r\nOK\r\n",
             .operations = Join({kUntilStatus, {"SendQuery <</?s", "SendQuery <</?s"},
                                 Operations(kWholeRun.begin() + 4, kWholeRun.end())}),
             .operatorLog = {Box(64, kCover, "OK"), Box(64, kCover, "OK")}},
        Case{.name = "FaultAfterCoverCloses",
             .answers = "OK\nOK\n",
             .script = Statuses({{0, "0103"}, {0, "0042"}}),
             .result = "42\r\nErrore Emissione Scontrino\r\n",
             .operations = Join({kUntilStatus, {"SendQuery <</?s", "ClosePort"}}),
             .operatorLog = {Box(64, kCover, "OK")},
             .settings = {{"GestioneErrori", "S"}},
             .exitStatus = 1},
        Case{.name = "MessaggioNullInMixedCase",
             .settingsFile = "[JQT SPA\\ZELKO]\nMessaggio= nUlL \n",
             .result = "1234\r\nOK\r\n",
             .operations = Join({kUntilStatus, {"SendQuery <</?f", "SendQuery <</?s", "SendCommand A",
                                                "SendCommand B", "SendQuery <</?s", "ClosePort"}}),
             .settings = {{"GestioneErrori", "S"}, {"Messaggio", " nUlL "}, {"ControlloTransazione", "S"}}},
        Case{.name = "MessaggioWithSpaces",
             .settingsFile = "[JQT SPA\\ZELKO]\nMessaggio=  Buongiorno \n",
             .result = "1234\r\nOK\r\n",
             .operations = Join({kUntilStatus, {"SendCommand =D1/(  Buongiorno )", "SendQuery <</?f",
                                                "SendQuery <</?s", "SendCommand A", "SendCommand B",
                                                "SendQuery <</?s", "ClosePort"}}),
             .settings = {{"GestioneErrori", "S"}, {"Messaggio", "  Buongiorno "}, {"ControlloTransazione", "S"}}},
        Case{.name = "OpenReceiptCancelled",
             .answers = "yes\n",
             .script = Statuses({kReady, kOpenReceipt, kReady}),
             .result = "1234\r\nOK\r\n",
             .operations = Join({kSession, {"SendQuery <</?s", "SendCommand =k", "SendCommand A", "SendCommand B",
                                            "SendQuery <</?s", "ClosePort"}}),
             .operatorLog = {Box(52, kQuestion, "YES")}},
        Case{.name = "OpenReceiptFinishedByHand",
             .answers = "NO\nOK\nOK\nOK\n",
             .script = Statuses({kReady, kOpenReceipt, kOpenReceipt, kReady}),
             .result = "1234\r\nOK\r\n",
             .operations = Join({kSession, {"SendQuery <</?s", "SendQuery <</?s", "SendQuery <</?s", "SendCommand A",
                                            "SendCommand B", "SendQuery <</?s", "ClosePort"}}),
             .operatorLog = {Box(52, kQuestion, "NO"), Box(64, kManual, "OK"), Box(64, kManual, "OK")}},
        Case{.name = "OpenReceiptLeftForLowerCaseS",
             .settingsFile = "[JQT SPA\\ZELKO]\nControlloTransazione=s\n",
             .script = Statuses({kReady, kOpenReceipt}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .settings = {{"GestioneErrori", "S"}, {"Messaggio", ""}, {"ControlloTransazione", "s"}}},
        Case{.name = "OpenReceiptLeftForSpacedS",
             .settingsFile = "[JQT SPA\\ZELKO]\nControlloTransazione= S \n",
             .script = Statuses({kReady, kOpenReceipt}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .settings = {{"GestioneErrori", "S"}, {"Messaggio", ""}, {"ControlloTransazione", " S "}}},
        Case{.name = "ShortStatusReplies",
             .script = Statuses({{0, ""}, {0, "0"}, {0, "7z"}}),
             .result = "7z\r\nOK\r\n",
             .operations = kWholeRun},
        Case{.name = "ReceiptPaperEndAndBack",
             .script = Events({{"SendCommand A", {StatusEvent(24)}}, {"SendCommand B", {StatusEvent(26)}}}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .operatorLog = {"notice\tshow\t" + kReceiptEmpty, "notice\tclose"}},
        Case{.name = "ReceiptEndClosedByJournalBack",
             .script = Events({{"SendCommand A", {StatusEvent(24)}}, {"SendCommand B", {StatusEvent(23)}}}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .operatorLog = {"notice\tshow\t" + kReceiptEmpty, "notice\tclose"}},
        Case{.name = "BothRollsShareOneNotice",
             .script = Events({{"SendCommand A", {StatusEvent(24), StatusEvent(21)}},
                               {"SendCommand B", {StatusEvent(26), StatusEvent(23)}}}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .operatorLog = {"notice\tshow\t" + kReceiptEmpty, "notice\tshow\t" + kJournalEmpty, "notice\tclose"}},
        Case{.name = "JournalEndClosedByReceiptBack",
             .script = Events({{"SendCommand =K", {StatusEvent(23)}},
                               {"SendCommand A", {StatusEvent(21)}},
                               {"SendCommand B", {StatusEvent(26), StatusEvent(24)}}}),
             .result = "1234\r\nOK\r\n",
             .operations = kWholeRun,
             .operatorLog = {"notice\tshow\t" + kJournalEmpty, "notice\tclose", "notice\tshow\t" + kReceiptEmpty}}),
    [](const auto& info) { return std::string(info.param.name); });

class DriverEndToEndRun : public DriverEndToEnd {};

TEST_F(DriverEndToEndRun, DataEventsReplaceTheDataFileOnlyWhenDataArrives) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  root.Write("c/JQTZelkoData.OUT", "earlier\r\n");
  {
    ScriptedTcpRegister quiet;
    EXPECT_EQ(Run(quiet).exitStatus, 0);
  }
  EXPECT_EQ(root.Read("c/JQTZelkoData.OUT"), "earlier\r\n");
  ScriptedTcpRegister talking(
      Events({{"SendCommand A", {DataEvent("uno"), DataEvent("due \xE8")}}, {"SendCommand B", {DataEvent("")}}}));
  EXPECT_EQ(Run(talking).exitStatus, 0);
  EXPECT_EQ(root.Read("c/JQTZelkoData.OUT"), "uno\r\ndue \xE8\r\n\r\n");
}

TEST_F(DriverEndToEndRun, UnwritableDataFileIsToldOnceAndTheReceiptGoesOn) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  root.MakeFolder("c/JQTZelkoData.OUT");
  ScriptedTcpRegister fake(Events({{"SendCommand A", {DataEvent("x"), DataEvent("y")}}}));
  const auto outcome = Run(fake);
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(root.Read("c/SCONTRINO.OUT"), "1234\r\nOK\r\n");
  EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << outcome.output;
  EXPECT_THAT(outcome.output, HasSubstr("c:\\JQTZelkoData.OUT"));
}

TEST_F(DriverEndToEndRun, ResultPathOnTheCommandLineInQuotes) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  root.MakeFolder("d/Risultati Cassa");
  ScriptedTcpRegister fake;
  const auto outcome = Run(fake, {}, {"\"d:\\Risultati Cassa\\esito.out\""});
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(root.Read("d/Risultati Cassa/esito.out"), "1234\r\nOK\r\n");
  EXPECT_FALSE(root.Exists("c/SCONTRINO.OUT"));
}

TEST_F(DriverEndToEndRun, UnwritableResultFileGivesExitStatusTwo) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  ScriptedTcpRegister fake;
  const auto outcome = Run(fake, {}, {"c:\\no such folder\\r.out"});
  EXPECT_EQ(outcome.exitStatus, 2);
  EXPECT_THAT(outcome.output, HasSubstr("c:\\no such folder\\r.out"));
  EXPECT_EQ(fake.Operations(), kWholeRun);
}

TEST_F(DriverEndToEndRun, SevenPlacesTheFilesInTheProfileFolder) {
  root.Write("c/Users/anna/Scontrino.inp", kReceipt);
  ScriptedTcpRegister fake(Events({{"SendCommand A", {DataEvent("d")}}}));
  const auto outcome = Run(fake, {{"ZELKO_WINDOWS_VERSION", "2.6.1.7601"}, {"USERPROFILE", "c:\\Users\\anna"}});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.output;
  EXPECT_EQ(root.Read("c/Users/anna/SCONTRINO.OUT"), "1234\r\nOK\r\n");
  EXPECT_EQ(root.Read("c/Users/anna/JQTZelkoData.OUT"), "d\r\n");
}

TEST_F(DriverEndToEndRun, NoRegisterListeningIsNotConnected) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  std::string port;
  {
    ScriptedTcpRegister gone;
    port = gone.Port();
  }
  root.Write("answers.txt", "");
  const auto outcome = RunDriver({{"ZELKO_CONTROL", "tcp:127.0.0.1:" + port},
                                  {"ZELKO_OPERATOR", "unattended"},
                                  {"ZELKO_OPERATOR_LOG", root.File("operator.log")}});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(root.Read("c/SCONTRINO.OUT"), "107\r\nZELKO NON Collegato!\r\n");
  EXPECT_THAT(OperatorLog(), ElementsAreArray({Box(16, "ZELKO NON Collegato!", "OK")}));
}

// The report's port closing does not wait a whole timeout more on a silent register.
TEST_F(DriverEndToEndRun, SilentRegisterIsReportedWithinTheTimeoutAndOneSecond) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    testing::ScriptedReply reply;
    if (operation == "SendQuery <</?s") reply.delay = std::chrono::milliseconds(6000);
    return reply;
  });
  const auto start = std::chrono::steady_clock::now();
  const auto outcome = Run(fake, {{"ZELKO_CONTROL_TIMEOUT_MS", "1500"}});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(root.Read("c/SCONTRINO.OUT"), "112\r\nZELKO NON Disponibile!\r\n");
}

TEST_F(DriverEndToEndRun, UnknownControlIsARegisterThatIsNotThere) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  const auto outcome = RunDriver({{"ZELKO_CONTROL", "com1"}, {"ZELKO_OPERATOR", "unattended"}});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(root.Read("c/SCONTRINO.OUT"), "107\r\nZELKO NON Collegato!\r\n");
  EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << outcome.output;
}

// Empty variables count as unset: the host's default control (here the
// built-in emulator, journaling under the root) and operator.
TEST_F(DriverEndToEndRun, EmptyVariablesCountAsUnset) {
  root.Write("c/SCONTRINO.INP", kReceipt);
  const auto outcome = testing::RunChild(ZELKO_DRIVER_PATH, {},
                                         {{"HOME", ""},
                                          {"ZELKO_ROOT", root.Path()},
                                          {"ZELKO_CONTROL", ""},
                                          {"ZELKO_OPERATOR", ""},
                                          {"ZELKO_OPERATOR_LOG", ""},
                                          {"ZELKO_CONTROL_TIMEOUT_MS", ""},
                                          {"ZELKO_EMULATOR_SCENARIO", ""}},
                                         root.Path());
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.output;
  EXPECT_THAT(root.Read("c/SCONTRINO.OUT"), ::testing::EndsWith("\r\nOK\r\n"));
  EXPECT_NE(root.Read("emulator/journal.txt").find("OpenPort\tCOM1\t0\n"), std::string::npos);
  EXPECT_EQ(outcome.output, "ZelkoDriver: ZELKO_CONTROL is not set; using the built-in register emulator (journal " +
                                root.Path() + "/emulator/journal.txt)\n");
}

}  // namespace
}  // namespace zelko
