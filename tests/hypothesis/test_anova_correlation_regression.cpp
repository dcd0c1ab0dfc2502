// One-way ANOVA, the correlation coefficient test and the regression
// coefficient test: P-values, solves, search intervals, checks and the ANOVA
// grid.  Reference values are computed with scipy 1.10 (Debian's
// python3-scipy); the program's distributions are single precision, good to
// about 1e-5 in P.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "format/number_entry.h"
#include "grid/grid_table.h"
#include "procedures/hypothesis/anova.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using AnovIds = Anova::Ids;
using CorrIds = CorrelationCoefficient::Ids;
using RegrIds = RegressionCoefficient::Ids;
using testing::kAnyEnd;
using testing::kCriterion;
using testing::kPValue;
using testing::TestChoice;

constexpr Procedure kAnova = Procedure::Anova, kCorrelation = Procedure::CorrelationCoefficient,
                    kRegression = Procedure::RegressionCoefficient;
constexpr int kContrast = 9;
constexpr int kEffectGroup = 17, kCorrelationGroup = 23, kCorrelation2Group = 24, kSize2Group = 2;
constexpr int kCoefficientGroup = 27, kCoefficient2Group = 28, kCovariate2Group = 29;

class Planning : public testing::PlanningTest {};

TEST(AnovaAndCorrelationRoutines, StdDevOfMeansAndFisherZ) {
  // numpy.std([0, .1, .1, .1, .2], ddof=1) = 0.2 / sqrt(8); numpy.std([0, .2, .2, .2, .2], ddof=1) = 0.2 /
  // sqrt(5)
  EXPECT_NEAR(StdDevOfMeans(0.2f, 5, 1), 0.07071067811865477, 1e-7);
  EXPECT_NEAR(StdDevOfMeans(0.2f, 5, 2), 0.08944271909999159, 1e-7);
  EXPECT_FLOAT_EQ(StdDevOfMeans(0.2f, 5, 0), 0.2f);
  EXPECT_FLOAT_EQ(StdDevOfMeans(0.2f, 5, 3), 0.0f);
  EXPECT_NEAR(FisherZ(0.5f), 0.5493061443340548, 1e-6);  // math.atanh(0.5)
  EXPECT_NEAR(FisherZ(-0.5f), -0.5493061443340548, 1e-6);
  EXPECT_FLOAT_EQ(FisherZ(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(FisherZ(-1.0f), -99999.0f);
  EXPECT_FLOAT_EQ(FisherZ(1.0f), 99999.0f);
}

// clang-format off
TEST_F(Planning, OneWayAnova) {
  const testing::Values tost = {{AnovIds::ContrastValue, "0.1"}, {AnovIds::Sd, "0.3"},
   {AnovIds::NoOfGroups, "3"},
                                {AnovIds::AverageSampleSize, "5"}};
  ExpectReferences({
    // scipy.stats.f.sf(30 * 0.01 / 0.09, 4, 145), upper-tailed whatever the sidedness; no spread of the
    // means: F = 0 and P = 1
    {TestChoice(kAnova, 1, 2), {}, kPValue, 0.012071593400238645, 2e-5},
    {TestChoice(kAnova, 1, 1, {}, {}, true), {}, kPValue, 0.012071593400238645, 2e-5},
    {TestChoice(kAnova, 1, 3, {}, {}, true), {}, kPValue, 0.012071593400238645, 2e-5},
    {TestChoice(kAnova, 1, 3, {}, {}, true), {{AnovIds::StdDevOfMeans, "0"}}, kPValue, 1.0, 1e-6},
    // the largest and the smallest difference to mean 1: f.sf(30 * 0.2**2 / 8 / 0.09, 4, 145) and
    // f.sf(30 * 0.2**2 / 5 / 0.09, 4, 145); with two groups both are the unpaired t-test of the two means,
    // 2 * scipy.stats.t.sf(0.2 / (0.3 * sqrt(2 / 30)), 58)
    {TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 1}}), {{AnovIds::MaxDifference, "0.2"}}, kPValue,
     0.16088977892357367, 2e-5},
    {TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 2}}), {{AnovIds::MinDifference, "0.2"}}, kPValue,
     0.03473900509249536, 2e-5},
    {TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 1}}), {{AnovIds::MaxDifference, "0.2"},
     {AnovIds::NoOfGroups, "2"}}, kPValue, 0.01237109101914, 2e-5},
    {TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 2}}), {{AnovIds::MinDifference, "0.2"},
     {AnovIds::NoOfGroups, "2"}}, kPValue, 0.01237109101914, 2e-5},
    // brentq(lambda n: f.sf(n * 0.01 / 0.09, 4, 5 * n - 5) - 0.05, 2.5, 100); brentq(lambda sm:
    // f.sf(30 * sm**2 / 0.09, 4, 145) - 0.05, 0.001, 10); brentq(lambda sg: f.sf(30 * 0.01 / sg**2, 4,
    // 145) - 0.05, 0.01, 10); brentq(lambda k: f.sf(30 * 0.01 / 0.09, k - 1, 30 k - k) - 0.05, 2.01, 100);
    // brentq(lambda n: f.sf(n * 0.2**2 / 8 / 0.09, 4, 5 n - 5) - 0.05, 3, 1000)
    {TestChoice(kAnova, 1, 2), {}, AnovIds::AverageSampleSize, 22.11941314902067, 0.005},
    {TestChoice(kAnova, 1, 2), {}, AnovIds::StdDevOfMeans, 0.08545288413720334, 1e-4},
    {TestChoice(kAnova, 1, 2), {}, AnovIds::ResidualSd, 0.3510706549331048, 1e-4},
    {TestChoice(kAnova, 1, 2), {}, AnovIds::NoOfGroups, 2.6444040855493585, 0.01},
    {TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 1}}), {{AnovIds::MaxDifference, "0.2"}},
     AnovIds::AverageSampleSize, 43.4552, 0.005},
    // the contrast: 2 * scipy.stats.t.sf(0.1 / (0.3 / sqrt(30)), 145); brentq(lambda n: 2 * t.sf(0.1 / (0.3 /
    // sqrt(n)), 5 * n - 5) - 0.05, 2.1, 1000); brentq(lambda c: 2 * t.sf(c / (0.3 / sqrt(30)), 145) - 0.05,
    // 0, 5)
    {TestChoice(kAnova, 1, 2, {kContrast}), {{AnovIds::ContrastValue, "0.1"}},
     kPValue, 0.06994657929077949, 2e-5},
    {TestChoice(kAnova, 1, 2, {kContrast}), {{AnovIds::ContrastValue, "0.1"}}, AnovIds::AverageSampleSize,
     35.06964972205297, 0.005},
    {TestChoice(kAnova, 1, 2, {kContrast}), {}, AnovIds::ContrastValue, 0.10825514864546673, 1e-4},
    // rejecting in the left tail: t.cdf(0.1 / (0.3 / sqrt(30)), 145); the contrast is searched below 0:
    // -t.isf(0.05, 145) * 0.3 / sqrt(30)
    {TestChoice(kAnova, 1, 1, {kContrast}, {}, true), {{AnovIds::ContrastValue, "0.1"}}, kPValue,
     0.9650267103546102, 2e-5},
    {TestChoice(kAnova, 1, 1, {kContrast}, {}, true), {}, AnovIds::ContrastValue, -0.09067164910762397, 1e-4},
    // two one-sided tests, df = 3 * 5 - 3: max(t.sf(0.5 / (0.3 / sqrt(5)), 12), t.cdf(-0.3 / (0.3 /
    // sqrt(5)), 12));
    // the contrast stays on its side of the middle 0: +-(0.4 - t.isf(0.05, 12) * 0.3 / sqrt(5)); an unknown
    // left limit below the contrast: 0.1 - t.isf(0.05, 12) * 0.3 / sqrt(5)
    {TestChoice(kAnova, 1, 3, {kContrast}), tost, kPValue, 0.022557682249547236, 2e-5},
    {TestChoice(kAnova, 1, 3, {kContrast}), tost, AnovIds::ContrastValue, 0.16088103220699249, 1e-4},
    {TestChoice(kAnova, 1, 3, {kContrast}, {}, true),
     tost, AnovIds::ContrastValue, -0.16088103220699249, 1e-4},
    {TestChoice(kAnova, 1, 3, {kContrast}), tost, AnovIds::LeftLimit, -0.13911896779300753, 1e-4},
    // brentq(lambda n: max(t.sf(0.5 / (0.3 / sqrt(n)), 5 n - 5), t.cdf(-0.3 / (0.3 / sqrt(n)), 5 n - 5)) -
    // 0.05,
    // 2.01, 100)
    {TestChoice(kAnova, 1, 3, {kContrast}), {{AnovIds::ContrastValue, "0.1"}}, AnovIds::AverageSampleSize,
     3.21991, 0.0005},
    {TestChoice(kAnova, 1, 3, {kContrast}), {{AnovIds::LeftLimit, "0.5"}, {AnovIds::RightLimit, "0.4"}},
     AnovIds::AverageSampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
}

