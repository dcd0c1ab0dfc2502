// Fisher's exact test, the chi2 test of a 2 x 2 table and McNemar's test:
// offered options, lists, criteria, search intervals and solves.  Reference
// values are computed with scipy 1.10 (Debian's python3-scipy): the exact
// probabilities with stats.fisher_exact on the table that the rounded
// expected counts form, the normal ones with stats.norm and
// stats.chi2_contingency, the binomial ones with stats.binom.  The program's
// normal distribution function is good to about 1e-7 and its results are
// single precision.
//
// The exact criterion is a step function of the sample sizes and proportions
// (the counts are rounded), so a solve ends at a step: it is accepted when
// the P-value on one side of the step lies within 0.001 of the one requested.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "numeric/power_equations.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/chi_square_2x2.h"
#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/mcnemar.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using FisherIds = FisherExactTest::Ids;
using McnIds = McNemar::Ids;

constexpr int kFisher = 4, kMcNemar = 5, kChi2 = 6;
// Option and group ids as the options dialog knows them.
constexpr int kContinuityCorrection = 1, kExactCalculation = 7, kFrequencies = 13;
constexpr int kSampleSize2Group = 2, kProportion2Group = 12, kProportion11Group = 20, kFrequency2Group = 34;

class ProportionTests : public testing::PlanningTest {
 protected:
  // Chooses the test and options as the dialog would, then confirms.
  void Choose(int testIndex, int tails, const std::vector<int>& options = {},
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SelectTest(testIndex);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    for (auto [g, m] : forms) d.SetForm(g, m);
    d.ApplyOptions();
  }
  // The P-value at the current texts.
  double PValue() { return Criterion() + s.value(0); }
  // The search interval the module leaves for a listed id, from its catalogue limits.
  std::pair<double, double> Interval(int id) {
    ReadParameterValues(s);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    double lower = s.entry(id).ParamLowerLimit, upper = s.entry(id).ParamUpperLimit;
    d.CallSetSearchInterval(lower, upper);
    return {lower, upper};
  }
};

// ---------------------------------------------------------------------------
// Options, rows and lists

TEST_F(ProportionTests, OfferedOptionsRowsAndTails) {
  d.SelectTest(kFisher);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_FALSE(s.dialog.samplesEnabled[0]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 1);
  EXPECT_EQ(s.OptionId[0], kFrequencies);
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], kProportion2Group);
  EXPECT_EQ(s.IntParRowGroup[1], kSampleSize2Group);
  d.SetOption(kFrequencies, true);
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], kFrequency2Group);

  s.OptionState.fill(0);
  d.SelectTest(kChi2);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], kFrequencies);
  EXPECT_EQ(s.OptionId[1], kContinuityCorrection);
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], kProportion2Group);

  d.SelectTest(kMcNemar);
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_FALSE(s.dialog.samplesEnabled[1]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], kContinuityCorrection);
  EXPECT_EQ(s.OptionId[1], kExactCalculation);
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], kProportion2Group);
  EXPECT_EQ(s.IntParRowGroup[1], kProportion11Group);

  // Two one-sided tests chosen before: the tests fall back to two-sided.
  d.SelectTest(0);
  d.SetTailCount(3);
  d.SelectTest(kFisher);
  EXPECT_EQ(s.TailCount, 2);
}

TEST_F(ProportionTests, ListsOfFisherAndChi2) {
  for (int test : {kFisher, kChi2}) {
    SCOPED_TRACE(test);
    Choose(test, 2);
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 69, 4, 37}));
    Choose(test, 1, {}, {{kProportion2Group, 1}, {kSampleSize2Group, 1}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 52, 4, 38}));
    EXPECT_EQ(s.ValueMode, 1);
    Choose(test, 2, {}, {{kProportion2Group, 2}, {kSampleSize2Group, 2}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 70, 4, 5}));
    EXPECT_EQ(s.ValueMode, 2);
    Choose(test, 2, {kFrequencies});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 233, 234, 4, 37}));
    Choose(test, 2, {kFrequencies}, {{kFrequency2Group, 1}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 233, 235, 4, 37}));
    // The form of the proportion row does not apply to frequencies.
    Choose(test, 2, {kFrequencies}, {{kFrequency2Group, 2}, {kProportion2Group, 1}, {kSampleSize2Group, 2}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 233, 236, 4, 5}));
  }
  EXPECT_EQ(s.entry(233).ParamCaption, "&Frequency 1");
  EXPECT_EQ(s.entry(236).ParamCaption, "F&requency 2 / Frequency 1");
}

