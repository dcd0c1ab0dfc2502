// The rank tests: Wilcoxon rank-sum (with its grid of ordered categories),
// Wilcoxon signed-rank and the sign test.  Reference values are computed with
// scipy 1.10 (Debian's python3-scipy); the program's normal distribution is
// single precision, good to about 1e-6 in P.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "procedures/hypothesis/sign.h"
#include "procedures/hypothesis/wilcoxon_rank_sum.h"
#include "procedures/hypothesis/wilcoxon_signed_rank.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using MwIds = WilcoxonRankSum::Ids;
using WsIds = WilcoxonSignedRank::Ids;
using SgIds = Sign::Ids;
using testing::kAnyEnd;
using testing::kPValue;
using testing::TestChoice;

constexpr Procedure kRankSum = Procedure::WilcoxonRankSum, kSignedRank = Procedure::WilcoxonSignedRank,
                    kSign = Procedure::Sign;
constexpr int kContinuity = 1, kExact = 7, kOrdered = 8;
constexpr int kSize2Group = 2;
constexpr double kAboveZero = static_cast<double>(0.00001f), kBelowOne = static_cast<double>(0.99999f);

testing::Choice Mw(int tails, std::vector<int> options = {}, int size2Form = 0, bool left = false) {
  return TestChoice(kRankSum, 0, tails, std::move(options), {{kSize2Group, size2Form}}, left);
}

class RankTest : public testing::PlanningTest {};

