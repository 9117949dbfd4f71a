// The loader's command file, executed by the built ZelkoDriver against the
// built-in register emulator.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "article_files.h"
#include "pluzelko_folders.h"
#include "file_bytes.h"

namespace zelko {
namespace {

using testing::ArticleLine;
using testing::PluzelkoFolders;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size()) {
    pieces.push_back(text.substr(from, at - from));
  }
  if (from < text.size()) pieces.push_back(text.substr(from));
  return pieces;
}

// The texts of the journal's SendCommand lines ("SendCommand<TAB>text<TAB>result").
std::vector<std::string> SentCommands(const std::string& journal) {
  std::vector<std::string> sent;
  for (const auto& line : Split(journal, "\n")) {
    const auto fields = Split(line, "\t");
    if (fields.size() >= 2 && fields[0] == "SendCommand") sent.push_back(fields[1]);
  }
  return sent;
}

struct DriverCase {
  const char* name;
  std::string config;
  std::string articleFile;
  std::vector<std::string> switches;
  friend void PrintTo(const DriverCase& c, std::ostream* os) { *os << c.name; }
};

class LoaderThenDriverTest : public ::testing::TestWithParam<DriverCase> {};

TEST_P(LoaderThenDriverTest, DriverEndsWithOkAndSendsEveryCommand) {
  PluzelkoFolders folders;
  testing::WriteBytes(folders.program() + "/config.cmd", GetParam().config);
  testing::WriteBytes(folders.data() + "/art.txt", GetParam().articleFile);
  std::vector<std::string> arguments = {"{data}/art.txt"};
  arguments.insert(arguments.end(), GetParam().switches.begin(), GetParam().switches.end());
  ASSERT_EQ(folders.Run(arguments).exitStatus, 0);

  const auto driver = testing::RunChild(
      ZELKO_DRIVER_PATH, {}, folders.Environment({{"ZELKO_CONTROL", "emulator"}, {"ZELKO_OPERATOR", "unattended"}}));
  EXPECT_EQ(driver.exitStatus, 0);
  const auto result = Split(folders.DriveFile("SCONTRINO.OUT").value_or(""), "\r\n");
  ASSERT_EQ(result.size(), 2u);
  EXPECT_EQ(result[1], "OK");

  // The driver sends its own commands first, then the file's, in order.
  const auto lines = Split(folders.DriveFile("Scontrino.inp").value_or(""), "\r\n");
  ASSERT_GT(lines.size(), 3u);
  const std::vector<std::string> commands(lines.begin() + 3, lines.end());
  const auto sent = SentCommands(testing::ReadBytes(folders.root() + "/emulator/journal.txt"));
  ASSERT_GE(sent.size(), commands.size());
  EXPECT_EQ(std::vector<std::string>(sent.end() - static_cast<std::ptrdiff_t>(commands.size()), sent.end()), commands);
}

std::string ManyArticles() {
  std::string file;
  for (int i = 0; i < 300; ++i) {
    file += ArticleLine(i == 150 ? "13" : "11", std::to_string(100000000000 + i * 7919), "ARTICOLO            ",
                        "00000250", i % 3 == 0 ? " " : "1", "02") +
            "\r\n";
  }
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    ArticleFiles, LoaderThenDriverTest,
    ::testing::Values(DriverCase{"WorkedExample", "", testing::WorkedExampleLine() + "\r\n", {}},
                      DriverCase{"ManyArticlesLowSpeedOtherPort", "port=2\r\nparity=e\r\n", ManyArticles(), {"-LS"}},
                      DriverCase{"NoArticleAccepted", "", ArticleLine("12", std::string(12, '1'), std::string(20, ' '),
                                                                      "00000001", "1", "01"),
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelko
