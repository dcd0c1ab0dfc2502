// The chi2 homogeneity test: P-values and solves.  Reference values are
// computed with scipy 1.10 (Debian's python3-scipy).  The program's chi2
// distribution function takes F(x/df; df, 10000) up to 21 degrees of freedom,
// in single precision, and differs from scipy's chi2 by up to about 7e-4 in P
// (16 degrees of freedom); above 21 it is the Wilson-Hilferty approximation,
// good to about 2e-4 here.
#include "procedures/hypothesis/chi_square_homogeneity.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = ChiSquareHomogeneity::Ids;
using testing::kCriterion;
using testing::kPValue;

constexpr Procedure kHomogeneity = Procedure::ChiSquareHomogeneity;

// The test with the effect w, c categories, r groups and the average size n.
testing::Values Table(const char* w, const char* c, const char* r, const char* n) {
  return {{Ids::StdDevOfProportions, w}, {Ids::NumberOfCategories, c}, {Ids::NoOfGroups, r},
          {Ids::AverageSampleSize, n}};
}

class Chi2RxcTest : public testing::PlanningTest {};

// clang-format off
TEST_F(Chi2RxcTest, References) {
  const testing::Choice test = testing::TestChoice(kHomogeneity, 0, 2);
  ExpectReferences({
    // start-up values w 0.3, c 5, r 5, n 30: X = 0.09 x 5 x 30 = 13.5, df 16; scipy.stats.chi2.sf(13.5, 16);
    // chi2.sf(0.09 x 2 x 30, 1); chi2.sf(0.25 x 3 x 20, 6); chi2.sf(0.09 x 6 x 30, 25), beyond 21 df
    {test, {}, kPValue, 0.6359081634656462, 1e-3},
    {test, Table("0.3", "2", "2", "30"), kPValue, 0.020136751550346336, 1e-4},
    {test, Table("0.5", "4", "3", "20"), kPValue, 0.020256715056664387, 1e-4},
    {test, Table("0.3", "6", "6", "30"), kPValue, 0.9087424137947931, 2e-4},
    // the criterion is the P-value minus the requested one
    {test, {{0, "0.1"}, {Ids::StdDevOfProportions, "0.3"}, {Ids::NumberOfCategories, "6"},
     {Ids::NoOfGroups, "6"}}, kCriterion, 0.9087424137947931 - 0.1, 2e-4},
    // scipy brentq of chi2.sf(0.09 x 3 x n, 4) - 0.05; of chi2.sf(w^2 x 5 x 30, 16) - 0.05; of
    // chi2.sf(w^2 x 6 x 30, 25) - 0.05; solving for the P-value gives the P-value
    {test, Table("0.3", "3", "3", "30"), Ids::AverageSampleSize, 35.139737173263775, 0.05},
    {test, Table("0.3", "5", "5", "30"), Ids::StdDevOfProportions, 0.41869820161140425, 2e-3},
    {test, Table("0.3", "6", "6", "30"), Ids::StdDevOfProportions, 0.4573625120276447, 2e-3},
    {test, Table("0.3", "2", "2", "30"), 0, 0.020136751550346336, 1e-4},
    // X below 1e-10 gives P = 1: no sample size reaches P = 0.05
    {test, Table("0.00001", "2", "2", "30"), Ids::AverageSampleSize, kNoResult, 0},
  });
}
// clang-format on

TEST_F(Chi2RxcTest, HugeTablesAndTheTwoSidedTestOnly) {
  Enter(testing::TestChoice(kHomogeneity, 0, 2), Table("0.99999", "99999", "99999", "99999"));
  EXPECT_TRUE(std::isfinite(Criterion()));
  for (int tails : {1, 3}) {
    s.TailCount = static_cast<std::int16_t>(tails);
    d.Select(kHomogeneity);
    EXPECT_EQ(s.TailCount, 2);
  }
}

}  // namespace
}  // namespace pelmora
