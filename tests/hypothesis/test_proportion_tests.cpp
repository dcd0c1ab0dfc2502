// Fisher's exact test, the chi2 test of a 2 x 2 table and McNemar's test:
// P-values, solves, checks and search intervals.  Reference values are
// computed with scipy 1.10 (Debian's python3-scipy): the exact probabilities
// with stats.fisher_exact on the table that the rounded expected counts form,
// the normal ones with stats.norm and stats.chi2_contingency, the binomial
// ones with stats.binom.  The program's normal distribution function is good
// to about 1e-7 and its results are single precision.
//
// The exact criterion is a step function of the sample sizes and proportions
// (the counts are rounded), so a solve ends at a step: it is accepted when
// the P-value on one side of the step lies within 0.001 of the one requested.
#include <gtest/gtest.h>

#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/mcnemar.h"
#include "procedures/module_set.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using FisherIds = FisherExactTest::Ids;
using McnIds = McNemar::Ids;
using testing::kAnyEnd;
using testing::kPValue;
using testing::TestChoice;

constexpr Procedure kFisher = Procedure::FisherExact, kMcNemar = Procedure::McNemar,
                    kChi2 = Procedure::ChiSquare2x2;
constexpr int kContinuity = 1, kExact = 7, kFrequencies = 13;
constexpr int kSize2Group = 2, kProportion2Group = 12, kProportion11Group = 20, kFrequency2Group = 34;
constexpr double kBelowOne = static_cast<double>(0.99999f), kAboveZero = static_cast<double>(0.00001f);
// The table (9, 21; 15, 15): stats.fisher_exact(...)[1]
constexpr double kFisher9_15 = 0.187187106633885;

class ProportionTests : public testing::PlanningTest {};

