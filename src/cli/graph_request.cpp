#include "cli/graph_request.h"

#include <charconv>
#include <vector>

namespace pelmora::cli {
namespace {

constexpr std::string_view kFirstLine = "pelmora-graph 1";

template <typename T>
std::string NumberText(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

class Writer {
 public:
  Writer() : text_(kFirstLine) {}
  Writer& Item(std::string_view name) {
    text_ += '\n';
    text_ += name;
    return *this;
  }
  Writer& Text(std::string_view t) {
    text_ += ' ' + std::to_string(t.size()) + ':';
    text_ += t;
    return *this;
  }
  template <typename T>
  Writer& Number(T value) {
    text_ += ' ' + NumberText(value);
    return *this;
  }
  template <typename T>
  Writer& Numbers(const std::vector<T>& values) {
    Number(values.size());
    for (T v : values) Number(v);
    return *this;
  }
  std::string Done() { return text_ + "\nend\n"; }

 private:
  std::string text_;
};

struct Malformed {};

class Reader {
 public:
  explicit Reader(std::string_view text) : t_(text) {}

  void Item(std::string_view name) {
    if (Token() != name) throw Malformed{};
  }
  std::string Text() {
    Blank();
    const std::size_t colon = t_.find(':', i_);
    if (colon == std::string_view::npos) throw Malformed{};
    std::size_t size = 0;
    Parse(t_.substr(i_, colon - i_), size);
    if (size > t_.size() - colon - 1) throw Malformed{};
    i_ = colon + 1 + size;
    return std::string(t_.substr(colon + 1, size));
  }
  template <typename T>
  T Number() {
    T value{};
    Parse(Token(), value);
    return value;
  }
  template <typename T>
  std::vector<T> Numbers() {
    std::vector<T> values(Count());
    for (T& v : values) v = Number<T>();
    return values;
  }
  std::size_t Count() {
    const auto n = Number<std::size_t>();
    // Each value takes at least two characters: no count can exceed that.
    if (n > t_.size() - i_) throw Malformed{};
    return n;
  }

 private:
  void Blank() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n')) ++i_;
  }
  std::string_view Token() {
    Blank();
    const std::size_t start = i_;
    while (i_ < t_.size() && t_[i_] != ' ' && t_[i_] != '\n') ++i_;
    return t_.substr(start, i_ - start);
  }
  template <typename T>
  static void Parse(std::string_view token, T& value) {
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size()) throw Malformed{};
  }

  std::string_view t_;
  std::size_t i_ = 0;
};

}  // namespace

std::string WriteGraphRequest(const GraphRequest& r) {
  Writer w;
  w.Item("path").Text(r.path);
  w.Item("size").Number(r.width).Number(r.height).Number(r.dpi);
  w.Item("graph-texts");
  for (const std::string& t : r.graphTexts) w.Text(t);
  w.Item("axis-texts");
  for (const std::string& t : r.axisTexts) w.Text(t);
  w.Item("extra-text").Text(r.extraText);
  w.Item("font").Text(r.fontName).Text(r.fontSize).Number(r.fontBold);
  const TableContent& c = r.content;
  w.Item("headings").Number(c.headings.size());
  for (const std::string& h : c.headings) w.Text(h);
  w.Item("captions").Text(c.xCaption).Text(c.zCaption);
  w.Item("x").Numbers(c.xValues);
  w.Item("z").Numbers(c.zValues);
  w.Item("y").Number(c.yValues.size());
  for (const auto& row : c.yValues) w.Item("row").Numbers(row);
  w.Item("y-range").Number(c.yMin).Number(c.yMax).Number(c.yLowerLimit).Number(c.yUpperLimit);
  w.Item("x-limits").Number(c.xLowerLimit).Number(c.xUpperLimit);
  return w.Done();
}

std::optional<GraphRequest> ReadGraphRequest(std::string_view text) {
  if (text.substr(0, kFirstLine.size()) != kFirstLine) return std::nullopt;
  Reader in(text.substr(kFirstLine.size()));
  GraphRequest r;
  try {
    in.Item("path");
    r.path = in.Text();
    in.Item("size");
    r.width = in.Number<int>();
    r.height = in.Number<int>();
    r.dpi = in.Number<int>();
    in.Item("graph-texts");
    for (std::string& t : r.graphTexts) t = in.Text();
    in.Item("axis-texts");
    for (std::string& t : r.axisTexts) t = in.Text();
    in.Item("extra-text");
    r.extraText = in.Text();
    in.Item("font");
    r.fontName = in.Text();
    r.fontSize = in.Text();
    r.fontBold = in.Number<std::int16_t>();
    TableContent& c = r.content;
    in.Item("headings");
    c.headings.resize(in.Count());
    for (std::string& h : c.headings) h = in.Text();
    in.Item("captions");
    c.xCaption = in.Text();
    c.zCaption = in.Text();
    in.Item("x");
    c.xValues = in.Numbers<Single>();
    in.Item("z");
    c.zValues = in.Numbers<Single>();
    in.Item("y");
    c.yValues.resize(in.Count());
    for (auto& row : c.yValues) {
      in.Item("row");
      row = in.Numbers<Single>();
    }
    in.Item("y-range");
    c.yMin = in.Number<Single>();
    c.yMax = in.Number<Single>();
    c.yLowerLimit = in.Number<double>();
    c.yUpperLimit = in.Number<double>();
    in.Item("x-limits");
    c.xLowerLimit = in.Number<double>();
    c.xUpperLimit = in.Number<double>();
    in.Item("end");
  } catch (const Malformed&) {
    return std::nullopt;
  }
  return r;
}

}  // namespace pelmora::cli
