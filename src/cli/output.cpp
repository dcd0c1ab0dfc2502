#include "cli/output.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cli/cli.h"
#include "cli/sequential_json.h"
#include "cli/utf8.h"
#include "format/number_entry.h"
#include "output/protocol_statement.h"
#include "output/sequential_lines.h"
#include "output/table_export.h"
#include "session/catalogue.h"
#include "engine/dispatch.h"
#include "engine/value_texts.h"
#include "session/procedure_table.h"
#include "session/user_interface.h"

namespace pelmora::cli {

// The number of characters of a UTF-8 text (its width in a fixed-pitch font).
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t w = Width(text);
  if (w < width) text.append(width - w, ' ');
  return text;
}

std::string PadLeft(std::string text, std::size_t width) {
  const std::size_t w = Width(text);
  if (w < width) text.insert(0, width - w, ' ');
  return text;
}

std::string JsonNumber(double value) { return std::isfinite(value) ? Shortest(value) : std::string("null"); }


void WriteDescribe(const Session& s, std::ostream& out) {
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    out << p << '\t' << s.ParameterList[p] << '\t' << CaptionAt(s, p) << '\t' << s.entryAt(p).ParamText
        << '\n';
  }
}

void WriteCalculationText(const Session& s, std::ostream& out) {
  std::size_t labelWidth = 0;
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1) labelWidth = std::max(labelWidth, Width(CaptionAt(s, p)) + 1);
  std::vector<std::string> lines;
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1) lines.push_back(PadRight(CaptionAt(s, p) + ":", labelWidth) + " " + s.entryAt(p).ParamText);
  std::size_t rule = Width(s.Description);
  for (const std::string& l : lines) rule = std::max(rule, Width(l));
  out << s.Description << '\n' << std::string(rule, '-') << '\n';
  for (const std::string& l : lines) out << l << '\n';
  if (const std::string power = DesignPowerLine(s.AchievedPower); !power.empty()) out << power << '\n';
  if (const std::string effect = EffectLine(s.AchievedPower); !effect.empty()) out << effect << '\n';
  if (s.AchievedPower.sequential)
    for (const std::string& line : SequentialLines(*s.AchievedPower.sequential)) out << line << '\n';
  if (const std::string statement = ProtocolStatement(s); !statement.empty()) out << '\n' << statement << '\n';
}

void WriteCalculationJson(const Session& s, const SolveOutcome& outcome,
                          const std::vector<std::string>& messages, std::ostream& out) {
  const int u = s.UnknownPosition;
  auto valueAt = [&](int p) {
    return p == u && !outcome.HasValue() ? std::string("null") : JsonNumber(s.value(p));
  };
  auto textOrNull = [](const std::string& t) { return t.empty() ? std::string("null") : JsonQuote(t); };
  out << "{\"description\": " << JsonQuote(s.Description) << ", \"unknown\": {\"id\": " << s.ParameterList[u]
      << ", \"caption\": " << JsonQuote(CaptionAt(s, u)) << ", \"value\": " << valueAt(u)
      << ", \"text\": " << JsonQuote(s.entryAt(u).ParamText) << ", \"reason\": "
      << (outcome.state == SolveState::NotCalculable ? textOrNull(outcome.reason) : std::string("null"));
  if (outcome.state == SolveState::Step || outcome.state == SolveState::AtLimit)
    out << ", \"note\": " << JsonQuote(outcome.note);
  const DesignPower& achieved = s.AchievedPower;
  auto power = [](const std::optional<double>& p) { return p ? JsonNumber(*p) : std::string("null"); };
  out << "}, \"power\": " << power(achieved.power) << ", \"whole\": ";
  if (achieved.whole.sizes.empty()) {
    out << "null";
  } else {
    out << "{\"sizes\": [";
    for (std::size_t i = 0; i < achieved.whole.sizes.size(); ++i)
      out << (i > 0 ? ", " : "") << JsonNumber(achieved.whole.sizes[i]);
    out << "], \"total\": " << JsonNumber(achieved.whole.total) << ", \"power\": " << power(achieved.whole.power);
    if (!achieved.whole.recruit.empty()) {
      out << ", \"dropout\": " << JsonNumber(achieved.whole.dropout) << ", \"recruit\": [";
      for (std::size_t i = 0; i < achieved.whole.recruit.size(); ++i)
        out << (i > 0 ? ", " : "") << JsonNumber(achieved.whole.recruit[i]);
      out << "], \"recruit_total\": " << JsonNumber(achieved.whole.recruitTotal);
    }
    out << "}";
  }
  out << ", \"sequential\": " << SequentialJson(achieved.sequential);
  if (achieved.effect)
    out << ", \"effect\": {\"name\": " << JsonQuote(achieved.effect->name)
        << ", \"value\": " << JsonNumber(achieved.effect->value) << "}";
  if (const std::string statement = ProtocolStatement(s); !statement.empty())
    out << ", \"statement\": " << JsonQuote(statement);
  out << ", \"parameters\": [";
  bool first = true;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    out << (first ? "" : ", ") << "{\"position\": " << p << ", \"id\": " << s.ParameterList[p]
        << ", \"caption\": " << JsonQuote(CaptionAt(s, p))
        << ", \"text\": " << JsonQuote(s.entryAt(p).ParamText) << ", \"value\": " << valueAt(p) << "}";
    first = false;
  }
  out << "], \"messages\": [";
  for (std::size_t i = 0; i < messages.size(); ++i) out << (i > 0 ? ", " : "") << JsonQuote(messages[i]);
  out << "]}\n";
}