TEST_F(ProportionTests, ListsOfMcNemar) {
  Choose(kMcNemar, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 69, 123, 14}));
  Choose(kMcNemar, 2, {}, {{kProportion2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 52, 123, 14}));
  Choose(kMcNemar, 1, {}, {{kProportion2Group, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 8, 70, 123, 14}));
  // Direct: the form of "Proportion 2*" does not apply.
  Choose(kMcNemar, 2, {}, {{kProportion11Group, 1}, {kProportion2Group, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 52, 15, 14}));
  EXPECT_EQ(s.entry(15).ParamCaption, "Proportio&n 10* + Proportion 01*");
  EXPECT_EQ(s.entry(123).ParamCaption, "Proportio&n 11*");
}

TEST_F(ProportionTests, Descriptions) {
  Choose(kFisher, 2, {kFrequencies});
  EXPECT_EQ(s.Description, "Fisher's exact test. 2-sided.");
  Choose(kChi2, 1, {kFrequencies, kContinuityCorrection});
  EXPECT_EQ(s.Description, "Chi2 test (2 x 2 table). 1-sided. Frequencies. Continuity Correction.");
  Choose(kMcNemar, 2, {kContinuityCorrection, kExactCalculation});
  EXPECT_EQ(s.Description, "McNemar's test. 2-sided. Continuity Correction. Exact Calculation.");
}

TEST_F(ProportionTests, ModulesServeTheirMenuItems) {
  ModuleSet& set = d.modules();
  ASSERT_NE(set.Find<FisherExactTest>(), nullptr);
  ASSERT_NE(set.Find<McNemar>(), nullptr);
  ASSERT_NE(set.Find<ChiSquare2x2>(), nullptr);
  EXPECT_EQ(set.ForTest(kFisher), static_cast<ProcedureModule*>(set.Find<FisherExactTest>()));
  EXPECT_EQ(set.ForTest(kMcNemar), static_cast<ProcedureModule*>(set.Find<McNemar>()));
  EXPECT_EQ(set.ForTest(kChi2), static_cast<ProcedureModule*>(set.Find<ChiSquare2x2>()));
}

// ---------------------------------------------------------------------------
// Fisher's exact test: criterion

TEST_F(ProportionTests, FisherTwoSidedAndOneSided) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::Proportion2, "0.5");
  // stats.fisher_exact([[9, 21], [15, 15]])[1]
  EXPECT_NEAR(PValue(), 0.187187106633885, 1e-6);

  // One-sided, upper test, p2 > p1 (the tested direction): the smaller tail,
  // stats.fisher_exact([[9, 21], [15, 15]], alternative='less')[1]
  Choose(kFisher, 1);
  EXPECT_NEAR(PValue(), 0.09359355331694251, 1e-6);
  // Rejecting in the left tail, p2 > p1 is against the tested direction: the
  // larger tail, alternative='greater'
  Choose(kFisher, 1, {}, {}, true);
  EXPECT_NEAR(PValue(), 0.967963802000106, 1e-6);
  // Left tail with p2 < p1: the smaller tail again.
  Set(FisherIds::Proportion1, "0.5");
  Set(FisherIds::Proportion2, "0.3");
  EXPECT_NEAR(PValue(), 0.09359355331694251, 1e-6);
  // Equal proportions count as the left direction: with p1 = p2 = 0.4 and
  // n2 = 40 the table is [[12, 18], [16, 24]]; stats.hypergeom(70, 30, 28)
  // gives cdf(12) = 0.598081 and sf(11) = 0.596328.  Left: the smaller.
  Set(FisherIds::Proportion1, "0.4");
  Set(FisherIds::Proportion2, "0.4");
  Set(FisherIds::SampleSize2, "40");
  EXPECT_NEAR(PValue(), 0.5963281989624102, 1e-6);
  // The upper test: against the tested direction, the larger.
  Choose(kFisher, 1);
  Set(FisherIds::Proportion1, "0.4");
  Set(FisherIds::Proportion2, "0.4");
  Set(FisherIds::SampleSize2, "40");
  EXPECT_NEAR(PValue(), 0.5980805908000053, 1e-6);
}

TEST_F(ProportionTests, FisherFormsAndFrequenciesGiveTheSameTable) {
  // The table (9, 21; 15, 15): stats.fisher_exact(...)[1] = 0.187187106633885
  const double expected = 0.187187106633885;
  Choose(kFisher, 2, {}, {{kProportion2Group, 1}});
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::Proportion2MinusProportion1, "0.2");
  EXPECT_NEAR(PValue(), expected, 1e-6);
  Choose(kFisher, 2, {}, {{kProportion2Group, 2}, {kSampleSize2Group, 2}});
  Set(FisherIds::Proportion2OverProportion1, "1.6666667");
  Set(FisherIds::SampleSize2OverSize1, "1");
  EXPECT_NEAR(PValue(), expected, 1e-6);
  Choose(kFisher, 2, {kFrequencies});
  Set(FisherIds::Frequency1, "9");
  Set(FisherIds::Frequency2, "15");
  EXPECT_NEAR(PValue(), expected, 1e-6);
  Choose(kFisher, 2, {kFrequencies}, {{kFrequency2Group, 1}, {kSampleSize2Group, 1}});
  Set(FisherIds::Frequency2MinusFrequency1, "6");
  Set(FisherIds::SampleSize2MinusSize1, "0");
  EXPECT_NEAR(PValue(), expected, 1e-6);
  Choose(kFisher, 2, {kFrequencies}, {{kFrequency2Group, 2}});
  Set(FisherIds::Frequency2OverFrequency1, "1.6666667");
  EXPECT_NEAR(PValue(), expected, 1e-6);
}

