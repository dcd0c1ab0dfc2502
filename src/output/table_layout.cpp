#include "output/table_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <limits>

#include "format/number_entry.h"
#include "engine/achieved_power.h"
#include "format/number_format.h"
#include "session/catalogue.h"
#include "session/session.h"
#include "session/solve_outcome.h"

namespace pelmora {

namespace {

bool NotCalculated(Single y) { return !IsCalculated(y); }

Single At(const std::vector<std::vector<Single>>& values, std::size_t z, std::size_t i) {
  if (z >= values.size() || i >= values[z].size()) return kNotCalculated;
  return values[z][i];
}

Single ResultAt(const TableContent& content, std::size_t z, std::size_t i) {
  return At(content.ShowsWholeSizes() ? content.yWhole : content.yValues, z, i);
}

// A whole size with its total where that is more: "64 (128)"; "- " for a
// point not calculated.
std::string WholeCell(const TableContent& content, std::size_t z, std::size_t i) {
  const Single n = At(content.yWhole, z, i);
  if (NotCalculated(n)) return "- ";
  const Single total = At(content.yTotals, z, i);
  std::string text = FormatPattern(n, "0");
  if (!NotCalculated(total) && total != n) text += " (" + FormatPattern(total, "0") + ")";
  return text + " ";
}

// The whole size of each result and the subjects in all at it, where the
// calculated parameter is a sample size.
void AddWholeSizes(const Session& s, TableContent& c) {
  const auto position = [&s](std::int16_t p) { return p >= 0 && p <= s.LastPosition && p != 1; };
  if (!position(s.UnknownPosition) || !position(s.XPosition)) return;
  ParameterValueArray values = s.ParameterValues;
  const std::size_t u = static_cast<std::size_t>(s.UnknownPosition);
  Session work = s;
  if (!WholeSizesAt(work, values)) return;
  std::vector<std::vector<Single>> whole(c.yValues.size()), totals(c.yValues.size());
  for (std::size_t k = 0; k < c.yValues.size(); ++k) {
    for (std::size_t i = 0; i < c.yValues[k].size(); ++i) {
      const Single y = c.yValues[k][i];
      Single n = kNotCalculated, total = kNotCalculated;
      if (!NotCalculated(y)) {
        if (k < c.zValues.size() && position(s.ZPosition)) values[static_cast<std::size_t>(s.ZPosition)] = c.zValues[k];
        if (i < c.xValues.size()) values[static_cast<std::size_t>(s.XPosition)] = c.xValues[i];
        values[u] = y;
        if (const std::optional<WholeSizes> w = WholeSizesAt(work, values)) {
          // The solved size is the first one unless it is the second's.
          const std::int16_t id = s.ParameterList[u];
          const bool second = w->sizes.size() > 1 &&
                              (std::find(std::begin(param::kSecondSampleSizes), std::end(param::kSecondSampleSizes),
                                         id) != std::end(param::kSecondSampleSizes) ||
                               id == param::SecondSampleSizeDifference || id == param::SecondSampleSizeRatio);
          n = static_cast<Single>(w->sizes[second ? 1 : 0]);
          total = static_cast<Single>(w->total);
        }
      }
      whole[k].push_back(n);
      totals[k].push_back(total);
    }
  }
  c.yWhole = std::move(whole);
  c.yTotals = std::move(totals);
}

}  // namespace

// ---- Formats ---------------------------------------------------------------

std::string TableResultFormat(std::int16_t decimals) {
  if (decimals <= 0) return "#########0";
  const std::size_t d = static_cast<std::size_t>(decimals);
  return std::string(d < 8 ? 8 - d : 0, '#') + "0." + std::string(d, '0') + " ";
}

std::int16_t DecimalsOfPattern(std::string_view pattern) {
  const std::size_t point = pattern.find('.');
  if (point == std::string_view::npos) return 0;
  std::int16_t n = 0;
  for (std::size_t i = point + 1; i < pattern.size() && pattern[i] == '0'; ++i) ++n;
  return n;
}

std::string AutomaticResultFormat(std::size_t xCount, Single yMin, Single yMax) {
  const std::size_t steps = std::clamp<std::size_t>(xCount > 1 ? xCount - 1 : 1, 1, 32767);
  return StepFormat(static_cast<std::int16_t>(steps), yMin, yMax);
}

TableFormats BuildTableFormats(const std::vector<Single>& xValues, const std::vector<Single>& zValues,
                               Single yMin, Single yMax, std::int16_t& tableDecimals) {
  TableFormats f;
  f.x = ColumnFormat(xValues, 0, static_cast<int>(xValues.size()) - 1);
  f.z = ColumnFormat(zValues, 0, static_cast<int>(zValues.size()) - 1);
  if (tableDecimals >= 0) {
    f.result = TableResultFormat(tableDecimals);
  } else if (yMin > yMax) {
    // Nothing calculable: no span to choose from, and nothing to keep.
    f.result = TableResultFormat(0);
  } else {
    f.result = AutomaticResultFormat(xValues.size(), yMin, yMax);
    tableDecimals = DecimalsOfPattern(f.result);
  }
  return f;
}

// ---- Blocks of columns -----------------------------------------------------

std::vector<ZBlock> SplitIntoBlocks(std::size_t zCount, std::int16_t columns) {
  std::vector<ZBlock> blocks;
  if (zCount == 0) return blocks;
  const std::size_t w = columns < 1 ? zCount : static_cast<std::size_t>(columns);
  for (std::size_t first = 0; first < zCount; first += w)
    blocks.push_back({first, std::min(w, zCount - first)});
  return blocks;
}

// ---- The table model -------------------------------------------------------

TableContent TableContentOf(const Session& s) {
  TableContent c;
  c.headings = s.RangeHeadings;
  c.xCaption = RemoveAccelerator(s.entryAt(s.XPosition).ParamCaption());
  c.zCaption = RemoveAccelerator(s.entryAt(s.ZPosition).ParamCaption());
  c.xValues = s.XValues;
  c.yValues = s.YValues;
  c.zValues = s.ZValues;
  c.yMin = s.YMin;
  c.yMax = s.YMax;
  if (s.UnknownPosition >= 0 && s.UnknownPosition <= s.LastPosition) {
    c.yLowerLimit = s.entryAt(s.UnknownPosition).ParamLowerLimit();
    c.yUpperLimit = s.entryAt(s.UnknownPosition).ParamUpperLimit();
  }
  if (s.XPosition >= 0 && s.XPosition <= s.LastPosition) {
    c.xLowerLimit = s.entryAt(s.XPosition).ParamLowerLimit();
    c.xUpperLimit = s.entryAt(s.XPosition).ParamUpperLimit();
  }
  AddWholeSizes(s, c);
  c.showWhole = s.planning.TableWholeSizes != kFalse;
  return c;
}

TableModel LayoutTable(const TableContent& content, std::int16_t& tableDecimals, std::int16_t columns,
                       const MeasureText& measure, double xColumnGap) {
  TableModel model;
  model.formats =
      BuildTableFormats(content.xValues, content.zValues, content.yMin, content.yMax, tableDecimals);
  const TableFormats& f = model.formats;

  const double xCellRight = std::max(measure(content.xCaption), measure(f.x));
  model.xColumnWidth = xCellRight + xColumnGap;
  model.resultColumnWidth = std::max(measure(f.result), measure(f.z));
  if (content.ShowsWholeSizes())
    for (std::size_t k = 0; k < content.yWhole.size(); ++k)
      for (std::size_t i = 0; i < content.yWhole[k].size(); ++i)
        model.resultColumnWidth = std::max(model.resultColumnWidth, measure(WholeCell(content, k, i)));
  const double zCaptionWidth = measure(content.zCaption);

  const std::vector<ZBlock> split = SplitIntoBlocks(content.zValues.size(), columns);
  for (const std::string& h : content.headings) model.width = std::max(model.width, measure(h));
  for (const ZBlock& b : split) {
    TableBlock block;
    block.columns = b;
    block.width =
        model.xColumnWidth + std::max(static_cast<double>(b.count) * model.resultColumnWidth, zCaptionWidth);
    model.width = std::max(model.width, block.width);
    model.blocks.push_back(std::move(block));
  }

  double y = 0;
  auto text = [&y](std::vector<TablePiece> pieces) {
    TableLine line;
    line.top = y;
    line.pieces = std::move(pieces);
    y += 1;
    return line;
  };
  auto rule = [&y](double left, double right) {
    TableLine line;
    line.kind = TableLine::Kind::Rule;
    line.top = y;
    line.left = left;
    line.right = right;
    y += 0.5;
    return line;
  };
  // A cell ending at the right edge of its column.
  auto cell = [&measure](std::string t, double right) {
    const double left = right - measure(t);
    return TablePiece{std::move(t), left};
  };

  for (const std::string& h : content.headings)
    model.headingLines.push_back(text({{h, std::max(0.0, (model.width - measure(h)) / 2)}}));

  for (TableBlock& block : model.blocks) {
    const ZBlock& b = block.columns;
    const double resultsWidth = block.width - model.xColumnWidth;
    std::vector<TableLine>& lines = block.lines;
    lines.push_back(rule(0, block.width));
    lines.push_back(
        text({{content.xCaption, 0},
              {content.zCaption, model.xColumnWidth + std::max(0.0, (resultsWidth - zCaptionWidth) / 2)}}));
    lines.push_back(rule(0, block.width));
    std::vector<TablePiece> zLine;
    for (std::size_t j = 0; j < b.count; ++j)
      zLine.push_back(cell(AlignedCell(content.zValues[b.first + j], f.z),
                           model.xColumnWidth + static_cast<double>(j + 1) * model.resultColumnWidth));
    lines.push_back(text(std::move(zLine)));
    lines.push_back(rule(0, block.width));
    for (std::size_t i = 0; i < content.xValues.size(); ++i) {
      std::vector<TablePiece> row{cell(AlignedCell(content.xValues[i], f.x), xCellRight)};
      for (std::size_t j = 0; j < b.count; ++j)
        row.push_back(cell(content.ShowsWholeSizes() ? WholeCell(content, b.first + j, i)
                                                     : AlignedCell(ResultAt(content, b.first + j, i), f.result),
                           model.xColumnWidth + static_cast<double>(j + 1) * model.resultColumnWidth));
      lines.push_back(text(std::move(row)));
    }
    lines.push_back(text({}));
    lines.push_back(rule(0, block.width));
    lines.push_back(text({}));
    lines.push_back(text({}));
  }

  const double blockCount = static_cast<double>(model.blocks.size());
  const double m = static_cast<double>(content.xValues.size());
  model.heightInLines = static_cast<double>(content.headings.size());
  if (blockCount > 0) model.heightInLines += blockCount * (m + 8) + 2.5 * (blockCount - 1);
  model.contentBottom = y;
  return model;
}

std::string TableModelText(const TableModel& model) {
  std::string out;
  auto column = [](double x) {
    return x <= 0 ? std::size_t{0} : static_cast<std::size_t>(std::floor(x + 1e-9));
  };
  auto write = [&](const TableLine& line) {
    std::string t;
    if (line.kind == TableLine::Kind::Rule) {
      t = std::string(column(line.right) - std::min(column(line.right), column(line.left)), '-');
      t.insert(0, column(line.left), ' ');
    } else {
      for (const TablePiece& p : line.pieces) {
        const std::size_t at = column(p.left);
        if (t.size() < at) t.resize(at, ' ');
        t.replace(at, std::min(p.text.size(), t.size() - at), p.text);
      }
      while (!t.empty() && t.back() == ' ') t.pop_back();
    }
    out += t;
    out += "\r\n";
  };
  for (const TableLine& line : model.headingLines) write(line);
  for (const TableBlock& block : model.blocks)
    for (const TableLine& line : block.lines) write(line);
  return out;
}

// ---- Comma-separated values ------------------------------------------------

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string CsvNumber(Single x) {
  std::string t = ShortestGeneral(x);
  if (!t.empty() && t[0] == '.') return "0" + t;
  if (t.size() > 1 && t[0] == '-' && t[1] == '.') return "-0" + t.substr(1);
  return t;
}

std::string TableCsv(const TableContent& content) {
  constexpr const char* kEnd = "\r\n";
  std::string out;
  for (const std::string& h : content.headings) out += "# " + h + kEnd;
  out += CsvField(content.xCaption);
  const bool whole = content.ShowsWholeSizes();
  for (Single z : content.zValues) {
    out += "," + CsvField(content.zCaption + " = " + CsvNumber(z));
    if (whole) out += "," + CsvField(content.zCaption + " = " + CsvNumber(z) + ", in all");
  }
  out += kEnd;
  for (std::size_t i = 0; i < content.xValues.size(); ++i) {
    out += CsvNumber(content.xValues[i]);
    for (std::size_t k = 0; k < content.zValues.size(); ++k) {
      const Single y = ResultAt(content, k, i);
      out += ",";
      if (!NotCalculated(y)) out += CsvNumber(y);
      if (!whole) continue;
      const Single total = At(content.yTotals, k, i);
      out += ",";
      if (!NotCalculated(total)) out += CsvNumber(total);
    }
    out += kEnd;
  }
  return out;
}

}  // namespace pelmora
