// The binomial sample distribution: a proportion (one sample) or the
// difference of two proportions (two samples).  A test is the binomial test's
// own; a point estimate and a confidence interval use the normal approximation
// with an optional continuity correction, and their criterion is the precision
// or the limit that a study of the given size reaches minus the one asked for.
//
// NormalApproximateEstimate holds what the point estimates and confidence
// intervals of the binomial and the Poisson distributions share: their lists,
// checks, search intervals and criteria, which differ only in the variance of
// one observation (p (1 - p) of a proportion, the mean itself of a Poisson
// count).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "numeric/platform.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class BinomialProportions;

class NormalApproximateEstimate {
 public:
  enum class Quantity { Proportion, PoissonMean };

  // Catalogue ids that every estimate lists.
  struct Ids {
    static constexpr std::int16_t ErrorLevel = 143, AbsoluteError = 18, UpperAbsoluteError = 19;
    static constexpr std::int16_t ConfidenceLevel = 22, ProbWidthBelow = 101;
    static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, WidthOfInterval = 100;
  };

  // The catalogue ids of one procedure's quantities and the groups of its
  // second quantity and second size.
  struct Lists {
    Quantity quantity = Quantity::Proportion;
    std::int16_t pointOne = 0;                     // one sample, point estimate
    std::int16_t pointFirst = 0;                   // two samples, point estimate
    std::array<std::int16_t, 3> pointSecond{};     // by its form
    std::int16_t intervalOne = 0;                  // one sample, interval
    std::int16_t intervalFirst = 0;                // two samples, interval
    std::array<std::int16_t, 3> intervalSecond{};  // by its form
    std::int16_t size = 0, size1 = 0;
    std::array<std::int16_t, 3> size2{};  // by its form
    std::int16_t secondGroup = 0;
    std::int16_t size2Group = 0;
    // Sample sizes are counts kept above 2; study times only above their own bound.
    bool sizesAreCounts = true;
  };

  // The options and rows of a point estimate (kind 1) or an interval (kind 2).
  static void Offer(Session& s, const Lists& lists);
  // Lists the point estimate or the interval of the session's kind; a kind or
  // a number of tails without a list leaves positions 0 and 1 alone.
  void Build(Session& s, const Lists& lists);
  // Whether the last build made a list.
  bool listed() const { return kind_ != 0; }
  // The second quantity and the second size within their own bounds.
  bool Check(Session& s) const;
  void Narrow(const Session& s, double& lower, double& upper) const;
  double Criterion(const Session& s) const;
  // The simulator of the interval (a point estimate has none): binomial
  // successes or Poisson counts at the assumed values, and the module's
  // interval from each simulated study.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan) const;

  // The unknown is the base of a quantity entered at position q in form mode
  // whose absolute value must lie within [lo, hi]: the base keeps it there.
  static void NarrowBaseOfRelative(const Session& s, double& lower, double& upper, int q, double lo,
                                   double hi, std::int16_t mode);

 private:
  Single Variance(Single x) const { return lists_.quantity == Quantity::Proportion ? x * (1 - x) : x; }
  // The normal quantile of the point estimate's error level or of the
  // interval's confidence level at position 0.
  Single Quantile(const Session& s) const;
  // The half-width z se - cc is the criterion's own quantity (the point
  // estimate, or the width of an interval).
  bool HalfWidthCriterion() const { return kind_ == 1 || intervalKind_ == 2; }
  void NarrowBelowPeakVariance(const Session& s, double& upper) const;
  void NarrowBeyondPeakHalfWidth(const Session& s, double& lower) const;

  Lists lists_;
  std::int16_t kind_ = 0;  // 1 point estimate, 2 interval; 0 nothing listed
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  bool continuity_ = false;
  std::int16_t secondMode_ = 0;
  std::int16_t size2Mode_ = 0;
  std::int16_t intervalKind_ = 0;  // 0 lower limit, 1 upper limit, 2 width
  // Positions; -1 where the list has none.  One sample lists its quantity at
  // first_; a point estimate lists the error asked for at error_ (position 2).
  int error_ = -1, first_ = -1, second_ = -1, limit_ = -1, n1_ = -1, n2_ = -1;
};

class BinomialDistribution : public ProcedureModule {
 public:
  explicit BinomialDistribution(BinomialProportions& test) : test_(test) {}

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  // A test's checks are the binomial test's.
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // A test's power is BinomialProportions'; estimates have none.
  std::optional<double> EvaluatePower(const Session& s) override;
  // A test's simulator is BinomialProportions'; an interval's its own.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  // A test's traits are BinomialProportions'.
  CriterionTraits Traits(const Session& s) const override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;
  void OptionChanged(Session& s, std::int16_t optionId) override;

  // Catalogue ids of the point estimates and intervals.
  struct Ids {
    static constexpr std::int16_t PointProportion = 102, PointProportion1 = 103, PointProportion2 = 104,
                                  PointProportion2MinusProportion1 = 105,
                                  PointProportion2OverProportion1 = 106;
    static constexpr std::int16_t Proportion = 83, Proportion1 = 8, Proportion2 = 69,
                                  Proportion2MinusProportion1 = 52, Proportion2OverProportion1 = 70;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
  };

  // The name of the studied parameter in the description.
  static constexpr const char* kOneSampleName = "Proportion";
  static constexpr const char* kTwoSampleName = "Proportion2 - Proportion1";

 private:
  static const NormalApproximateEstimate::Lists& EstimateLists();

  BinomialProportions& test_;
  std::int16_t kind_ = 0;
  NormalApproximateEstimate estimate_;
};

}  // namespace pelmora
