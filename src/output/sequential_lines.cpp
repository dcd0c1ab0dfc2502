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

std::vector<std::string> SequentialLines(const SequentialSummary& m) {
  std::vector<std::string> lines;
  std::string heading = "Group-sequential design: " + m.boundary + " bounds, " + std::to_string(m.looks.size()) +
                        " analyses";
  if (m.futility != "None") heading += ", " + std::string(m.binding ? "binding" : "non-binding") + " futility bounds by " + m.futility;
  lines.push_back(heading);
  std::size_t sizeWidth = 7;
  for (const SequentialLookLine& l : m.looks) sizeWidth = std::max(sizeWidth, Sizes(l.sizes).size() + 2);
  const std::vector<std::size_t> widths = {6, 10, sizeWidth, 12, 12, 12, 12, 12};
  const std::vector<std::string> titles = {"Look", "Fraction", "Sizes", "Efficacy z", "Nominal P", "Futility z",
                                           "Cum. alpha", "Stop (H1)"};
  auto row = [&](const std::vector<std::string>& cells, const std::string& last) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += Pad(cells[i], widths[i]);
    return line + last;
  };
  lines.push_back(row(titles, "Stop (H0)"));
  for (std::size_t k = 0; k < m.looks.size(); ++k) {
    const SequentialLookLine& l = m.looks[k];
    lines.push_back(row({std::to_string(k + 1), FormatPattern(l.fraction, "0.0000"), Sizes(l.sizes),
                         FormatPattern(l.efficacyZ, "0.0000"), Nominal(l.efficacyP),
                         l.futilityZ ? FormatPattern(*l.futilityZ, "0.0000") : std::string("-"),
                         FormatPattern(l.cumulativeAlpha, "0.000000"), Probability(l.stopH1)},
                        Probability(l.stopH0)));
  }
  std::string sizes = "Maximum sample sizes " + Sizes(m.sizes);
  if (m.sizes.size() > 1 || (!m.sizes.empty() && m.total != m.sizes.front()))
    sizes += " (" + Size(m.total) + " in all)";
  lines.push_back(sizes + "; expected in all: " + FormatPattern(m.expectedH1, "0.0") +
                  " under the assumed values, " + FormatPattern(m.expectedH0, "0.0") + " under H0");
  lines.push_back("Inflation factor: " + (m.inflation ? FormatPattern(*m.inflation, "0.0000") : std::string("-")));
  return lines;
}

}  // namespace pelmora
