#include "activex_server_file.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "activex_text.h"
#include "win32_error_text.h"

namespace zelko {

namespace {

#ifdef _WIN64
constexpr WORD kThisProcessor = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD kThisProcessor = IMAGE_FILE_MACHINE_I386;
#endif

// What the loader needs of a DLL file: its processor and the DLLs it imports.
struct PeImage {
  WORD machine = 0;
  std::vector<std::string> imports;
};

template <typename Record>
std::optional<Record> ReadAt(std::string_view bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(Record)) return std::nullopt;
  Record record;
  std::memcpy(&record, bytes.data() + offset, sizeof record);
  return record;
}

template <typename OptionalHeader>
IMAGE_DATA_DIRECTORY ImportDirectory(std::string_view bytes, std::size_t offset) {
  const auto header = ReadAt<OptionalHeader>(bytes, offset);
  if (!header || header->NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT) return {};
  return header->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
}

// The file offset of an address in the loaded image.
std::optional<std::size_t> FileOffset(std::string_view bytes, std::size_t sections, WORD count, DWORD address) {
  for (WORD i = 0; i < count; ++i) {
    const auto section = ReadAt<IMAGE_SECTION_HEADER>(bytes, sections + i * sizeof(IMAGE_SECTION_HEADER));
    if (!section) return std::nullopt;
    const DWORD size = std::max<DWORD>(section->Misc.VirtualSize, section->SizeOfRawData);
    if (address >= section->VirtualAddress && address - section->VirtualAddress < size) {
      return address - section->VirtualAddress + section->PointerToRawData;
    }
  }
  return std::nullopt;
}

std::optional<PeImage> ReadPeImage(std::string_view bytes) {
  const auto dos = ReadAt<IMAGE_DOS_HEADER>(bytes, 0);
  if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0) return std::nullopt;
  const auto headers = static_cast<std::size_t>(dos->e_lfanew);
  const auto signature = ReadAt<DWORD>(bytes, headers);
  const auto file = ReadAt<IMAGE_FILE_HEADER>(bytes, headers + sizeof(DWORD));
  if (!signature || *signature != IMAGE_NT_SIGNATURE || !file) return std::nullopt;
  PeImage image{file->Machine, {}};
  const std::size_t optional = headers + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
  const auto magic = ReadAt<WORD>(bytes, optional);
  IMAGE_DATA_DIRECTORY imports{};
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) imports = ImportDirectory<IMAGE_OPTIONAL_HEADER32>(bytes, optional);
  if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) imports = ImportDirectory<IMAGE_OPTIONAL_HEADER64>(bytes, optional);
  const std::size_t sections = optional + file->SizeOfOptionalHeader;
  const auto table = FileOffset(bytes, sections, file->NumberOfSections, imports.VirtualAddress);
  for (std::size_t i = 0; imports.VirtualAddress != 0 && table; ++i) {
    const auto entry = ReadAt<IMAGE_IMPORT_DESCRIPTOR>(bytes, *table + i * sizeof(IMAGE_IMPORT_DESCRIPTOR));
    if (!entry || entry->Name == 0) break;
    const auto name = FileOffset(bytes, sections, file->NumberOfSections, entry->Name);
    if (!name || *name >= bytes.size()) continue;
    const std::string_view rest = bytes.substr(*name);
    image.imports.emplace_back(rest.substr(0, rest.find('\0')));
  }
  return image;
}

// The whole file, by its wide name, as the loader would open it.
std::optional<std::string> ReadServerFile(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  DWORD got = 0;
  bool read = true;
  while ((read = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  if (!read) return std::nullopt;
  return bytes;
}

std::optional<PeImage> ReadPeFile(const std::wstring& path) {
  const auto bytes = ReadServerFile(path);
  return bytes ? ReadPeImage(*bytes) : std::nullopt;
}

std::string ProcessorName(WORD machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_I386: return "x86 (32 bit)";
    case IMAGE_FILE_MACHINE_AMD64: return "x64 (64 bit)";
    case IMAGE_FILE_MACHINE_ARM64: return "ARM64 (64 bit)";
    case IMAGE_FILE_MACHINE_IA64: return "Itanium (64 bit)";
    default: return "macchina " + std::to_string(machine);
  }
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::string FileName(const std::wstring& path) { return WideToBytes(path.substr(Folder(path).size())); }

std::wstring Searched(const std::wstring& name) {
  wchar_t found[MAX_PATH];
  const DWORD length = SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr);
  return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(found, length);
}

struct Missing {
  std::string name;
  std::string neededBy;
};

// The first DLL that `path` or a dependency of it imports and that cannot be
// found: beside the importing file, as LOAD_WITH_ALTERED_SEARCH_PATH looks
// first, or along the search path.
std::optional<Missing> MissingDependency(const std::wstring& path, int depth = 0) {
  const auto image = depth < 6 ? ReadPeFile(path) : std::nullopt;
  if (!image) return std::nullopt;
  for (const std::string& import : image->imports) {
    const std::wstring name(import.begin(), import.end());
    if (GetModuleHandleW(name.c_str())) continue;
    const std::wstring beside = Folder(path) + name;
    const bool there = IsFile(beside);
    if (const HMODULE loaded = there ? LoadLibraryExW(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                                     : LoadLibraryW(name.c_str())) {
      FreeLibrary(loaded);
      continue;
    }
    const std::wstring located = there ? beside : Searched(name);
    if (located.empty()) return Missing{import, FileName(path)};
    if (auto deeper = MissingDependency(located, depth + 1)) return deeper;
  }
  return std::nullopt;
}

}  // namespace

std::wstring LocateServerFile(const std::wstring& registered) {
  std::wstring path = registered;
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
  if (path.find_first_of(L"\\/") == std::wstring::npos) return Searched(path);
  return IsFile(path) ? path : std::wstring();
}

ServerLoad CheckServerLoad(const std::wstring& path) {
  const auto image = ReadPeFile(path);
  if (image && image->machine != kThisProcessor) {
    return {ServerLoad::Outcome::kOtherProcessor, ProcessorName(image->machine), {}};
  }
  if (const HMODULE loaded = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
    FreeLibrary(loaded);
    return {ServerLoad::Outcome::kLoaded, {}, {}};
  }
  const DWORD error = GetLastError();
  if (error == ERROR_MOD_NOT_FOUND) {
    if (auto missing = MissingDependency(path)) {
      return {ServerLoad::Outcome::kMissingDependency, missing->name, missing->neededBy};
    }
  }
  return {ServerLoad::Outcome::kFailed, "LoadLibraryExW failed: " + LastErrorText(error), {}};
}

}  // namespace zelko