// clang-format off
TEST_F(ProportionTests, Fisher) {
  const testing::Values p3p5 = {{FisherIds::Proportion1, "0.3"}, {FisherIds::Proportion2, "0.5"}};
  const testing::Values equal = {{FisherIds::Proportion1, "0.4"}, {FisherIds::Proportion2, "0.4"},
                                 {FisherIds::SampleSize2, "40"}};
  const testing::Values large = {{FisherIds::Proportion1, "0.5"}, {FisherIds::Proportion2, "0.55"},
                                 {FisherIds::SampleSize1, "1001"}, {FisherIds::SampleSize2, "1001"}};
  ExpectReferences({
    {TestChoice(kFisher, 0, 2), p3p5, kPValue, kFisher9_15, 1e-6},
    // one-sided, upper test, p2 > p1 (the tested direction): the smaller tail,
    // stats.fisher_exact([[9, 21], [15, 15]], alternative='less')[1]; rejecting in the left tail, against
    // the tested direction: the larger, alternative='greater'; left with p2 < p1: the smaller again
    {TestChoice(kFisher, 0, 1), p3p5, kPValue, 0.09359355331694251, 1e-6},
    {TestChoice(kFisher, 0, 1, {}, {}, true), p3p5, kPValue, 0.967963802000106, 1e-6},
    {TestChoice(kFisher, 0, 1, {}, {}, true), {{FisherIds::Proportion1, "0.5"},
     {FisherIds::Proportion2, "0.3"}}, kPValue, 0.09359355331694251, 1e-6},
    // equal proportions count as the left direction: the table [[12, 18], [16, 24]];
    // stats.hypergeom(70, 30, 28) gives cdf(12) = 0.598081 and sf(11) = 0.596328: left the smaller,
    // the upper test the larger
    {TestChoice(kFisher, 0, 1, {}, {}, true), equal, kPValue, 0.5963281989624102, 1e-6},
    {TestChoice(kFisher, 0, 1), equal, kPValue, 0.5980805908000053, 1e-6},
    // the same table through the forms and the frequencies
    {TestChoice(kFisher, 0, 2, {}, {{kProportion2Group, 1}}), {{FisherIds::Proportion1, "0.3"},
     {FisherIds::Proportion2MinusProportion1, "0.2"}}, kPValue, kFisher9_15, 1e-6},
    {TestChoice(kFisher, 0, 2, {}, {{kProportion2Group, 2}, {kSize2Group, 2}}),
     {{FisherIds::Proportion1, "0.3"},
     {FisherIds::Proportion2OverProportion1, "1.6666667"}, {FisherIds::SampleSize2OverSize1, "1"}}, kPValue,
     kFisher9_15, 1e-6},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), {{FisherIds::Frequency1, "9"}, {FisherIds::Frequency2, "15"}},
     kPValue, kFisher9_15, 1e-6},
    {TestChoice(kFisher, 0, 2, {kFrequencies}, {{kFrequency2Group, 1}, {kSize2Group, 1}}),
     {{FisherIds::Frequency1, "9"}, {FisherIds::Frequency2MinusFrequency1, "6"},
     {FisherIds::SampleSize2MinusSize1, "0"}}, kPValue, kFisher9_15, 1e-6},
    {TestChoice(kFisher, 0, 2, {kFrequencies}, {{kFrequency2Group, 2}}), {{FisherIds::Frequency1, "9"},
     {FisherIds::Frequency2OverFrequency1, "1.6666667"}}, kPValue, kFisher9_15, 1e-6},
    // expected counts 7.5 and 22.5 round half to even: stats.fisher_exact([[8, 22], [22, 8]])[1]; rounding
    // halves up would give [[8, 22], [23, 7]] and 0.000230893
    {TestChoice(kFisher, 0, 2), {{FisherIds::Proportion1, "0.25"}, {FisherIds::Proportion2, "0.75"}}, kPValue,
     0.000655730677789972, 1e-9},
    // an empty sample gives 1 (below its limit only the criterion sees it), also without dividing a frequency
    {TestChoice(kFisher, 0, 2), {{FisherIds::Proportion2, "0.9"}, {FisherIds::SampleSize1, "0"}},
     kPValue, 1, 0},
    {TestChoice(kFisher, 0, 2), {{FisherIds::Proportion2, "0.9"}, {FisherIds::SampleSize2, "0"}},
     kPValue, 1, 0},
    {TestChoice(kFisher, 0, 1, {kFrequencies}), {{FisherIds::SampleSize1, "0"}}, kPValue, 1, 0},
    // exact up to 1000 per sample: stats.fisher_exact([[500, 500], [550, 450]])[1]; beyond, the arc-sine:
    // 2 * stats.norm.sf((asin(sqrt(.55)) - asin(sqrt(.5))) / (sqrt(2 / 1001) / 2)), one sample above
    // 1000 being enough; one-sided: stats.norm.sf(...) of the same statistic
    {TestChoice(kFisher, 0, 2), {{FisherIds::Proportion1, "0.5"}, {FisherIds::Proportion2, "0.55"},
     {FisherIds::SampleSize1, "1000"}, {FisherIds::SampleSize2, "1000"}}, kPValue, 0.02820356890423392, 2e-7},
    {TestChoice(kFisher, 0, 2), large, kPValue, 0.02503052836008389, 1e-6},
    {TestChoice(kFisher, 0, 2), {{FisherIds::Proportion1, "0.5"}, {FisherIds::Proportion2, "0.55"},
     {FisherIds::SampleSize1, "1001"}, {FisherIds::SampleSize2, "1000.5"}}, kPValue, 0.025, 2e-4},
    {TestChoice(kFisher, 0, 1), large, kPValue, 0.012515264180041945, 1e-6},
    // a frequency beyond 16 bits, or above its sample size, leaves no table: not calculable, silently
    {TestChoice(kFisher, 0, 2, {kFrequencies}), {{FisherIds::Frequency1, "40000"}}, 0, kNoResult, 0},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), {{FisherIds::Frequency1, "31"}}, 0, kNoResult, 0},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), {{FisherIds::Frequency1, "9"},
     {FisherIds::Frequency2, "15"}}, 0, kFisher9_15, 1e-6},
    // The smallest whole size from which on the table stays significant: at 534
    // stats.fisher_exact([[267, 267], [300, 234]])[1] = 0.049697, but the rounding of the counts lifts it
    // again at 571, [[286, 285], [320, 251]], to 0.050332; from 572, [[286, 286], [321, 251]], 0.043937, on.
    // With 0.6: [[110, 110], [132, 88]] at 220 gives 0.044055, [[110, 109], [131, 88]] at 219 gives 0.054604.
    {TestChoice(kFisher, 0, 2, {}, {{kSize2Group, 2}}), {{FisherIds::Proportion1, "0.5"},
     {FisherIds::Proportion2, "0.561"}, {FisherIds::SampleSize2OverSize1, "1"}}, FisherIds::SampleSize1, 572, 0},
    {TestChoice(kFisher, 0, 2, {}, {{kSize2Group, 2}}), {{FisherIds::Proportion1, "0.5"},
     {FisherIds::Proportion2, "0.6"}, {FisherIds::SampleSize2OverSize1, "1"}}, FisherIds::SampleSize1, 220, 0},
    // below p1 (the left tail) the second count falls to 19 at p2 = 0.195:
    // stats.fisher_exact([[30, 70], [19, 81]], alternative='greater')[1] = 0.049791, against 0.070603
    // for [[30, 70], [20, 80]]
    {TestChoice(kFisher, 0, 1, {}, {}, true), {{FisherIds::Proportion1, "0.3"},
     {FisherIds::SampleSize1, "100"}, {FisherIds::SampleSize2, "100"}}, FisherIds::Proportion2, 0.195, 1e-4},
    // checks of relative values
    {TestChoice(kFisher, 0, 2, {}, {{kProportion2Group, 1}}), {{FisherIds::Proportion1, "0.5"},
     {FisherIds::Proportion2MinusProportion1, "0.6"}}, FisherIds::SampleSize1, kNoResult, 0,
     "Proportion 2* - Proportion 1* has to be less than or equal to 0.49999"},
    {TestChoice(kFisher, 0, 2, {}, {{kProportion2Group, 1}}), {{FisherIds::Proportion1, "0.5"},
     {FisherIds::Proportion2MinusProportion1, "-0.6"}}, FisherIds::SampleSize1, kNoResult, 0,
     "Proportion 2* - Proportion 1* has to be greater than or equal to -0.49999"},
    {TestChoice(kFisher, 0, 2, {}, {{kSize2Group, 1}}), {{FisherIds::SampleSize2MinusSize1, "-28"}}, 0,
     kNoResult, 0, "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
    {TestChoice(kChi2, 0, 2, {kFrequencies}, {{kFrequency2Group, 2}}), {{FisherIds::Frequency1, "100"},
     {FisherIds::Frequency2OverFrequency1, "5000"}}, 0, kNoResult, 0,
     "Frequency 2 / Frequency 1 has to be less than or equal to 999.99"},
  });
}

TEST_F(ProportionTests, FisherSearchIntervals) {
  const testing::Values p3p5 = {{FisherIds::Proportion1, "0.3"}, {FisherIds::Proportion2, "0.5"}};
  const testing::Values counts = {{FisherIds::Frequency1, "9"}, {FisherIds::Frequency2, "20"},
                                  {FisherIds::SampleSize1, "30"}, {FisherIds::SampleSize2, "40"}};
  ExpectIntervals({
    // the second proportion above the first (upper test), the first below the second; the left tail
    {TestChoice(kFisher, 0, 2), p3p5, FisherIds::Proportion2, 0.3, kBelowOne, 1e-12},
    {TestChoice(kFisher, 0, 2), p3p5, FisherIds::Proportion1, kAboveZero, 0.5, 1e-12},
    {TestChoice(kFisher, 0, 1, {}, {}, true), p3p5, FisherIds::Proportion2, kAboveZero, 0.3, 1e-12},
    // a difference keeps the second proportion within its limits: 0.3 + d in [0.00001, 0.99999]
    {TestChoice(kFisher, 0, 2, {}, {{kProportion2Group, 1}}), {{FisherIds::Proportion1, "0.3"}},
     FisherIds::Proportion2MinusProportion1, 0.0, 0.99999 - 0.3, 1e-6},
    {TestChoice(kFisher, 0, 2, {}, {{kSize2Group, 2}}), {{FisherIds::SampleSize2OverSize1, "0.5"}},
     FisherIds::SampleSize1, 4.00002, kAnyEnd, 1e-5},
    // frequencies: each within its sample, and the implied p2 - p1 on the tested side: 9 / 30 < 20 / 40
    // lets f1 go up to 15, f2 from 12 up to n2
    {TestChoice(kFisher, 0, 2, {kFrequencies}), counts, FisherIds::Frequency1, 0.0, 15.0, 1e-4},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), counts, FisherIds::Frequency2, 12.0, 40.0, 1e-4},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), counts, FisherIds::SampleSize1, 9.0, kAnyEnd, 1e-6},
    {TestChoice(kFisher, 0, 2, {kFrequencies}), counts, FisherIds::SampleSize2, 20.0, kAnyEnd, 1e-6},
    // f1 + 11 <= n1 + 10 gives n1 >= f1 + 1 = 10; and the size rule n1 >= 2 - 10
    {TestChoice(kFisher, 0, 2, {kFrequencies}, {{kFrequency2Group, 1}, {kSize2Group, 1}}),
     {{FisherIds::Frequency1, "9"}, {FisherIds::Frequency2MinusFrequency1, "11"},
     {FisherIds::SampleSize2MinusSize1, "10"}}, FisherIds::SampleSize1, 10.0, kAnyEnd, 1e-5},
  });
}

