// What a solve may answer: a value only where the criterion crosses zero, or
// on the significant side of a jump of an exact P-value (a sample size of
// Fisher's exact test in whole numbers, from which on the result stays
// significant); a limit of the unknown's own range by name; otherwise "-" with
// the reason.  Also the Student t and F at large degrees of freedom, the
// numbers a calculation refuses, and the x values of a range.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "format/number_format.h"
#include "engine/calculation.h"
#include "numeric/distributions.h"
#include "output/output_text.h"
#include "procedures/hypothesis/groups.h"
#include "session/procedure_table.h"
#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/student_t.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::RunWith;
using FisherIds = FisherExactTest::Ids;

TEST(LargeDegreesOfFreedom, StudentAndFKeepTheirAccuracy) {
  struct T {
    Single t, df;
    double upper;
  };
  const T ts[] = {
      {2.0f, 1e9f, 0.02275013208},   // scipy.stats.t.sf(2.0, 1e9)
      {0.5f, 1e6f, 0.3085375937},    // scipy.stats.t.sf(0.5, 1e6)
      {3.0f, 1e5f, 0.001350230442},  // scipy.stats.t.sf(3.0, 1e5)
      {1.7f, 5000, 0.04459655537},   // scipy.stats.t.sf(1.7, 5000)
      {2.5f, 1500, 0.006262701445},  // scipy.stats.t.sf(2.5, 1500)
      {1.0f, 300, 0.1590582022},     // scipy.stats.t.sf(1.0, 300)
  };
  for (const T& r : ts) EXPECT_NEAR(1.0 - StudentCdf(r.t, r.df), r.upper, 2e-7) << r.df;
  struct F {
    Single f, df1, df2;
    double upper;
  };
  const F fs[] = {
      {3.0f, 2, 1e6f, 0.04978751645},  // scipy.stats.f.sf(3.0, 2, 1e6)
      {2.0f, 4, 2e5f, 0.09158259018},  // scipy.stats.f.sf(2.0, 4, 2e5)
      {1.5f, 1e6f, 5, 0.3512575564},   // scipy.stats.f.sf(1.5, 1e6, 5)
      {4.0f, 1, 3e4f, 0.04550926253},  // scipy.stats.f.sf(4.0, 1, 3e4)
      {2.0f, 5, 50, 0.09475290203},    // scipy.stats.f.sf(2.0, 5, 50)
  };
  for (const F& r : fs) EXPECT_NEAR(1.0 - FCdf(r.f, r.df1, r.df2), r.upper, 3e-7) << r.df1 << " " << r.df2;
}

// ---- Solves through pelmora-cli, as a user meets them -------------------------

struct Example {
  std::vector<std::string> args;
  int status;
  std::string unknown;  // the text of the unknown's value
  std::string said;     // part of what standard error says
};

