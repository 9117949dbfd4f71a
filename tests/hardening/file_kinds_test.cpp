// Files the programs write or read, when something other than a plain file
// stands at the path: a symbolic link is followed and stays, a FIFO, socket
// or device is refused at once (no wait) and stays what it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "hardening_test.h"

namespace zelko::hardening {
namespace {

namespace fs = std::filesystem;

class FileKindsTest : public HardeningTest {
 protected:
  // Frees a program blocked on opening the FIFO at `path`, if any.
  static void OpenOtherEnd(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
  }

  std::optional<int> RunLoader(const std::string& articles) {
    fs::create_directories(folder_.File("bin"));
    fs::copy_file(ZELKO_LOADER_PATH, folder_.File("bin/PLUZELKO"), fs::copy_options::overwrite_existing);
    folder_.Write("bin/config.cmd", "");
    return ChildProcess::Start(folder_.File("bin/PLUZELKO"), {folder_.Write("articles.art", articles)},
                               {{"ZELKO_ROOT", folder_.File("root")}}, folder_.File("loader.out"))
        ->Wait(10s);
  }
};

const std::string kArticle = "11000000001234ACQUA               00000150  01X\r\n";

// A device node of the null device, where the test may make one.
bool MakeNullDevice(const std::string& path) {
  return ::mknod(path.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) == 0;
}

TEST_F(FileKindsTest, DriverRefusesAResultPathThatIsNoFileAndLeavesItAsItWas) {
  const struct {
    const char* what;
    std::function<bool(const std::string&)> make;
    fs::file_type type;
  } cases[] = {
      {"FIFO", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, fs::file_type::fifo},
      {"device", MakeNullDevice, fs::file_type::character},
  };
  WriteReceipt({"=T1/$100", "=S"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder_.File(c.what);
    if (!c.make(path)) continue;  // no right to make a device here
    const auto exitStatus = RunDriverInProcess("", {path});
    if (!exitStatus && c.type == fs::file_type::fifo) OpenOtherEnd(path);
    EXPECT_EQ(exitStatus, 2) << DriverOutput();
    EXPECT_NE(DriverOutput().find("could not be written"), std::string::npos) << DriverOutput();
    EXPECT_EQ(fs::symlink_status(path).type(), c.type);
  }
}

TEST_F(FileKindsTest, LinksAtTheFilesWrittenByReplacementAreFollowedAndStay) {
  WriteReceipt({"=T1/$100", "=S"});
  fs::create_directories(folder_.File("real"));
  fs::create_symlink(folder_.File("real/result.txt"), folder_.File("root/c/SCONTRINO.OUT"));
  fs::create_symlink(folder_.File("real/settings.txt"), folder_.File("root/settings.ini"));
  EXPECT_EQ(RunDriverInProcess(""), 0) << DriverOutput();
  EXPECT_TRUE(fs::is_symlink(folder_.File("root/c/SCONTRINO.OUT")));
  EXPECT_TRUE(fs::is_symlink(folder_.File("root/settings.ini")));
  EXPECT_EQ(folder_.Read("real/result.txt").substr(4), "\r\nOK\r\n");
  EXPECT_NE(folder_.Read("real/settings.txt").find("GestioneErrori="), std::string::npos);

  fs::create_symlink(folder_.File("real/output.txt"), folder_.File("root/c/Scontrino.inp.new"));
  fs::remove(folder_.File("root/c/Scontrino.inp"));
  fs::rename(folder_.File("root/c/Scontrino.inp.new"), folder_.File("root/c/Scontrino.inp"));
  EXPECT_EQ(RunLoader(kArticle), 0) << folder_.Read("loader.out");
  EXPECT_TRUE(fs::is_symlink(folder_.File("root/c/Scontrino.inp")));
  EXPECT_TRUE(folder_.Read("real/output.txt").starts_with("1\r\n115200,n,8,1\r\n7\r\n"));
}

TEST_F(FileKindsTest, FifoWhereAFileIsReadOrWrittenEndsTheStepWithItsOwnError) {
  // The command file: the run ends as for a file that cannot be read.
  ::mkfifo(folder_.File("root/c/Scontrino.inp").c_str(), 0600);
  auto exitStatus = RunDriverInProcess("");
  if (!exitStatus) OpenOtherEnd(folder_.File("root/c/Scontrino.inp"));
  EXPECT_EQ(exitStatus, 1) << DriverOutput();
  EXPECT_EQ(Result(), "0\r\nFile Scontrino assente o incompleto: c:\\SCONTRINO.INP\r\n");

  // The settings file: read as unreadable, never rewritten; the run goes on.
  fs::remove(folder_.File("root/c/Scontrino.inp"));
  WriteReceipt({"=S"});
  ::mkfifo(folder_.File("root/settings.ini").c_str(), 0600);
  exitStatus = RunDriverInProcess("");
  if (!exitStatus) OpenOtherEnd(folder_.File("root/settings.ini"));
  EXPECT_EQ(exitStatus, 0) << DriverOutput();
  EXPECT_TRUE(fs::is_fifo(folder_.File("root/settings.ini")));

  // The operator's script: said on stderr, the run goes on.
  ::mkfifo(folder_.File("operator.fifo").c_str(), 0600);
  exitStatus = ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                                   {{"ZELKO_ROOT", folder_.File("root")},
                                    {"ZELKO_CONTROL", "emulator"},
                                    {"ZELKO_OPERATOR", "script:" + folder_.File("operator.fifo")}},
                                   folder_.File("operator.out"))
                   ->Wait(30s);
  if (!exitStatus) OpenOtherEnd(folder_.File("operator.fifo"));
  EXPECT_EQ(exitStatus, 0) << folder_.Read("operator.out");
  EXPECT_NE(folder_.Read("operator.out").find("cannot read the script"), std::string::npos);

  // The loader's output: "cannot be created".
  fs::remove(folder_.File("root/c/Scontrino.inp"));
  ::mkfifo(folder_.File("root/c/Scontrino.inp").c_str(), 0600);
  exitStatus = RunLoader(kArticle);
  if (!exitStatus) OpenOtherEnd(folder_.File("root/c/Scontrino.inp"));
  EXPECT_EQ(exitStatus, 75);
  EXPECT_TRUE(fs::is_fifo(folder_.File("root/c/Scontrino.inp")));
}

TEST_F(FileKindsTest, EmulatorArticleTableBehindALinkIsWrittenThroughIt) {
  fs::create_directories(folder_.File("real"));
  fs::create_symlink(folder_.File("real/articles.txt"), folder_.File("articles.txt"));
  WriteReceipt({">>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)"});
  RunningEmulator emulator(folder_, {"--articles", folder_.File("articles.txt")});
  ASSERT_NE(emulator.Port(), "") << emulator.Output();
  EXPECT_EQ(StartDriver(emulator.Port())->Wait(30s), 0) << DriverOutput();
  ASSERT_TRUE(emulator.WaitForOutput("article table written")) << emulator.Output();
  EXPECT_TRUE(fs::is_symlink(folder_.File("articles.txt")));
  EXPECT_EQ(folder_.Read("real/articles.txt"), "110000012345670ACQUA MINERALE 1,5L 00000050021\r\n");
  EXPECT_EQ(emulator.Stop(), 0);
}

}  // namespace
}  // namespace zelko::hardening