TEST_F(Planning, CorrelationCoefficient) {
  ExpectReferences({
    // 2 * norm.sf((atanh(.5) - atanh(.3)) * sqrt(27)), also as a difference and as a ratio to H0; rejecting
    // in
    // the left tail: norm.cdf(...)
    {TestChoice(kCorrelation, 1, 2), {}, kPValue, 0.2127763595458766, 2e-5},
    {TestChoice(kCorrelation, 1, 2, {}, {{kCorrelationGroup, 1}}), {{CorrIds::CorrelationMinusH0, "0.2"}},
     kPValue, 0.2127763595458766, 2e-5},
    {TestChoice(kCorrelation, 1, 2, {}, {{kCorrelationGroup, 2}}),
     {{CorrIds::CorrelationOverH0, "1.6666667"}}, kPValue, 0.2127763595458766, 2e-5},
    {TestChoice(kCorrelation, 1, 1, {}, {}, true), {}, kPValue, 0.8936118202270618, 2e-5},
    // two one-sided tests against limits on the z scale: max(norm.sf((atanh(.1) - atanh(-.3)) * sqrt(47)),
    // norm.cdf((atanh(.1) - atanh(.3)) * sqrt(47))); brentq over n of the same with sqrt(n - 3), 3.01, 1000
    {TestChoice(kCorrelation, 1, 3), {{CorrIds::Correlation, "0.1"}, {CorrIds::SampleSize, "50"}}, kPValue,
     0.07577257582512004, 2e-5},
    {TestChoice(kCorrelation, 1, 3), {{CorrIds::Correlation, "0.1"}}, CorrIds::SampleSize, 64.8296, 0.005},
    // brentq(lambda n: 2 * norm.sf((atanh(.5) - atanh(.3)) * sqrt(n - 3)) - 0.05, 3.1, 1000); brentq(lambda
    // r:
    // 2 * norm.sf((atanh(r) - atanh(.3)) * sqrt(27)) - 0.05, .3, .99999); brentq(lambda h: 2 *
    // norm.sf((atanh(.5)
    // - atanh(h)) * sqrt(27)) - 0.05, -.99999, .5)
    {TestChoice(kCorrelation, 1, 2), {}, CorrIds::SampleSize, 69.81078574322198, 0.005},
    {TestChoice(kCorrelation, 1, 2), {}, CorrIds::Correlation, 0.5958674154367378, 1e-4},
    {TestChoice(kCorrelation, 1, 2), {}, CorrIds::H0Correlation, 0.17043136511180004, 1e-4},
    // the coefficient entered as H0 + 0.2: of the two roots the one with the middle H0 + 0.1 at or above 0,
    // brentq(lambda h: 2 * norm.sf((atanh(h + .2) - atanh(h)) * sqrt(77)) - 0.05, -.1, .79999) (the other
    // root is -0.415813)
    {TestChoice(kCorrelation, 1, 2, {}, {{kCorrelationGroup, 1}}), {{CorrIds::CorrelationMinusH0, "0.2"},
     {CorrIds::SampleSize, "80"}}, CorrIds::H0Correlation, 0.21581281332652058, 1e-4},
    // a coefficient beyond the bounds through its form is refused; rejecting in the left tail with the
    // coefficient above H0 there is no sample size
    {TestChoice(kCorrelation, 1, 2, {}, {{kCorrelationGroup, 1}}), {{CorrIds::H0Correlation, "0.9"}},
     CorrIds::SampleSize, kNoResult, 0,
     "Corr.Coeff.* - H0: Corr.Coeff. has to be less than or equal to 0.09999"},
    {TestChoice(kCorrelation, 1, 1, {}, {}, true), {}, CorrIds::SampleSize, kNoResult, 0},
    // two samples: 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(2 / 27)); a first size of 3 is raised to
    // 3.00001,
    // a large but finite standard error: 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(1 / 27 +
    // 1 / (float32(3.00001) - 3)))
    {TestChoice(kCorrelation, 2, 2), {}, kPValue, 0.3783004970786318, 2e-5},
    {TestChoice(kCorrelation, 2, 2), {{CorrIds::SampleSize1, "3"}}, kPValue, 0.9993945762782731, 2e-5},
    // brentq(lambda r: 2 * norm.sf((atanh(r) - atanh(.3)) / sqrt(2 / 97)) - 0.05, .3, .99999); brentq over n
    // of
    // 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(2 / (n - 3))) - 0.05, and with n2 = 2 n1
    // sqrt(1 / (n - 3) + 1 / (2 n - 3))
    {TestChoice(kCorrelation, 2, 2), {{CorrIds::SampleSize1, "100"}, {CorrIds::SampleSize2, "100"}},
     CorrIds::Correlation2, 0.530581409773376, 1e-4},
    {TestChoice(kCorrelation, 2, 2, {}, {{kSize2Group, 1}}), {{CorrIds::SampleSize2MinusSize1, "0"}},
     CorrIds::SampleSize1, 136.6215714864445, 0.01},
    {TestChoice(kCorrelation, 2, 2, {}, {{kSize2Group, 2}}), {{CorrIds::SampleSize2OverSize1, "2"}},
     CorrIds::SampleSize1, 102.72114281585395, 0.01},
    // the second coefficient as r1 + 0.2, the first unknown: the root whose middle r1 + 0.1 is at or above 0,
    // brentq(lambda r: 2 * norm.sf((atanh(r + .2) - atanh(r)) / sqrt(2 / 147)) - 0.05, -.1, .79999); a second
    // coefficient outside (-1, 1) through its form is refused
    {TestChoice(kCorrelation, 2, 2, {}, {{kCorrelation2Group, 1}}),
     {{CorrIds::Correlation2MinusCorrelation1, "0.2"},
     {CorrIds::SampleSize1, "150"}, {CorrIds::SampleSize2, "150"}},
     CorrIds::Correlation1, 0.24637842234428456, 1e-4},
    {TestChoice(kCorrelation, 2, 2, {}, {{kCorrelation2Group, 1}}),
     {{CorrIds::Correlation2MinusCorrelation1, "0.2"},
     {CorrIds::Correlation1, "0.9"}}, CorrIds::SampleSize1, kNoResult, 0,
     "Corr.Coeff.2* - Corr.Coeff.1* has to be less than or equal to 0.09999"},
  });
  ExpectIntervals({
    // the rejection side of H0, and H0 + difference below 1; the sample size keeps the standard error finite
    {TestChoice(kCorrelation, 1, 2, {}, {{kCorrelationGroup, 1}}), {}, CorrIds::CorrelationMinusH0, 0,
     0.99999 - 0.3, 1e-6},
    {TestChoice(kCorrelation, 1, 2), {}, CorrIds::SampleSize, static_cast<double>(3.00001f), kAnyEnd, 0},
  });
}

