// The survival analysis test: offered options and rows, lists, criteria and
// solves.  Reference values are computed with scipy (Debian's python3-scipy);
// the program works in single precision, good to about 1e-6 in P.
#include "procedures/hypothesis/log_rank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "procedures/module_set.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LogRank::Ids;

class Logrank : public testing::PlanningTest {
 protected:
  // Chooses the test and its options as the dialog would, then confirms.
  void Choose(int tails, const std::vector<int>& options = {}, int form = 0, bool left = false) {
    s.OptionState.fill(0);
    d.SelectTest(10);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    d.SetForm(s.IntParRowGroup[0], form);
    d.ApplyOptions();
  }
  LogRank& module() { return *d.modules().Find<LogRank>(); }
};

TEST_F(Logrank, OfferedOptionsAndRows) {
  d.SelectTest(10);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_FALSE(s.dialog.samplesEnabled[0]);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], 3);  // "I&ncidence"
  EXPECT_EQ(s.OptionId[1], 4);  // "&Number of Events"
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], 5);  // "Hazard Rate 2*"
  // The first check box switches the row to the incidences.
  d.SetOption(3, true);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], 7);  // "Incidence 2*"
  // The number of events clears the incidences and takes the events row.
  d.SetOption(4, true);
  EXPECT_EQ(s.OptionState[3], 0);
  EXPECT_EQ(s.IntParRowGroup[0], 35);  // "Event 2"
  d.SetOption(3, true);
  EXPECT_EQ(s.OptionState[4], 0);
  d.SetOption(3, false);
  EXPECT_EQ(s.IntParRowGroup[0], 5);
  // No equivalence limits: two one-sided tests are not offered.
  d.SetTailCount(3);
  EXPECT_EQ(s.TailCount, 2);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
}

TEST_F(Logrank, ParameterLists) {
  Choose(2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 9, 73, 25, 28}));
  Choose(2, {}, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 9, 65, 25, 28}));
  Choose(1, {}, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 9, 74, 25, 28}));
  Choose(2, {3}, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 53, 79, 25, 28}));
  Choose(2, {3}, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 53, 68, 25, 28}));
  Choose(2, {3}, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 53, 80, 25, 28}));
  Choose(2, {4}, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 237, 238, 25, 28}));
  Choose(2, {4}, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 237, 239, 25, 28}));
  Choose(2, {4}, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 237, 240, 25, 28}));
  EXPECT_EQ(s.Description, "Survival Analysis test. 2-sided.");
}

TEST_F(Logrank, EqualRatesGiveOneHalfOneSided) {
  Choose(1);
  Set(Ids::HazardRate2, "0.5");
  for (const char* t : {"0.1", "10", "1000"}) {
    Set(Ids::TimeAtRisk1, t);
    EXPECT_NEAR(Criterion() + 0.05, 0.5, 1e-6) << t;
  }
  Choose(1, {}, 2);
  Set(Ids::HazardRate2OverRate1, "1");
  EXPECT_NEAR(Criterion() + 0.05, 0.5, 1e-6);
  Choose(1, {3}, 1);
  Set(Ids::Incidence2MinusIncidence1, "0");
  EXPECT_NEAR(Criterion() + 0.05, 0.5, 1e-6);
  // Equal numbers of events over equal times.
  Choose(1, {4}, 0);
  Set(Ids::Events2, "30");
  Set(Ids::TimeAtRisk1, "10");
  Set(Ids::TimeAtRisk2, "10");
  EXPECT_NEAR(Criterion() + 0.05, 0.5, 1e-6);
}