TEST_F(ProportionTests, FisherRoundsExpectedCountsHalfToEven) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion1, "0.25");  // 7.5 -> 8
  Set(FisherIds::Proportion2, "0.75");  // 22.5 -> 22
  // stats.fisher_exact([[8, 22], [22, 8]])[1]; rounding halves up would give
  // [[8, 22], [23, 7]] and 0.000230893
  EXPECT_NEAR(PValue(), 0.000655730677789972, 1e-9);
}

TEST_F(ProportionTests, FisherEmptySampleGivesOne) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion2, "0.9");
  Set(FisherIds::SampleSize1, "0");  // below the limit: only the criterion sees it
  EXPECT_EQ(PValue(), 1.0);
  Set(FisherIds::SampleSize1, "30");
  Set(FisherIds::SampleSize2, "0");
  EXPECT_EQ(PValue(), 1.0);
  Choose(kFisher, 1, {kFrequencies});
  Set(FisherIds::SampleSize1, "0");
  EXPECT_EQ(PValue(), 1.0);  // no frequency is divided by the empty sample
}

TEST_F(ProportionTests, FisherArcSineBeyondAThousand) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion1, "0.5");
  Set(FisherIds::Proportion2, "0.55");
  Set(FisherIds::SampleSize1, "1000");
  Set(FisherIds::SampleSize2, "1000");
  // Exact at 1000: stats.fisher_exact([[500, 500], [550, 450]])[1]
  EXPECT_NEAR(PValue(), 0.02820356890423392, 2e-7);
  // 2 * stats.norm.sf((asin(sqrt(.55)) - asin(sqrt(.5))) / (sqrt(2 / 1001) / 2))
  Set(FisherIds::SampleSize1, "1001");
  Set(FisherIds::SampleSize2, "1001");
  EXPECT_NEAR(PValue(), 0.02503052836008389, 1e-6);
  Set(FisherIds::SampleSize2, "1000.5");  // one sample above 1000 is enough
  EXPECT_NEAR(PValue(), 0.025, 2e-4);
  // One-sided: stats.norm.sf(...) of the same statistic
  Choose(kFisher, 1);
  Set(FisherIds::SampleSize1, "1001");
  Set(FisherIds::SampleSize2, "1001");
  EXPECT_NEAR(PValue(), 0.012515264180041945, 1e-6);
}

TEST_F(ProportionTests, FisherCountsOutsideTheTableAreNotCalculable) {
  Choose(kFisher, 2, {kFrequencies});
  // A frequency beyond 16 bits: the count cannot be held.
  Set(FisherIds::Frequency1, "40000");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(s.entry(0).ParamText, "-");
  EXPECT_TRUE(ui.messages.empty());
  // A frequency above its sample size leaves a negative count.
  Set(FisherIds::Frequency1, "31");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(s.entry(0).ParamText, "-");
  // Within the sample it is calculable again.
  Set(FisherIds::Frequency1, "9");
  Set(FisherIds::Frequency2, "15");
  EXPECT_NEAR(Solve(0), 0.187187106633885, 1e-6);
}

// ---------------------------------------------------------------------------
// Fisher's exact test: solves

TEST_F(ProportionTests, FisherSolvesTheSampleSizeAtAStep) {
  Choose(kFisher, 2, {}, {{kSampleSize2Group, 2}});
  Set(FisherIds::Proportion1, "0.5");
  Set(FisherIds::Proportion2, "0.561");
  Set(FisherIds::SampleSize2OverSize1, "1");
  // The smallest whole size from which on the table stays significant: at 534
  // stats.fisher_exact([[267, 267], [300, 234]])[1] = 0.049697, but the
  // rounding of the counts lifts it again at 571, [[286, 285], [320, 251]],
  // to 0.050332; from 572, [[286, 286], [321, 251]], 0.043937, on it stays.
  EXPECT_EQ(Solve(FisherIds::SampleSize1), 572);
  EXPECT_EQ(s.entry(FisherIds::SampleSize1).ParamText, "572.0");

  // With 0.6: [[110, 110], [132, 88]] at 220 gives 0.044055, [[110, 109],
  // [131, 88]] at 219 gives 0.054604; no side of that jump is within 0.001.
  Set(FisherIds::Proportion2, "0.6");
  EXPECT_EQ(Solve(FisherIds::SampleSize1), 220);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProportionTests, FisherSolvesTheSecondProportion) {
  Choose(kFisher, 1, {}, {}, true);
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::SampleSize1, "100");
  Set(FisherIds::SampleSize2, "100");
  // Below p1 (the left tail), the second count falls to 19 at p2 = 0.195:
  // stats.fisher_exact([[30, 70], [19, 81]], alternative='greater')[1] = 0.049791,
  // against 0.070603 for [[30, 70], [20, 80]].
  EXPECT_NEAR(Solve(FisherIds::Proportion2), 0.195, 1e-4);
}

