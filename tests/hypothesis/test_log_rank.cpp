// The survival analysis test: P-values, solves, checks, and the side of the
// roots.  Reference values are computed with scipy (Debian's python3-scipy);
// the program works in single precision, good to about 1e-6 in P.
#include "procedures/hypothesis/log_rank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "procedures/module_set.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LogRank::Ids;
using testing::kPValue;

constexpr Procedure kLogRank = Procedure::SurvivalAnalysis;
constexpr int kIncidence = 3, kEvents = 4;
constexpr int kRateGroup = 5, kIncidenceGroup = 7, kEventGroup = 35;

// The test with no option, or the option of incidences or events, and the
// form of the second group's quantity.
testing::Choice Lr(int tails, int option = 0, int form = 0, bool left = false) {
  const int group = option == kIncidence ? kIncidenceGroup : option == kEvents ? kEventGroup : kRateGroup;
  return testing::TestChoice(kLogRank, 0, tails, option == 0 ? std::vector<int>{} : std::vector<int>{option},
                             {{group, form}}, left);
}

class Logrank : public testing::PlanningTest {};

// clang-format off
TEST_F(Logrank, References) {
  const testing::Values times100 = {{Ids::TimeAtRisk1, "100"}, {Ids::TimeAtRisk2, "100"}};
  const testing::Values events = {{Ids::Events1, "30"}, {Ids::TimeAtRisk1, "10"}, {Ids::TimeAtRisk2, "10"}};
  ExpectReferences({
    // equal rates, incidences and events over equal times give one half, one-sided
    {Lr(1), {{Ids::HazardRate2, "0.5"}, {Ids::TimeAtRisk1, "0.1"}}, kPValue, 0.5, 1e-6},
    {Lr(1), {{Ids::HazardRate2, "0.5"}, {Ids::TimeAtRisk1, "10"}}, kPValue, 0.5, 1e-6},
    {Lr(1), {{Ids::HazardRate2, "0.5"}, {Ids::TimeAtRisk1, "1000"}}, kPValue, 0.5, 1e-6},
    {Lr(1, 0, 2), {{Ids::HazardRate2OverRate1, "1"}}, kPValue, 0.5, 1e-6},
    {Lr(1, kIncidence, 1), {{Ids::Incidence2MinusIncidence1, "0"}}, kPValue, 0.5, 1e-6},
    {Lr(1, kEvents), {{Ids::Events2, "30"}, {Ids::TimeAtRisk1, "10"}, {Ids::TimeAtRisk2, "10"}},
     kPValue, 0.5, 1e-6},
    // est = ln(0.7/0.5), se = sqrt(1/(0.7*10) + 1/(0.5*10)): 2 * scipy.stats.norm.sf(est/se), norm.sf(est/se)
    // (in the difference and ratio forms too), and the other tail rejecting in the left one
    {Lr(2), {}, kPValue, 0.5655376751276284, 2e-6},
    {Lr(1), {}, kPValue, 0.2827688375638142, 2e-6},
    {Lr(1, 0, 1), {{Ids::HazardRate2MinusRate1, "0.2"}}, kPValue, 0.2827688375638142, 2e-6},
    {Lr(1, 0, 2), {{Ids::HazardRate2OverRate1, "1.4"}}, kPValue, 0.2827688375638142, 2e-6},
    {Lr(1, 0, 0, true), {}, kPValue, 1 - 0.2827688375638142, 2e-6},
    // incidences: h = -ln(1 - I); est = ln(h2/h1), se = sqrt(1/(h2*10) + 1/(h1*10)): 2 * norm.sf(est/se)
    {Lr(2, kIncidence), {{Ids::Incidence1, "0.5"}, {Ids::Incidence2, "0.7"}},
     kPValue, 0.2468487278052579, 2e-6},
    {Lr(2, kIncidence, 2), {{Ids::Incidence1, "0.5"}, {Ids::Incidence2OverIncidence1, "1.4"}}, kPValue,
     0.2468487278052579, 2e-6},
    // numbers of events over times at risk: est = ln((45/12)/(30/10)), se = sqrt(1/45 + 1/30): 2 *
    // norm.sf(est/se)
    {Lr(2, kEvents, 1), {{Ids::Events1, "30"}, {Ids::Events2MinusEvents1, "15"}, {Ids::TimeAtRisk1, "10"},
     {Ids::TimeAtRisk2, "12"}}, kPValue, 0.3437825416773289, 2e-6},
    {Lr(2, kEvents, 2), {{Ids::Events1, "30"}, {Ids::Events2OverEvents1, "1.5"}, {Ids::TimeAtRisk1, "10"},
     {Ids::TimeAtRisk2, "12"}}, kPValue, 0.3437825416773289, 2e-6},
    // brentq of norm.sf(ln 1.4 / sqrt(1/70 + 1/(0.5 T1))) - 0.05; of norm.sf(ln(h2/0.5) / sqrt(1/(100 h2) +
    // 1/50)) - 0.05, back to h1 = 0.5, and in the difference and ratio forms; two-sided, the root above h1:
    // 2 norm.sf(...); rejecting in the left tail, the root below h1: norm.cdf(...)
    {Lr(1), {{Ids::TimeAtRisk2, "100"}}, Ids::TimeAtRisk1, 72.57072384248039, 2e-3},
    {Lr(1), times100, Ids::HazardRate2, 0.679325760430671, 1e-5},
    {Lr(1), {{Ids::HazardRate2, "0.679325760430671"}, {Ids::TimeAtRisk1, "100"}, {Ids::TimeAtRisk2, "100"}},
     Ids::HazardRate1, 0.5, 1e-5},
    {Lr(1, 0, 1), times100, Ids::HazardRate2MinusRate1, 0.679325760430671 - 0.5, 1e-5},
    {Lr(1, 0, 2), times100, Ids::HazardRate2OverRate1, 0.679325760430671 / 0.5, 2e-5},
    {Lr(2), times100, Ids::HazardRate2, 0.7174339889622943, 1e-5},
    {Lr(1, 0, 0, true), times100, Ids::HazardRate2, 0.34772156630994017, 1e-5},
    // With h2 = h1 + 0.2 and times at risk of 200 the P-value falls and rises again as h1 goes to 0:
    // norm.sf(ln((h1 + 0.2)/h1) / sqrt(1/((h1 + 0.2) 200) + 1/(h1 200))) = 0.05 at h1 = 0.00032988 and
    // h1 = 1.3761796 (scipy brentq over a log grid); the root nearer no effect is the one found.  Rejecting
    // in
    // the left tail, by symmetry of the two groups' times, h2 = 1.3761796 is the answer for h1 = 1.5761796.
    {Lr(1, 0, 1), {{Ids::HazardRate2MinusRate1, "0.2"}, {Ids::TimeAtRisk1, "200"}, {Ids::TimeAtRisk2, "200"}},
     Ids::HazardRate1, 1.3761796334853567, 1e-4},
    {Lr(1, 0, 0, true), {{Ids::HazardRate1, "1.5761796334853567"}, {Ids::TimeAtRisk1, "200"},
     {Ids::TimeAtRisk2, "200"}}, Ids::HazardRate2, 1.3761796334853567, 1e-4},
    // the ratio r = e2 / e1 solves norm.sf(ln r / sqrt(1/(30 r) + 1/30)) = 0.05: 30 x 1.4754783493370782
    // (scipy
    // brentq), a root above e1; the time at risk of group 2 that makes 45 events against 30 over 10 just
    // significant, the ratio of the rates above 1: 15 / exp(norm.isf(0.05) * sqrt(1/45 + 1/30))
    {Lr(1, kEvents), events, Ids::Events2, 44.26435048011235, 6e-5},
    {Lr(1, kEvents), {{Ids::Events1, "30"}, {Ids::Events2, "45"}, {Ids::TimeAtRisk1, "10"}}, Ids::TimeAtRisk2,
     10.179282051169869, 1e-4},
    // an effect on the wrong side: not calculable; a difference below 0 leaves no first rate on the rejection
    // side, a ratio of events below T2/T1 neither
    {Lr(1), {{Ids::HazardRate2, "0.4"}}, Ids::TimeAtRisk1, kNoResult, 0},
    {Lr(1, 0, 1), {{Ids::HazardRate2MinusRate1, "-0.1"}}, Ids::HazardRate1, kNoResult, 0},
    {Lr(1, kEvents, 2), {{Ids::Events2OverEvents1, "1.1"}, {Ids::TimeAtRisk1, "10"},
     {Ids::TimeAtRisk2, "12"}}, Ids::Events1, kNoResult, 0},
    // the second incidence stays below 1, also when the difference is solved (here no difference below
    // 0.49999 reaches P = 0.05)
    {Lr(2, kIncidence, 1), {{Ids::Incidence1, "0.5"}, {Ids::Incidence2MinusIncidence1, "0.6"}},
     0, kNoResult, 0, "Incidence 2* - Incidence 1* has to be less than or equal to 0.49999"},
    {Lr(2, kIncidence, 1), {{Ids::Incidence1, "0.5"}, {Ids::Incidence2MinusIncidence1, "0.1"},
     {Ids::TimeAtRisk1, "0.5"}, {Ids::TimeAtRisk2, "0.5"}}, Ids::Incidence2MinusIncidence1, kNoResult, 0},
  });
}
// clang-format on

