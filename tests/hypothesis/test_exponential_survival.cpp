// The tests of the exponential location and scale, driven with the session
// set as the exponential sample distribution sets it.  Reference values are
// computed with scipy (Debian's python3-scipy) or written out by hand where
// the exponential distribution gives them in closed form.  The program's
// chi-square and F distributions are approximations good to a few 1e-4 in P.
#include "procedures/hypothesis/exponential_survival.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "procedures/module_set.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

// The exponential distribution's parameter choices.
constexpr int kLocation = 0, kScaleLocationKnown = 1, kScaleLocationUnknown = 2;

class ExponentialTest : public testing::PlanningTest {
 protected:
  // The exponential sample distribution's test of a parameter choice, with
  // its samples, tails and forms, as the distribution hands it on.
  template <typename M>
  M& Choose(int choice, int samples, int tails, const std::vector<std::pair<int, int>>& forms = {},
            bool left = false) {
    M& m = *d.modules().Find<M>();
    s.IsTestProcedure = kFalse;
    s.DistributionIndex = 2;
    s.DistributionName = "Exponential";
    s.ParameterChoice = static_cast<std::int16_t>(choice);
    s.ProcedureKind = 0;
    s.SampleCount = static_cast<std::int16_t>(samples);
    d.UseModuleForTesting(&m);
    d.RebuildOptions();
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (auto [g, f] : forms) d.SetForm(g, f);
    d.ApplyOptions();
    return m;
  }
  // Solves every listed position but 1 and puts each result back into the
  // criterion; returns how many were calculable.
  int SolveEveryPosition() {
    int solved = 0;
    for (int p = 0; p <= s.LastPosition; ++p) {
      if (p == 1) continue;
      const std::string saved = s.entryAt(p).ParamText;
      const double r = Solve(s.ParameterList[static_cast<std::size_t>(p)]);
      SCOPED_TRACE(s.Description + " position " + std::to_string(p));
      EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
      ui.messages.clear();
      if (r != kNoResult) {
        ++solved;
        s.value(p) = r;
        EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
      }
      s.entryAt(p).ParamText = saved;
    }
    return solved;
  }
};

using ScaleIds = ExponentialScale::Ids;
using LocIds = ExponentialLocation::Ids;

// ---- Scale ------------------------------------------------------------------

TEST_F(ExponentialTest, ScaleDegreesOfFreedom) {
  ExponentialScale& m = Choose<ExponentialScale>(kScaleLocationKnown, 1, 1);
  EXPECT_FLOAT_EQ(m.DegreesOfFreedom(10), 20.0f);
  Set(ScaleIds::SampleSize, "10");
  // Scale* = 1.2, H0 = 1: scipy.stats.chi2.sf(20 * 1.2, 20)
  EXPECT_NEAR(Criterion() + 0.05, 0.24239216167051245, 3e-4);
  Choose<ExponentialScale>(kScaleLocationUnknown, 1, 1);
  EXPECT_FLOAT_EQ(m.DegreesOfFreedom(10), 18.0f);
  // scipy.stats.chi2.sf(18 * 1.2, 18)
  EXPECT_NEAR(Criterion() + 0.05, 0.25022888228112905, 3e-4);
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 2);
  // 2 * min(chi2.sf(24, 20), chi2.cdf(24, 20))
  EXPECT_NEAR(Criterion() + 0.05, 0.4847843233410249, 3e-4);
  // The difference and ratio forms stand for the same scale.
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1, {{15, 1}});
  Set(ScaleIds::ScaleMinusH0, "0.2");
  EXPECT_NEAR(Criterion() + 0.05, 0.24239216167051245, 3e-4);
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1, {{15, 2}});
  Set(ScaleIds::H0Scale, "2");
  Set(ScaleIds::ScaleOverH0, "1.2");
  EXPECT_NEAR(Criterion() + 0.05, 0.24239216167051245, 3e-4);
}

TEST_F(ExponentialTest, ScaleLists) {
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 2);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], 15);  // "Scale*"
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 142, 124, 14}));
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 2, {{15, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 142, 125, 14}));
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1, {{15, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 142, 126, 14}));
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 3);
  EXPECT_EQ(s.IntParRowCount, 0);  // the estimate is a value only
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 129, 130, 124, 14}));
  EXPECT_EQ(s.entry(129).ParamText, "0.80");
  EXPECT_EQ(s.entry(130).ParamText, "1.25");

  Choose<ExponentialScale>(kScaleLocationUnknown, 2, 2, {{16, 0}, {2, 0}});
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], 16);  // "Scale 2*"
  EXPECT_EQ(s.IntParRowGroup[1], 2);   // "Sample Size 2"
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 127, 26, 141, 4, 37}));
  Choose<ExponentialScale>(kScaleLocationUnknown, 2, 1, {{16, 1}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 127, 128, 4, 38}));
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 3, {{16, 1}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 129, 130, 128, 4, 5}));
  EXPECT_EQ(s.ValueMode, 2);
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 3, {{16, 0}, {2, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 129, 130, 26, 141, 4, 37}));
}

