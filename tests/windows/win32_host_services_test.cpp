#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host_backend.h"
#include "host_system_name.h"
#include "scoped_env.h"
#include "temp_folder.h"
#include "text_file.h"

namespace zelko {
namespace {

std::string ReadAll(const HostServices& host, const std::string& path) {
  auto source = host.OpenRead(path);
  if (!source) return "<cannot open>";
  std::string bytes;
  char buffer[7];  // small, so that several reads are needed
  while (const std::size_t got = source->Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

bool Write(const HostServices& host, const std::string& path, HostServices::CreateMode mode,
           const std::string& bytes) {
  auto sink = host.Create(path, mode);
  return sink && sink->Write(bytes) && sink->Commit();
}

class Win32HostServicesTest : public ::testing::Test {
 protected:
  std::unique_ptr<HostServices> host_ = MakeHostServices(0, nullptr);
  testing::TempFolder folder_;
};

TEST_F(Win32HostServicesTest, OrdinaryFilesAreVisibleNonSystemFilesOnly) {
  const std::string bytes = "x";
  const struct {
    const char* name;
    DWORD attributes;
    bool ordinary;
  } cases[] = {
      {"normal.txt", FILE_ATTRIBUTE_NORMAL, true},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY, true},
      {"archive.txt", FILE_ATTRIBUTE_ARCHIVE, true},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, false},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM, false},
  };
  for (const auto& c : cases) {
    const std::string path = folder_.File(c.name);
    ASSERT_TRUE(Write(*host_, path, HostServices::CreateMode::Truncate, bytes));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.attributes));
    EXPECT_EQ(host_->IsOrdinaryFile(path), c.ordinary) << c.name;
  }
  CreateDirectoryA(folder_.File("folder").c_str(), nullptr);
  EXPECT_FALSE(host_->IsOrdinaryFile(folder_.File("folder")));
  EXPECT_FALSE(host_->IsOrdinaryFile(folder_.File("missing.txt")));
  EXPECT_FALSE(host_->IsOrdinaryFile(""));
  EXPECT_TRUE(host_->IsOrdinaryFile(folder_.File("NORMAL.TXT"))) << "names ignore case";
}

TEST_F(Win32HostServicesTest, FilesKeepEveryByte) {
  std::string bytes = "riga 1\r\nriga\n2\rCaff\xe8";
  bytes += '\0';
  bytes += "\xff";
  for (const auto mode : {HostServices::CreateMode::Truncate, HostServices::CreateMode::AtomicReplace}) {
    const std::string path = folder_.File("bytes.txt");
    ASSERT_TRUE(Write(*host_, path, mode, "a much longer earlier content that must disappear entirely"));
    ASSERT_TRUE(Write(*host_, path, mode, bytes));
    EXPECT_EQ(ReadAll(*host_, path), bytes);
  }
  EXPECT_EQ(host_->OpenRead(folder_.File("missing.txt")), nullptr);
  EXPECT_EQ(host_->OpenRead(folder_.Path()), nullptr) << "a folder is not a file";
  EXPECT_EQ(host_->Create(folder_.File("no-such-folder\\x.txt"), HostServices::CreateMode::Truncate), nullptr);
}

TEST_F(Win32HostServicesTest, AnAbandonedReplacementLeavesTheTargetAndNoTemporary) {
  const std::string path = folder_.File("settings.txt");
  ASSERT_TRUE(Write(*host_, path, HostServices::CreateMode::AtomicReplace, "old"));
  {
    auto sink = host_->Create(path, HostServices::CreateMode::AtomicReplace);
    ASSERT_NE(sink, nullptr);
    ASSERT_TRUE(sink->Write("new, never committed"));
    EXPECT_EQ(ReadAll(*host_, path), "old") << "the target changes only on Commit";
  }
  EXPECT_EQ(ReadAll(*host_, path), "old");
  WIN32_FIND_DATAA entry;
  int count = 0;
  const HANDLE search = FindFirstFileA((folder_.File("*.*")).c_str(), &entry);
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  EXPECT_EQ(count, 1);
}

// A device or a pipe is not a file: it is neither read nor written nor
// replaced, and nothing is left beside it.
TEST_F(Win32HostServicesTest, WhatIsNotAFileOnDiskIsRefused) {
  const std::string pipeName = "\\\\.\\pipe\\zelko-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 512, 512, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  CreateDirectoryA((folder_.File("folder")).c_str(), nullptr);
  for (const std::string& path : {std::string("NUL"), pipeName, folder_.File("folder")}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(host_->OpenRead(path), nullptr);
    EXPECT_FALSE(Write(*host_, path, HostServices::CreateMode::Truncate, "x"));
    EXPECT_FALSE(Write(*host_, path, HostServices::CreateMode::AtomicReplace, "x"));
  }
  CloseHandle(pipe);
  int entries = 0;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((folder_.File("*")).c_str(), &entry);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..") ++entries;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  EXPECT_EQ(entries, 1) << "nothing made beside the folder";
}

