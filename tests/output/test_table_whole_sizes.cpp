// A table of sample sizes shown whole: each result rounded up as a study
// recruits it, with the subjects in all, in the text layout and in the CSV
// form; a table of other results has no whole sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/range.h"
#include "output/table_export.h"
#include "output/table_layout.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::TestChoice;

class WholeSizesInTables : public testing::PlanningTest {
 protected:
  // The unpaired t-test planned for power 0.8, mean 1 at 0, equal groups:
  // the first sample size over the standard deviation 0.8, 1, 1.2 for the
  // second means 0.5 and 0.6.
  TableContent Run(int unknown) {
    Choose(TestChoice(Procedure::UnpairedT, 2, 2, {}, {{2, 2}}));
    d.SetPlanByPower(true);
    d.ApplyOptions();
    for (const auto& [id, text] : testing::Values{{86, "0"}, {87, "0.5"}, {111, "1"}, {5, "1"}}) Set(id, text);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(unknown));
    s.XPosition = static_cast<std::int16_t>(PositionOf(111));
    s.ZPosition = static_cast<std::int16_t>(PositionOf(87));
    s.entry(111).TableMin = "0.8";
    s.entry(111).TableMax = "1.2";
    s.entry(111).TableStep = "0.2";
    s.entry(87).ZValueText = "0.5 0.6";
    s.ResultsCurrent = false;
    EXPECT_EQ(CalculateRange(d), RangeOutcome::Done) << ui.LastText();
    TableContent c = TableContentOf(s);
    c.headings.clear();
    return c;
  }
};

TEST_F(WholeSizesInTables, ResultsRoundUpWithTheirTotals) {
  TableContent c = Run(4);
  // At SD 1 and mean 0.5: brentq(power(n) - 0.8) = 63.765610 (scipy's
  // noncentral t, see the tests planned by power), 64 per group, 128 in all.
  ASSERT_EQ(c.yWhole.size(), 2u);
  EXPECT_NEAR(c.yValues[0][1], 63.7656, 0.01);
  EXPECT_EQ(c.yWhole[0], (std::vector<Single>{42, 64, 92}));
  EXPECT_EQ(c.yTotals[0], (std::vector<Single>{84, 128, 184}));
  EXPECT_EQ(c.yWhole[1], (std::vector<Single>{29, 45, 64}));
  EXPECT_EQ(c.yTotals[1], (std::vector<Single>{58, 90, 128}));

  // Not chosen: the results as they are.
  EXPECT_FALSE(c.ShowsWholeSizes());
  EXPECT_NE(TableFixedWidthText(c, -1, 10).find("63.8"), std::string::npos);

  c.showWhole = true;
  const std::string text = TableFixedWidthText(c, -1, 10);
  EXPECT_NE(text.find("\r\n" + std::string(15, ' ') + "1.0    64 (128)    45 (90)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n" + std::string(15, ' ') + "0.8     42 (84)    29 (58)\r\n"), std::string::npos) << text;
  EXPECT_EQ(TableCsv(c),
            "Standard Deviation*,Mean 2* = 0.5,\"Mean 2* = 0.5, in all\",Mean 2* = 0.6,\"Mean 2* = 0.6, in all\"\r\n"
            "0.8,42,84,29,58\r\n"
            "1,64,128,45,90\r\n"
            "1.2,92,184,64,128\r\n");
}

TEST_F(WholeSizesInTables, OtherResultsHaveNone) {
  // The P-value over the same range: no sample size to make whole.
  TableContent c = Run(0);
  EXPECT_TRUE(c.yWhole.empty());
  c.showWhole = true;
  EXPECT_FALSE(c.ShowsWholeSizes());
  EXPECT_EQ(TableCsv(c).find("in all"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