TEST(HonestAnswers, ExamplesGiveTheSoundAnswer) {
  const std::string t = "0";
  const Example examples[] = {
      // The P-value at Sample Size 1 = 99999 is 0.0508: it never reaches 0.05.
      {{"--test", t, "--mode", "1=1", "--mode", "2=2", "--set", "Mean 2* - Mean 1*=0.00874", "--set",
        "Standard Deviation*=1", "--unknown", "Sample Size 1"},
       kExitNotCalculable,
       "-",
       "the P-value stays between 0.0507 and 0.992 for Sample Size 1 from 3 to 99999"},
      // With Sample Size 2 = 30 no n1 brings the P-value below 0.00119.
      {{"--test", t, "--set", "Mean 2*=1.01", "--set", "P-value=0.0005", "--unknown", "Sample Size 1"},
       kExitNotCalculable,
       "-",
       "the P-value stays between 0.00119 and 0.336"},
      // Units scaled by 0.001: the lower limit never rises to 0.0031.
      {{"--distribution", "0", "--kind", "interval", "--samples", "1", "--set", "Mean*=0.003", "--set",
        "Lower Limit=0.0031", "--set", "Standard Deviation=0.001", "--unknown", "Sample Size"},
       kExitNotCalculable,
       "-",
       "below the requested one for Sample Size from 3 to 99999"},
      // Sample Size 2 = 9999 Sample Size 1 may not pass 99999: n1 up to 10.0009.
      {{"--test", t, "--mode", "2=2", "--set", "Sample Size 2 / Sample Size 1=9999", "--set", "Mean 2*=0.35",
        "--unknown", "Sample Size 1"},
       kExitNotCalculable,
       "-",
       "for Sample Size 1 from 3 to 10.0009"},
      // brentq(lambda n: 2 * t.sf(0.005881 / (0.3 / sqrt(n)), n - 1) - 0.05, 3, 99999) = 9998.653
      {{"--test", "1", "--set", "Mean of Difference*=0.005881", "--unknown", "Sample Size"},
       kExitSolved,
       "9998.7",
       ""},
      // 2 * t.sf(0.71 / (1.2 sqrt(2 / 300)), 598) = 1.3e-12, below the P-value's limit.
      {{"--test", t, "--set", "Mean 2*=1.01", "--set", "Sample Size 2=300", "--set", "Sample Size 1=300",
        "--unknown", "P-value"},
       kExitSolved,
       "< 0.00001",
       "the answer lies below 0.00001, the lower limit of P-value"},
      // The limit shown for Std.Deviation 1, 3.3333, can be typed back.
      {{"--distribution", "10", "--parameter", "3", "--kind", "interval", "--set", "217=1", "--set",
        "216=3.3333", "--unknown", "14"},
       kExitNotCalculable,
       "-",
       "Sample Size cannot be calculated"},
      // Fisher: stats.fisher_exact at 219, [[110, 109], [131, 88]], 0.054604;
      // at 220, [[110, 110], [132, 88]], 0.044055.
      {{"--test", "4", "--mode", "2=2", "--set", "Proportion 2*=0.6", "--unknown", "Sample Size 1"},
       kExitSolved,
       "220.0",
       "the P-value jumps from 0.0546 to 0.0441 at Sample Size 1 = 220"},
      // An equivalence test of a Poisson mean of 2 between 1.5 and 2.5:
      // 2.5 (norm.isf(0.05) / 0.5)^2 = 27.055.
      {{"--distribution", "6", "--samples", "1", "--tails", "3", "--set", "166=1.5", "--set", "167=2.5",
        "--set", "Mean*=2", "--unknown", "Sample Size"},
       kExitSolved,
       "27.055",
       ""},
      // A step of Fisher's exact test on its significant side: stats.fisher_exact([[14, 21], [27, 7]])
      // 0.0013082 above 0.001 at p1 0.38572; [[13, 22], [27, 7]] 0.00056435 at p1 <= 0.385714.
      {{"--test", "4", "--tails", "2", "--set", "0=0.001", "--set", "Proportion 2*=0.8", "--set",
        "Sample Size 1=35", "--set", "Sample Size 2=34", "--unknown", "Proportion 1*"},
       kExitSolved,
       "0.38571",
       "the P-value jumps from 0.00131 to 0.000564"},
      // The exact binomial test in whole sizes: the power (doubled tails, H0 0.3, p 0.5) is 0.79495 at 53
      // and 0.82955 at 54, and at least 0.825 from 54 to 300.
      {{"--distribution", "4", "--parameter", "0", "--kind", "test", "--samples", "1", "--option", "7",
        "--power", "0.8", "--unknown", "Sample Size"},
       kExitSolved,
       "54.0",
       "the Power jumps from 0.795 to 0.83 at Sample Size = 54, and stays at or above 0.8"},
      // ANOVA at the level 0.95: ncf.sf(f.isf(0.95, 4, 145), 4, 145, 4 * 30 * 0.01 / 0.09) = 0.999869;
      // 80% power at brentq(lambda a: ncf.sf(f.isf(a, 4, 145), 4, 145, 13.333) - 0.8) = 0.0369995.
      {{"--test", "2", "--power", "0.8", "--set", "0=0.95", "--unknown", "Power"}, kExitSolved, "0.99987", ""},
      {{"--test", "2", "--power", "0.8", "--unknown", "P-value"}, kExitSolved, "0.037", ""},
      // The ratio of standard deviations: brentq(lambda a: f.sf(f.isf(a, 24, 24) * 0.852255**2 /
      // (0.251651 / 0.250178)**2, 24, 24) - 0.7) = 0.390290.
      {{"--distribution", "0", "--parameter", "3", "--kind", "test", "--tails", "1", "--power", "0.7", "--set",
        "114=0.852255", "--set", "139=0.250178", "--set", "140=0.251651", "--set", "4=25", "--set", "37=25",
        "--unknown", "P-value"},
       kExitSolved,
       "0.39029",
       ""},
      // Small levels without a jump: brentq(lambda a: nct.sf(t.isf(a, 29), 29, sqrt(30)) - 0.8) =
      // 4.5636e-5 (the program's single-precision P-value puts it at 4.5658e-5); two-sided,
      // noncentrality (0.2553 + 0.05) / 0.247401 * 5, 24 df, power 0.7: 1.00908e-5.
      {{"--test", "1", "--tails", "1", "--power", "0.8", "--unknown", "P-value"}, kExitSolved, "0.000046", ""},
      {{"--test", "1", "--power", "0.7", "--set", "157=-0.05", "--set", "158=0.2553", "--set", "3=0.247401",
        "--set", "14=25", "--unknown", "0"},
       kExitSolved,
       "0.00001",
       ""},
      {{"--test", "12", "--option", "Ordered Categories", "--set", "229=0.3", "--unknown", "P-value"},
       kExitRejected,
       "",
       "Prob (Sample2 > Sample1)* + Prob (Sample2 = Sample1)* has to be less than or equal to 1"},
      {{"--test", t, "--set", "Sample Size 2=2.5.3", "--unknown", "Sample Size 1"},
       kExitUsage,
       "",
       "\"2.5.3\" is not a number"},
  };
  for (const Example& e : examples) {
    const testing::CliRun r = RunWith(e.args);
    SCOPED_TRACE(e.args.back() + " " + e.said);
    EXPECT_EQ(r.status, e.status) << r.err;
    if (!e.unknown.empty()) {
      EXPECT_TRUE(r.out.find(" " + e.unknown + "\n") != std::string::npos) << r.out;
    }
    EXPECT_NE(r.err.find(e.said), std::string::npos) << r.err;
    if (e.said.empty() && e.status == kExitSolved) {
      EXPECT_EQ(r.err.find("jumps"), std::string::npos) << r.err;
    }
  }
}