TEST_F(ProportionTests, Chi2) {
  const testing::Values table = {{FisherIds::Proportion1, "0.3"}, {FisherIds::Proportion2, "0.5"},
                                 {FisherIds::SampleSize2, "40"}};
  ExpectReferences({
    // stats.chi2_contingency([[9, 21], [20, 20]], correction=False)[1]; Yates's correction is the
    // continuity correction (1/n1 + 1/n2)/2: correction=True; the same table from frequencies;
    // one-sided: half the two-sided value in the tested direction
    {TestChoice(kChi2, 0, 2), table, kPValue, 0.09275464621476916, 1e-6},
    {TestChoice(kChi2, 0, 2, {kContinuity}), table, kPValue, 0.15103349410746433, 1e-6},
    {TestChoice(kChi2, 0, 2, {kFrequencies, kContinuity}, {{kFrequency2Group, 1}}),
     {{FisherIds::Frequency1, "9"},
     {FisherIds::Frequency2MinusFrequency1, "11"}, {FisherIds::SampleSize2, "40"}},
     kPValue, 0.15103349410746433,
     1e-6},
    {TestChoice(kChi2, 0, 1), table, kPValue, 0.09275464621476916 / 2, 1e-6},
    // stats.norm.isf(0.025)**2 * 2 * 0.55 * 0.45 / 0.01; brentq of
    // 2 * norm.sf((p2 - 0.3) / sqrt(pb (1 - pb) 2 / 100)) - 0.05, pb = (0.3 + p2) / 2
    {TestChoice(kChi2, 0, 2, {}, {{kSize2Group, 2}}), {{FisherIds::Proportion2, "0.6"}},
     FisherIds::SampleSize1, 190.1522116243593, 0.01},
    {TestChoice(kChi2, 0, 2), {{FisherIds::Proportion1, "0.3"}, {FisherIds::SampleSize1, "100"},
     {FisherIds::SampleSize2, "100"}}, FisherIds::Proportion2, 0.4335813674544003, 2e-5},
  });
}