// clang-format off
TEST_F(RankTest, RankSum) {
  const testing::Values n20n25 = {{MwIds::ProbHigher, "0.6"}, {MwIds::SampleSize1, "20"},
   {MwIds::SampleSize2, "25"}};
  const testing::Values ties = {{MwIds::ProbHigher, "0.5"}, {MwIds::TieCorrection, "10"},
   {MwIds::SampleSize1, "20"},
                                {MwIds::SampleSize2, "25"}};
  ExpectReferences({
    // one half is the null value
    {Mw(1), {{MwIds::ProbHigher, "0.5"}}, kPValue, 0.5, 1e-6},
    {Mw(2), {{MwIds::ProbHigher, "0.5"}}, kPValue, 1.0, 1e-6},
    // the Mann-Whitney count: 2 * scipy.stats.norm.sf(50 / sqrt(20 * 25 * 46 / 12)); with the continuity
    // correction norm.sf(49.5 / sqrt(...)); rejecting in the left tail norm.cdf(-50 / sqrt(...))
    {Mw(2), n20n25, kPValue, 0.2534205678251751, 2e-6},
    {Mw(1, {kContinuity}, 2), {{MwIds::ProbHigher, "0.6"}, {MwIds::SampleSize1, "20"},
     {MwIds::SampleSize2OverSize1, "1.25"}}, kPValue, 0.1290991797051892, 2e-6},
    {Mw(1, {}, 1, true), {{MwIds::ProbHigher, "0.4"}, {MwIds::SampleSize1, "20"},
     {MwIds::SampleSize2MinusSize1, "5"}}, kPValue, 0.2534205678251751 / 2, 2e-6},
    // ordered categories without ties give the count, with the correction and the left tail too:
    // norm.cdf((225 - 250 + 0.5) / sqrt(20 * 25 * 46 / 12))
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.6"}, {MwIds::ProbEqual, "0"}, {MwIds::TieCorrection, "0"},
     {MwIds::SampleSize1, "20"}, {MwIds::SampleSize2, "25"}}, kPValue, 0.2534205678251751, 2e-6},
    {Mw(1, {kContinuity}, 0, true), {{MwIds::ProbHigher, "0.45"}, {MwIds::SampleSize1, "20"},
     {MwIds::SampleSize2, "25"}}, kPValue, 0.2878695224586541, 2e-6},
    {Mw(1, {kContinuity, kOrdered}, 0, true), {{MwIds::ProbHigher, "0.45"}, {MwIds::ProbEqual, "0"},
     {MwIds::TieCorrection, "0"}, {MwIds::SampleSize1, "20"}, {MwIds::SampleSize2, "25"}}, kPValue,
     0.2878695224586541, 2e-6},
    // the rank sum: 2 * norm.sf(50 / sqrt(20 * 25 * 46 / 12 - 10)); a correction beyond the variance leaves
    // the
    // smallest variance, 0.00001: z is about 15811 and the P-value 0
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.5"}, {MwIds::ProbEqual, "0.2"}, {MwIds::TieCorrection, "10"},
     {MwIds::SampleSize1, "20"}, {MwIds::SampleSize2, "25"}}, kPValue, 0.2521795273977785, 2e-6},
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.5"}, {MwIds::ProbEqual, "0.2"},
     {MwIds::TieCorrection, "5000"},
     {MwIds::SampleSize1, "20"}, {MwIds::SampleSize2, "25"}}, kPValue, 0.0, 1e-9},
    // brentq of 2 * norm.sf(0.2 n^2 / sqrt(n^2 (2n + 1) / 12)) - 0.05; brentq over d of
    // 2 * norm.sf(0.2 n1 n2 / sqrt(n1 n2 (n1 + n2 + 1) / 12)) - 0.05, n1 = 30, n2 = 30 + d
    {Mw(2, {}, 2), {{MwIds::ProbHigher, "0.7"}, {MwIds::SampleSize2OverSize1, "1"}}, MwIds::SampleSize1,
     16.491365063741814, 2e-3},
    {Mw(2, {}, 1), {{MwIds::SampleSize1, "30"}, {MwIds::ProbHigher, "0.7"}}, MwIds::SampleSize2MinusSize1,
     -18.72143211650129, 2e-3},
    // 0.5 + norm.isf(0.025) * sqrt(900 * 61 / 12) / 900; 0.5 - norm.isf(0.05) * sqrt(900 * 61 / 12) / 900
    {Mw(2), {}, MwIds::ProbHigher, 0.6472994518804835, 1e-4},
    {Mw(1, {}, 0, true), {}, MwIds::ProbHigher, 0.3763824031539872, 1e-4},
    // 500 (p + q/2 - 1/2) = norm.isf(0.025) sqrt(20 * 25 * 46 / 12 - 10): q = 0.342330; with p = 0.55 and
    // q = 0.2: 20 * 25 * 46 / 12 - (75 / norm.isf(0.025))^2
    {Mw(2, {kOrdered}), ties, MwIds::ProbEqual, 0.34233040144959687, 1e-4},
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.55"}, {MwIds::ProbEqual, "0.2"}, {MwIds::SampleSize1, "20"},
     {MwIds::SampleSize2, "25"}}, MwIds::TieCorrection, 452.37920126476, 0.01},
    // the number of categories, which the criterion does not use, is not solved; the second size within its
    // limits
    {Mw(2, {kOrdered}), {}, MwIds::NumberOfCategories, kNoResult, 0},
    {Mw(2, {}, 1), {{MwIds::SampleSize1, "30"}, {MwIds::SampleSize2MinusSize1, "-28"}}, MwIds::ProbHigher,
     kNoResult, 0, "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
  });
  ExpectIntervals({
    // the second size stays above 2; rejecting in the left tail the probability stays below one half
    {Mw(2, {}, 1), {{MwIds::SampleSize1, "30"}}, MwIds::SampleSize2MinusSize1, 2.00001 - 30, kAnyEnd, 1e-5},
    {Mw(2, {}, 2), {{MwIds::SampleSize2OverSize1, "0.5"}}, MwIds::SampleSize1, 4.00002, kAnyEnd, 1e-5},
    {Mw(1, {}, 0, true), {}, MwIds::ProbHigher, kAnyEnd, 0.5, 0},
    // the estimate p + q/2 stays above 1/2: q above 1 - 2p, p above 1/2 - q/2; the correction below the
    // variance without ties
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.3"}}, MwIds::ProbEqual, 0.4, kAnyEnd},
    {Mw(2, {kOrdered}), {{MwIds::ProbHigher, "0.3"}, {MwIds::ProbEqual, "0.2"}},
     MwIds::ProbHigher, 0.4, kAnyEnd},
    {Mw(2, {kOrdered}), {{MwIds::SampleSize1, "20"}, {MwIds::SampleSize2, "25"}},
     MwIds::TieCorrection, kAnyEnd, 20.0 * 25 * 46 / 12 - 0.00001, 1e-3},
  });
}

