// The Poisson sample distribution: a mean (counts per unit, over a number of
// units) or a hazard rate (events per unit of time, over a study time), of one
// sample or as the difference of two.  It carries its own test: the exact
// Poisson P-value of the expected count for one sample of at most 1000
// expected events when asked for, the normal approximation otherwise.  A
// point estimate and a confidence interval use the normal approximation as
// the binomial distribution does, with the Poisson standard error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "numeric/platform.h"
#include "numeric/power.h"
#include "procedures/distributions/binomial.h"
#include "procedures/procedure_module.h"

namespace pelmora {

// The standard error of the difference of two Poisson rates observed over the
// sizes n1 and n2: pooled, sqrt((1/n1 + 1/n2) (n1 rate1 + n2 rate2)/(n1 + n2)),
// when the hypothesised difference is 0, otherwise sqrt(rate1/n1 + rate2/n2).
Single PoissonRateSE(Single n1, Single n2, Single rate1, Single rate2, Single difference);

class PoissonDistribution : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test: exact, the Poisson probabilities of the counts whose P-value is
  // at most alpha; on the normal path the statistic around (estimate - H0) /
  // se with the test's own standard error.  Estimates have none.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Poisson counts of the design's samples (or study times), analysed by the
  // test's own P-value or the interval's own limits.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  // The exact test of a mean solves its sample size in whole units.
  CriterionTraits Traits(const Session& s) const override;

  // Catalogue ids, by parameter choice where the mean and the hazard rate differ.
  struct Ids {
    // Tests.
    static constexpr std::int16_t H0Mean = 161, Mean = 162, MeanMinusH0 = 59, MeanOverH0 = 60;
    static constexpr std::int16_t H0Rate = 63, Rate = 81, RateMinusH0 = 43, RateOverH0 = 44;
    static constexpr std::int16_t H0MeanDifference = 61, Mean1 = 168, Mean2 = 169, Mean2MinusMean1 = 62,
                                  Mean2OverMean1 = 88;
    static constexpr std::int16_t H0RateDifference = 64, Rate1 = 9, Rate2 = 73, Rate2MinusRate1 = 65,
                                  Rate2OverRate1 = 74;
    // Equivalence limits of one mean or rate (0.30, 0.70) and of a difference (-0.30, 0.30).
    static constexpr std::int16_t LeftLimit = 166, RightLimit = 167;
    static constexpr std::int16_t LeftDifferenceLimit = 77, RightDifferenceLimit = 78;
    // Sizes: a number of units for the mean, a study time for the hazard rate.
    static constexpr std::int16_t SampleSize = 163, SampleSize1 = 164, SampleSize2 = 165,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t StudyTime = 170, StudyTime1 = 171, StudyTime2 = 172,
                                  StudyTime2MinusTime1 = 173, StudyTime2OverTime1 = 174;
    // Point estimates.
    static constexpr std::int16_t PointMean = 175, PointMean1 = 176, PointMean2 = 177,
                                  PointMean2MinusMean1 = 178, PointMean2OverMean1 = 179;
    static constexpr std::int16_t PointRate = 180, PointRate1 = 181, PointRate2 = 182,
                                  PointRate2MinusRate1 = 183, PointRate2OverRate1 = 184;
    // Intervals: one sample "&Mean*" / "&Hazard Rate*", two samples "&Mean*" /
    // "&Hazard Rate 1*", the second value as in the tests.
  };

  // One sample's expected count up to which the exact test is used when it is chosen.
  static constexpr Single kExactLimit = 1000;

 private:
  // The test (kind 0).
  void InitTest(Session& s) const;
  void BuildTestList(Session& s);
  bool CheckTestParameters(Session& s) const;
  void NarrowTest(const Session& s, double& lower, double& upper) const;
  double TestCriterion(const Session& s) const;
  std::optional<double> TestPower(const Session& s) const;
  // One sample: the assumed count n lambda, and n times the null value and
  // the limits.
  struct Counts {
    Single assumed, null, left, right;
  };
  Counts ExactCounts(const Session& s) const;
  // One sample with "Exact Calculation" ticked and an assumed count of at
  // most 1000: the exact Poisson P-value.
  bool ExactPath(const Session& s) const;
  // Otherwise the normal statistic: one sample with the standard error under
  // H0 (two one-sided tests: at each limit); two samples with PoissonRateSE.
  NormalStatistic NormalPath(const Session& s) const;
  // The absolute bounds of the assumed value (one sample) or of the second value.
  const CatalogueEntry& EstimateBounds(const Session& s) const;

  static const NormalApproximateEstimate::Lists& EstimateLists(int choice);

  std::int16_t kind_ = 0;
  bool rate_ = false;  // the hazard rate rather than the mean
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t estimateMode_ = 0;
  std::int16_t size2Mode_ = 0;
  bool continuity_ = false;
  bool exact_ = false;
  // Positions of the test's list; -1 where it has none.  One sample lists its
  // assumed value at first_.
  int h0_ = -1, left_ = -1, right_ = -1, first_ = -1, second_ = -1, n1_ = -1, n2_ = -1;
  NormalApproximateEstimate estimate_;
};

}  // namespace pelmora