TEST_F(ProportionTests, McNemar) {
  // p1 = 0.3, p2 = 0.5, p11 = 0.2, n = 50: 20 discordant pairs, 15 of them "01".
  const testing::Values table = {{McnIds::Proportion1, "0.3"}, {McnIds::Proportion2, "0.5"},
                                 {McnIds::Proportion11, "0.2"}, {McnIds::SampleSize, "50"}};
  const testing::Values byDifference = {{McnIds::Proportion1, "0.3"},
   {McnIds::Proportion2MinusProportion1, "0.2"},
                                        {McnIds::Proportion11, "0.2"}, {McnIds::SampleSize, "50"}};
  const testing::Values direct = {{McnIds::Proportion2MinusProportion1, "0.02"},
   {McnIds::DiscordantSum, "0.5"},
                                  {McnIds::SampleSize, "2000"}};
  ExpectReferences({
    // 2 * stats.norm.sf(0.25 * sqrt(80)); McNemar's corrected chi2 (|15 - 5| - 1)^2 / 20:
    // stats.chi2.sf(81 / 20, 1); stats.binomtest(15, 20).pvalue = 2 * stats.binom.sf(14, 20, 0.5);
    // one-sided stats.binom.sf(14, 20, 0.5) and stats.norm.sf(0.25 * sqrt(80))
    {TestChoice(kMcNemar, 0, 2), table, kPValue, 0.025347318677468252, 1e-6},
    {TestChoice(kMcNemar, 0, 2, {kContinuity}), table, kPValue, 0.04417134490844271, 1e-6},
    {TestChoice(kMcNemar, 0, 2, {kExact}), table, kPValue, 0.04138946533203125, 2e-6},
    {TestChoice(kMcNemar, 0, 1, {kExact}), table, kPValue, 0.020694732666015625, 2e-6},
    {TestChoice(kMcNemar, 0, 1), table, kPValue, 0.012673659338734126, 1e-6},
    // the same table in the other forms
    {TestChoice(kMcNemar, 0, 2, {}, {{kProportion2Group, 1}}),
     byDifference, kPValue, 0.025347318677468252, 1e-6},
    {TestChoice(kMcNemar, 0, 2, {}, {{kProportion2Group, 2}}), {{McnIds::Proportion1, "0.3"},
     {McnIds::Proportion2OverProportion1, "1.6666667"}, {McnIds::Proportion11, "0.2"},
     {McnIds::SampleSize, "50"}},
     kPValue, 0.025347318677468252, 1e-6},
    {TestChoice(kMcNemar, 0, 2, {kExact}, {{kProportion11Group, 1}}),
     {{McnIds::Proportion2MinusProportion1, "0.2"},
     {McnIds::DiscordantSum, "0.4"}, {McnIds::SampleSize, "50"}}, kPValue, 0.04138946533203125, 2e-6},
    // p1 + p2 = 2 p11: the discordant sum is taken as 0.00001, not 0; z = delta sqrt(n / d):
    // 2 * stats.norm.sf(0.001 * sqrt(30 / 1e-5)); with no difference P = 1, calculable (no division by
    // zero) at the P-value's limit
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.4"}, {McnIds::Proportion2, "0.401"},
     {McnIds::Proportion11, "0.4005"}, {McnIds::SampleSize, "30"}}, kPValue, 0.0832645166635504, 2e-4},
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.4"}, {McnIds::Proportion2, "0.4"},
     {McnIds::Proportion11, "0.4"}, {McnIds::SampleSize, "30"}}, kPValue, 1.0, 1e-7},
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.4"}, {McnIds::Proportion2, "0.4"},
     {McnIds::Proportion11, "0.4"}, {McnIds::SampleSize, "30"}}, 0, 0.99999, 1e-6},
    // exact up to 1000 discordant pairs (520 of them "01"): 2 * stats.binom.sf(519, 1000, 0.5); 1001
    // pairs: the normal approximation, 2 * stats.norm.sf(0.02 * sqrt(2002 / 0.5))
    {TestChoice(kMcNemar, 0, 2, {kExact}, {{kProportion11Group, 1}}),
     direct, kPValue, 0.2174482932041409, 2e-5},
    {TestChoice(kMcNemar, 0, 2, {kExact}, {{kProportion11Group, 1}}),
     {{McnIds::Proportion2MinusProportion1, "0.02"},
     {McnIds::DiscordantSum, "0.5"}, {McnIds::SampleSize, "2002"}}, kPValue, 0.20567661472801357, 1e-5},
    // d = 0.5 + 0.6 - 0.8 = 0.3: stats.norm.isf(0.025)**2 * 0.3 / 0.01; brentq of
    // 2 * norm.sf((p2 - 0.3) sqrt(100 / (p2 - 0.1))) - 0.05; of 2 * norm.sf(0.1 sqrt(100 / (0.7 - 2 p11))) -
    // 0.05
    {TestChoice(kMcNemar, 0, 2, {}, {{kProportion2Group, 1}}), {{McnIds::Proportion2MinusProportion1, "0.1"}},
     McnIds::SampleSize, 115.24376462082381, 0.01},
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.3"}, {McnIds::Proportion11, "0.2"},
     {McnIds::SampleSize, "100"}}, McnIds::Proportion2, 0.4089393273366782, 2e-5},
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.3"}, {McnIds::Proportion2, "0.4"},
     {McnIds::SampleSize, "100"}}, McnIds::Proportion11, 0.21984111418649777, 2e-5},
    // an infeasible table (p11 above p1) leaves nothing to solve
    {TestChoice(kMcNemar, 0, 2), {{McnIds::Proportion1, "0.3"}, {McnIds::Proportion2, "0.5"},
     {McnIds::Proportion11, "0.35"}}, McnIds::SampleSize, kNoResult, 0},
  });
  const testing::Values p3p5 = {{McnIds::Proportion1, "0.3"}, {McnIds::Proportion2, "0.5"},
                                {McnIds::Proportion11, "0.2"}};
  ExpectIntervals({
    // p1 from p11 to 1 - p2 + p11; rejecting in the left tail, above p2; the upper test keeps p1 below p2
    {TestChoice(kMcNemar, 0, 2, {}, {}, true), p3p5, McnIds::Proportion1, 0.5, 0.7, 1e-12},
    {TestChoice(kMcNemar, 0, 2), p3p5, McnIds::Proportion1, 0.2, 0.5, 1e-12},
    // p11 within max(0, p1 + p2 - 1) and min(p1, p2)
    {TestChoice(kMcNemar, 0, 2), p3p5, McnIds::Proportion11, kAboveZero, 0.3, 1e-12},
    // direct: |delta| <= d <= 1
    {TestChoice(kMcNemar, 0, 2, {}, {{kProportion11Group, 1}}),
     {{McnIds::Proportion2MinusProportion1, "-0.2"},
     {McnIds::DiscordantSum, "0.5"}}, McnIds::DiscordantSum, 0.2, kBelowOne, 1e-12},
    {TestChoice(kMcNemar, 0, 2, {}, {{kProportion11Group, 1}}),
     {{McnIds::Proportion2MinusProportion1, "-0.2"},
     {McnIds::DiscordantSum, "0.5"}}, McnIds::Proportion2MinusProportion1, 0.0, 0.5, 1e-12},
  });
}
// clang-format on

