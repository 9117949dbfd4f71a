#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "host_backend.h"
#include "local_files.h"
#include "settings_ini.h"

namespace zelko {

namespace {

// The whole settings file, or why there is none.
struct LoadedFile {
  enum class State { Missing, Unreadable, Loaded };
  State state = State::Missing;
  std::string content;
};

LoadedFile Load(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return {};
  std::optional<std::string> content = ReadAll(OpenFileForReading(path));
  if (!content) return {LoadedFile::State::Unreadable, {}};
  return {LoadedFile::State::Loaded, std::move(*content)};
}

// The section "<application>\<section>" of $ZELKO_ROOT/settings.ini.
class IniSettingsStore : public SettingsStore {
 public:
  IniSettingsStore(std::string root, std::string section)
      : root_(std::move(root)), path_(root_ + "/settings.ini"), section_(std::move(section)) {}

  SettingValue Read(std::string_view key) const override {
    const LoadedFile file = Load(path_);
    if (file.state == LoadedFile::State::Unreadable) return {SettingValue::State::Unreadable, {}};
    const auto value = FindIniValue(file.content, section_, key);
    if (!value) return {SettingValue::State::Absent, {}};
    return {SettingValue::State::Present, *value};
  }

  // The file as a write would replace it, or the folder that a first write would make it in.
  bool CanWrite() const override {
    if (Load(path_).state == LoadedFile::State::Unreadable) return false;
    if (ProbeLocalWrite(path_) != HostServices::WriteAccess::None) return true;
    struct stat info {};
    return ::stat(root_.c_str(), &info) != 0 && errno == ENOENT;  // a first write makes the folder
  }

  bool Write(std::string_view key, std::string_view value) override {
    const LoadedFile file = Load(path_);
    if (file.state == LoadedFile::State::Unreadable) return false;
    const auto content = SetIniValue(file.content, section_, key, value);
    if (!content) return false;
    if (file.state == LoadedFile::State::Missing) {
      std::error_code ignored;
      std::filesystem::create_directories(root_, ignored);
    }
    const auto sink = CreateFileForWriting(path_, HostServices::CreateMode::AtomicReplace);
    return sink && sink->Write(*content) && sink->Commit();
  }

 private:
  std::string root_;
  std::string path_;
  std::string section_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeSettingsStore(std::string_view application, std::string_view section) {
  return std::make_unique<IniSettingsStore>(ZelkoRoot(), std::string(application) + "\\" + std::string(section));
}

}  // namespace zelko