TEST_F(ExponentialTest, ScaleRatioOfTwoSamples) {
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 1, {{16, 1}, {2, 0}});
  // scipy.stats.f.sf(1.2, 60, 60)
  EXPECT_NEAR(Criterion() + 0.05, 0.24111875187677037, 3e-4);
  Choose<ExponentialScale>(kScaleLocationUnknown, 2, 1, {{16, 1}, {2, 0}});
  // scipy.stats.f.sf(1.2, 58, 58)
  EXPECT_NEAR(Criterion() + 0.05, 0.2448462026259069, 3e-4);
  // Both scales; the numerator degrees of freedom are those of sample 2.
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 2, {{16, 0}, {2, 0}});
  Set(ScaleIds::Scale1, "2");
  Set(ScaleIds::Scale2, "3");
  Set(ScaleIds::SampleSize1, "20");
  Set(ScaleIds::SampleSize2, "40");
  // 2 * min(f.sf(1.5, 80, 40), f.cdf(1.5, 80, 40))
  EXPECT_NEAR(Criterion() + 0.05, 0.15940831954051735, 3e-4);
}

TEST_F(ExponentialTest, ScaleTwoOneSidedTests) {
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 3);
  Set(ScaleIds::Scale, "1");
  // max(chi2.sf(60 / 0.8, 60), chi2.cdf(60 / 1.25, 60))
  EXPECT_NEAR(Criterion() + 0.05, 0.13212358467196936, 3e-4);
  Choose<ExponentialScale>(kScaleLocationUnknown, 1, 3);
  Set(ScaleIds::Scale, "1.1");
  Set(ScaleIds::SampleSize, "40");
  // max(chi2.sf(78 * 1.1 / 0.8, 78), chi2.cdf(78 * 1.1 / 1.25, 78))
  EXPECT_NEAR(Criterion() + 0.05, 0.23339708160753658, 3e-4);
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 3, {{16, 1}, {2, 0}});
  Set(ScaleIds::Ratio, "1.1");
  Set(ScaleIds::SampleSize1, "20");
  // max(f.sf(1.1 / 0.8, 60, 40), f.cdf(1.1 / 1.25, 60, 40))
  EXPECT_NEAR(Criterion() + 0.05, 0.32217771988146254, 3e-4);
}

TEST_F(ExponentialTest, ScaleSolves) {
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1);
  // brentq of chi2.sf(2 n 1.2, 2 n) - 0.05
  EXPECT_NEAR(Solve(ScaleIds::SampleSize), 72.9882562001064, 0.3);
  Choose<ExponentialScale>(kScaleLocationUnknown, 1, 1);
  // brentq of chi2.sf(2 (n - 1) 1.2, 2 (n - 1)) - 0.05
  EXPECT_NEAR(Solve(ScaleIds::SampleSize), 73.98825620010649, 0.3);
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1);
  Set(ScaleIds::SampleSize, "10");
  // brentq of chi2.sf(20 s, 20) - 0.05
  EXPECT_NEAR(Solve(ScaleIds::Scale), 1.570521642211546, 2e-3);
  Choose<ExponentialScale>(kScaleLocationKnown, 1, 1, {}, true);
  // brentq of chi2.cdf(20 s, 20) - 0.05: the root below H0
  EXPECT_NEAR(Solve(ScaleIds::Scale), 0.5425405697089923, 2e-3);
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 1, {{16, 1}, {2, 0}});
  Set(ScaleIds::SampleSize1, "30");
  // brentq of f.sf(r, 60, 60) - 0.05
  EXPECT_NEAR(Solve(ScaleIds::Ratio), 1.5343141798123645, 2e-3);
  Choose<ExponentialScale>(kScaleLocationKnown, 2, 1, {{16, 1}, {2, 2}});
  Set(ScaleIds::Ratio, "1.2");
  Set(ScaleIds::SampleSize2OverSize1, "1");
  // brentq of f.sf(1.2, 2 n, 2 n) - 0.05
  EXPECT_NEAR(Solve(ScaleIds::SampleSize1), 163.2576929797895, 0.5);
}

