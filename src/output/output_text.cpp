#include "output/output_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "format/number_entry.h"
#include "output/protocol_statement.h"
#include "output/sequential_lines.h"
#include "session/calculation_rows.h"
#include "session/session.h"

namespace pelmora {

namespace {

// No output line needs anywhere near this many pads; it only bounds the loop
// against a measure that hardly grows.
constexpr int kMaxPads = 100000;

constexpr const char* kHalfGap = "         ";  // nine blanks between the halves

// ---- UTF-8 -----------------------------------------------------------------

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at text[i]; `length` takes its number of bytes.  A
// byte that starts no valid sequence (a stray continuation byte, a truncated
// or overlong sequence, a surrogate, a value beyond U+10FFFF) is U+FFFD of
// one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  length = 1;
  if (b0 < 0x80) return b0;
  std::size_t n;
  char32_t c;
  char32_t least;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, c = b0 & 0x1F, least = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, c = b0 & 0x0F, least = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, c = b0 & 0x07, least = 0x10000;
  } else {
    return kReplacement;
  }
  if (i + n > text.size()) return kReplacement;
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  length = n;
  return c;
}

// "\uN?" of one UTF-16 code unit, N signed.
void AppendUnicodeUnit(std::string& out, char32_t unit) {
  const int n = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
  out += "\\u" + std::to_string(n) + "?";
}

void AppendHexEscape(std::string& out, unsigned char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned>(c));
  out += hex;
}

// ---- The columns of the calculation output ---------------------------------

std::string LabelOf(const CalculationEntry& e) { return e.caption + ": "; }

struct EntryColumns {
  double labelWidth = 0;
  double valueWidth = 0;
  std::string widestLabel;
  std::string widestValue;
};

EntryColumns MeasureEntries(const std::vector<CalculationEntry>& entries, const MeasureText& measure) {
  EntryColumns c;
  for (const CalculationEntry& e : entries) {
    const std::string label = LabelOf(e);
    const double lw = measure(label);
    if (c.widestLabel.empty() || lw > c.labelWidth) c.labelWidth = lw, c.widestLabel = label;
    const double vw = measure(e.value);
    if (c.widestValue.empty() || vw > c.valueWidth) c.valueWidth = vw, c.widestValue = e.value;
  }
  return c;
}

// An entry of the text form: the caption with ":" padded to the widest label,
// the value padded to the widest value.
std::string EntryText(const CalculationEntry& e, const EntryColumns& c, const MeasureText& measure) {
  return PadToWidth(measure, c.widestLabel, e.caption + ":", " ", kPadRight) +
         PadToWidth(measure, c.widestValue, e.value, " ", kPadRight);
}

}  // namespace

// ---- Padding to a measured width -------------------------------------------

std::string PadToMeasuredWidth(const MeasureText& measure, double width, const std::string& text,
                               const std::string& pad, int mode) {
  std::string out = text;
  bool onTheRight = true;
  auto add = [&]() {
    if (mode == kPadLeft || (mode == kPadBothSides && !onTheRight))
      out.insert(0, pad);
    else
      out += pad;
    onTheRight = !onTheRight;
  };
  add();
  if (pad.empty() || !(measure(pad) > 0)) return out;
  for (int n = 1; n < kMaxPads && measure(out) < width; ++n) add();
  return out;
}

std::string PadToWidth(const MeasureText& measure, const std::string& reference, const std::string& text,
                       const std::string& pad, int mode) {
  return PadToMeasuredWidth(measure, measure(reference), text, pad, mode);
}

// ---- Rich text -------------------------------------------------------------

std::string EscapeRichText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    switch (ch) {
      case '\\':
        out += "\\\\";
        ++i;
        continue;
      case '{':
        out += "\\{";
        ++i;
        continue;
      case '}':
        out += "\\}";
        ++i;
        continue;
      case '\t':
        out += "\\tab ";
        ++i;
        continue;
      case '\r':
        out += "\\par ";
        i += (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        continue;
      case '\n':
        out += "\\par ";
        ++i;
        continue;
      default:
        break;
    }
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) {
      AppendHexEscape(out, b);
      ++i;
    } else if (b < 0x80) {
      out += ch;
      ++i;
    } else {
      std::size_t length = 1;
      const char32_t c = DecodeUtf8(text, i, length);
      i += length;
      if (c > 0xFFFF) {
        const char32_t v = c - 0x10000;
        AppendUnicodeUnit(out, 0xD800 + (v >> 10));
        AppendUnicodeUnit(out, 0xDC00 + (v & 0x3FF));
      } else {
        AppendUnicodeUnit(out, c);
      }
    }
  }
  return out;
}

