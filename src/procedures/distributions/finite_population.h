// The finite-population sample distribution: sampling without replacement
// from a population of known size.  Its mean is served by the normal
// approximation with the finite-population correction 1 - n/N (FinitePopulationMean),
// its proportion by the hypergeometric sample distribution (HypergeometricDistribution).
// Neither has a point estimate.
#pragma once

#include <cstdint>
#include <string>

#include "procedures/procedure_module.h"

namespace pelmora {

class HypergeometricDistribution;

// The mean of a finite population by the normal approximation.  Unlike the
// other sample distributions its test has a criterion of its own, and that
// criterion is a power: the normal-approximation power at the error level
// minus the requested power.
class FinitePopulationMean : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test compares the power reached with the requested one.
  CriterionTraits Traits(const Session& s) const override;
  // The test's own normal-approximation power, that of its criterion.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Not simulated: the observations of a finite population have no model here.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t PValue = 0, Power = 1;
    static constexpr std::int16_t ConfidenceLevel = 22, ProbWidth = 101;
    static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, Width = 100;
    static constexpr std::int16_t H0Mean = 57, Mean = 58, MeanMinusH0 = 59, MeanOverH0 = 60;
    static constexpr std::int16_t H0Diff = 61, Diff = 62, Mean1 = 86, Mean2 = 87, Mean2OverMean1 = 88;
    static constexpr std::int16_t LeftLimit = 6, RightLimit = 7;
    static constexpr std::int16_t Sd = 2;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t PopulationSize = 31, PopulationSize1 = 196, PopulationSize2 = 197,
                                  PopulationSize2MinusSize1 = 198, PopulationSize2OverSize1 = 199;
  };

  // The finite-population standard error of the mean (one sample) or of the
  // difference of the means (two samples) at the current values.
  Single StandardError(const Session& s) const;

 private:
  void BuildTestList(Session& s, int& p);
  void BuildIntervalList(Session& s, int& p);
  // The assumed difference to the null value (two one-sided tests: the
  // assumed mean or difference itself).
  Single Difference(const Session& s) const;
  double TestCriterion(const Session& s) const;
  // The normal-approximation power of the test minus `requested`.
  double PowerBeyond(const Session& s, double requested) const;
  double IntervalCriterion(const Session& s) const;
  void NarrowSizes(const Session& s, double& lower, double& upper) const;

  // Flags copied by BuildParameterList.
  std::int16_t kind_ = 0;
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t meanMode_ = 0;
  std::int16_t size2Mode_ = 0;
  std::int16_t population2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int power_ = -1;  // the requested power of the test (position 2)
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the mean; two samples: the difference (test in mean mode 1, interval)
  int mean1_ = -1, mean2_ = -1;
  int limit_ = -1, sd_ = -1;
  int n1_ = -1, n2_ = -1, population1_ = -1, population2_ = -1;
};

// The finite-population entry of the menu: the mean (choice 0) or the
// proportion (choice 1), each entry point handed on to the module that
// serves it.
class FinitePopulationDistribution : public ProcedureModule {
 public:
  FinitePopulationDistribution(FinitePopulationMean& mean, HypergeometricDistribution& proportion) : mean_(mean), proportion_(proportion) {}

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  CriterionTraits Traits(const Session& s) const override;
  std::optional<double> EvaluatePower(const Session& s) override;
  // The mean is refused; a proportion is the hypergeometric distribution's.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  void OptionChanged(Session& s, std::int16_t optionId) override;
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  static constexpr std::int16_t kMean = 0, kProportion = 1;

 private:
  ProcedureModule& Served(const Session& s) const;

  FinitePopulationMean& mean_;
  HypergeometricDistribution& proportion_;
};

}  // namespace pelmora
