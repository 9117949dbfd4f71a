#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zelko {

// What HKEY_CLASSES_ROOT says about registered classes, read only.

// A text value of `key` (`name` null: its default value), environment
// references expanded; empty when there is none.
std::optional<std::wstring> ClassesText(const std::wstring& key, const wchar_t* name = nullptr);

// The names of the keys under `key`.
std::vector<std::wstring> ClassesSubkeys(const std::wstring& key);

// "{4B30B652-...}", as the registry writes class and library identifiers.
std::wstring GuidText(const GUID& id);

}  // namespace zelko