TEST_F(Planning, RegressionCoefficient) {
  ExpectReferences({
    // 2 * t.sf(0.3 / (0.3 / (sqrt(29) * 0.3)), 28); brentq(lambda n: 2 * t.sf(0.3 * sqrt(n - 1), n - 2) -
    // 0.05,
    // 3, 1000); brentq(lambda b: 2 * t.sf(b * sqrt(29), 28) - 0.05, 0, 5)
    {TestChoice(kRegression, 1, 2), {}, kPValue, 0.11740535427664181, 2e-5},
    {TestChoice(kRegression, 1, 2), {}, RegrIds::SampleSize, 46.12296775536669, 0.005},
    {TestChoice(kRegression, 1, 2), {}, RegrIds::Coefficient, 0.3803796569199563, 1e-4},
    // rejecting in the left tail: t.cdf(0.3 * sqrt(29), 28), and the coefficient lies on the other side
    {TestChoice(kRegression, 1, 1, {}, {}, true), {}, kPValue, 0.9412973228616791, 2e-5},
    {TestChoice(kRegression, 1, 1, {}, {}, true), {}, RegrIds::SampleSize, kNoResult, 0},
    // an unknown H0 with the coefficient entered as a difference: the P-value does not depend on it;
    // sample sizes below 3 are refused, so df = n - 2 stays positive
    {TestChoice(kRegression, 1, 2, {}, {{kCoefficientGroup, 1}}), {}, RegrIds::H0Coefficient, kNoResult, 0},
    {TestChoice(kRegression, 1, 2, {}, {{kCoefficientGroup, 1}}), {{RegrIds::SampleSize, "2"}},
     RegrIds::CoefficientMinusH0, kNoResult, 0, "Sample Size has to be greater than or equal to 3"},
    // max(t.sf((0.1 + 0.4) * sqrt(29), 28), t.cdf((0.1 - 0.4) * sqrt(29), 28)); the coefficient between the
    // middle of the limits and the right limit: 0.4 - t.isf(0.05, 28) / sqrt(29)
    {TestChoice(kRegression, 1, 3), {{RegrIds::Coefficient, "0.1"}}, kPValue, 0.0587026771383209, 2e-5},
    {TestChoice(kRegression, 1, 3), {}, RegrIds::Coefficient, 0.08410791587804367, 1e-4},
    // two samples: 2 * t.sf(0.1 / (0.3 * sqrt(2 / (29 * 0.09))), 56); a first size of 2 is raised to 3:
    // 2 * t.sf(0.1 / (0.3 * sqrt(1 / (2 * 0.09) + 1 / (29 * 0.09))), 29); with the covariate's SD 2 twice
    // SD 1: 2 * t.sf(0.1 / (0.3 * sqrt(1 / (29 * 0.09) + 1 / (29 * 0.36))), 56)
    {TestChoice(kRegression, 2, 2), {}, kPValue, 0.7048008140449151, 2e-5},
    {TestChoice(kRegression, 2, 2), {{RegrIds::SampleSize1, "2"}}, kPValue, 0.8921472654226748, 2e-5},
    {TestChoice(kRegression, 2, 2, {}, {{kCovariate2Group, 2}}), {{RegrIds::CovariateSd2OverSd1, "2"}},
     kPValue, 0.6319218286546933, 2e-5},
    // brentq(lambda b: 2 * t.sf((b - .3) / (0.3 * sqrt(2 / (99 * 0.09))), 196) - 0.05, .3, 10);
    // brentq(lambda n:
    // 2 * t.sf(0.1 / (0.3 * sqrt(2 / ((n - 1) * 0.09))), 2 n - 4) - 0.05, 3, 10000)
    {TestChoice(kRegression, 2, 2), {{RegrIds::SampleSize1, "100"}, {RegrIds::SampleSize2, "100"}},
     RegrIds::Coefficient2, 0.580307947475184, 1e-4},
    {TestChoice(kRegression, 2, 2, {}, {{kCoefficient2Group, 1}, {kSize2Group, 1}}), {{RegrIds::Diff, "0.1"},
     {RegrIds::SampleSize2MinusSize1, "0"}}, RegrIds::SampleSize1, 770.5032102317779, 0.05},
    // the difference on the rejection side of H0, H0 on the other: +-t.isf(0.025, 56) * se with
    // se = 0.3 sqrt(2 / (29 * 0.09)), H0 from the difference 0.3
    {TestChoice(kRegression, 2, 2, {}, {{kCoefficient2Group, 1}, {kSize2Group, 1}}),
     {{RegrIds::SampleSize2MinusSize1, "0"}}, RegrIds::Diff, 0.5260767855476853, 1e-4},
    {TestChoice(kRegression, 2, 2, {}, {{kCoefficient2Group, 1}, {kSize2Group, 1}}), {{RegrIds::Diff, "0.3"},
     {RegrIds::SampleSize2MinusSize1, "0"}}, RegrIds::H0Diff, -0.22607678554768534, 1e-4},
    // se = 0.3 sqrt(1 / ((n - 1) 0.09) + 1 / (29 0.09)); brentq(lambda n: max(t.sf(0.45 / se, n + 26),
    // t.cdf(-0.35 / se, n + 26)) - 0.05, 3, 1000)
    {TestChoice(kRegression, 2, 3), {{RegrIds::Coefficient2, "0.35"}}, RegrIds::SampleSize1, 99.7185, 0.005},
    // the covariate's SD 2 = SD 1 + difference must stay positive
    {TestChoice(kRegression, 2, 2, {}, {{kCovariate2Group, 1}, {kSize2Group, 2}}),
     {{RegrIds::CovariateSd2MinusSd1, "-0.4"}}, RegrIds::SampleSize1, kNoResult, 0,
     "Std.Dev.Cov.2 - Std.Dev.Cov.1 has to be greater than or equal to -0.29999"},
  });
  ExpectIntervals({
    {TestChoice(kRegression, 2, 2, {}, {{kCovariate2Group, 1}, {kSize2Group, 2}}), {},
     RegrIds::CovariateSd2MinusSd1, 0.00001 - 0.3, kAnyEnd, 1e-7},
    // a relative second size keeps both sizes above 2.00001; the second coefficient stays above the first
    // plus H0
    {TestChoice(kRegression, 2, 2, {}, {{kCovariate2Group, 1}, {kSize2Group, 2}}),
     {{RegrIds::SampleSize2OverSize1, "0.5"}}, RegrIds::SampleSize1, 4.00002, kAnyEnd, 1e-5},
    {TestChoice(kRegression, 2, 1), {}, RegrIds::Coefficient2, 0.3, kAnyEnd, 1e-7},
  });
}
// clang-format on