TEST_F(ExponentialTest, ScaleSolvesEveryPosition) {
  int solved = 0;
  for (int choice : {kScaleLocationKnown, kScaleLocationUnknown})
    for (int samples : {1, 2})
      for (int tails : {1, 2, 3})
        for (bool left : {false, true})
          for (int form = 0; form < (samples == 1 ? 3 : 2); ++form)
            for (int size2 = 0; size2 < (samples == 1 ? 1 : 3); ++size2) {
              Choose<ExponentialScale>(choice, samples, tails, {{samples == 1 ? 15 : 16, form}, {2, size2}},
                                   left);
              // Values at which the P-value is below 0.05, so that every
              // position has a root on its side.
              Set(0, "0.05");
              if (tails == 3) {
                if (PositionOf(ScaleIds::Scale) >= 0) Set(ScaleIds::Scale, "1");
                if (PositionOf(ScaleIds::Ratio) >= 0) Set(ScaleIds::Ratio, "1");
                if (PositionOf(ScaleIds::Scale1) >= 0) Set(ScaleIds::Scale1, "1");
                if (PositionOf(ScaleIds::Scale2) >= 0) Set(ScaleIds::Scale2, "1");
              } else if (samples == 1) {
                Set(ScaleIds::H0Scale, "1");
                const char* est[2][3] = {{"1.2", "0.2", "1.2"}, {"0.8", "-0.2", "0.8"}};
                Set(s.ParameterList[3], est[left ? 1 : 0][form]);
              } else {
                Set(ScaleIds::H0Ratio, "1");
                if (form == 1) {
                  Set(ScaleIds::Ratio, left ? "0.8" : "1.2");
                } else {
                  Set(ScaleIds::Scale1, "1");
                  Set(ScaleIds::Scale2, left ? "0.8" : "1.2");
                }
              }
              if (samples == 2) {
                Set(ScaleIds::SampleSize1, "200");
                const char* n2[3] = {"200", "0", "1"};
                Set(s.ParameterList[static_cast<std::size_t>(s.LastPosition)], n2[size2]);
              } else {
                Set(ScaleIds::SampleSize, "200");
              }
              solved += SolveEveryPosition();
            }
  EXPECT_GT(solved, 150);
}

// ---- Location ---------------------------------------------------------------

TEST_F(ExponentialTest, LocationLists) {
  Choose<ExponentialLocation>(kLocation, 2, 2);
  EXPECT_EQ(s.SampleCount, 1);  // no two-sample form
  EXPECT_FALSE(s.dialog.samplesEnabled[1]);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], 14);  // "Location*"
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 131, 132, 146, 14}));
  Choose<ExponentialLocation>(kLocation, 1, 1, {{14, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 131, 133, 146, 14}));
  Choose<ExponentialLocation>(kLocation, 1, 2, {{14, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 131, 134, 146, 14}));
  Choose<ExponentialLocation>(kLocation, 1, 3);
  EXPECT_EQ(s.IntParRowCount, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 135, 136, 132, 146, 14}));
  EXPECT_EQ(s.entry(135).ParamText, "-0.40");
  EXPECT_EQ(s.entry(136).ParamText, "0.40");
}

TEST_F(ExponentialTest, LocationCriterion) {
  // H0 = 0, location* = 0.3, scale 1, n = 30: the minimum's scale is 1/30.
  Choose<ExponentialLocation>(kLocation, 1, 1);
  EXPECT_NEAR(Criterion() + 0.05, std::exp(-9.0), 1e-7);
  Choose<ExponentialLocation>(kLocation, 1, 2);
  EXPECT_NEAR(Criterion() + 0.05, 2 * std::exp(-9.0), 2e-7);
  Choose<ExponentialLocation>(kLocation, 1, 1, {}, true);
  EXPECT_NEAR(Criterion() + 0.05, 1 - std::exp(-9.0), 1e-6);
  // The forms stand for the same location.
  Choose<ExponentialLocation>(kLocation, 1, 1, {{14, 1}});
  EXPECT_NEAR(Criterion() + 0.05, std::exp(-9.0), 1e-7);
  Choose<ExponentialLocation>(kLocation, 1, 1, {{14, 2}});
  Set(LocIds::H0Location, "1");
  Set(LocIds::LocationOverH0, "1.3");
  EXPECT_NEAR(Criterion() + 0.05, std::exp(-9.0), 2e-6);
  // Two one-sided tests, the estimate 0.45 beyond the right limit 0.4:
  // max(exp(-30 0.85), 1 - exp(-30 0.05)).
  Choose<ExponentialLocation>(kLocation, 1, 3);
  Set(LocIds::Location, "0.45");
  EXPECT_NEAR(Criterion() + 0.05, 1 - std::exp(-1.5), 1e-6);
}