class Honest : public testing::PlanningTest {};

// The values the solve gives, typed back: the P-value or power to a millionth
// of the requested one, in no more digits than hold it.
TEST_F(Honest, SolvedValuesHoldTheCriterionInTheDigitsTheyPrint) {
  struct Row {
    bool byPower;
    int unknown;
    double expected, tolerance;
  };
  const Row rows[] = {
      // brentq(lambda s: 2 * t.sf(0.1 / (s * sqrt(2 / 30)), 58) - 0.05, 0.01, 1) = 0.1934830
      {false, StudentT::Ids::Sd, 0.19348302, 1e-6},
      // brentq(lambda s: nct.sf(t.isf(0.025, 58), 58, 0.1 / (s sqrt(2 / 30))) + nct.cdf(-t.isf(0.025, 58),
      // 58, 0.1 / (s sqrt(2 / 30))) - 0.8, 0.01, 1) = 0.1359396
      {true, StudentT::Ids::Sd, 0.1359396, 2e-6},
  };
  for (const Row& r : rows) {
    d.Select(Procedure::UnpairedT);
    d.SetPlanByPower(r.byPower);
    d.ApplyOptions();
    const double v = Solve(r.unknown);
    EXPECT_NEAR(v, r.expected, r.tolerance);
    EXPECT_EQ(lastOutcome.state, SolveState::Solved);
    EXPECT_LE(ShortestGeneral(v).size(), 12u) << ShortestGeneral(v);
    s.value(PositionOf(r.unknown)) = v;
    EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-6 * (r.byPower ? 0.8 : 0.05));
    EXPECT_GT(lastOutcome.evaluations, 2);
  }
}

// ---- The engine's own rules ---------------------------------------------------


TEST_F(Honest, ATrueAnswerNearMarkerValuesIsShown) {
  // Between 9999 and 10000: no value stands for "no result".
  d.Select(Procedure::PairedT);
  d.ApplyOptions();
  Set(StudentT::Ids::MeanOfDiff, "0.005881");
  for (const char* sd : {"0.30", "0.300015"}) {
    Set(StudentT::Ids::SdOfDiff, sd);
    const double n = Solve(StudentT::Ids::SampleSize);
    EXPECT_GT(n, 9998) << sd;
    EXPECT_LT(n, 10000) << sd;
  }
}