// The grid of the groups: rows Mean, (Coeff.,) StDev, N; one column per group.
class OneWayAnovaGrid : public Planning {
 protected:
 void Open(const testing::Choice& c, int id, std::vector<std::string> cells, const char* groups = "3") {
    Enter(c, {{AnovIds::NoOfGroups, groups}});
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t i = 0; i + 1 < cells.size(); ++i) e.Key(kGridKeyRight, cells[i]);
      e.Ok(cells.back());
    };
    ASSERT_TRUE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(id))));
  }
  const std::vector<std::string> kGroups{"1", "2", "4", "1", "2", "1.5", "10", "20", "15"};
};

TEST_F(OneWayAnovaGrid, WhatTheGridGives) {
  Open(TestChoice(kAnova, 1, 2), AnovIds::StdDevOfMeans, kGroups);
  EXPECT_EQ(s.grid.title, "Calculation of Standard Deviation of Means*");
  EXPECT_EQ(s.grid.rowLabels, "Mean StDev N");
  // m, s, n = [1, 2, 4], [1, 2, 1.5], [10, 20, 15]; g = sum(n m) / sum(n);
  // sqrt(sum(n (m - g)**2) / (2 * 15)) = 1.427248; sqrt(sum((n - 1) s**2) / (45 - 3)) = 1.665476
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.4272480642961254, 1e-5);
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "1.427248");
  EXPECT_EQ(s.entry(AnovIds::ResidualSd).ParamText, "1.665476");
  EXPECT_EQ(s.entry(AnovIds::NoOfGroups).ParamText, "3.0");
  EXPECT_EQ(s.entry(AnovIds::AverageSampleSize).ParamText, "15.0");
  // From the box of the residual standard deviation the grid gives that.
  Open(TestChoice(kAnova, 1, 2), AnovIds::ResidualSd, kGroups);
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.665475765002158, 1e-5);
  // The largest and the smallest difference to mean 1: |4 - 1| and |0 - 1|.
  Open(TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 1}}), AnovIds::MaxDifference, kGroups);
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 3.0f);
  Open(TestChoice(kAnova, 1, 2, {}, {{kEffectGroup, 2}}), AnovIds::MinDifference,
       {"1", "0", "4", "1", "2", "1.5", "10", "20", "15"});
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 1.0f);
}