TEST_F(ExponentialTest, LocationSolves) {
  Choose<ExponentialLocation>(kLocation, 1, 1);
  // exp(-0.3 n) = 0.05: n = ln 20 / 0.3
  EXPECT_NEAR(Solve(LocIds::SampleSize), std::log(20.0) / 0.3, 1e-3);
  Set(LocIds::SampleSize, "30");
  // -ln(0.05) / 30
  EXPECT_NEAR(Solve(LocIds::Location), -std::log(0.05) / 30, 1e-5);
  Set(LocIds::Location, "0.3");
  // 0.3 + ln(0.05) / 30
  EXPECT_NEAR(Solve(LocIds::H0Location), 0.3 + std::log(0.05) / 30, 1e-5);
  Set(LocIds::H0Location, "0");
  // exp(-30 0.3 / s) = 0.05: s = 9 / -ln(0.05)
  EXPECT_NEAR(Solve(LocIds::Scale), 9 / -std::log(0.05), 1e-4);
  Set(LocIds::Scale, "1");
  Choose<ExponentialLocation>(kLocation, 1, 2);
  // 2 exp(-0.3 n) = 0.05: n = ln 40 / 0.3, the root beyond the minimum's median
  EXPECT_NEAR(Solve(LocIds::SampleSize), std::log(40.0) / 0.3, 1e-3);
  Set(LocIds::SampleSize, "30");
  EXPECT_NEAR(Solve(LocIds::Location), -std::log(0.025) / 30, 1e-5);
  // Rejecting in the left tail: 1 - exp(-30 x) = 0.05 at x = -ln(0.95) / 30.
  Choose<ExponentialLocation>(kLocation, 1, 1, {}, true);
  EXPECT_NEAR(Solve(LocIds::Location), -std::log(0.95) / 30, 1e-5);
  // ... and no sample size of at least 3 makes 0.3 significant.
  Set(LocIds::Location, "0.3");
  EXPECT_EQ(Solve(LocIds::SampleSize), kNoResult);
}

TEST_F(ExponentialTest, LocationTwoOneSidedSolves) {
  Choose<ExponentialLocation>(kLocation, 1, 3);
  // The roots: the left limit - ln(0.05) / 30 and the right limit - ln(0.95) / 30.
  EXPECT_NEAR(Solve(LocIds::Location), 0.4 - std::log(0.95) / 30, 1e-5);
  Choose<ExponentialLocation>(kLocation, 1, 3, {}, true);
  EXPECT_NEAR(Solve(LocIds::Location), -0.4 - std::log(0.05) / 30, 1e-5);
  // The limits for a minimum of 0.2: 0.2 + ln(0.05) / 30 and 0.2 + ln(0.95) / 30.
  Set(LocIds::Location, "0.2");
  EXPECT_NEAR(Solve(LocIds::LeftLimit), 0.2 + std::log(0.05) / 30, 1e-5);
  Set(LocIds::LeftLimit, "-0.40");
  EXPECT_NEAR(Solve(LocIds::RightLimit), 0.2 + std::log(0.95) / 30, 1e-5);
  Set(LocIds::RightLimit, "0.40");
  // The right limit below the left one is refused.
  Set(LocIds::RightLimit, "-0.5");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to -0.5");
}

TEST_F(ExponentialTest, LocationSolvesEveryPosition) {
  int solved = 0;
  for (int tails : {1, 2, 3})
    for (bool left : {false, true})
      for (int form = 0; form < (tails == 3 ? 1 : 3); ++form) {
        Choose<ExponentialLocation>(kLocation, 1, tails, {{14, form}}, left);
        if (tails == 3) {
          Set(LocIds::Location, left ? "-0.3" : "0.3");
        } else {
          Set(LocIds::H0Location, "1");
          // Right: the minimum 0.3 above H0; left: 0.01 above it, below the median.
          const char* est[2][3] = {{"1.3", "0.3", "1.3"}, {"1.001", "0.001", "1.001"}};
          Set(s.ParameterList[3], est[left ? 1 : 0][form]);
        }
        solved += SolveEveryPosition();
      }
  EXPECT_GT(solved, 30);
}

}  // namespace
}  // namespace pelmora
