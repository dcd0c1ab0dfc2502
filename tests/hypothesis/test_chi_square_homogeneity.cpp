// The chi2 homogeneity test: selection, list, criterion and solves, and the
// same result from pelmora-cli.  Reference values are computed with scipy 1.10
// (Debian's python3-scipy).  The program's chi2 distribution function takes
// F(x/df; df, 10000) up to 21 degrees of freedom, in single precision, and
// differs from scipy's chi2 by up to about 7e-4 in P (16 degrees of freedom);
// above 21 it is the Wilson-Hilferty approximation, good to about 2e-4 here.
#include "procedures/hypothesis/chi_square_homogeneity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "procedures/module_set.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = ChiSquareHomogeneity::Ids;

class Chi2RxcTest : public testing::PlanningTest {
 protected:
  void Choose() {
    d.SelectTest(7);
    d.ApplyOptions();
  }
  void Table(const char* w, const char* c, const char* r, const char* n) {
    Set(Ids::StdDevOfProportions, w);
    Set(Ids::NumberOfCategories, c);
    Set(Ids::NoOfGroups, r);
    Set(Ids::AverageSampleSize, n);
  }
  double PValue() { return Criterion() + s.value(0); }
};

TEST_F(Chi2RxcTest, ServesTheMenuItem) {
  d.SelectTest(7);
  EXPECT_NE(dynamic_cast<ChiSquareHomogeneity*>(d.Module()), nullptr);
  EXPECT_EQ(d.Module(), d.modules().Find<ChiSquareHomogeneity>());
}

TEST_F(Chi2RxcTest, OffersNoOptionsRowsOrOtherTails) {
  s.TailCount = 3;
  d.SelectTest(7);
  EXPECT_EQ(s.OptionCount, 0);
  EXPECT_EQ(s.IntParRowCount, 0);
  EXPECT_EQ(s.TailCount, 2);
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_TRUE(s.dialog.tailsEnabled[1]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  s.TailCount = 1;
  d.SelectTest(7);
  EXPECT_EQ(s.TailCount, 2);
  d.ApplyOptions();
  EXPECT_EQ(s.Description, "Chi2 homogeneity test. 2-sided.");
}

TEST_F(Chi2RxcTest, ParameterList) {
  Choose();
  ASSERT_EQ(s.LastPosition, 5);
  const std::vector<int> ids(s.ParameterList.begin(), s.ParameterList.begin() + 6);
  EXPECT_EQ(ids, (std::vector<int>{0, 1, 223, 201, 17, 224}));
  EXPECT_EQ(s.entryAt(2).ParamCaption, "&Std.Dev. of Proportions*");
  EXPECT_EQ(s.entryAt(3).ParamCaption, "&Number of Categories");
  EXPECT_EQ(s.entryAt(4).ParamCaption, "&No Of Groups");
  EXPECT_EQ(s.entryAt(5).ParamCaption, "Average Sample Si&ze");
}

TEST_F(Chi2RxcTest, CriterionAgainstChiSquare) {
  Choose();
  // Start-up values w 0.3, c 5, r 5, n 30: X = 0.09 x 5 x 30 = 13.5, df 16;
  // scipy.stats.chi2.sf(13.5, 16)
  EXPECT_NEAR(PValue(), 0.6359081634656462, 1e-3);
  Table("0.3", "2", "2", "30");
  // chi2.sf(0.09 x 2 x 30, 1)
  EXPECT_NEAR(PValue(), 0.020136751550346336, 1e-4);
  Table("0.5", "4", "3", "20");
  // chi2.sf(0.25 x 3 x 20, 6)
  EXPECT_NEAR(PValue(), 0.020256715056664387, 1e-4);
  Table("0.3", "6", "6", "30");
  // chi2.sf(0.09 x 6 x 30, 25): beyond 21 degrees of freedom
  EXPECT_NEAR(PValue(), 0.9087424137947931, 2e-4);
  // The criterion is the P-value minus the requested one.
  Set(0, "0.1");
  EXPECT_NEAR(Criterion(), 0.9087424137947931 - 0.1, 2e-4);
}

TEST_F(Chi2RxcTest, ChecksAndSearchIntervalLeaveEverythingAsIs) {
  Choose();
  Table("0.3", "2.5", "3.7", "30");
  s.UnknownPosition = 5;
  ReadParameterValues(s);
  EXPECT_TRUE(d.CallCheckParameters());
  EXPECT_TRUE(ui.messages.empty());
  double lower = -3, upper = 7;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_EQ(lower, -3);
  EXPECT_EQ(upper, 7);
}

TEST_F(Chi2RxcTest, SolvesForTheSampleSizeAndTheEffect) {
  Choose();
  Table("0.3", "3", "3", "30");
  // scipy brentq of chi2.sf(0.09 x 3 x n, 4) - 0.05
  EXPECT_NEAR(Solve(Ids::AverageSampleSize), 35.139737173263775, 0.05);
  Table("0.3", "5", "5", "30");
  // brentq of chi2.sf(w^2 x 5 x 30, 16) - 0.05
  EXPECT_NEAR(Solve(Ids::StdDevOfProportions), 0.41869820161140425, 2e-3);
  Table("0.3", "6", "6", "30");
  // brentq of chi2.sf(w^2 x 6 x 30, 25) - 0.05
  EXPECT_NEAR(Solve(Ids::StdDevOfProportions), 0.4573625120276447, 2e-3);
  // Solving for the P-value gives the P-value.
  Table("0.3", "2", "2", "30");
  EXPECT_NEAR(Solve(0), 0.020136751550346336, 1e-4);
}

TEST_F(Chi2RxcTest, NoEffectIsNotCalculable) {
  Choose();
  // X below 1e-10 gives P = 1: no sample size reaches P = 0.05.
  Table("0.00001", "2", "2", "30");
  EXPECT_EQ(Solve(Ids::AverageSampleSize), kNoResult);
  EXPECT_EQ(s.entry(Ids::AverageSampleSize).ParamText, "-");
  // Huge tables are calculated without a fault.
  Table("0.99999", "99999", "99999", "99999");
  EXPECT_TRUE(std::isfinite(Criterion()));
}

TEST_F(Chi2RxcTest, TheCommandLineGivesTheSameResult) {
  Choose();
  Table("0.3", "3", "3", "30");
  Solve(Ids::AverageSampleSize);
  const std::string text = s.entry(Ids::AverageSampleSize).ParamText;
  ASSERT_NE(text, "-");

  std::ostringstream out, err;
  const int status = RunCli({"--test", "7", "--set", "Std.Dev. of Proportions=0.3", "--set", "201=3", "--set",
                             "No Of Groups=3", "--unknown", "Average Sample Size"},
                            out, err);
  EXPECT_EQ(status, kExitSolved) << err.str();
  EXPECT_NE(out.str().find("Chi2 homogeneity test. 2-sided.\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("Average Sample Size:      " + text + "\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace pelmora
