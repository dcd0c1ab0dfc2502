// The normal sample distribution: the mean with the standard deviation known
// or unknown, and the standard deviation with the mean known or unknown, for
// one sample or the comparison of two.  A test is handed on to the z test, the
// t-test or the tests of standard deviations; the point estimates and
// confidence intervals are the module's own.
//
// What it shares with the log-normal distribution, whose median is a normal
// mean on the log scale, lives in NormalFamilyDistribution.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "procedures/procedure_module.h"

namespace pelmora {

class NormalZ;
class StandardDeviation;
class StudentT;

// A sample distribution of the normal family: every entry point of the kind
// "Test" goes to the test module of the parameter choice; "Point Estimate"
// and "Conf. Interval" have their own lists and criteria.  The list and the
// criterion of a location (a mean, or a log median) estimated with a spread
// (a standard deviation, or a shape) are built here.
class NormalFamilyDistribution : public ProcedureModule {
 public:
  void InitProcedure(Session& s) final;
  void BuildParameterList(Session& s) final;
  bool CheckParameters(Session& s) final;
  void SetSearchInterval(Session& s, double& lower, double& upper) final;
  double EvaluateCriterion(const Session& s) final;
  // A test's power is its test module's; estimates have none.
  std::optional<double> EvaluatePower(const Session& s) final;
  // The test's simulator, or that of a confidence interval (a point estimate
  // has none).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) final;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;
  void OptionChanged(Session& s, std::int16_t optionId) final;
  // The grid of a two-group confidence interval with a pooled spread; a test
  // hands its grid on.
  bool OpenGroupGrid(Session& s, int row) final;
  bool CheckGroupGrid(Session& s, int row, int column) final;
  Single ApplyGroupGrid(Session& s) final;

  // The spreads of the two groups of the last grid entry.
  Single GridSpread1() const { return gridSpreads_[0]; }
  Single GridSpread2() const { return gridSpreads_[1]; }

  // Catalogue ids that both distributions list.
  struct CommonIds {
    static constexpr std::int16_t ErrorLevel = 143, ConfidenceLevel = 22, ProbWidth = 101;
    static constexpr std::int16_t UpperAbsoluteError = 19, AbsoluteError = 18;
    static constexpr std::int16_t UpperRelativeError = 24, RelativeError = 23;
    static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, Width = 100;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t DegreesOfFreedom = 36, NoOfGroups = 17;
  };

  static constexpr int kTest = 0, kPointEstimate = 1, kConfInterval = 2;

 protected:
  // The ids of the spreads a list shows: `single` for one sample and for a
  // spread common to two samples, `first` and `second` (value, difference,
  // ratio) when each sample has its own.
  struct SpreadIds {
    std::int16_t single;
    std::int16_t first;
    std::array<std::int16_t, 3> second;
  };

  // The test module of the session's parameter choice.
  virtual ProcedureModule& TestModule(const Session& s) = 0;
  // The rows and options of a point estimate or an interval.
  virtual void OfferEstimateChoices(Session& s) = 0;
  // The list of a point estimate or an interval, between StartList and EndList.
  virtual void BuildEstimateList(Session& s) = 0;
  virtual double EstimateCriterion(const Session& s) const = 0;
  // The caption of the chosen procedure, for the description.
  virtual std::string ProcedureCaption(const Session& s) const = 0;
  // The heading of the spread column of the grid.
  virtual const char* GridSpreadHeading() const = 0;
  // The location is the logarithm of the listed estimate (a median or a
  // ratio of medians) and the spread that of the logarithms.
  virtual bool LogScale() const { return false; }

  // Offers the options "&Degrees Of Freedom" and "&No Of Groups In ANOVA",
  // and for two samples `unequalOption`, whose tick makes the second spread
  // a row of its own (`spread2Group`); then the sample-size-2 row and, for an
  // interval, the "Conf.Interval" row.
  static void OfferEstimatedSpread(Session& s, std::int16_t unequalOption, std::int16_t spread2Group);
  // A known spread, or none: two samples offer `spread2Group` (unless it is
  // negative) and the sample-size-2 row; an interval offers the
  // "Conf.Interval" row.
  static void OfferKnownSpread(Session& s, std::int16_t spread2Group);