// Every unknown in every form and tail: at both ends of the search interval
// each cell of the paired table lies within 0 and 1.
TEST_F(ProportionTests, McNemarEveryCellStaysAProbability) {
  const std::vector<testing::Values> valueSets = {
      {{8, "0.3"}, {69, "0.5"}, {52, "0.2"}, {70, "1.5"}, {123, "0.2"}, {15, "0.4"}},
      {{8, "0.7"}, {69, "0.6"}, {52, "-0.1"}, {70, "0.8"}, {123, "0.45"}, {15, "0.3"}},
      {{8, "0.9"}, {69, "0.95"}, {52, "0.05"}, {70, "1.05"}, {123, "0.88"}, {15, "0.09"}},
  };
  auto* module = d.modules().Find<McNemar>();
  int intervals = 0;
  for (int tails : {1, 2})
    for (bool left : {false, true})
      for (int direct : {0, 1})
        for (int form : {0, 1, 2})
          for (const auto& values : valueSets) {
            Choose(TestChoice(kMcNemar, 0, tails, {}, {{kProportion2Group, form},
             {kProportion11Group, direct}},
                              left));
            for (const auto& [id, text] : values) s.entry(id).ParamText = text;
            for (int p = 2; p <= s.LastPosition; ++p) {
              const int id = s.ParameterList[static_cast<std::size_t>(p)];
              const auto [lo, hi] = Interval(id);
              if (!(lo < hi)) continue;
              ++intervals;
              for (double end : {lo, hi}) {
                ParameterValueArray v = s.ParameterValues;
                v[static_cast<std::size_t>(p)] = end;
                SCOPED_TRACE(s.Description + " id " + std::to_string(id) + " at " + std::to_string(end));
                for (double c : module->CellProbabilities(v)) {
                  EXPECT_GE(c, -1e-9);
                  EXPECT_LE(c, 1 + 1e-9);
                }
              }
            }
          }
  EXPECT_GT(intervals, 100);
}

// A table of P-values over the first sample size for two second proportions.
TEST_F(ProportionTests, FisherTableOfPValues) {
  Enter(TestChoice(kFisher, 0, 2), {{FisherIds::Proportion1, "0.3"}});
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
  EXPECT_NEAR(s.YValues[0][1], 0.24281343550817763, 1e-5);  // stats.fisher_exact([[6, 14], [15, 15]])[1]
  EXPECT_NEAR(s.YValues[0][2], kFisher9_15, 1e-5);
  EXPECT_NEAR(s.YValues[1][2], 0.004117367939157807, 1e-5);  // stats.fisher_exact([[9, 21], [21, 9]])[1]
}

// Two one-sided tests chosen before: the tests of 2 x 2 tables fall back to two-sided.
TEST_F(ProportionTests, TwoOneSidedFallsBackToTwoSided) {
  for (Procedure test : {kFisher, kMcNemar, kChi2}) {
    d.Select(Procedure::UnpairedT);
    d.SetTailCount(3);
    d.Select(test);
    EXPECT_EQ(s.TailCount, 2) << ProcedureName(test);
  }
}

}  // namespace
}  // namespace pelmora
