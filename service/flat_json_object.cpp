#include "flat_json_object.h"

#include <nlohmann/json.hpp>

namespace zelko::service {

namespace {

using nlohmann::json;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string KindMessage(const FieldRule& rule) {
  switch (rule.kind) {
    case FieldKind::String: return Quoted(rule.name) + " must be a string";
    case FieldKind::Boolean: return Quoted(rule.name) + " must be true or false";
    case FieldKind::Strings: return Quoted(rule.name) + " must be an array of strings";
  }
  return {};
}

// The parser's events, at depth 0 (before the object), 1 (its fields) or 2
// (the items of an array of strings). Returning false ends the pass.
class FlatObjectReader final : public nlohmann::json_sax<json> {
 public:
  explicit FlatObjectReader(const std::vector<FieldRule>& rules) : rules_(rules) {}

  FlatObject fields;
  std::string error;

  bool null() override { return WrongKind(); }
  bool boolean(bool value) override {
    if (depth_ != 1 || field_->kind != FieldKind::Boolean) return WrongKind();
    fields.emplace(field_->name, value);
    return true;
  }
  bool number_integer(number_integer_t) override { return WrongKind(); }
  bool number_unsigned(number_unsigned_t) override { return WrongKind(); }
  bool number_float(number_float_t, const string_t&) override { return WrongKind(); }
  bool binary(binary_t&) override { return WrongKind(); }
  bool string(string_t& value) override {
    if (depth_ == 1 && field_->kind == FieldKind::String) {
      fields.emplace(field_->name, std::move(value));
      return true;
    }
    if (depth_ != 2) return WrongKind();
    auto& items = std::get<std::vector<std::string>>(fields[field_->name]);
    if (items.size() == field_->maxItems) {
      return Fail(Quoted(field_->name) + " holds more than " + std::to_string(field_->maxItems) + " items");
    }
    items.push_back(std::move(value));
    return true;
  }
  bool start_object(std::size_t) override {
    if (depth_ != 0) return WrongKind();
    depth_ = 1;
    return true;
  }
  bool key(string_t& name) override {
    field_ = nullptr;
    for (const auto& rule : rules_) {
      if (rule.name == name) field_ = &rule;
    }
    if (field_ == nullptr) return Fail("unknown field " + Quoted(name));
    if (fields.contains(name)) return Fail(Quoted(name) + " is given twice");
    return true;
  }
  bool end_object() override {
    depth_ = 0;
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ != 1 || field_->kind != FieldKind::Strings) return WrongKind();
    fields.emplace(field_->name, std::vector<std::string>());
    depth_ = 2;
    return true;
  }
  bool end_array() override {
    depth_ = 1;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) override {
    return Fail("the body is not valid JSON");
  }

 private:
  bool Fail(std::string message) {
    error = std::move(message);
    return false;
  }
  bool WrongKind() {
    if (depth_ == 0) return Fail("the body must be a JSON object");
    if (depth_ == 1) return Fail(KindMessage(*field_));
    const auto& items = std::get<std::vector<std::string>>(fields[field_->name]);
    return Fail(field_->itemName + " " + std::to_string(items.size() + 1) + " must be a string");
  }

  const std::vector<FieldRule>& rules_;
  int depth_ = 0;
  const FieldRule* field_ = nullptr;  // the field whose value comes next
};

}  // namespace

std::optional<FlatObject> ReadFlatObject(std::string_view body, const std::vector<FieldRule>& rules,
                                         std::string& error) {
  FlatObjectReader reader(rules);
  if (!json::sax_parse(body, &reader)) {
    error = reader.error;
    return std::nullopt;
  }
  for (const auto& rule : rules) {
    if (rule.required && !reader.fields.contains(rule.name)) {
      error = Quoted(rule.name) + " is missing";
      return std::nullopt;
    }
  }
  return std::move(reader.fields);
}

}  // namespace zelko::service
