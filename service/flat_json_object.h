#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelko::service {

enum class FieldKind { String, Boolean, Strings };

// One field that a request body may hold.
struct FieldRule {
  std::string name;
  FieldKind kind;
  bool required = true;
  std::string itemName = {};  // Strings: what an item is called in messages ("command 3")
  std::size_t maxItems = 0;   // Strings
};

// Texts as JSON gives them (UTF-8).
using FieldValue = std::variant<std::string, bool, std::vector<std::string>>;
using FlatObject = std::map<std::string, FieldValue>;

// The fields of a body that is one JSON object of these fields and nothing
// else. It is read in a single pass of the JSON parser that keeps only the
// fields' values: a value of the wrong kind, any nesting beyond an array of
// strings, an unknown or repeated field ends the pass at once, so that no
// body costs more memory than the texts it carries. Nothing, with `error`
// set, when the body is not such an object.
std::optional<FlatObject> ReadFlatObject(std::string_view body, const std::vector<FieldRule>& rules,
                                         std::string& error);

}  // namespace zelko::service