TEST_F(Logrank, CriterionOfHazardRates) {
  Choose(2);
  // est = ln(0.7/0.5), se = sqrt(1/(0.7*10) + 1/(0.5*10)): 2 * scipy.stats.norm.sf(est/se)
  EXPECT_NEAR(Criterion() + 0.05, 0.5655376751276284, 2e-6);
  Choose(1);
  // scipy.stats.norm.sf(est/se)
  EXPECT_NEAR(Criterion() + 0.05, 0.2827688375638142, 2e-6);
  // The difference and ratio forms stand for the same rates.
  Choose(1, {}, 1);
  Set(Ids::HazardRate2MinusRate1, "0.2");
  EXPECT_NEAR(Criterion() + 0.05, 0.2827688375638142, 2e-6);
  Choose(1, {}, 2);
  Set(Ids::HazardRate2OverRate1, "1.4");
  EXPECT_NEAR(Criterion() + 0.05, 0.2827688375638142, 2e-6);
  // Rejecting in the left tail, the same rates give the other tail.
  Choose(1, {}, 0, true);
  EXPECT_NEAR(Criterion() + 0.05, 1 - 0.2827688375638142, 2e-6);
}

TEST_F(Logrank, IncidencesBecomeHazardRates) {
  Choose(2, {3});
  Set(Ids::Incidence1, "0.5");
  Set(Ids::Incidence2, "0.7");
  ReadParameterValues(s);
  Single h1 = 0, h2 = 0;
  module().HazardRates(s, h1, h2);
  EXPECT_NEAR(h1, 0.693147, 1e-6);  // ln 2
  EXPECT_NEAR(h2, 1.203973, 1e-6);  // -ln 0.3
  // h = -ln(1 - I); est = ln(h2/h1), se = sqrt(1/(h2*10) + 1/(h1*10)): 2 * scipy.stats.norm.sf(est/se)
  EXPECT_NEAR(Criterion() + 0.05, 0.2468487278052579, 2e-6);
  Choose(2, {3}, 2);
  Set(Ids::Incidence2OverIncidence1, "1.4");
  EXPECT_NEAR(Criterion() + 0.05, 0.2468487278052579, 2e-6);
}

TEST_F(Logrank, NumbersOfEventsOverTimesAtRisk) {
  Choose(2, {4}, 1);
  Set(Ids::Events1, "30");
  Set(Ids::Events2MinusEvents1, "15");
  Set(Ids::TimeAtRisk1, "10");
  Set(Ids::TimeAtRisk2, "12");
  // est = ln((45/12)/(30/10)), se = sqrt(1/45 + 1/30): 2 * scipy.stats.norm.sf(est/se)
  EXPECT_NEAR(Criterion() + 0.05, 0.3437825416773289, 2e-6);
  Choose(2, {4}, 2);
  Set(Ids::Events2OverEvents1, "1.5");
  EXPECT_NEAR(Criterion() + 0.05, 0.3437825416773289, 2e-6);
}

TEST_F(Logrank, SolvesForTimesAtRiskAndRates) {
  Choose(1);
  Set(Ids::TimeAtRisk2, "100");
  // brentq of norm.sf(ln 1.4 / sqrt(1/70 + 1/(0.5 T1))) - 0.05
  EXPECT_NEAR(Solve(Ids::TimeAtRisk1), 72.57072384248039, 2e-3);
  Set(Ids::TimeAtRisk1, "100");
  // brentq of norm.sf(ln(h2/0.5) / sqrt(1/(100 h2) + 1/50)) - 0.05
  EXPECT_NEAR(Solve(Ids::HazardRate2), 0.679325760430671, 1e-5);
  Set(Ids::HazardRate2, "0.679325760430671");
  EXPECT_NEAR(Solve(Ids::HazardRate1), 0.5, 1e-5);
  // Two-sided: the root above h1.
  Choose(2);
  // brentq of 2 norm.sf(ln(h2/0.5) / sqrt(1/(100 h2) + 1/50)) - 0.05
  EXPECT_NEAR(Solve(Ids::HazardRate2), 0.7174339889622943, 1e-5);
  // Rejecting in the left tail: the root below h1.
  Choose(1, {}, 0, true);
  // brentq of norm.cdf(ln(h2/0.5) / sqrt(1/(100 h2) + 1/50)) - 0.05
  EXPECT_NEAR(Solve(Ids::HazardRate2), 0.34772156630994017, 1e-5);
  // The same effect in the difference and ratio forms.
  Choose(1, {}, 1);
  EXPECT_NEAR(Solve(Ids::HazardRate2MinusRate1), 0.679325760430671 - 0.5, 1e-5);
  Choose(1, {}, 2);
  EXPECT_NEAR(Solve(Ids::HazardRate2OverRate1), 0.679325760430671 / 0.5, 2e-5);
}