// The t-test's P-value at sizes where single precision used to cancel away:
// 2 * scipy.stats.t.sf(delta / (1.2 sqrt(1/n1 + 1/n2)), n1 + n2 - 2).
TEST_F(Honest, StudentTAtLargeSizes) {
  struct Row {
    const char *n1, *n2, *mean2;
    int form;
    double p;
  };
  const Row rows[] = {
      {"1000000", "30", "0.40", 0, 0.6480818895},   // n2 = 30, delta = 0.1
      {"10000000", "30", "0.40", 0, 0.6480773703},  // n2 = 30, delta = 0.1
      {"2212.9", "9999", "0.35", 2, 0.0500000938},  // n2 = 9999 n1, delta = 0.05
  };
  for (const Row& r : rows) {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, r.form);
    d.ApplyOptions();
    Set(StudentT::Ids::SampleSize1, r.n1);
    Set(r.form == 2 ? StudentT::Ids::SampleSize2OverSize1 : StudentT::Ids::SampleSize2, r.n2);
    Set(StudentT::Ids::Mean2, r.mean2);
    EXPECT_NEAR(Criterion() + 0.05, r.p, 2e-6) << r.n1;
  }
}

TEST_F(Honest, TheReasonGoesWithTheOutput) {
  d.Select(Procedure::UnpairedT);
  d.ApplyOptions();
  // Sample Size 2 = 30 holds the P-value up: 2 * t.sf(0.1 / (1.2 sqrt(1/n1 + 1/30)), n1 + 28)
  // is 0.891 at n1 = 3 and 0.648 at 99999.
  EXPECT_EQ(Solve(StudentT::Ids::SampleSize1), kNoResult);
  EXPECT_EQ(s.ResultRemark,
            "Sample Size 1 cannot be calculated: the P-value stays between 0.648 and 0.891 for Sample Size 1 "
            "from 3 to 99999.");
  const std::string text = CalculationOutputText(s, [](std::string_view t) { return double(t.size()); });
  EXPECT_NE(text.find("between 0.648 and 0.891 for Sample Size 1 from 3 to 99999."), std::string::npos)
      << text;
}

TEST_F(Honest, MalformedNumbersAreRefusedByName) {
  d.Select(Procedure::UnpairedT);
  d.ApplyOptions();
  for (const char* text : {"2.5.3", "3-", "7,5,3", "--3", ".", ","}) {
    ui.messages.clear();
    Set(StudentT::Ids::SampleSize2, text);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(StudentT::Ids::SampleSize1));
    s.ResultsCurrent = false;
    EXPECT_EQ(CalculateSingle(d), SingleOutcome::Rejected) << text;
    EXPECT_EQ(ui.LastText(), std::string("Sample Size 2: \"") + text + "\" is not a number");
    EXPECT_EQ(s.entry(StudentT::Ids::SampleSize1).ParamText, "-");
  }
  Set(StudentT::Ids::SampleSize2, "30,0");  // the decimal comma stays
  s.ResultsCurrent = false;
  EXPECT_NE(CalculateSingle(d), SingleOutcome::Rejected) << ui.LastText();
}