TEST_F(OneWayAnovaGrid, ContrastValue) {
  Open(TestChoice(kAnova, 1, 2, {kContrast}), AnovIds::ContrastValue,
       {"1", "2", "4", "1", "-0.5", "-0.5", "1", "2", "1.5", "10", "20", "15"});
  EXPECT_EQ(s.grid.rowLabels, "Mean Coeff. StDev N");
  // sum(c m) / sqrt(15 * sum(c**2 / n)) with c = [1, -0.5, -0.5] = -1.436842; with the criterion's
  // standard error sigma / sqrt(n) it is the usual contrast t: sum(c m) / (sp sqrt(sum(c**2 / n))) =
  // -3.341308
  const Single c = d.CallApplyGroupGrid();
  EXPECT_NEAR(c, -1.436842416214199, 1e-5);
  const double sp = ParseNumber(s.entry(AnovIds::ResidualSd).ParamText);
  EXPECT_NEAR(c / (sp / std::sqrt(15.0)), -3.3413075507074748, 1e-4);
  // Coefficients that do not sum to 0 are refused; nothing is stored.
  Open(TestChoice(kAnova, 1, 2, {kContrast}), AnovIds::ContrastValue,
       {"1", "2", "4", "1", "-0.5", "-0.4", "1", "2", "1.5", "10", "20", "15"});
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Sum of Coefficients Must Be = 0");
  EXPECT_EQ(ui.messages.back().title, s.Description);
  EXPECT_EQ(s.entry(AnovIds::ContrastValue).ParamText, "0.30");
}

