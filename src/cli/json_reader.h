// A reader of JSON texts (RFC 8259), for the requests of --batch: one value
// with its members in the order written, numbers kept as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora::cli {

struct JsonValue {
  enum class Type { Null, Boolean, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  // A number as written (its digits, sign, point and exponent); a string's
  // text, its escapes resolved to UTF-8.
  std::string text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  // The member of an object, or nullptr.
  const JsonValue* Member(std::string_view key) const;
};

// The name of a type, for messages: "null", "a number", "an object"...
const char* JsonTypeName(JsonValue::Type type);

// Reads one JSON value, blanks around it allowed; nullopt when the text is
// not JSON, with `error` saying where and why.  Objects with a key given twice
// are refused, and so are strings that are not well-formed UTF-8.  The time
// grows with the length of the text (and the keys of an object as n log n).
std::optional<JsonValue> ReadJson(std::string_view text, std::string& error);

}  // namespace pelmora::cli