// Fisher's exact test, two-sided, P 0.05, p1 = 0.50, equal sizes: the first
// sample size is the smallest from which on the assumed table stays
// significant.  n and the P-values at n and n - 1 from scipy, with the counts
// rounded as the program rounds them (np.rint of float32 products):
// stats.fisher_exact([[rint(n/2), n - rint(n/2)], [rint(n p2), n - rint(n p2)]])[1],
// checked significant for every size from n to 1000.
TEST_F(Honest, FisherSampleSizesAreWholeStepsThatFallAsTheEffectGrows) {
  struct Row {
    double p2;
    int n;
    double pAt, pBelow;
  };
  const Row rows[] = {
      {0.55, 840, 0.0451341, 0.0505015}, {0.56, 584, 0.0461836, 0.0527805}, {0.57, 428, 0.0468263, 0.0546635},
      {0.58, 336, 0.0440903, 0.0525435}, {0.59, 264, 0.044303, 0.0539319},  {0.60, 220, 0.0440551, 0.0546042},
      {0.61, 180, 0.0437215, 0.0553788}, {0.62, 156, 0.0398546, 0.0515006}, {0.63, 128, 0.0433799, 0.0572762},
      {0.64, 112, 0.042585, 0.0572923},  {0.65, 100, 0.044932, 0.0612823},  {0.66, 92, 0.0361061, 0.0503749},
      {0.67, 80, 0.0364557, 0.0519894},  {0.68, 72, 0.0415904, 0.0599596},  {0.69, 68, 0.0355814, 0.0522411},
      {0.70, 60, 0.0398754, 0.0595153},  {0.71, 56, 0.0327674, 0.0501153},  {0.72, 48, 0.0353243, 0.0554841},
      {0.73, 48, 0.0353243, 0.0554841},  {0.74, 40, 0.0368348, 0.0600161},  {0.75, 40, 0.0368348, 0.0600161},
      {0.76, 37, 0.0301249, 0.0505391},  {0.77, 32, 0.0360468, 0.0620018},  {0.78, 32, 0.0360468, 0.0620018},
      {0.79, 32, 0.0360468, 0.0620018},  {0.80, 25, 0.0377584, 0.0687066},  {0.81, 25, 0.0377584, 0.0687066},
      {0.82, 24, 0.0304765, 0.0573571},  {0.83, 24, 0.0304765, 0.0573571},  {0.84, 24, 0.0304765, 0.0573571},
      {0.85, 20, 0.0407424, 0.0788907},  {0.86, 20, 0.0407424, 0.0788907},  {0.87, 17, 0.0255098, 0.0538021},
      {0.88, 17, 0.0255098, 0.0538021},  {0.89, 17, 0.0255098, 0.0538021},  {0.90, 17, 0.0255098, 0.0538021},
  };
  d.Select(Procedure::FisherExact);
  d.SetForm(2, 2);  // Sample Size 2 / Sample Size 1 = 1
  d.ApplyOptions();
  auto pValueAt = [&](int n) {
    Set(FisherIds::SampleSize1, std::to_string(n));
    return Criterion() + 0.05;
  };
  for (const Row& r : rows) {
    Set(FisherIds::Proportion2, std::to_string(r.p2));
    EXPECT_EQ(Solve(FisherIds::SampleSize1), r.n) << r.p2;
    const std::string shown = s.entry(FisherIds::SampleSize1).ParamText;
    EXPECT_NEAR(pValueAt(r.n), r.pAt, 1e-6) << r.p2;
    EXPECT_NEAR(pValueAt(r.n - 1), r.pBelow, 1e-6) << r.p2;
    Set(FisherIds::SampleSize1, shown);
  }
}

// A 100 x 10 Fisher table: every cell has a size, and along each column the
// size never grows as Proportion 2* does.
TEST_F(Honest, FisherTableHasAValueInEveryCell) {
  d.Select(Procedure::FisherExact);
  d.SetForm(2, 2);
  d.ApplyOptions();
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(FisherIds::SampleSize1));
  s.XPosition = static_cast<std::int16_t>(PositionOf(FisherIds::Proportion2));
  s.ZPosition = static_cast<std::int16_t>(PositionOf(FisherIds::Proportion1));
  CatalogueEntry& x = s.entry(FisherIds::Proportion2);
  x.TableMin = "0.55";
  x.TableMax = "0.649";
  x.TableStep = "0.001";
  s.entry(FisherIds::Proportion1).ZValueText = "0.46 0.465 0.47 0.475 0.48 0.485 0.49 0.495 0.5 0.505";
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  EXPECT_EQ(s.RangeSummary, "");
  ASSERT_EQ(s.YValues.size(), 10u);
  for (const auto& column : s.YValues) {
    ASSERT_EQ(column.size(), 100u);
    for (std::size_t i = 0; i < column.size(); ++i) {
      ASSERT_TRUE(IsCalculated(column[i]));
      EXPECT_EQ(column[i], std::floor(column[i]));
      if (i > 0) {
        EXPECT_LE(column[i], column[i - 1]) << i;
      }
    }
  }
}