// One file by its identity on the volume, whatever the name it is given by.
TEST_F(Win32HostServicesTest, SameFileIsTheSameFileIndexOnTheSameVolume) {
  ASSERT_TRUE(Write(*host_, folder_.File("Scontrino.inp"), HostServices::CreateMode::Truncate, "x"));
  ASSERT_TRUE(Write(*host_, folder_.File("copy.inp"), HostServices::CreateMode::Truncate, "x"));
  EXPECT_TRUE(host_->IsSameFile(folder_.File("Scontrino.inp"), folder_.File("SCONTRINO.INP")));
  EXPECT_TRUE(host_->IsSameFile(folder_.File("Scontrino.inp"), folder_.Path() + "\\.\\scontrino.inp"));
  EXPECT_FALSE(host_->IsSameFile(folder_.File("Scontrino.inp"), folder_.File("copy.inp")));
  EXPECT_FALSE(host_->IsSameFile(folder_.File("missing.inp"), folder_.File("missing.inp")));
}

TEST_F(Win32HostServicesTest, TextFilesEndLinesWithCrLf) {
  const std::string path = folder_.File("SCONTRINO.OUT");
  TextWriter writer(host_->Create(path, HostServices::CreateMode::Truncate));
  ASSERT_TRUE(writer.WriteLine("0004"));
  ASSERT_TRUE(writer.WriteLine("OK"));
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(ReadAll(*host_, path), "0004\r\nOK\r\n");
}

// Emptying leaves no earlier outcome readable: not in the file, and not in
// the copy that file virtualization would show a virtualized caller, which
// goes, so that such a caller reads the file itself again.
TEST_F(Win32HostServicesTest, EmptyingAFileAlsoRemovesItsVirtualStoreCopy) {
  const std::string path = folder_.File("SCONTRINO.OUT");
  ASSERT_TRUE(Write(*host_, path, HostServices::CreateMode::Truncate, "0000\r\nOK\r\n"));
  const std::string store = folder_.File("LocalAppData");
  const std::string copy = store + "\\VirtualStore" + path.substr(2);
  std::filesystem::create_directories(copy.substr(0, copy.rfind('\\')));
  ASSERT_TRUE(Write(*host_, copy, HostServices::CreateMode::Truncate, "0000\r\nOK\r\n"));
  const testing::ScopedEnv localAppData("LOCALAPPDATA", store);
  const testing::ScopedEnv systemDrive("SystemDrive", path.substr(0, 2));
  EXPECT_TRUE(host_->EmptyFile(path));
  EXPECT_EQ(ReadAll(*host_, path), "");
  EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(host_->EmptyFile(folder_.File("missing.out"))) << "nothing there, nothing to empty";
}

TEST_F(Win32HostServicesTest, TheRunLockIsTheWin32OneAndMakesNoFile) {
  const std::string path = folder_.File("SCONTRINO.INP");
  EXPECT_NE(host_->LockForRun(path), nullptr);
  EXPECT_FALSE(host_->IsOrdinaryFile(path));
  EXPECT_NE(host_->LockForRun(path), nullptr) << "released with its holder";
}

TEST_F(Win32HostServicesTest, EnvironmentEntriesAreTheProcessBlock) {
  ASSERT_TRUE(SetEnvironmentVariableA("ZELKO_PROBE", " spazi intorno "));
  const auto entries = host_->EnvironmentEntries();
  int found = 0;
  for (const std::string& entry : entries) {
    EXPECT_FALSE(entry.empty());
    if (entry == "ZELKO_PROBE= spazi intorno ") ++found;
  }
  EXPECT_EQ(found, 1);
  const char* profile = std::getenv("USERPROFILE");
  ASSERT_NE(profile, nullptr);
  int profiles = 0;
  for (const std::string& entry : entries) profiles += entry == std::string("USERPROFILE=") + profile;
  EXPECT_EQ(profiles, 1);
}

TEST_F(Win32HostServicesTest, OwnFolderHoldsThisProgram) {
  const std::string folder = host_->OwnFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(host_->IsOrdinaryFile(folder + "\\windows_tests.exe")) << folder;
}

TEST_F(Win32HostServicesTest, CommandLineTextFollowsTheProgramName) {
  const std::string text = host_->CommandLineText();
  const std::string full = GetCommandLineA();
  EXPECT_EQ(full.substr(full.size() - text.size()), text);
  EXPECT_EQ(text.find("windows_tests"), std::string::npos) << text;
}

// The version call as the driver makes it. Under Wine the ci script sets the
// Windows version and names the host it expects in ZELKO_EXPECTED_HOST_NAME
// ("none" for the empty name).
TEST_F(Win32HostServicesTest, HostNameFollowsTheWindowsVersion) {
  const auto version = host_->WindowsVersionNumbers();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->platformId, 2u);
  const char* expected = std::getenv("ZELKO_EXPECTED_HOST_NAME");
  if (!expected) GTEST_SKIP() << "ZELKO_EXPECTED_HOST_NAME not set; version " << version->major << "."
                              << version->minor << "." << version->build;
  EXPECT_EQ(HostSystemName(*host_), std::string(expected) == "none" ? "" : expected)
      << "version " << version->major << "." << version->minor << "." << version->build;
}

}  // namespace
}  // namespace zelko
