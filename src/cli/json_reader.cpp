#include "cli/json_reader.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "cli/utf8.h"

namespace pelmora::cli {

const JsonValue* JsonValue::Member(std::string_view key) const {
  for (const auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

const char* JsonTypeName(JsonValue::Type type) {
  switch (type) {
    case JsonValue::Type::Null:
      return "null";
    case JsonValue::Type::Boolean:
      return "true or false";
    case JsonValue::Type::Number:
      return "a number";
    case JsonValue::Type::String:
      return "a string";
    case JsonValue::Type::Array:
      return "an array";
    case JsonValue::Type::Object:
      return "an object";
  }
  return "?";
}

namespace {

// Nesting deeper than any request needs is refused before it exhausts the
// stack.
constexpr int kMaxDepth = 64;

struct Failure {
  std::string what;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : t_(text) {}

  JsonValue Document() {
    Blank();
    JsonValue v = Value(0);
    Blank();
    if (i_ < t_.size()) Fail("unexpected text after the value");
    return v;
  }
  std::size_t position() const { return i_; }

 private:
  [[noreturn]] void Fail(std::string what) { throw Failure{std::move(what)}; }

  bool At(char c) const { return i_ < t_.size() && t_[i_] == c; }
  bool Eat(char c) {
    if (!At(c)) return false;
    ++i_;
    return true;
  }
  void Expect(char c) {
    if (!Eat(c)) Fail(i_ < t_.size() ? std::string("expected '") + c + "'" : "unexpected end of the line");
  }
  void Blank() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r')) ++i_;
  }
  bool Digit() const { return i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9'; }
  void Digits() {
    if (!Digit()) Fail("expected a digit");
    while (Digit()) ++i_;
  }

  JsonValue Value(int depth) {
    if (depth > kMaxDepth) Fail("nested too deeply");
    JsonValue v;
    if (i_ >= t_.size()) Fail("unexpected end of the line");
    const char c = t_[i_];
    if (c == '{') {
      v.type = JsonValue::Type::Object;
      ++i_;
      Blank();
      if (Eat('}')) return v;
      std::vector<std::size_t> keyAt;
      do {
        Blank();
        if (!At('"')) Fail("expected a key in quotes");
        keyAt.push_back(i_);
        std::string key = String();
        Blank();
        Expect(':');
        Blank();
        v.members.emplace_back(std::move(key), Value(depth + 1));
        Blank();
      } while (Eat(','));
      Expect('}');
      KeysOnce(v.members, keyAt);
    } else if (c == '[') {
      v.type = JsonValue::Type::Array;
      ++i_;
      Blank();
      if (Eat(']')) return v;
      do {
        Blank();
        v.items.push_back(Value(depth + 1));
        Blank();
      } while (Eat(','));
      Expect(']');
    } else if (c == '"') {
      v.type = JsonValue::Type::String;
      v.text = String();
    } else if (Word("true") || Word("false")) {
      v.type = JsonValue::Type::Boolean;
      v.boolean = c == 't';
    } else if (Word("null")) {
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      v.type = JsonValue::Type::Number;
      v.text = Number();
    } else {
      Fail("expected a value");
    }
    return v;
  }

  // Refuses the first key given a second time, by sorting the keys: the
  // time grows with the size of the object, not with its square.
  void KeysOnce(const std::vector<std::pair<std::string, JsonValue>>& members,
                const std::vector<std::size_t>& keyAt) {
    std::vector<std::size_t> order(members.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return members[a].first < members[b].first; });
    std::size_t twice = members.size();
    for (std::size_t k = 1; k < order.size(); ++k)
      if (members[order[k]].first == members[order[k - 1]].first) twice = std::min(twice, order[k]);
    if (twice == members.size()) return;
    i_ = keyAt[twice];
    Fail("the key \"" + members[twice].first + "\" is given twice");
  }

  bool Word(std::string_view w) {
    if (t_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }

  std::string Number() {
    const std::size_t start = i_;
    Eat('-');
    if (!Eat('0')) Digits();
    if (Eat('.')) Digits();
    if (Eat('e') || Eat('E')) {
      if (!Eat('+')) Eat('-');
      Digits();
    }
    return std::string(t_.substr(start, i_ - start));
  }

  unsigned Hex4() {
    unsigned u = 0;
    for (int k = 0; k < 4; ++k, ++i_) {
      if (i_ >= t_.size()) Fail("unexpected end of the line");
      const char h = t_[i_];
      const int d = h >= '0' && h <= '9'   ? h - '0'
                    : h >= 'a' && h <= 'f' ? h - 'a' + 10
                    : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                           : -1;
      if (d < 0) Fail("expected four hexadecimal digits after \\u");
      u = u * 16 + static_cast<unsigned>(d);
    }
    return u;
  }

  static void AppendUtf8(std::string& r, std::uint32_t u) {
    if (u < 0x80) {
      r += static_cast<char>(u);
    } else if (u < 0x800) {
      r += static_cast<char>(0xC0 | (u >> 6));
      r += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
      r += static_cast<char>(0xE0 | (u >> 12));
      r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      r += static_cast<char>(0xF0 | (u >> 18));
      r += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
      r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (u & 0x3F));
    }
  }

  std::string String() {
    Expect('"');
    std::string r;
    while (true) {
      if (i_ >= t_.size()) Fail("a string is not closed");
      const char c = t_[i_++];
      if (c == '"') return r;
      if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
      if (static_cast<unsigned char>(c) >= 0x80) {
        const std::size_t length = Utf8CharacterLength(t_, --i_);
        if (length == 0) Fail("invalid UTF-8 in a string");
        r.append(t_.substr(i_, length));
        i_ += length;
        continue;
      }
      if (c != '\\') {
        r += c;
        continue;
      }
      if (i_ >= t_.size()) Fail("a string is not closed");
      switch (t_[i_++]) {
        case '"':
          r += '"';
          break;
        case '\\':
          r += '\\';
          break;
        case '/':
          r += '/';
          break;
        case 'b':
          r += '\b';
          break;
        case 'f':
          r += '\f';
          break;
        case 'n':
          r += '\n';
          break;
        case 'r':
          r += '\r';
          break;
        case 't':
          r += '\t';
          break;
        case 'u': {
          std::uint32_t u = Hex4();
          if (u >= 0xDC00 && u <= 0xDFFF) Fail("a lone low surrogate in \\u");
          if (u >= 0xD800 && u <= 0xDBFF) {
            if (!Word("\\u")) Fail("a high surrogate without its low one");
            const std::uint32_t low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Fail("a high surrogate without its low one");
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(r, u);
          break;
        }
        default:
          Fail("an unknown escape in a string");
      }
    }
  }

  std::string_view t_;
  std::size_t i_ = 0;
};

}  // namespace

std::optional<JsonValue> ReadJson(std::string_view text, std::string& error) {
  Reader reader(text);
  try {
    return reader.Document();
  } catch (const Failure& f) {
    error = f.what + " at character " + std::to_string(reader.position() + 1);
    return std::nullopt;
  }
}

}  // namespace pelmora::cli