// Every module's traits: the criteria computed from whole counts (Fisher's
// exact test; the exact one-sample binomial, hypergeometric (also of a finite
// population's proportion) and Poisson-mean
// tests) solve their numbers of units in whole steps, and no other does.
TEST_F(Honest, WholeStepsExactlyWhereTheCriterionCountsWholeUnits) {
  int flagged = 0;
  for (const ProcedureRow& row : Procedures()) {
    d.Select(row.procedure);
    const bool distribution = row.menu == Menu::Distributions;
    const int choices = distribution ? static_cast<int>(s.dialog.parameterChoices.size()) : 1;
    for (int choice = 0; choice < choices; ++choice) {
      for (int samples = 1; samples <= 2; ++samples) {
        for (bool exact : {false, true}) {
          for (bool byPower : {false, true}) {
            d.Select(row.procedure);
            if (distribution) {
              d.SetParameterChoice(choice);
              d.SetProcedureKind(0);
            }
            if (s.dialog.samplesEnabled[static_cast<std::size_t>(samples - 1)]) d.SetSampleCount(samples);
            d.SetOption(option::ExactCalculation, exact);
            d.SetPlanByPower(byPower);
            d.ApplyOptions();
            const bool exactTest = s.optionChecked(option::ExactCalculation) && s.SampleCount == 1 &&
                                   (row.procedure == Procedure::BinomialDistribution ||
                                    row.procedure == Procedure::HypergeometricDistribution ||
                                    (row.procedure == Procedure::FinitePopulation && choice == 1) ||
                                    (row.procedure == Procedure::PoissonDistribution && choice == 0));
            for (int p = 2; p <= s.LastPosition; ++p) {
              s.UnknownPosition = static_cast<std::int16_t>(p);
              const std::string caption = CaptionAt(s, p);
              const bool units = (caption.rfind("Sample Size", 0) == 0 || caption == "Population Size") &&
                                 caption.find_first_of("/-") == std::string::npos;
              const bool expected = units && (row.procedure == Procedure::FisherExact || exactTest);
              EXPECT_EQ(d.CallTraits().wholeSteps, expected)
                  << ProcedureName(row.procedure) << " choice " << choice << " samples " << s.SampleCount
                  << (exact ? " exact" : "") << (byPower ? " by power" : "") << ": " << caption;
              flagged += expected;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(flagged, 10);
}

TEST(RangeSteps, ExactMultiplesOfTheStepNeverPastTheEnd) {
  struct Row {
    double min, max, step;
    std::size_t count;
    double last;
  };
  const Row rows[] = {
      {-0.3, 0.3, 0.05, 13, 0.3},
      {0.4, 0.40001, 0.000001, 11, 0.40001},
      {0.4, 0.40009, 0.000001, 91, 0.40009},
      {3, 3, 1, 1, 3},
      {0, 1, 0.1, 11, 1},
      {10, 2, -2, 5, 2},
  };
  for (const Row& r : rows) {
    const std::vector<double> xs = RangeSteps(r.min, r.max, r.step);
    ASSERT_EQ(xs.size(), r.count) << r.min << ":" << r.max << ":" << r.step;
    EXPECT_EQ(xs.back(), r.last);
  }
  const std::vector<double> xs = RangeSteps(-0.3, 0.3, 0.05);
  EXPECT_EQ(xs[6], 0.0);   // not -7.45E-09
  EXPECT_EQ(xs[7], 0.05);  // not 0.04999999
  EXPECT_EQ(RangeStepCount(0, 99, 0.99), 101);
  EXPECT_EQ(RangeSteps(0, 99, 0.99).size(), 100u);
}

TEST_F(Honest, AOnePointRangeComputesItsPoint) {
  d.Select(Procedure::UnpairedT);
  d.SetForm(2, 2);
  d.ApplyOptions();
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(StudentT::Ids::SampleSize1));
  s.XPosition = static_cast<std::int16_t>(PositionOf(StudentT::Ids::Sd));
  s.ZPosition = static_cast<std::int16_t>(PositionOf(StudentT::Ids::Mean2));
  CatalogueEntry& x = s.entry(StudentT::Ids::Sd);
  x.TableMin = x.TableMax = "1.2";
  x.TableStep = "1";
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  ASSERT_EQ(s.YValues.size(), 1u);
  // 2 * t.sf(0.1 / (1.2 sqrt(2 / n)), 2 n - 2) = 0.05 at n = 1107.55
  EXPECT_NEAR(s.YValues[0][0], 1107.5512562622869, 0.05);
  x.TableMin = "1.2.1";
  s.ResultsCurrent = false;
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Invalid);
  EXPECT_EQ(ui.LastText(), "Standard Deviation* (Xmin): \"1.2.1\" is not a number");
}

}  // namespace
}  // namespace pelmora