namespace {

std::string RichTextDocument(const std::string& text, const std::string& fontName, long long halfPoints,
                             bool bold) {
  std::string name = EscapeRichText(fontName);
  // A ";" would end the font's entry in the font table.
  for (std::size_t at = name.find(';'); at != std::string::npos; at = name.find(';', at))
    name.replace(at, 1, "\\'3b");

  std::string doc = "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil " + name + ";}{\\stylesheet {\\s0 Normal;}}";
  doc += "{\\s0\\f1\\fs" + std::to_string(std::clamp(halfPoints, 1LL, 32767LL));
  const bool runsOn = !text.empty() && ((text[0] >= '0' && text[0] <= '9') || text[0] == ' ');
  if (bold)
    doc += "\\b ";
  else if (runsOn)
    doc += ' ';
  doc += EscapeRichText(text);
  doc += "\\par}}";
  return doc;
}

}  // namespace

std::string RichTextOf(const std::string& text, const std::string& fontName, int fontSizePoints, bool bold) {
  return RichTextDocument(text, fontName, 2LL * fontSizePoints, bold);
}

int HalfPointsOfFontSize(const std::string& size) {
  const double points = ParseNumber(size);
  if (!(points > 0) || !std::isfinite(points)) return 18;
  return static_cast<int>(std::clamp(std::lround(std::min(points, 20000.0) * 2), 1L, 32767L));
}

std::string RichTextOf(const std::string& text, const OutputFont& font) {
  return RichTextDocument(text, font.name, HalfPointsOfFontSize(font.size), font.bold != 0);
}

// ---- The Calculation window's output ---------------------------------------

std::vector<CalculationEntry> CalculationEntries(const Session& s) {
  std::vector<CalculationEntry> entries;
  for (const CalculationRow& row : CalculationRows(s)) {
    CalculationEntry e{RemoveAccelerator(row.caption), row.text};
    if (row.unknown && e.value.empty()) e.value = "-";
    entries.push_back(std::move(e));
  }
  return entries;
}

