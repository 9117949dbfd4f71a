#include "operator_selection.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "file_bytes.h"
#include "host_backend.h"
#include "scoped_env.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using testing::EntryCount;
using testing::ReadBytes;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteBytes;

class OperatorSelectionTest : public ::testing::Test {
 protected:
  // The operator that this process's environment names, read as the driver reads it.
  std::unique_ptr<Operator> SelectOperator() {
    return zelko::SelectOperator(ReadDriverEnvironment(ProcessEnvironment(), ""), *host_, diagnostics_);
  }

  std::unique_ptr<HostServices> host_ = MakeHostServices(0, nullptr);
  std::ostringstream diagnostics_;
  TempFolder folder_;
  ScopedEnv log_{"ZELKO_OPERATOR_LOG", folder_.File("log.txt")};
};

TEST_F(OperatorSelectionTest, ScriptAnswersThenUnattendedAllLogged) {
  WriteBytes(folder_.File("answers.txt"), "no\r\n\r\nOK\r\n");
  ScopedEnv chosen("ZELKO_OPERATOR", "script:" + folder_.File("answers.txt"));
  const auto person = SelectOperator();
  EXPECT_EQ(person->Ask("q", BoxKind::Question, "T"), OperatorAnswer::No);
  EXPECT_EQ(person->Ask("i", BoxKind::Information, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(person->Ask("q", BoxKind::Question, "T"), OperatorAnswer::Yes);
  person->ShowNotice("T", "n");
  person->CloseNotice();
  EXPECT_EQ(ReadBytes(folder_.File("log.txt")),
            "box\t52\tT\tq\tNO\nbox\t64\tT\ti\tOK\nbox\t52\tT\tq\tYES\nnotice\tshow\tn\nnotice\tclose\n");
}

TEST_F(OperatorSelectionTest, UnattendedUnknownAndUnreadableScriptAllAnswerByDefault) {
  const std::string missingScript = "script:" + folder_.File("missing.txt");
  const std::string folderScript = "script:" + folder_.Path();
  for (const std::string& name : {std::string("unattended"), std::string("bogus"), missingScript, folderScript}) {
    ScopedEnv chosen("ZELKO_OPERATOR", name);
    EXPECT_EQ(SelectOperator()->Ask("q", BoxKind::Question, "T"), OperatorAnswer::Yes) << name;
  }
  EXPECT_EQ(ReadBytes(folder_.File("log.txt")),
            "box\t52\tT\tq\tYES\nbox\t52\tT\tq\tYES\nbox\t52\tT\tq\tYES\nbox\t52\tT\tq\tYES\n");
}

// A script that cannot be read, a folder among them, is said once in the diagnostics.
TEST_F(OperatorSelectionTest, AnUnreadableScriptIsToldInTheDiagnostics) {
  for (const std::string& path : {folder_.File("missing.txt"), folder_.Path()}) {
    ScopedEnv chosen("ZELKO_OPERATOR", "script:" + path);
    diagnostics_.str("");
    SelectOperator();
    EXPECT_EQ(diagnostics_.str(), "ZELKO_OPERATOR: cannot read the script " + path + "; answering unattended\n");
  }
}

TEST_F(OperatorSelectionTest, AnEmptyScriptIsReadSilently) {
  WriteBytes(folder_.File("empty.txt"), "");
  ScopedEnv chosen("ZELKO_OPERATOR", "script:" + folder_.File("empty.txt"));
  SelectOperator();
  EXPECT_EQ(diagnostics_.str(), "");
}

TEST_F(OperatorSelectionTest, WithoutATerminalTheDefaultIsUnattended) {
  if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
  ScopedEnv chosen("ZELKO_OPERATOR", std::nullopt);
  EXPECT_EQ(SelectOperator()->Ask("i", BoxKind::Information, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(ReadBytes(folder_.File("log.txt")), "box\t64\tT\ti\tOK\n");
}

TEST_F(OperatorSelectionTest, NoLogWithoutTheVariable) {
  ScopedEnv noLog("ZELKO_OPERATOR_LOG", std::nullopt);
  ScopedEnv chosen("ZELKO_OPERATOR", "unattended");
  SelectOperator()->Ask("i", BoxKind::Information, "T");
  EXPECT_EQ(EntryCount(folder_.Path()), 0u);
}

}  // namespace
}  // namespace zelko