TEST_F(OneWayAnovaGrid, CellChecksAndTheChecksOfTheWholeGrid) {
  Enter(TestChoice(kAnova, 1, 2), {{AnovIds::NoOfGroups, "2"}});
  ui.gridScript = [](GridEditing& e) {
    e.Key(kGridKeyRight, "1");
    e.Key(kGridKeyRight, "2");
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));  // a standard deviation
    EXPECT_TRUE(e.Key(kGridKeyRight, "1"));
    e.Key(kGridKeyRight, "1");
    EXPECT_FALSE(e.Key(kGridKeyRight, "1"));  // a size
    e.Key(kGridKeyRight, "5");
    e.Ok("");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(AnovIds::StdDevOfMeans))));
  EXPECT_EQ(ui.messages.at(0).text, "Standard Deviations Must Be > 0");
  EXPECT_EQ(ui.messages.at(1).text, "Number Has To Be >= 2");
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");
  // Cells that reach the grid's own checks unchecked: nothing is stored.
  s.grid.cell(3, 2) = "5";
  s.grid.cell(2, 1) = "-1";
  s.CalcStopped = false;
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "All Standard Deviations Must Be Larger Than 0");
  EXPECT_EQ(ui.messages.back().title, "ANOVA (one-way). 2-sided.");
  s.grid.cell(2, 1) = "1";
  s.grid.cell(3, 1) = "1";
  s.CalcStopped = false;
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "All Sample Sizes Must Be Larger Than 1");
  EXPECT_EQ(s.entry(AnovIds::NoOfGroups).ParamText, "2");
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "0.10");
}