TEST_F(RankTest, SignedRank) {
  const testing::Values p6p7 = {{WsIds::ProbPositive, "0.6"}, {WsIds::ProbPairSumPositive, "0.7"},
                                {WsIds::SampleSize, "20"}};
  ExpectReferences({
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPositive, "0.5"}, {WsIds::ProbPairSumPositive, "0.5"}},
     kPValue, 1.0, 1e-6},
    // 2 * norm.sf((20 * 0.6 + 190 * 0.7 - 105) / sqrt(20 * 21 * 41 / 24)); with the correction
    // norm.sf(39.5 / sqrt(20 * 21 * 41 / 24)); the left tail norm.cdf(-40 / sqrt(20 * 21 * 41 / 24))
    {TestChoice(kSignedRank, 0, 2), p6p7, kPValue, 0.13535690010210896, 2e-6},
    {TestChoice(kSignedRank, 0, 1, {kContinuity}), p6p7, kPValue, 0.07015461678835742, 2e-6},
    {TestChoice(kSignedRank, 0, 1, {}, {}, true), {{WsIds::ProbPositive, "0.4"},
     {WsIds::ProbPairSumPositive, "0.3"}, {WsIds::SampleSize, "20"}}, kPValue, 0.13535690010210896 / 2, 2e-6},
    // brentq of 2 * norm.sf((0.6 n + 0.65 n (n - 1) / 2 - n (n + 1) / 4) / sqrt(n (n + 1) (2n + 1) / 24)) -
    // 0.05;
    // brentq over p2 of 2 * norm.sf((12 + 190 p2 - 105) / sqrt(717.5)) - 0.05
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPositive, "0.6"}, {WsIds::ProbPairSumPositive, "0.65"}},
     WsIds::SampleSize, 57.72917603452816, 2e-3},
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPositive, "0.6"}, {WsIds::SampleSize, "20"}},
     WsIds::ProbPairSumPositive, 0.7657893084635113, 1e-4},
  });
  ExpectIntervals({
    // each probability stays where the rank sum exceeds its null value; with p2 = 0.7 any p1 will do:
    // 0.5 - 9.5 x 0.2 is below the lower limit
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPairSumPositive, "0.7"}, {WsIds::SampleSize, "20"}},
     WsIds::ProbPositive, kAboveZero, kAnyEnd, 0},
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPairSumPositive, "0.45"}, {WsIds::SampleSize, "20"}},
     WsIds::ProbPositive, 0.5 + 9.5 * 0.05, kAnyEnd},
    {TestChoice(kSignedRank, 0, 2), {{WsIds::ProbPositive, "0.8"}, {WsIds::SampleSize, "20"}},
     WsIds::ProbPairSumPositive, 0.5 - 0.6 / 19, kAnyEnd},
    {TestChoice(kSignedRank, 0, 1, {}, {}, true), {{WsIds::ProbPositive, "0.8"}, {WsIds::SampleSize, "20"}},
     WsIds::ProbPairSumPositive, kAnyEnd, 0.5 - 0.6 / 19},
  });
}