TEST_F(Logrank, TheRootNearestTheNullValueOfATwoRootRate) {
  // With h2 = h1 + 0.2 and times at risk of 200 the P-value falls and rises
  // again as h1 goes to 0: norm.sf(ln((h1 + 0.2)/h1) / sqrt(1/((h1 + 0.2) 200)
  // + 1/(h1 200))) = 0.05 at h1 = 0.00032988 and h1 = 1.3761796 (scipy brentq
  // over a log grid).  The root nearer no effect is the one found.
  Choose(1, {}, 1);
  Set(Ids::HazardRate2MinusRate1, "0.2");
  Set(Ids::TimeAtRisk1, "200");
  Set(Ids::TimeAtRisk2, "200");
  EXPECT_NEAR(Solve(Ids::HazardRate1), 1.3761796334853567, 1e-4);
  // Rejecting in the left tail, the second rate below the first: the root
  // with the second rate nearer the first.  By symmetry of the two groups'
  // times, h2 = 1.3761796 is the answer for h1 = 1.5761796.
  Choose(1, {}, 0, true);
  Set(Ids::HazardRate1, "1.5761796334853567");
  Set(Ids::TimeAtRisk1, "200");
  Set(Ids::TimeAtRisk2, "200");
  EXPECT_NEAR(Solve(Ids::HazardRate2), 1.3761796334853567, 1e-4);
}

TEST_F(Logrank, SolvesForNumbersOfEvents) {
  Choose(1, {4}, 0);
  Set(Ids::Events1, "30");
  Set(Ids::TimeAtRisk1, "10");
  Set(Ids::TimeAtRisk2, "10");
  const double e2 = Solve(Ids::Events2);
  ASSERT_NE(e2, kNoResult);
  // The ratio r = e2 / e1 solves norm.sf(ln r / sqrt(1/(30 r) + 1/30)) = 0.05:
  // scipy brentq gives 1.4754783493370782, a root above e1.
  EXPECT_NEAR(e2 / 30, 1.4754783493370782, 2e-6);
  // The time at risk of group 2 that makes 45 events against 30 over 10
  // just significant: the rates' ratio stays above 1, so T2 < 15.
  Set(Ids::Events2, "45");
  const double t2 = Solve(Ids::TimeAtRisk2);
  ASSERT_NE(t2, kNoResult);
  EXPECT_LT(t2, 15.0);
  s.value(PositionOf(Ids::TimeAtRisk2)) = t2;
  EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
}

TEST_F(Logrank, EffectOnTheWrongSideIsNotCalculable) {
  Choose(1);
  Set(Ids::HazardRate2, "0.4");
  EXPECT_EQ(Solve(Ids::TimeAtRisk1), kNoResult);
  EXPECT_EQ(s.entry(Ids::TimeAtRisk1).ParamText, "-");
  // A difference below 0 leaves no first rate on the rejection side.
  Choose(1, {}, 1);
  Set(Ids::HazardRate2MinusRate1, "-0.1");
  EXPECT_EQ(Solve(Ids::HazardRate1), kNoResult);
  // A ratio of events below T2/T1 neither.
  Choose(1, {4}, 2);
  Set(Ids::Events2OverEvents1, "1.1");
  Set(Ids::TimeAtRisk1, "10");
  Set(Ids::TimeAtRisk2, "12");
  EXPECT_EQ(Solve(Ids::Events1), kNoResult);
}

TEST_F(Logrank, TheSecondIncidenceStaysBelowOne) {
  Choose(2, {3}, 1);
  Set(Ids::Incidence1, "0.5");
  Set(Ids::Incidence2MinusIncidence1, "0.6");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "Incidence 2* - Incidence 1* has to be less than or equal to 0.49999");
  // Solved, the difference keeps the second incidence below 1.
  Set(0, "0.05");
  Set(Ids::Incidence2MinusIncidence1, "0.1");
  Set(Ids::TimeAtRisk1, "0.5");
  Set(Ids::TimeAtRisk2, "0.5");
  ui.messages.clear();
  const double diff = Solve(Ids::Incidence2MinusIncidence1);
  EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
  if (diff != kNoResult) {
    EXPECT_LT(0.5 + diff, 1.0);
  }
}

