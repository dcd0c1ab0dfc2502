#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/table_layout.h"
#include "session/session.h"
#include "session/user_interface.h"

namespace pelmora {
namespace {

const MeasureText kPerCharacter = [](std::string_view t) { return static_cast<double>(t.size()); };

std::vector<Single> Steps(double from, double step, int count) {
  std::vector<Single> v;
  for (int i = 0; i < count; ++i) v.push_back(static_cast<Single>(from + step * i));
  return v;
}

std::string Blanks(std::size_t n) { return std::string(n, ' '); }
std::string Dashes(std::size_t n) { return std::string(n, '-'); }

// ---- Formats ---------------------------------------------------------------

TEST(TableFormats, FixedDecimalsGiveTheirPattern) {
  EXPECT_EQ(TableResultFormat(0), "#########0");
  EXPECT_EQ(TableResultFormat(1), "#######0.0 ");
  EXPECT_EQ(TableResultFormat(2), "######0.00 ");
  EXPECT_EQ(TableResultFormat(3), "#####0.000 ");
  EXPECT_EQ(TableResultFormat(8), "0.00000000 ");
  EXPECT_EQ(TableResultFormat(9), "0.000000000 ");
}

TEST(TableFormats, DecimalsOfPatternCountsTheZerosAfterThePoint) {
  EXPECT_EQ(DecimalsOfPattern("######0.00 "), 2);
  EXPECT_EQ(DecimalsOfPattern("#########0 "), 0);
  EXPECT_EQ(DecimalsOfPattern("#########0"), 0);
  EXPECT_EQ(DecimalsOfPattern("0.00000000 "), 8);
  EXPECT_EQ(DecimalsOfPattern("0.0####"), 1);
}

TEST(TableFormats, ZeroDecimalsKeepTheSettingAndChooseXAndZFromTheirValues) {
  std::int16_t decimals = 0;
  const TableFormats f = BuildTableFormats(Steps(2, 2, 5), {0.5f, 0.25f, 1.0f}, 10, 30, decimals);
  EXPECT_EQ(f.result, "#########0");
  EXPECT_EQ(f.x, "########## ");  // 2, 4, ..., 10: no decimals
  EXPECT_EQ(f.z, "######0.00 ");  // .25 needs two
  EXPECT_EQ(decimals, 0);
}

TEST(TableFormats, ThreeDecimalsKeepTheSetting) {
  std::int16_t decimals = 3;
  const TableFormats f = BuildTableFormats(Steps(0, 0.1, 11), {1.0f}, 0.01f, 0.9f, decimals);
  EXPECT_EQ(f.result, "#####0.000 ");
  EXPECT_EQ(f.x, "#######0.0 ");
  EXPECT_EQ(f.z, "########## ");
  EXPECT_EQ(decimals, 3);
}

TEST(TableFormats, AutomaticDecimalsFollowTheStepOfTheResultsAndStayFixed) {
  std::int16_t decimals = -1;
  // 11 x values: the results' span in 10 steps; (30 - 10) / 10 = 2.
  TableFormats f = BuildTableFormats(Steps(0, 0.1, 11), {1.0f}, 10, 30, decimals);
  EXPECT_EQ(f.result, "#######0.0 ");
  EXPECT_EQ(decimals, 1);
  // The next drawing keeps one decimal whatever the results are.
  f = BuildTableFormats(Steps(0, 0.1, 11), {1.0f}, 0.1f, 0.2f, decimals);
  EXPECT_EQ(f.result, "#######0.0 ");
  EXPECT_EQ(decimals, 1);
}

TEST(TableFormats, AutomaticDecimalsOverTheWholeLadder) {
  struct Case {
    int xCount;
    Single yMin, yMax;
    const char* pattern;
    std::int16_t decimals;
  };
  const Case cases[] = {
      {11, 12, 2012, "#########0 ", 0},      // step 200
      {5, 0.1f, 0.9f, "######0.00 ", 2},     // step 0.2
      {5, 0.8f, 0.8008f, "###0.00000 ", 5},  // step 0.0002
      {3, 5, 5, "0.00000000 ", 8},           // no step at all
      {1, 10, 60, "#######0.0 ", 1},         // one x value: one step of 50
  };
  for (const Case& c : cases) {
    std::int16_t decimals = -1;
    const TableFormats f = BuildTableFormats(Steps(1, 1, c.xCount), {1.0f}, c.yMin, c.yMax, decimals);
    EXPECT_EQ(f.result, c.pattern) << c.yMin << " .. " << c.yMax;
    EXPECT_EQ(decimals, c.decimals) << c.yMin << " .. " << c.yMax;
  }
}

TEST(TableFormats, AutomaticWithNothingCalculableStaysAutomatic) {
  std::int16_t decimals = -1;
  const TableFormats f = BuildTableFormats(Steps(1, 1, 3), {1.0f}, 99999, -99999, decimals);
  EXPECT_EQ(f.result, "#########0");
  EXPECT_EQ(decimals, -1);
}

// ---- Blocks ----------------------------------------------------------------

TEST(TableBlocks, ZValuesAreSplitIntoBlocksOfAtMostTheColumnCount) {
  EXPECT_EQ(SplitIntoBlocks(5, 2), (std::vector<ZBlock>{{0, 2}, {2, 2}, {4, 1}}));
  EXPECT_EQ(SplitIntoBlocks(7, 3), (std::vector<ZBlock>{{0, 3}, {3, 3}, {6, 1}}));
  EXPECT_EQ(SplitIntoBlocks(4, 2), (std::vector<ZBlock>{{0, 2}, {2, 2}}));
  EXPECT_EQ(SplitIntoBlocks(1, 10), (std::vector<ZBlock>{{0, 1}}));
  EXPECT_EQ(SplitIntoBlocks(10, 10), (std::vector<ZBlock>{{0, 10}}));
  EXPECT_EQ(SplitIntoBlocks(11, 10), (std::vector<ZBlock>{{0, 10}, {10, 1}}));
  EXPECT_TRUE(SplitIntoBlocks(0, 2).empty());
  // No column count set: one block with everything.
  EXPECT_EQ(SplitIntoBlocks(3, 0), (std::vector<ZBlock>{{0, 3}}));
}

TEST(TableBlocks, FiveZValuesInBlocksOfTwoEachHaveTheirOwnHeadings) {
  TableContent c;
  c.xCaption = "X";
  c.zCaption = "Z";
  c.xValues = {1, 2};
  c.zValues = {1, 2, 3, 4, 5};
  c.yValues = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
  c.yMin = 1;
  c.yMax = 10;
  std::int16_t decimals = 0;
  const TableModel t = LayoutTable(c, decimals, 2, kPerCharacter);
  ASSERT_EQ(t.blocks.size(), 3u);
  const std::size_t counts[] = {2, 2, 1};
  for (std::size_t b = 0; b < 3; ++b) {
    const TableBlock& block = t.blocks[b];
    EXPECT_EQ(block.columns.count, counts[b]);
    // rule, captions, rule, z values, rule, 2 rows, empty, rule, 2 empty
    ASSERT_EQ(block.lines.size(), 11u);
    EXPECT_EQ(block.lines[1].pieces.front().text, "X");
    EXPECT_EQ(block.lines[1].pieces.back().text, "Z");
    EXPECT_EQ(block.lines[3].pieces.size(), counts[b]);
    EXPECT_EQ(block.lines[5].pieces.size(), counts[b] + 1);
  }
  EXPECT_EQ(t.blocks[2].lines[3].pieces[0].text, Blanks(9) + "5 ");
  // Height: no heading lines, 3 blocks of 2 x values.
  EXPECT_DOUBLE_EQ(t.heightInLines, 3 * (2 + 8) + 2.5 * 2);
  EXPECT_LE(t.contentBottom, t.heightInLines);
}

// ---- Layout ----------------------------------------------------------------

// Three z values in blocks of two, one of them not calculated at x = 0.5.
TableContent SmallTable() {
  TableContent c;
  c.headings = {"Unpaired t-test", "N as a function of D and S."};
  c.xCaption = "D";
  c.zCaption = "S";
  c.xValues = {0.5f, 1.0f};
  c.zValues = {1, 2, 3};
  c.yValues = {{10, 20}, {kNotCalculated, 30.5f}, {40, 50}};
  c.yMin = 10;
  c.yMax = 50;
  return c;
}

TEST(TableLayout, WidthsComeFromTheMeasuredFormatsAndCaptions) {
  std::int16_t decimals = 1;
  const TableModel t = LayoutTable(SmallTable(), decimals, 2, kPerCharacter, 2);
  EXPECT_EQ(t.formats.x, "#######0.0 ");
  EXPECT_EQ(t.formats.z, "########## ");
  EXPECT_EQ(t.formats.result, "#######0.0 ");
  EXPECT_DOUBLE_EQ(t.xColumnWidth, 11 + 2);
  EXPECT_DOUBLE_EQ(t.resultColumnWidth, 11);
  ASSERT_EQ(t.blocks.size(), 2u);
  EXPECT_DOUBLE_EQ(t.blocks[0].width, 13 + 22);
  EXPECT_DOUBLE_EQ(t.blocks[1].width, 13 + 11);
  EXPECT_DOUBLE_EQ(t.width, 35);
  EXPECT_DOUBLE_EQ(t.heightInLines, 2 + 2 * (2 + 8) + 2.5);
  EXPECT_DOUBLE_EQ(t.contentBottom, 2 + 2 * (2 + 7));
}

TEST(TableLayout, AWideCaptionWidensTheXColumnAndTheBlock) {
  TableContent c = SmallTable();
  c.xCaption = "Difference of Means";            // 19 characters
  c.zCaption = "Standard Deviation of Group 1";  // 29 characters, wider than one column
  std::int16_t decimals = 1;
  const TableModel t = LayoutTable(c, decimals, 2, kPerCharacter);
  EXPECT_DOUBLE_EQ(t.xColumnWidth, 19 + 5);
  EXPECT_DOUBLE_EQ(t.blocks[0].width, 24 + 29);
  EXPECT_DOUBLE_EQ(t.blocks[1].width, 24 + 29);
  // The z caption starts at the result columns when it fills the block.
  EXPECT_DOUBLE_EQ(t.blocks[1].lines[1].pieces[1].left, 24);
}

TEST(TableLayout, LinesStackByLineHeightWithHalfLineRules) {
  std::int16_t decimals = 1;
  const TableModel t = LayoutTable(SmallTable(), decimals, 2, kPerCharacter, 2);
  EXPECT_DOUBLE_EQ(t.headingLines[0].top, 0);
  EXPECT_DOUBLE_EQ(t.headingLines[1].top, 1);
  const std::vector<TableLine>& b = t.blocks[0].lines;
  const double tops[] = {2, 2.5, 3.5, 4, 5, 5.5, 6.5, 7.5, 8.5, 9, 10};
  ASSERT_EQ(b.size(), std::size(tops));
  for (std::size_t i = 0; i < b.size(); ++i) EXPECT_DOUBLE_EQ(b[i].top, tops[i]) << "line " << i;
  EXPECT_EQ(b[0].kind, TableLine::Kind::Rule);
  EXPECT_EQ(b[8].kind, TableLine::Kind::Rule);
  EXPECT_DOUBLE_EQ(b[0].left, 0);
  EXPECT_DOUBLE_EQ(b[0].right, 35);
  EXPECT_DOUBLE_EQ(t.blocks[1].lines[0].top, 11);
}

TEST(TableLayout, TheTableAsText) {
  std::int16_t decimals = 1;
  const TableModel t = LayoutTable(SmallTable(), decimals, 2, kPerCharacter, 2);
  const std::string x05 = Blanks(7) + "0.5 " + Blanks(2);
  const std::string x10 = Blanks(7) + "1.0 " + Blanks(2);
  const std::vector<std::string> lines = {
      Blanks(10) + "Unpaired t-test",
      Blanks(4) + "N as a function of D and S.",
      Dashes(35),
      "D" + Blanks(22) + "S",
      Dashes(35),
      Blanks(22) + "1" + Blanks(10) + "2",
      Dashes(35),
      x05 + Blanks(6) + "10.0 " + Blanks(9) + "-",
      x10 + Blanks(6) + "20.0 " + Blanks(6) + "30.5",
      "",
      Dashes(35),
      "",
      "",
      Dashes(24),
      "D" + Blanks(17) + "S",
      Dashes(24),
      Blanks(22) + "3",
      Dashes(24),
      x05 + Blanks(6) + "40.0",
      x10 + Blanks(6) + "50.0",
      "",
      Dashes(24),
      "",
      "",
  };
  std::string expected;
  for (const std::string& l : lines) expected += l + "\r\n";
  EXPECT_EQ(TableModelText(t), expected);
}

TEST(TableLayout, CellsNotCalculatedAreADashAlignedToTheFormat) {
  TableContent c = SmallTable();
  std::int16_t decimals = 0;
  const TableModel t = LayoutTable(c, decimals, 3, kPerCharacter);
  const TablePiece& cell = t.blocks[0].lines[5].pieces[2];  // x = 0.5, second z value
  EXPECT_EQ(cell.text, Blanks(8) + "- ");
  decimals = 3;
  const TableModel t3 = LayoutTable(c, decimals, 3, kPerCharacter);
  EXPECT_EQ(t3.blocks[0].lines[5].pieces[2].text, Blanks(9) + "- ");
  EXPECT_EQ(t3.blocks[0].lines[5].pieces[1].text, Blanks(4) + "10.000 ");
  EXPECT_EQ(t3.blocks[0].lines[6].pieces[2].text, Blanks(4) + "30.500 ");
}

TEST(TableLayout, MissingResultsAreNotCalculated) {
  TableContent c = SmallTable();
  c.yValues.resize(1);  // results only for the first z value
  std::int16_t decimals = 0;
  const TableModel t = LayoutTable(c, decimals, 3, kPerCharacter);
  EXPECT_EQ(t.blocks[0].lines[6].pieces[3].text, Blanks(8) + "- ");
}

TEST(TableLayout, CellsEndAtTheirColumnsRightEdgeInAProportionalFont) {
  // Digits twice as wide as blanks and points.
  const MeasureText proportional = [](std::string_view t) {
    double w = 0;
    for (char ch : t) w += (ch >= '0' && ch <= '9') ? 2 : 1;
    return w;
  };
  std::int16_t decimals = 2;
  const TableModel t = LayoutTable(SmallTable(), decimals, 2, proportional);
  const double xRight = t.xColumnWidth - 5;
  for (const TableBlock& block : t.blocks) {
    for (std::size_t i = 5; i < 7; ++i) {
      const std::vector<TablePiece>& row = block.lines[i].pieces;
      EXPECT_DOUBLE_EQ(row[0].left + proportional(row[0].text), xRight);
      for (std::size_t j = 1; j < row.size(); ++j)
        EXPECT_DOUBLE_EQ(row[j].left + proportional(row[j].text),
                         t.xColumnWidth + static_cast<double>(j) * t.resultColumnWidth);
    }
  }
  for (const TableLine& h : t.headingLines)
    EXPECT_DOUBLE_EQ(h.pieces[0].left, (t.width - proportional(h.pieces[0].text)) / 2);
}

TEST(TableLayout, NoZValuesGiveOnlyTheHeadings) {
  TableContent c = SmallTable();
  c.zValues.clear();
  c.yValues.clear();
  std::int16_t decimals = -1;
  const TableModel t = LayoutTable(c, decimals, 2, kPerCharacter);
  EXPECT_TRUE(t.blocks.empty());
  EXPECT_EQ(t.headingLines.size(), 2u);
  EXPECT_DOUBLE_EQ(t.heightInLines, 2);
}

// ---- Comma-separated values ------------------------------------------------

TEST(TableCsv, NumbersHaveAPointAndALeadingZero) {
  EXPECT_EQ(CsvNumber(0.25f), "0.25");
  EXPECT_EQ(CsvNumber(-0.25f), "-0.25");
  EXPECT_EQ(CsvNumber(12), "12");
  EXPECT_EQ(CsvNumber(-3), "-3");
  EXPECT_EQ(CsvNumber(30.5f), "30.5");
  EXPECT_EQ(CsvNumber(1.5e-7f), "1.5E-07");
  EXPECT_EQ(CsvNumber(0), "0");
}

TEST(TableCsv, HeadingsAreCommentsAndPointsNotCalculatedAreEmpty) {
  EXPECT_EQ(TableCsv(SmallTable()),
            "# Unpaired t-test\r\n"
            "# N as a function of D and S.\r\n"
            "D,S = 1,S = 2,S = 3\r\n"
            "0.5,10,,40\r\n"
            "1,20,30.5,50\r\n");
}

TEST(TableCsv, CaptionsWithCommasOrQuotesAreQuoted) {
  TableContent c;
  c.xCaption = "Delta, Difference";
  c.zCaption = "\"SD\"";
  c.xValues = {0.1f};
  c.zValues = {0.5f};
  c.yValues = {{kNotCalculated}};
  EXPECT_EQ(TableCsv(c),
            "\"Delta, Difference\",\"\"\"SD\"\" = 0.5\"\r\n"
            "0.1,\r\n");
}

// ---- From the session ------------------------------------------------------

TEST(TableContentOfSession, TakesTheRangeResultsAndTheCaptionsWithoutAccelerators) {
  RecordingUserInterface ui;
  Session s(ui);
  s.ParameterList[2] = 10;
  s.ParameterList[3] = 11;
  static const CatalogueConstants delta{"&Delta"}, sd{"Standard &Deviation"};
  s.entry(10) = CatalogueEntry(delta);
  s.entry(11) = CatalogueEntry(sd);
  s.XPosition = 2;
  s.ZPosition = 3;
  s.RangeHeadings = {"Heading"};
  s.XValues = {1, 2};
  s.ZValues = {3};
  s.YValues = {{4, 5}};
  s.YMin = 4;
  s.YMax = 5;
  const TableContent c = TableContentOf(s);
  EXPECT_EQ(c.xCaption, "Delta");
  EXPECT_EQ(c.zCaption, "Standard Deviation");
  EXPECT_EQ(c.headings, s.RangeHeadings);
  EXPECT_EQ(c.xValues, s.XValues);
  EXPECT_EQ(c.zValues, s.ZValues);
  EXPECT_EQ(c.yValues, s.YValues);
  EXPECT_EQ(c.yMin, 4);
  EXPECT_EQ(c.yMax, 5);
}

}  // namespace
}  // namespace pelmora