TEST_F(RankTest, Sign) {
  const testing::Values exact20 = {{SgIds::ProbPositive, "0.75"}, {SgIds::SampleSize, "20"}};
  const testing::Values normal30 = {{SgIds::ProbPositive, "0.7"}, {SgIds::SampleSize, "30"}};
  ExpectReferences({
    // scipy.stats.binom.sf(14, 20, 0.5) = P(X >= 15); twice that; a fractional expected count 14.25
    // interpolates
    // the distribution function: 1 - (0.75 binom.cdf(13, 20, .5) + 0.25 binom.cdf(14, 20, .5)); the
    // continuity
    // correction belongs to the normal approximation only
    {TestChoice(kSign, 0, 1, {kExact}), exact20, kPValue, 0.020694732666015625, 2e-6},
    {TestChoice(kSign, 0, 2, {kExact}), exact20, kPValue, 0.04138946533203125, 4e-6},
    {TestChoice(kSign, 0, 1, {kExact}), {{SgIds::ProbPositive, "0.7125"}, {SgIds::SampleSize, "20"}}, kPValue,
     0.04841804504394531, 2e-6},
    {TestChoice(kSign, 0, 1, {kExact, kContinuity}), {{SgIds::ProbPositive, "0.7125"},
     {SgIds::SampleSize, "20"}}, kPValue, 0.04841804504394531, 2e-6},
    // 2 * norm.sf(6 / sqrt(7.5)); 2 * norm.sf(5.5 / sqrt(7.5)); beyond 1000 the exact calculation gives way
    // to
    // the normal one: 2 * norm.sf(1001 * 0.03 / sqrt(1001 / 4))
    {TestChoice(kSign, 0, 2), normal30, kPValue, 0.028459736916310565, 2e-6},
    {TestChoice(kSign, 0, 2, {kContinuity}), normal30, kPValue, 0.044609718024939606, 2e-6},
    {TestChoice(kSign, 0, 2, {kExact}), {{SgIds::ProbPositive, "0.53"}, {SgIds::SampleSize, "1001"}}, kPValue,
     0.05765459359221931, 2e-6},
    {TestChoice(kSign, 0, 2), {{SgIds::ProbPositive, "0.5"}, {SgIds::SampleSize, "1001"}},
     kPValue, 1.0, 1e-6},
    // 0.2 sqrt(n) = norm.isf(0.025); 0.5 + norm.isf(0.025) sqrt(7.5) / 30
    {TestChoice(kSign, 0, 2), {{SgIds::ProbPositive, "0.6"}}, SgIds::SampleSize, 96.03647051735315, 5e-3},
    {TestChoice(kSign, 0, 2), {}, SgIds::ProbPositive, 0.6789194143717158, 1e-4},
    // binom.sf(14, 20, 0.5) = 0.020695 < 0.05 < binom.sf(13, 20, 0.5) = 0.057659: between x = 14 and 15,
    // 1 - F(x - 1) is linear, x = 14 + (0.057659 - 0.05) / (0.057659 - 0.020695) = 14.207203, p = x / 20
    {TestChoice(kSign, 0, 1, {kExact}), {{SgIds::SampleSize, "20"}},
     SgIds::ProbPositive, 0.710360165118679, 1e-4},
    // requests no upper-tail result can meet give no value rather than one below 1/2
    {TestChoice(kSign, 0, 1), {{0, "0.7"}}, SgIds::ProbPositive, kNoResult, 0},
  });
  ExpectIntervals({
    {TestChoice(kSign, 0, 1, {kExact}), {}, SgIds::ProbPositive, 0.5, kBelowOne, 0},
    {TestChoice(kSign, 0, 1, {}, {}, true), {}, SgIds::ProbPositive, kAboveZero, 0.5, 0},
    // the sample size is not narrowed
    {TestChoice(kSign, 0, 1), {}, SgIds::SampleSize, 3, 99999, 0},
  });
}
// clang-format on

// The grid of counts per ordered category.
class RankSumGrid : public RankTest {
 protected:
  // Types the cells row by row and confirms.
  void Type(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t i = 0; i + 1 < cells.size(); ++i) e.Key(kGridKeyRight, cells[i]);
      e.Ok(cells.back());
    };
  }
  bool Open(int id) { return d.CallOpenGroupGrid(RowOfPosition(PositionOf(id))); }
};

TEST_F(RankSumGrid, CountsGiveTheProbabilitiesAndTheCorrection) {
  Enter(Mw(2, {kOrdered}), {{MwIds::NumberOfCategories, "3"}});
  Type({"5", "3", "2", "1", "3", "6"});
  ASSERT_TRUE(Open(MwIds::ProbHigher));
  EXPECT_EQ(s.grid.title, "Calculation of Prob (Sample2 > Sample1)*");
  EXPECT_EQ(s.grid.rows, 2);
  const Single clicked = d.CallApplyGroupGrid();
  EXPECT_FALSE(s.CalcStopped);
  // Pairs with group 2 higher: 3 x 5 + 6 x 8 = 63 of 100; in the same
  // category: 5 + 9 + 12 = 26; T = 100 (210 + 210 + 504) / (12 x 20 x 19).
  EXPECT_FLOAT_EQ(clicked, 0.63f);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.63");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.26");
  EXPECT_NEAR(s.value(PositionOf(MwIds::TieCorrection)), 20.263157894736842, 1e-5);
  // 92400 / 4560 in single precision is 20.2631588.
  EXPECT_EQ(s.entry(MwIds::TieCorrection).ParamText, "20.263159");
  EXPECT_EQ(s.entry(MwIds::NumberOfCategories).ParamText, "3.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize1).ParamText, "10.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize2).ParamText, "10.0");
  // The P-value is that of the tie-corrected rank-sum test of the data:
  // scipy.stats.mannwhitneyu(x2, x1, method='asymptotic', use_continuity=False)
  // with x1 = [1]*5 + [2]*3 + [3]*2, x2 = [1] + [2]*3 + [3]*6
  EXPECT_NEAR(Criterion() + 0.05, 0.03660474713462081, 2e-6);
}

