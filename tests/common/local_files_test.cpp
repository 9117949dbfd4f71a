// Only regular files are read, written or replaced: whatever else stands at a
// path (a folder, a FIFO, a socket, a device, a loop of links) is refused at
// once and left as it was; a symbolic link is followed and stays a link.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>

#include "file_bytes.h"
#include "local_files.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using testing::EntryCount;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

enum class Access { Read, Truncate, Replace, Append };

const char* Name(Access access) {
  switch (access) {
    case Access::Read:
      return "read";
    case Access::Truncate:
      return "truncate";
    case Access::Replace:
      return "replace";
    case Access::Append:
      return "append";
  }
  return "";
}

// Reads the file, or writes "new" into it; false when the file is refused.
bool Use(Access access, const std::string& path) {
  if (access == Access::Read) return OpenFileForReading(path) != nullptr;
  std::unique_ptr<ByteSink> sink;
  if (access == Access::Append) {
    sink = OpenFileForAppending(path);
  } else {
    sink = CreateFileForWriting(path, access == Access::Truncate ? HostServices::CreateMode::Truncate
                                                                 : HostServices::CreateMode::AtomicReplace);
  }
  return sink && sink->Write("new") && sink->Commit();
}

// Runs `use` on a thread; when it is still waiting after a few seconds (an
// open blocked on a FIFO), opens the FIFO's other end to free it and fails.
bool UseWithoutWaiting(const std::function<bool()>& use, const std::string& fifo) {
  auto done = std::async(std::launch::async, use);
  if (done.wait_for(5s) == std::future_status::ready) return done.get();
  ADD_FAILURE() << "the open waited on the FIFO";
  const int other = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  done.wait();
  if (other >= 0) ::close(other);
  return false;
}

// A fresh folder to make things in; the socket made there is closed with it.
class Scene {
 public:
  Scene() = default;
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
  ~Scene() {
    if (socket_ >= 0) ::close(socket_);
  }

  std::string At(const std::string& name) const { return folder_.File(name); }
  void Fifo(const std::string& name) const { ASSERT_EQ(::mkfifo(At(name).c_str(), 0600), 0); }
  void Socket(const std::string& name) {
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(At(name).size(), sizeof address.sun_path);
    At(name).copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  void Folder(const std::string& name) const { fs::create_directory(At(name)); }
  void Link(const std::string& target, const std::string& name) const { fs::create_symlink(target, At(name)); }
  std::size_t Entries() const { return EntryCount(folder_.Path()); }

 private:
  TempFolder folder_;
  int socket_ = -1;
};

constexpr Access kEveryAccess[] = {Access::Read, Access::Truncate, Access::Replace, Access::Append};

TEST(LocalFiles, WhatIsNotARegularFileIsRefusedAtOnceAndLeftAsItWas) {
  const struct {
    const char* what;
    std::function<void(Scene&)> make;  // makes "x", and what it leads to
    fs::file_type type;
    std::size_t entries;
  } cases[] = {
      {"FIFO", [](Scene& s) { s.Fifo("x"); }, fs::file_type::fifo, 1},
      {"socket", [](Scene& s) { s.Socket("x"); }, fs::file_type::socket, 1},
      {"folder", [](Scene& s) { s.Folder("x"); }, fs::file_type::directory, 1},
      {"link to a FIFO", [](Scene& s) { s.Fifo("fifo"), s.Link("fifo", "x"); }, fs::file_type::symlink, 2},
      {"link to a folder", [](Scene& s) { s.Folder("folder"), s.Link("folder", "x"); }, fs::file_type::symlink, 2},
      {"loop of links", [](Scene& s) { s.Link("y", "x"), s.Link("x", "y"); }, fs::file_type::symlink, 2},
  };
  for (const auto& c : cases) {
    for (const Access access : kEveryAccess) {
      SCOPED_TRACE(std::string(c.what) + ", " + Name(access));
      Scene scene;
      c.make(scene);
      const std::string path = scene.At("x");
      const std::string fifo = fs::exists(scene.At("fifo")) ? scene.At("fifo") : path;
      EXPECT_FALSE(UseWithoutWaiting([&] { return Use(access, path); }, fifo));
      EXPECT_EQ(fs::symlink_status(path).type(), c.type);
      EXPECT_EQ(scene.Entries(), c.entries) << "nothing made beside it";
    }
  }
}

TEST(LocalFiles, DevicesAreNeitherReadNorWritten) {
  if (!fs::is_character_file("/dev/null")) GTEST_SKIP() << "no /dev/null";
  for (const Access access : kEveryAccess) {
    SCOPED_TRACE(Name(access));
    EXPECT_FALSE(Use(access, "/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
  }
}

TEST(LocalFiles, LinkIsFollowedAndStaysALink) {
  const struct {
    Access access;
    const char* before;  // the target's bytes; null for a link that leads nowhere yet
    const char* after;
  } cases[] = {
      {Access::Truncate, "old", "new"}, {Access::Replace, "old", "new"}, {Access::Append, "old", "oldnew"},
      {Access::Truncate, nullptr, "new"}, {Access::Replace, nullptr, "new"}, {Access::Append, nullptr, "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(Name(c.access)) + (c.before ? ", existing target" : ", dangling link"));
    TempFolder folder;
    fs::create_directory(folder.File("real"));
    if (c.before) WriteBytes(folder.File("real/target"), c.before);
    fs::create_symlink("real/target", folder.File("link"));
    EXPECT_TRUE(Use(c.access, folder.File("link")));
    EXPECT_TRUE(fs::is_symlink(folder.File("link")));
    EXPECT_EQ(ReadBytes(folder.File("real/target")), c.after);
    EXPECT_EQ(EntryCount(folder.File("real")), 1u) << "the replacement was made beside the target";
  }
}

TEST(LocalFiles, ReadingFollowsALink) {
  Scene scene;
  WriteBytes(scene.At("target"), "bytes");
  scene.Link("target", "link");
  const auto source = OpenFileForReading(scene.At("link"));
  ASSERT_NE(source, nullptr);
  char buffer[16];
  EXPECT_EQ(std::string(buffer, source->Read(buffer, sizeof buffer)), "bytes");
}

}  // namespace
}  // namespace zelko