  // Copies the kind, samples, tails and forms, and writes positions 0 and 1:
  // "Error &Level" for a point estimate (position 1, which no window row
  // shows, keeps its own id), "Confidence &Level" and "&Prob ( Width Of
  // Interval < w )" for an interval.
  void StartList(Session& s);
  // Appends an entry and returns its position.
  int Put(Session& s, std::int16_t id);
  // A point estimate's error: absolute or relative, upper for one tail.
  void PutError(Session& s, bool relative);
  // An interval's assumed estimate and the limit or width it is to reach.
  void PutInterval(Session& s, std::int16_t estimateId);
  // The spreads by `separate_` and the form of the second.
  void PutSpreads(Session& s, const SpreadIds& ids);
  void PutSizes(Session& s);
  // "Degrees Of &Freedom" or "&No Of Groups", each at a position of its own.
  void PutDegreesOfFreedom(Session& s);
  void EndList(Session& s);
  // Reads the options of an estimated spread: given df, ANOVA groups, and
  // for two samples separate spreads.
  void ReadSpreadOptions(const Session& s);

  Single At(const Session& s, int p) const;
  // The standard error of the location estimate and, for an estimated
  // spread, its degrees of freedom.
  void StandardError(const Session& s, Single& se, Single& df) const;
  // The quantile with the upper-tail probability `upper`: the normal one
  // (UpperNormalQuantile), or for an estimated spread Student's with df at
  // 1 - upper.
  Single Quantile(Single upper, Single df) const;
  // The upper-tail probability of the quantile of a point estimate: alpha for
  // one tail, alpha / 2 for two.
  Single ErrorProbability(const Session& s) const;
  // The upper-tail probability of the upper quantile of a two-sided interval:
  // (1 - level) / 2.
  Single IntervalProbability(const Session& s) const;
  // The lower limit, the upper limit or the width, as the interval kind asks.
  Single ChosenQuantity(Single lower, Single upper, Single width) const;

  // Flags copied by BuildParameterList.
  std::int16_t kind_ = kTest;
  std::int16_t choice_ = 0;
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t size2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  bool estimatedSpread_ = false;
  bool separate_ = false;
  bool dfGiven_ = false;
  bool groups_ = false;
  std::int16_t spread2Mode_ = 0;
  std::int16_t spread2Id_ = 0;  // the second spread as a value, whose limits bound its other forms
  bool notAvailable_ = false;
  // Positions of the listed quantities; -1 where the list has none.
  int error_ = -1, estimate_ = -1, limit_ = -1;
  int spread_ = -1, spread2_ = -1;
  int n1_ = -1, n2_ = -1;
  int df_ = -1, k_ = -1;

 private:
  // The test module of the list in force; null for an estimate or interval.
  ProcedureModule* handedOn_ = nullptr;
  int next_ = 2;
  std::array<Single, 2> gridSpreads_{};
};

class NormalDistribution : public NormalFamilyDistribution {
 public:
  NormalDistribution(NormalZ& nor, StudentT& stud, StandardDeviation& s2) : nor_(nor), stud_(stud), s2_(s2) {}

  static constexpr std::int16_t kMeanSdKnown = 0, kMeanSdUnknown = 1, kSdMeanKnown = 2, kSdMeanUnknown = 3;

  // Catalogue ids of the parameters the estimates and intervals list.
  struct Ids : CommonIds {
    static constexpr std::int16_t Mean = 58, Diff = 62;
    static constexpr std::int16_t Sd = 2, Sd1 = 216, Sd2 = 217, Sd2MinusSd1 = 218, Sd2OverSd1 = 219;
    static constexpr std::int16_t SdStar = 111, Sd1Star = 139, Sd2Star = 140, Sd2StarMinusSd1Star = 231,
                                  Sd2StarOverSd1Star = 115;
    static constexpr std::int16_t SdRatio = 115;  // "Std.&Dev.2* / Std.Dev.1*", the estimated ratio
  };

  // The caption of procedure `choice` for one or two samples and a kind.
  static std::string Caption(int choice, int samples, int kind);

 protected:
  ProcedureModule& TestModule(const Session& s) override;
  void OfferEstimateChoices(Session& s) override;
  void BuildEstimateList(Session& s) override;
  double EstimateCriterion(const Session& s) const override;
  std::string ProcedureCaption(const Session& s) const override;
  const char* GridSpreadHeading() const override { return "StDev"; }

 private:
  // The criteria of a standard deviation (two samples: of their ratio).
  double StdDevCriterion(const Session& s) const;

  NormalZ& nor_;
  StudentT& stud_;
  StandardDeviation& s2_;
};

}  // namespace pelmora