TEST_F(OneWayAnovaGrid, OpensOnlyFromTheEffectAndDeviationBoxesWithTwoToTenGroups) {
  Choose(TestChoice(kAnova, 1, 2));
  auto opens = [&](int id) { return d.CallOpenGroupGrid(RowOfPosition(PositionOf(id))); };
  EXPECT_FALSE(opens(AnovIds::NoOfGroups));
  EXPECT_FALSE(opens(AnovIds::AverageSampleSize));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  Set(AnovIds::NoOfGroups, "11");
  EXPECT_FALSE(opens(AnovIds::StdDevOfMeans));
  Set(AnovIds::NoOfGroups, "1");
  EXPECT_FALSE(opens(AnovIds::StdDevOfMeans));
  EXPECT_EQ(ui.grids, 0);
  Set(AnovIds::NoOfGroups, "10");
  ui.gridScript = [](GridEditing& e) { e.Cancel(""); };
  EXPECT_FALSE(opens(AnovIds::StdDevOfMeans));
  EXPECT_EQ(s.grid.columns, 10);
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "0.10");
  // Another layout starts empty: not the standard deviation typed before.
  Open(TestChoice(kAnova, 1, 2), AnovIds::StdDevOfMeans, kGroups);
  d.SetOption(kContrast, true);
  d.ApplyOptions();
  Set(AnovIds::NoOfGroups, "3");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_EQ(e.table().cell(2, 1), "");
    e.Cancel("");
  };
  EXPECT_FALSE(opens(AnovIds::ContrastValue));
}

TEST_F(Planning, TwoCoefficientsHaveNoTwoOneSidedTest) {
  Choose(TestChoice(kCorrelation, 1, 3));
  d.SetSampleCount(2);
  EXPECT_EQ(s.TailCount, 2);
}

}  // namespace
}  // namespace pelmora