TEST_F(Logrank, SolvesEveryPositionBackToTheCriterion) {
  int solved = 0;
  for (int option : {-1, 3, 4})
    for (int form = 0; form < 3; ++form)
      for (int tails : {1, 2})
        for (bool left : {false, true}) {
          Choose(tails, option < 0 ? std::vector<int>{} : std::vector<int>{option}, form, left);
          // The second group's rate above the first, or below it for the
          // left tail, and times at risk that make the difference significant.
          static constexpr int second[3][3] = {{73, 65, 74}, {79, 68, 80}, {238, 239, 240}};
          static const char* const above[3][3] = {
              {"0.7", "0.2", "1.4"}, {"0.7", "0.2", "1.4"}, {"90", "30", "1.5"}};
          static const char* const below[3][3] = {
              {"0.3", "-0.2", "0.6"}, {"0.3", "-0.2", "0.6"}, {"40", "-20", "0.6"}};
          const int k = option < 0 ? 0 : option - 2;
          Set(s.ParameterList[2], option == 4 ? "60" : "0.5");
          Set(second[k][form], (left ? below : above)[k][form]);
          Set(Ids::TimeAtRisk1, "200");
          Set(Ids::TimeAtRisk2, "200");
          for (int p = 0; p <= s.LastPosition; ++p) {
            if (p == 1) continue;
            const std::string saved = s.entryAt(p).ParamText;
            const double r = Solve(s.ParameterList[static_cast<std::size_t>(p)]);
            SCOPED_TRACE(s.Description + " option " + std::to_string(option) + " form " +
                         std::to_string(form) + " position " + std::to_string(p));
            EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
            if (r != kNoResult) {
              ++solved;
              s.value(p) = r;
              EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
              // The estimate is on the rejection side.
              Single h1 = 0, h2 = 0;
              module().HazardRates(s, h1, h2);
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

// The command-line program reports the numbers the dispatcher computes.
double CliResult(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  std::vector<std::string> all = {"--json"};
  all.insert(all.end(), args.begin(), args.end());
  if (RunCli(all, out, err) != kExitSolved) return kNoResult;
  const std::string text = out.str();
  const auto unknown = text.find("\"unknown\"");
  const auto value = text.find("\"value\": ", unknown);
  return std::stod(text.substr(value + 9));
}

// The survival and life-table tests on the command line.
TEST_F(Logrank, AgreesWithTheCommandLine) {
  EXPECT_NEAR(CliResult({"--test", "10"}), 0.5655376751276284, 2e-6);
  EXPECT_NEAR(CliResult({"--test", "10", "--option", "Incidence", "--set", "53=0.5", "--set", "79=0.7"}),
              0.2468487278052579, 2e-6);
  EXPECT_NEAR(CliResult({"--test", "10", "--option", "Number of Events", "--mode", "35=1", "--set", "237=30",
                         "--set", "239=15", "--set", "28=12"}),
              0.3437825416773289, 2e-6);
  Choose(1);
  Set(Ids::TimeAtRisk2, "100");
  const double t1 = Solve(Ids::TimeAtRisk1);
  EXPECT_DOUBLE_EQ(CliResult({"--test", "10", "--tails", "1", "--set", "28=100", "--unknown", "25"}), t1);
  // Mean 0.10805 and standard error 0.043767 of three tables: R's
  // 2 * pnorm(-S / sqrt(V)) = 0.0135584312191778 (see the life-table tests).
  EXPECT_NEAR(
      CliResult({"--test", "9", "--set", "226=0.1080499648049734", "--set", "227=0.0437669997697088"}),
      0.0135584312191778, 2e-6);
}

}  // namespace
}  // namespace pelmora