TEST_F(Logrank, IncidencesBecomeHazardRates) {
  Enter(Lr(2, kIncidence), {{Ids::Incidence1, "0.5"}, {Ids::Incidence2, "0.7"}});
  ReadParameterValues(s);
  Single h1 = 0, h2 = 0;
  d.modules().Find<LogRank>()->HazardRates(s, h1, h2);
  EXPECT_NEAR(h1, 0.693147, 1e-6);  // ln 2
  EXPECT_NEAR(h2, 1.203973, 1e-6);  // -ln 0.3
}

TEST_F(Logrank, IncidencesAndEventsExcludeEachOther) {
  d.Select(kLogRank);
  d.SetOption(kEvents, true);
  d.SetOption(kIncidence, true);
  EXPECT_EQ(s.OptionState[kEvents], 0);
  d.SetOption(kEvents, true);
  EXPECT_EQ(s.OptionState[kIncidence], 0);
  // No equivalence limits: two one-sided tests are not offered.
  d.SetTailCount(3);
  EXPECT_EQ(s.TailCount, 2);
}

// Every position of every form, solved from values that make the difference
// significant, ends at a root on the rejection side: the second group's rate
// above the first, or below it for the left tail.
TEST_F(Logrank, EverySolvedRateIsOnTheRejectionSide) {
  static constexpr int second[3][3] = {{73, 65, 74}, {79, 68, 80}, {238, 239, 240}};
  static const char* const above[3][3] = {{"0.7", "0.2", "1.4"}, {"0.7", "0.2", "1.4"}, {"90", "30", "1.5"}};
  static const char* const below[3][3] = {{"0.3", "-0.2", "0.6"}, {"0.3", "-0.2", "0.6"},
   {"40", "-20", "0.6"}};
  int solved = 0;
  for (int k = 0; k < 3; ++k)
    for (int form = 0; form < 3; ++form)
      for (int tails : {1, 2})
        for (bool left : {false, true}) {
          Choose(Lr(tails, k == 0 ? 0 : k + 2, form, left));
          Set(s.ParameterList[2], k == 2 ? "60" : "0.5");
          Set(second[k][form], (left ? below : above)[k][form]);
          Set(Ids::TimeAtRisk1, "200");
          Set(Ids::TimeAtRisk2, "200");
          for (int p = 0; p <= s.LastPosition; ++p) {
            if (p == 1) continue;
            const std::string saved = s.entryAt(p).ParamText;
            const double r = Solve(s.ParameterList[static_cast<std::size_t>(p)]);
            SCOPED_TRACE(s.Description + " form " + std::to_string(form) + " position " + std::to_string(p));
            EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
            if (r != kNoResult) {
              ++solved;
              s.value(p) = r;
              EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
              Single h1 = 0, h2 = 0;
              d.modules().Find<LogRank>()->HazardRates(s, h1, h2);
              if (left)
                EXPECT_LT(h2, h1);
              else
                EXPECT_GT(h2, h1);
            }
            s.entryAt(p).ParamText = saved;
          }
        }
  EXPECT_GT(solved, 100);
}

}  // namespace
}  // namespace pelmora
