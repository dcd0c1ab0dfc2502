#include "output/sequential_lines.h"

#include <algorithm>

#include "format/number_format.h"

namespace pelmora {

namespace {

std::string Size(double n) { return FormatPattern(n, "0.##"); }

std::string Sizes(const std::vector<double>& sizes) {
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i) text += (i == 0 ? "" : ", ") + Size(sizes[i]);
  return text.empty() ? "-" : text;
}

std::string Probability(double p) { return p < 0.00005 && p > 0 ? "< 0.0001" : FormatPattern(p, "0.0000"); }

std::string Nominal(double p) { return p < 0.0000005 ? "< 0.000001" : FormatPattern(p, "0.000000"); }

std::string Pad(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

SequentialText SequentialTextOf(const SequentialSummary& m) {
  SequentialText out;
  out.heading = "Group-sequential design: " + m.boundary + " bounds, " + std::to_string(m.looks.size()) + " analyses";
  if (m.futility != "None")
    out.heading += ", " + std::string(m.binding ? "binding" : "non-binding") + " futility bounds by " + m.futility;
  out.table.push_back({"Look", "Fraction", "Sizes", "Efficacy z", "Nominal P", "Futility z", "Cum. alpha",
                       "Stop (H1)", "Stop (H0)"});
  for (std::size_t k = 0; k < m.looks.size(); ++k) {
    const SequentialLookLine& l = m.looks[k];
    out.table.push_back({std::to_string(k + 1), FormatPattern(l.fraction, "0.0000"), Sizes(l.sizes),
                         FormatPattern(l.efficacyZ, "0.0000"), Nominal(l.efficacyP),
                         l.futilityZ ? FormatPattern(*l.futilityZ, "0.0000") : std::string("-"),
                         FormatPattern(l.cumulativeAlpha, "0.000000"), Probability(l.stopH1),
                         Probability(l.stopH0)});
  }
  std::string sizes = "Maximum sample sizes " + Sizes(m.sizes);
  if (m.sizes.size() > 1 || (!m.sizes.empty() && m.total != m.sizes.front()))
    sizes += " (" + Size(m.total) + " in all)";
  out.closing.push_back(sizes + "; expected in all: " + FormatPattern(m.expectedH1, "0.0") +
                        " under the assumed values, " + FormatPattern(m.expectedH0, "0.0") + " under H0");
  out.closing.push_back("Inflation factor: " +
                        (m.inflation ? FormatPattern(*m.inflation, "0.0000") : std::string("-")));
  return out;
}

std::vector<std::string> SequentialLines(const SequentialSummary& m) {
  const SequentialText text = SequentialTextOf(m);
  std::vector<std::size_t> widths(text.table.front().size(), 0);
  for (const auto& row : text.table)
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size() + 2);
  std::vector<std::string> lines = {text.heading};
  for (const auto& row : text.table) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) line += i + 1 < row.size() ? Pad(row[i], widths[i]) : row[i];
    lines.push_back(line);
  }
  lines.insert(lines.end(), text.closing.begin(), text.closing.end());
  return lines;
}

std::vector<TableLine> SequentialOutputLines(const SequentialSummary& m, const MeasureText& measure, double top) {
  const SequentialText text = SequentialTextOf(m);
  std::vector<double> lefts(text.table.front().size(), 0);
  const double gap = 2 * std::max(measure(" "), measure("0") / 2);
  for (std::size_t i = 1; i < lefts.size(); ++i) {
    double widest = 0;
    for (const auto& row : text.table) widest = std::max(widest, measure(row[i - 1]));
    lefts[i] = lefts[i - 1] + widest + gap;
  }
  std::vector<TableLine> lines;
  auto add = [&](std::vector<TablePiece> pieces) {
    TableLine line;
    line.top = top;
    line.pieces = std::move(pieces);
    lines.push_back(std::move(line));
    top += 1;
  };
  add({{text.heading, 0}});
  for (const auto& row : text.table) {
    std::vector<TablePiece> pieces;
    for (std::size_t i = 0; i < row.size(); ++i) pieces.push_back({row[i], lefts[i]});
    add(std::move(pieces));
  }
  for (const std::string& closing : text.closing) add({{closing, 0}});
  return lines;
}

}  // namespace pelmora