TEST_F(RankSumGrid, TheClickedBoxGetsItsOwnValue) {
  Enter(Mw(2, {kOrdered}, 2), {{MwIds::NumberOfCategories, "2"}});
  Type({"4", "0", "2", "6"});
  ASSERT_TRUE(Open(MwIds::TieCorrection));
  EXPECT_EQ(s.grid.title, "Calculation of Correction for Ties");
  // t = 6 and 6: T = 4 x 8 x 420 / (12 x 12 x 11) = 8.484848
  EXPECT_NEAR(d.CallApplyGroupGrid(), 8.484848484848484, 1e-5);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.75");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.25");
  EXPECT_EQ(s.entry(MwIds::SampleSize1).ParamText, "4.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize2OverSize1).ParamText, "2.0");
  Enter(Mw(2, {kOrdered}, 1), {{MwIds::NumberOfCategories, "2"}});
  Type({"4", "0", "2", "6"});
  ASSERT_TRUE(Open(MwIds::ProbEqual));
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 0.25f);
  EXPECT_EQ(s.entry(MwIds::SampleSize2MinusSize1).ParamText, "4.0");
  // Empty cells count as none.
  Type({"3", "", "", "3"});
  ASSERT_TRUE(Open(MwIds::ProbHigher));
  // Every pair higher, none tied: the probabilities' own limits, 0.99999 and 0.00001.
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 0.99999f);
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.00001");
}

TEST_F(RankSumGrid, RefusedCounts) {
  // A row summing to one is refused; nothing is stored.
  Enter(Mw(2, {kOrdered}), {{MwIds::NumberOfCategories, "3"}});
  Type({"5", "3", "2", "0", "1", "0"});
  ASSERT_TRUE(Open(MwIds::ProbHigher));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Sum In Each Row Must Be >=2");
  EXPECT_EQ(ui.messages[0].title, s.Description);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.80");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.10");
  EXPECT_EQ(s.entry(MwIds::TieCorrection).ParamText, "0.30");
  EXPECT_EQ(s.entry(MwIds::NumberOfCategories).ParamText, "3");
  for (int id : {MwIds::SampleSize1, MwIds::SampleSize2}) EXPECT_EQ(s.entry(id).ParamText, "30");
  // Counts may not be negative (-0.4 rounds to 0).
  ui.messages.clear();
  s.CalcStopped = false;
  Set(MwIds::NumberOfCategories, "2");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "-1"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "0"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "-0.4"));
    e.Ok("2");
  };
  EXPECT_TRUE(Open(MwIds::ProbHigher));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Number Has To Be >= 0");
}

TEST_F(RankSumGrid, WhichBoxesOpenIt) {
  Choose(Mw(2, {kOrdered}));
  Type(std::vector<std::string>(10, "1"));
  EXPECT_FALSE(Open(MwIds::NumberOfCategories));
  EXPECT_FALSE(Open(MwIds::SampleSize1));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  // The number of categories must make a grid of 2 to 10 columns.
  Set(MwIds::NumberOfCategories, "11");
  EXPECT_FALSE(Open(MwIds::ProbHigher));
  Set(MwIds::NumberOfCategories, "1");
  EXPECT_FALSE(Open(MwIds::ProbHigher));
  EXPECT_EQ(ui.grids, 0);
  Set(MwIds::NumberOfCategories, "10");
  Type(std::vector<std::string>(20, "1"));
  EXPECT_TRUE(Open(MwIds::ProbHigher));
  EXPECT_EQ(s.grid.columns, 10);
  // The plain form has no grid.
  Choose(Mw(2));
  EXPECT_FALSE(Open(MwIds::ProbHigher));
  EXPECT_EQ(ui.grids, 1);
}

}  // namespace
}  // namespace pelmora