TEST_F(ProportionTests, FisherSearchIntervals) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::Proportion2, "0.5");
  // The second proportion above the first (upper test), the first below the second.
  auto [p2lo, p2hi] = Interval(FisherIds::Proportion2);
  EXPECT_NEAR(p2lo, 0.3, 1e-12);
  EXPECT_EQ(p2hi, s.entry(FisherIds::Proportion2).ParamUpperLimit);
  auto [p1lo, p1hi] = Interval(FisherIds::Proportion1);
  EXPECT_EQ(p1lo, s.entry(FisherIds::Proportion1).ParamLowerLimit);
  EXPECT_NEAR(p1hi, 0.5, 1e-12);
  Choose(kFisher, 1, {}, {}, true);
  Set(FisherIds::Proportion1, "0.3");
  std::tie(p2lo, p2hi) = Interval(FisherIds::Proportion2);
  EXPECT_EQ(p2lo, s.entry(FisherIds::Proportion2).ParamLowerLimit);
  EXPECT_NEAR(p2hi, 0.3, 1e-12);
  // A difference keeps the second proportion within its limits: 0.3 + d in [0.00001, 0.99999].
  Choose(kFisher, 2, {}, {{kProportion2Group, 1}});
  const auto [lo, hi] = Interval(FisherIds::Proportion2MinusProportion1);
  EXPECT_NEAR(lo, 0.0, 1e-12);
  EXPECT_NEAR(hi, 0.99999 - 0.3, 1e-6);
  // Relative sample sizes stay above 2.
  Choose(kFisher, 2, {}, {{kSampleSize2Group, 2}});
  Set(FisherIds::SampleSize2OverSize1, "0.5");
  EXPECT_NEAR(Interval(FisherIds::SampleSize1).first, 4.00002, 1e-5);

  // Frequencies: each within its sample, and the implied p2 - p1 on the tested side.
  Choose(kFisher, 2, {kFrequencies});
  Set(FisherIds::Frequency1, "9");
  Set(FisherIds::Frequency2, "20");
  Set(FisherIds::SampleSize1, "30");
  Set(FisherIds::SampleSize2, "40");
  auto [f1lo, f1hi] = Interval(FisherIds::Frequency1);  // 9 / 30 < 20 / 40: f1 up to 15
  EXPECT_NEAR(f1lo, 0.0, 1e-12);
  EXPECT_NEAR(f1hi, 15.0, 1e-4);
  auto [f2lo, f2hi] = Interval(FisherIds::Frequency2);  // f2 from 12 up to n2
  EXPECT_NEAR(f2lo, 12.0, 1e-4);
  EXPECT_NEAR(f2hi, 40.0, 1e-4);
  EXPECT_NEAR(Interval(FisherIds::SampleSize1).first, 9.0, 1e-6);
  EXPECT_NEAR(Interval(FisherIds::SampleSize2).first, 20.0, 1e-6);
  Choose(kFisher, 2, {kFrequencies}, {{kFrequency2Group, 1}, {kSampleSize2Group, 1}});
  Set(FisherIds::Frequency2MinusFrequency1, "11");
  Set(FisherIds::SampleSize2MinusSize1, "10");
  // f1 + 11 <= n1 + 10 gives n1 >= f1 + 1 = 10; and the size rule n1 >= 2 - 10.
  EXPECT_NEAR(Interval(FisherIds::SampleSize1).first, 10.0, 1e-5);
}