namespace {

// The remark in lines no wider than the output (or sixty characters, when
// that is wider), broken between words.
std::vector<std::string> WrapRemark(const std::string& remark, double width, const MeasureText& measure) {
  std::vector<std::string> lines;
  const double limit = std::max(width, measure(std::string(60, 'n')));
  std::string line;
  std::size_t start = 0;
  while (start < remark.size()) {
    std::size_t end = remark.find(' ', start);
    if (end == std::string::npos) end = remark.size();
    const std::string word = remark.substr(start, end - start);
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && measure(longer) > limit) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<std::string> CalculationHeadings(const Session& s) {
  if (s.Description.empty()) return {};
  return {s.Description};
}

CalculationOutput LayoutCalculationOutput(const Session& s, const MeasureText& measure) {
  return LayoutCalculationOutput(s, CalculationHeadings(s), measure);
}

CalculationOutput LayoutCalculationOutput(const Session& s, const std::vector<std::string>& headings,
                                          const MeasureText& measure) {
  CalculationOutput o;
  const std::vector<CalculationEntry> entries = CalculationEntries(s);
  const EntryColumns c = MeasureEntries(entries, measure);
  o.labelWidth = c.labelWidth;
  o.valueWidth = c.valueWidth;
  o.halfGap = measure(kHalfGap);
  o.rightHalfLeft = o.labelWidth + o.valueWidth + o.halfGap;
  if (entries.size() >= 2)
    o.width = o.rightHalfLeft + o.labelWidth + o.valueWidth;
  else if (!entries.empty())
    o.width = o.labelWidth + o.valueWidth;
  for (const std::string& h : headings) o.width = std::max(o.width, measure(h));

  double y = 0;
  for (const std::string& h : headings) {
    TableLine line;
    line.top = y;
    line.pieces.push_back({h, std::max(0.0, (o.width - measure(h)) / 2)});
    o.headingLines.push_back(std::move(line));
    y += 1;
  }
  o.ruleLeft = 0;
  o.ruleRight = o.width;
  o.ruleTop = y;
  y += 0.5;
  for (std::size_t i = 0; i < entries.size(); i += 2) {
    CalculationOutputLine line;
    line.top = y;
    line.leftLabel = {LabelOf(entries[i]), 0};
    line.leftValue = {entries[i].value, o.labelWidth};
    if (i + 1 < entries.size()) {
      line.hasRight = true;
      line.rightLabel = {LabelOf(entries[i + 1]), o.rightHalfLeft};
      line.rightValue = {entries[i + 1].value, o.rightHalfLeft + o.labelWidth};
    }
    o.lines.push_back(std::move(line));
    y += 1;
  }
  o.closingRuleTop = y;
  y += 0.5;
  auto addLine = [&](const std::string& text) {
    o.width = std::max(o.width, measure(text));
    TableLine line;
    line.top = y;
    line.pieces.push_back({text, 0});
    o.remarkLines.push_back(std::move(line));
    y += 1;
  };
  for (const std::string& remark :
       {s.ResultRemark, DesignPowerLine(s.AchievedPower), EffectLine(s.AchievedPower)})
    for (const std::string& text : WrapRemark(remark, o.width, measure)) addLine(text);
  if (s.AchievedPower.sequential)
    for (TableLine& line : SequentialOutputLines(*s.AchievedPower.sequential, measure, y)) {
      const TablePiece& last = line.pieces.back();
      o.width = std::max(o.width, last.left + measure(last.text));
      o.remarkLines.push_back(std::move(line));
      y += 1;
    }
  // The paragraph for the protocol, after an empty line.
  if (const std::string statement = ProtocolStatement(s); !statement.empty()) {
    std::vector<std::string> texts = WrapRemark(statement, o.width, measure);
    texts.insert(texts.begin(), std::string());
    for (const std::string& text : texts) addLine(text);
  }
  for (const std::string& text : s.SimulationLines) addLine(text);
  o.ruleRight = o.width;
  o.heightInLines = y;
  return o;
}

std::string CalculationOutputText(const Session& s, const MeasureText& measure) {
  return CalculationOutputText(s, CalculationHeadings(s), measure);
}

std::string CalculationOutputText(const Session& s, const std::vector<std::string>& headings,
                                  const MeasureText& measure) {
  const CalculationOutput o = LayoutCalculationOutput(s, headings, measure);
  const std::vector<CalculationEntry> entries = CalculationEntries(s);
  const EntryColumns c = MeasureEntries(entries, measure);
  std::string out;
  for (const std::string& h : headings)
    out += PadToMeasuredWidth(measure, o.width, h, " ", kPadBothSides) + kLineBreak;
  out += PadToMeasuredWidth(measure, o.width, "", "-", kPadRight) + kLineBreak;
  for (std::size_t i = 0; i < entries.size(); i += 2) {
    out += EntryText(entries[i], c, measure);
    if (i + 1 < entries.size()) out += "\t" + EntryText(entries[i + 1], c, measure);
    out += kLineBreak;
  }
  for (const TableLine& line : o.remarkLines) out += TextLineOfPieces(line.pieces, measure) + kLineBreak;
  out += kLineBreak;
  return out;
}

// ---- The Table window's table as text --------------------------------------

std::string TextLineOfPieces(const std::vector<TablePiece>& pieces, const MeasureText& measure) {
  std::string line;
  const bool blanksAdvance = measure(" ") > 0;
  for (const TablePiece& p : pieces) {
    const double reach = p.left + 1e-9 * std::max(1.0, std::fabs(p.left));
    for (int n = 0; blanksAdvance && n < kMaxPads && measure(line + " ") <= reach; ++n) line += ' ';
    line += p.text;
  }
  return line;
}

std::string RuleText(double left, double right, const MeasureText& measure) {
  const std::string indent = TextLineOfPieces({{"", left}}, measure);
  return indent + PadToMeasuredWidth(measure, right - left, "", "-", kPadRight);
}

std::string TableOutputText(const Session& s, std::int16_t& tableDecimals, std::int16_t columns,
                            const MeasureText& measure, double xColumnGap) {
  return TableOutputText(TableContentOf(s), tableDecimals, columns, measure, xColumnGap);
}

std::string TableOutputText(const TableContent& content, std::int16_t& tableDecimals, std::int16_t columns,
                            const MeasureText& measure, double xColumnGap) {
  const TableModel model = LayoutTable(content, tableDecimals, columns, measure, xColumnGap);
  std::string out;
  for (const std::string& h : content.headings)
    out += PadToMeasuredWidth(measure, model.width, h, " ", kPadBothSides) + kLineBreak;
  for (const TableBlock& block : model.blocks) {
    for (const TableLine& line : block.lines) {
      out += line.kind == TableLine::Kind::Rule ? RuleText(line.left, line.right, measure)
                                                : TextLineOfPieces(line.pieces, measure);
      out += kLineBreak;
    }
  }
  return out;
}

}  // namespace pelmora