namespace {

// A value of the range results: null for the no-result value.
std::string JsonSingle(Single value) {
  return value == kNoResult || !std::isfinite(value) ? std::string("null") : Shortest(value);
}

std::string JsonSingles(const std::vector<Single>& values) {
  std::string r = "[";
  for (std::size_t i = 0; i < values.size(); ++i) r += (i > 0 ? ", " : "") + JsonSingle(values[i]);
  return r + "]";
}

}  // namespace

void WriteTableJson(const Session& s, const TableContent& content, const std::vector<std::string>& messages,
                    std::ostream& out) {
  auto role = [&](int p) {
    return "{\"id\": " + std::to_string(s.ParameterList[p]) + ", \"caption\": " + JsonQuote(CaptionAt(s, p));
  };
  out << "{\"description\": " << JsonQuote(s.Description) << ", \"headings\": [";
  for (std::size_t i = 0; i < content.headings.size(); ++i)
    out << (i > 0 ? ", " : "") << JsonQuote(content.headings[i]);
  out << "], \"unknown\": " << role(s.UnknownPosition) << "}, \"x\": " << role(s.XPosition)
      << ", \"values\": " << JsonSingles(content.xValues) << "}, \"z\": " << role(s.ZPosition)
      << ", \"values\": " << JsonSingles(content.zValues) << "}, \"results\": [";
  for (std::size_t k = 0; k < content.yValues.size(); ++k)
    out << (k > 0 ? ", " : "") << JsonSingles(content.yValues[k]);
  out << "], \"parameters\": [";
  bool first = true;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1 || p == s.UnknownPosition || p == s.XPosition || p == s.ZPosition) continue;
    out << (first ? "" : ", ") << "{\"position\": " << p << ", \"id\": " << s.ParameterList[p]
        << ", \"caption\": " << JsonQuote(CaptionAt(s, p))
        << ", \"text\": " << JsonQuote(s.entryAt(p).ParamText) << ", \"value\": " << JsonNumber(s.value(p))
        << "}";
    first = false;
  }
  out << "], \"messages\": [";
  for (std::size_t i = 0; i < messages.size(); ++i) out << (i > 0 ? ", " : "") << JsonQuote(messages[i]);
  out << "]}\n";
}

void WriteList(std::ostream& out) {
  RecordingUserInterface quiet;
  Session s(quiet);
  Dispatcher d(s);
  auto marker = [&] { return d.Module() == nullptr ? "  (no module yet)" : ""; };
  auto index = [](std::size_t i) { return PadLeft(std::to_string(i), 4) + "  "; };
  for (const auto& [menu, heading] :
       {std::pair{Menu::Tests, "Test Procedures (--test):\n"},
        std::pair{Menu::Distributions,
                  "\nSample Distributions (--distribution), with their parameter choices (--parameter):\n"}}) {
    out << heading;
    for (const ProcedureRow& row : Procedures()) {
      if (row.menu != menu) continue;
      d.Select(row.procedure);
      out << index(static_cast<std::size_t>(row.index)) << ProcedureName(row.procedure) << marker() << '\n';
      const auto& choices = row.parameterChoices;
      for (std::size_t k = 0; k < choices.size(); ++k) out << "      " << index(k) << choices[k] << '\n';
    }
  }
  out << "\nOptions (--option):\n";
  for (std::size_t i = 0; i < OptionCaptions().size(); ++i)
    out << index(i) << RemoveAccelerator(OptionCaptions()[i]) << '\n';
  out << "\nInterchangeable-parameter groups and their forms (--mode G=M):\n";
  for (std::size_t g = 0; g < ParameterGroups().size(); ++g) {
    const ParameterGroup& group = ParameterGroups()[g];
    std::string line = index(g) + (group.rowLabel.empty() ? "" : group.rowLabel + ": ");
    for (std::size_t m = 0; m < group.forms.size(); ++m)
      if (!group.forms[m].empty()) line += (m > 0 ? ", " : "") + std::to_string(m) + " " + group.forms[m];
    out << line << '\n';
  }
}

// The width of a text in a fixed-pitch font: one unit per character.
double CharacterWidth(std::string_view text) { return static_cast<double>(Width(text)); }

// The output font of --rtf: Arial 9 unless --font or --font-size say
// otherwise.
OutputFont OutputFontOf(const Request& r) {
  OutputFont font;
  if (r.font) font.name = *r.font;
  if (r.fontSize) font.size = Shortest(*r.fontSize);
  return font;
}

// The table as the record's columns and decimals lay it out, one measuring
// unit per character: as text, or as a rich-text document.
std::string TableText(const Session& s, const TableContent& content, const WindowSettings& record,
                      const Request& r) {
  if (!r.rtf) return TableFixedWidthText(content, record.TableDecimals, record.TableColumns);
  std::int16_t decimals = record.TableDecimals;
  return RichTextOf(TableOutputText(s, decimals, record.TableColumns, CharacterWidth, 1), OutputFontOf(r));
}

}  // namespace pelmora::cli

namespace pelmora {

std::string JsonQuote(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string r = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) {
      const std::size_t length = cli::Utf8CharacterLength(text, i);
      if (length == 0) {
        r += "\\ufffd";
        continue;
      }
      r.append(text.substr(i, length));
      i += length - 1;
      continue;
    }
    switch (c) {
      case '"':
        r += "\\\"";
        break;
      case '\\':
        r += "\\\\";
        break;
      case '\n':
        r += "\\n";
        break;
      case '\r':
        r += "\\r";
        break;
      case '\t':
        r += "\\t";
        break;
      case '\b':
        r += "\\b";
        break;
      case '\f':
        r += "\\f";
        break;
      default:
        if (u < 0x20) {
          r += "\\u00";
          r += kHex[u >> 4];
          r += kHex[u & 0xF];
        } else {
          r += c;
        }
    }
  }
  return r + "\"";
}

}  // namespace pelmora