TEST_F(ProportionTests, FisherChecksOfRelativeParameters) {
  Choose(kFisher, 2, {}, {{kProportion2Group, 1}});
  Set(FisherIds::Proportion1, "0.5");
  Set(FisherIds::Proportion2MinusProportion1, "0.6");
  EXPECT_EQ(Solve(FisherIds::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Proportion 2* - Proportion 1* has to be less than or equal to 0.49999");
  Set(FisherIds::Proportion2MinusProportion1, "-0.6");
  EXPECT_EQ(Solve(FisherIds::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Proportion 2* - Proportion 1* has to be greater than or equal to -0.49999");
  Choose(kFisher, 2, {}, {{kSampleSize2Group, 1}});
  Set(FisherIds::SampleSize1, "30");
  Set(FisherIds::SampleSize2MinusSize1, "-28");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
  Choose(kChi2, 2, {kFrequencies}, {{kFrequency2Group, 2}});
  Set(FisherIds::Frequency1, "10");
  Set(FisherIds::Frequency1, "100");
  Set(FisherIds::Frequency2OverFrequency1, "5000");  // 500000 > 99999
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "Frequency 2 / Frequency 1 has to be less than or equal to 999.99");
}

// A table of P-values over the first sample size for two second proportions.
TEST_F(ProportionTests, FisherTableOfPValues) {
  Choose(kFisher, 2);
  Set(FisherIds::Proportion1, "0.3");
  s.UnknownPosition = 0;
  s.XPosition = static_cast<std::int16_t>(PositionOf(FisherIds::SampleSize1));
  s.ZPosition = static_cast<std::int16_t>(PositionOf(FisherIds::Proportion2));
  CatalogueEntry& x = s.entry(FisherIds::SampleSize1);
  x.TableMin = "10";
  x.TableMax = "50";
  x.TableStep = "10";
  s.entry(FisherIds::Proportion2).ZValueText = "0.5 0.7";
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  ASSERT_EQ(s.XValues.size(), 5u);
  ASSERT_EQ(s.YValues.size(), 2u);
  // stats.fisher_exact([[6, 14], [15, 15]])[1]
  EXPECT_NEAR(s.YValues[0][1], 0.24281343550817763, 1e-5);
  // stats.fisher_exact([[9, 21], [15, 15]])[1]
  EXPECT_NEAR(s.YValues[0][2], 0.187187106633885, 1e-5);
  // stats.fisher_exact([[9, 21], [21, 9]])[1]
  EXPECT_NEAR(s.YValues[1][2], 0.004117367939157807, 1e-5);
}

// ---------------------------------------------------------------------------
// Chi2 test of a 2 x 2 table

TEST_F(ProportionTests, Chi2Criterion) {
  Choose(kChi2, 2);
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::Proportion2, "0.5");
  Set(FisherIds::SampleSize2, "40");
  // stats.chi2_contingency([[9, 21], [20, 20]], correction=False)[1]
  EXPECT_NEAR(PValue(), 0.09275464621476916, 1e-6);
  // Yates's correction is the continuity correction (1/n1 + 1/n2)/2:
  // stats.chi2_contingency([[9, 21], [20, 20]], correction=True)[1]
  Choose(kChi2, 2, {kContinuityCorrection});
  EXPECT_NEAR(PValue(), 0.15103349410746433, 1e-6);
  // The same table from frequencies.
  Choose(kChi2, 2, {kFrequencies, kContinuityCorrection}, {{kFrequency2Group, 1}});
  Set(FisherIds::Frequency1, "9");
  Set(FisherIds::Frequency2MinusFrequency1, "11");
  EXPECT_NEAR(PValue(), 0.15103349410746433, 1e-6);
  // One-sided: half the two-sided value in the tested direction.
  Choose(kChi2, 1);
  EXPECT_NEAR(PValue(), 0.09275464621476916 / 2, 1e-6);
}

TEST_F(ProportionTests, Chi2Solves) {
  Choose(kChi2, 2, {}, {{kSampleSize2Group, 2}});
  Set(FisherIds::Proportion2, "0.6");
  // stats.norm.isf(0.025)**2 * 2 * 0.55 * 0.45 / 0.01
  EXPECT_NEAR(Solve(FisherIds::SampleSize1), 190.1522116243593, 0.01);
  Choose(kChi2, 2);
  Set(FisherIds::Proportion1, "0.3");
  Set(FisherIds::SampleSize1, "100");
  Set(FisherIds::SampleSize2, "100");
  // brentq of 2 * norm.sf((p2 - 0.3) / sqrt(pb (1 - pb) 2 / 100)) - 0.05, pb = (0.3 + p2) / 2
  EXPECT_NEAR(Solve(FisherIds::Proportion2), 0.4335813674544003, 2e-5);
}

// ---------------------------------------------------------------------------
// McNemar's test

TEST_F(ProportionTests, McNemarCriterion) {
  // p1 = 0.3, p2 = 0.5, p11 = 0.2, n = 50: 20 discordant pairs, 15 of them "01".
  auto setMarginal = [&] {
    Set(McnIds::Proportion1, "0.3");
    s.entry(McnIds::Proportion2).ParamText = "0.5";
    Set(McnIds::Proportion11, "0.2");
    Set(McnIds::SampleSize, "50");
  };
  Choose(kMcNemar, 2);
  setMarginal();
  // 2 * stats.norm.sf(0.25 * sqrt(80))
  EXPECT_NEAR(PValue(), 0.025347318677468252, 1e-6);
  Choose(kMcNemar, 2, {kContinuityCorrection});
  setMarginal();
  // McNemar's corrected chi2 (|15 - 5| - 1)^2 / 20: stats.chi2.sf(81 / 20, 1)
  EXPECT_NEAR(PValue(), 0.04417134490844271, 1e-6);
  Choose(kMcNemar, 2, {kExactCalculation});
  setMarginal();
  // stats.binomtest(15, 20).pvalue = 2 * stats.binom.sf(14, 20, 0.5)
  EXPECT_NEAR(PValue(), 0.04138946533203125, 2e-6);
  Choose(kMcNemar, 1, {kExactCalculation});
  setMarginal();
  // stats.binom.sf(14, 20, 0.5)
  EXPECT_NEAR(PValue(), 0.020694732666015625, 2e-6);
  Choose(kMcNemar, 1);
  setMarginal();
  // stats.norm.sf(0.25 * sqrt(80))
  EXPECT_NEAR(PValue(), 0.012673659338734126, 1e-6);

  // The same table in the other forms.
  Choose(kMcNemar, 2, {}, {{kProportion2Group, 1}});
  setMarginal();
  Set(McnIds::Proportion2MinusProportion1, "0.2");
  EXPECT_NEAR(PValue(), 0.025347318677468252, 1e-6);
  Choose(kMcNemar, 2, {}, {{kProportion2Group, 2}});
  setMarginal();
  Set(McnIds::Proportion2OverProportion1, "1.6666667");
  EXPECT_NEAR(PValue(), 0.025347318677468252, 1e-6);
  Choose(kMcNemar, 2, {kExactCalculation}, {{kProportion11Group, 1}});
  Set(McnIds::Proportion2MinusProportion1, "0.2");
  Set(McnIds::DiscordantSum, "0.4");
  Set(McnIds::SampleSize, "50");
  EXPECT_NEAR(PValue(), 0.04138946533203125, 2e-6);
}

TEST_F(ProportionTests, McNemarWithoutDiscordantPairs) {
  // p1 + p2 = 2 p11: the discordant sum is taken as 0.00001, not 0.
  Choose(kMcNemar, 2);
  Set(McnIds::Proportion1, "0.4");
  Set(McnIds::Proportion2, "0.401");
  Set(McnIds::Proportion11, "0.4005");
  Set(McnIds::SampleSize, "30");
  // z = delta sqrt(n / d): 2 * stats.norm.sf(0.001 * sqrt(30 / 1e-5))
  EXPECT_NEAR(PValue(), 0.0832645166635504, 2e-4);
  Set(McnIds::Proportion2, "0.4");
  Set(McnIds::Proportion11, "0.4");
  EXPECT_NEAR(PValue(), 1.0, 1e-7);
  EXPECT_NEAR(Solve(0), 0.99999, 1e-6);  // calculable (no division by zero), at the P-value's limit
}

TEST_F(ProportionTests, McNemarExactUpToAThousandDiscordantPairs) {
  Choose(kMcNemar, 2, {kExactCalculation}, {{kProportion11Group, 1}});
  Set(McnIds::Proportion2MinusProportion1, "0.02");
  Set(McnIds::DiscordantSum, "0.5");
  Set(McnIds::SampleSize, "2000");  // 1000 discordant pairs, 520 of them "01"
  // 2 * stats.binom.sf(519, 1000, 0.5)
  EXPECT_NEAR(PValue(), 0.2174482932041409, 2e-5);
  Set(McnIds::SampleSize, "2002");  // 1001 pairs: the normal approximation
  // 2 * stats.norm.sf(0.02 * sqrt(2002 / 0.5))
  EXPECT_NEAR(PValue(), 0.20567661472801357, 1e-5);
}

TEST_F(ProportionTests, McNemarSolves) {
  Choose(kMcNemar, 2, {}, {{kProportion2Group, 1}});
  Set(McnIds::Proportion2MinusProportion1, "0.1");
  // d = 0.5 + 0.6 - 0.8 = 0.3: stats.norm.isf(0.025)**2 * 0.3 / 0.01
  EXPECT_NEAR(Solve(McnIds::SampleSize), 115.24376462082381, 0.01);
  Choose(kMcNemar, 2);
  Set(McnIds::Proportion1, "0.3");
  Set(McnIds::Proportion11, "0.2");
  Set(McnIds::SampleSize, "100");
  // brentq of 2 * norm.sf((p2 - 0.3) sqrt(100 / (p2 - 0.1))) - 0.05
  EXPECT_NEAR(Solve(McnIds::Proportion2), 0.4089393273366782, 2e-5);
  Set(McnIds::Proportion2, "0.4");
  // brentq of 2 * norm.sf(0.1 sqrt(100 / (0.7 - 2 p11))) - 0.05
  EXPECT_NEAR(Solve(McnIds::Proportion11), 0.21984111418649777, 2e-5);
}

TEST_F(ProportionTests, McNemarSearchIntervalsKeepTheTableFeasible) {
  Choose(kMcNemar, 2, {}, {}, true);
  Set(McnIds::Proportion1, "0.3");
  Set(McnIds::Proportion2, "0.5");
  Set(McnIds::Proportion11, "0.2");
  // p1 from p11 to 1 - p2 + p11; rejecting in the left tail, above p2.
  auto [lo, hi] = Interval(McnIds::Proportion1);
  EXPECT_NEAR(lo, 0.5, 1e-12);
  EXPECT_NEAR(hi, 0.7, 1e-12);
  // The upper test keeps p1 below p2.
  Choose(kMcNemar, 2);
  std::tie(lo, hi) = Interval(McnIds::Proportion1);
  EXPECT_NEAR(lo, 0.2, 1e-12);
  EXPECT_NEAR(hi, 0.5, 1e-12);
  // p11 within max(0, p1 + p2 - 1) and min(p1, p2).
  std::tie(lo, hi) = Interval(McnIds::Proportion11);
  EXPECT_NEAR(lo, s.entry(McnIds::Proportion11).ParamLowerLimit, 1e-12);
  EXPECT_NEAR(hi, 0.3, 1e-12);
  // An infeasible table (p11 above p1) leaves nothing to solve.
  Set(McnIds::Proportion11, "0.35");
  std::tie(lo, hi) = Interval(McnIds::SampleSize);
  EXPECT_GE(lo, hi);
  EXPECT_EQ(Solve(McnIds::SampleSize), kNoResult);
  // Direct: |delta| <= d <= 1.
  Choose(kMcNemar, 2, {}, {{kProportion11Group, 1}});
  Set(McnIds::Proportion2MinusProportion1, "-0.2");
  Set(McnIds::DiscordantSum, "0.5");
  std::tie(lo, hi) = Interval(McnIds::DiscordantSum);
  EXPECT_NEAR(lo, 0.2, 1e-12);
  EXPECT_NEAR(hi, s.entry(McnIds::DiscordantSum).ParamUpperLimit, 1e-12);
  std::tie(lo, hi) = Interval(McnIds::Proportion2MinusProportion1);
  EXPECT_NEAR(lo, 0.0, 1e-12);
  EXPECT_NEAR(hi, 0.5, 1e-12);
}

// Every unknown in every form and tail: at both ends of the search interval
// each cell of the paired table lies within 0 and 1.
TEST_F(ProportionTests, McNemarEveryCellStaysAProbability) {
  const std::vector<std::vector<std::pair<int, std::string>>> valueSets = {
      {{8, "0.3"}, {69, "0.5"}, {52, "0.2"}, {70, "1.5"}, {123, "0.2"}, {15, "0.4"}},
      {{8, "0.7"}, {69, "0.6"}, {52, "-0.1"}, {70, "0.8"}, {123, "0.45"}, {15, "0.3"}},
      {{8, "0.9"}, {69, "0.95"}, {52, "0.05"}, {70, "1.05"}, {123, "0.88"}, {15, "0.09"}},
  };
  int intervals = 0;
  for (int tails : {1, 2}) {
    for (bool left : {false, true}) {
      for (int direct : {0, 1}) {
        for (int form : {0, 1, 2}) {
          Choose(kMcNemar, tails, {}, {{kProportion2Group, form}, {kProportion11Group, direct}}, left);
          auto* module = d.modules().Find<McNemar>();
          for (const auto& values : valueSets) {
            for (const auto& [id, text] : values) s.entry(id).ParamText = text;
            for (int p = 2; p <= s.LastPosition; ++p) {
              const int id = s.ParameterList[static_cast<std::size_t>(p)];
              const auto [lo, hi] = Interval(id);
              if (!(lo < hi)) continue;
              ++intervals;
              for (double end : {lo, hi}) {
                ParameterValueArray v = s.ParameterValues;
                v[static_cast<std::size_t>(p)] = end;
                const auto cells = module->CellProbabilities(v);
                SCOPED_TRACE(s.Description + " id " + std::to_string(id) + " at " + std::to_string(end));
                for (double c : cells) {
                  EXPECT_GE(c, -1e-9);
                  EXPECT_LE(c, 1 + 1e-9);
                }
              }
            }
          }
        }
      }
    }
  }
  EXPECT_GT(intervals, 100);
}

// ---------------------------------------------------------------------------
// All three tests

// Every choice the options dialog offers, solved for every listed position
// from the start-up values and from a second set: each solve ends with a value
// whose criterion is within 0.001 of 0, or with "-", within the evaluation
// bound and without a message.
TEST_F(ProportionTests, SweepOfEveryChoiceEndsCleanly) {
  int solves = 0, solved = 0;
  const Catalogue startup = s.catalogue;
  for (int test : {kFisher, kMcNemar, kChi2}) {
    for (int tails : {1, 2}) {
      for (bool left : {false, true}) {
        for (int optionMask = 0; optionMask < 4; ++optionMask) {
          for (int forms = 0; forms < 9; ++forms) {
            for (int values = 0; values < 2; ++values) {
              s.OptionState.fill(0);
              s.IntParMode.fill(0);
              d.SelectTest(test);
              d.SetTailCount(tails);
              d.SetRejectInLeftTail(left);
              for (int k = 0; k < s.OptionCount; ++k)
                if (optionMask & (1 << k)) d.SetOption(s.OptionId[static_cast<std::size_t>(k)], true);
              for (int k = 0, f = forms; k < s.IntParRowCount; ++k, f /= 3) {
                const int g = s.IntParRowGroup[static_cast<std::size_t>(k)];
                const int form = f % 3;
                if (!ParameterGroups()[static_cast<std::size_t>(g)]
                         .forms[static_cast<std::size_t>(form)]
                         .empty())
                  d.SetForm(g, form);
              }
              d.ApplyOptions();
              const std::vector<std::pair<int, std::string>> second = {
                  {8, "0.3"},  {69, "0.45"}, {52, "0.1"},  {70, "1.4"}, {123, "0.2"}, {15, "0.3"},
                  {14, "150"}, {4, "150"},   {37, "160"},  {38, "10"},  {5, "1.1"},   {233, "45"},
                  {234, "70"}, {235, "25"},  {236, "1.5"}, {0, "0.05"}};
              if (values == 1)
                for (const auto& [id, text] : second) s.entry(id).ParamText = text;
              for (int p = 0; p <= s.LastPosition; ++p) {
                if (p == 1) continue;
                const std::string saved = s.entryAt(p).ParamText;
                s.UnknownPosition = static_cast<std::int16_t>(p);
                s.ResultsCurrent = false;
                SolveOutcome outcome;
                const SingleOutcome o = CalculateSingle(d, &outcome);
                ++solves;
                SCOPED_TRACE(s.Description + " position " + std::to_string(p));
                ASSERT_TRUE(ui.messages.empty()) << ui.LastText();
                ASSERT_LE(LastSolveEvaluations(), 4000);
                if (o == SingleOutcome::Solved) {
                  ++solved;
                  const double r = s.value(p);
                  ASSERT_TRUE(std::isfinite(r));
                  // A step of an exact P-value lies on the significant side of its jump.
                  if (outcome.state == SolveState::Step)
                    EXPECT_LE(d.CallEvaluateCriterion(), 0.0);
                  else
                    EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
                } else {
                  ASSERT_EQ(o, SingleOutcome::NotCalculable);
                  ASSERT_EQ(s.entryAt(p).ParamText, "-");
                }
                s.entryAt(p).ParamText = saved;
              }
              s.catalogue = startup;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(solves, 1000);
  EXPECT_GT(solved, solves / 4);
  RecordProperty("solves", solves);
  RecordProperty("solved", solved);
}

// pelmora-cli gives the same number for the same selection.
TEST_F(ProportionTests, CommandLineAgrees) {
  auto cli = [](const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    EXPECT_EQ(status, kExitSolved) << err.str();
    return out.str();
  };
  Choose(kFisher, 2, {}, {{kSampleSize2Group, 2}});
  Set(FisherIds::Proportion2, "0.561");
  Solve(FisherIds::SampleSize1);
  EXPECT_NE(cli({"--test", "4", "--mode", "2=2", "--set", "69=0.561", "--unknown", "4", "--json"})
                .find("\"text\": \"" + s.entry(FisherIds::SampleSize1).ParamText + "\""),
            std::string::npos);

  Choose(kMcNemar, 2, {kExactCalculation}, {{kProportion2Group, 1}});
  Set(McnIds::Proportion2MinusProportion1, "0.1");
  Solve(McnIds::SampleSize);
  EXPECT_NE(
      cli({"--test", "5", "--option", "7", "--mode", "12=1", "--set", "52=0.1", "--unknown", "14", "--json"})
          .find("\"text\": \"" + s.entry(McnIds::SampleSize).ParamText + "\""),
      std::string::npos);

  Choose(kChi2, 1, {kContinuityCorrection}, {{kSampleSize2Group, 2}});
  Set(FisherIds::Proportion2, "0.6");
  Solve(FisherIds::SampleSize1);
  EXPECT_NE(cli({"--test", "6", "--tails", "1", "--option", "1", "--mode", "2=2", "--set", "69=0.6",
                 "--unknown", "4", "--json"})
                .find("\"text\": \"" + s.entry(FisherIds::SampleSize1).ParamText + "\""),
            std::string::npos);
}

}  // namespace
}  // namespace pelmora
