// The common form of the tests of a scale parameter: one scale against a
// null value (chi-square of df x Scale*^p) or the ratio of two scales (F of
// (Scale 2* / Scale 1*)^p), with one or two tails or two one-sided tests.
// The tests of normal standard deviations (p = 2, the variance) and of
// exponential scales (p = 1) share the lists, checks and search intervals and
// differ in their catalogue ids and degrees of freedom.
#pragma once

#include <array>
#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class ScaleParameter : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // One sample: df x s^p is the assumed Scale*^p times a chi-square with df
  // degrees of freedom; two samples: the ratio is the assumed ratio times an
  // F with (df2, df1) degrees of freedom.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Observations of the chosen data model for a standard deviation (p = 2);
  // a scale test of another power overrides it (see
  // scale_parameter_simulation.cpp).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // The degrees of freedom of a sample of size n.
  virtual Single DegreesOfFreedom(Single n) const = 0;

 protected:
  // The catalogue ids and groups a scale test lists.
  struct ScaleIds {
    std::int16_t h0;                      // one sample: the null scale
    std::array<std::int16_t, 3> assumed;  // one sample: Scale*, Scale* - H0, Scale* / H0
    std::int16_t h0Ratio;                 // two samples: the null ratio
    std::int16_t ratio;                   // two samples: Scale 2* / Scale 1*
    std::int16_t first, second;           // two samples: Scale 1*, Scale 2*
    std::int16_t left, right;             // the equivalence limits
    std::int16_t oneSampleGroup, ratioGroup;
  };
  ScaleParameter(const ScaleIds& ids, int power) : ids_(ids), power_(power) {}
  // Reads the parameter choice that sets the degrees of freedom.
  virtual void ReadChoice(const Session& s) = 0;

 private:
  // The assumed scale (two samples: the ratio).
  Single Estimate(const Session& s) const;
  // The arguments of the test's P-value routine, all on the scale of the
  // statistic (raised to the power p): the statistic (one sample: df x
  // Scale*^p; two samples: the ratio^p), the null value, the limits, the
  // assumed Scale*^p (or ratio^p) and the degrees of freedom of each sample.
  struct RatioStatistic {
    Single statistic = 0, null = 0, left = 0, right = 0, assumed = 0, df1 = 0, df2 = 0;
  };
  RatioStatistic Statistic(const Session& s) const;
  // Two one-sided tests: a value of the estimate between the two at which
  // each one-sided P-value equals the requested one.
  double EquivalenceMiddle(const Session& s) const;
  // x^p.
  Single Power(Single x) const { return power_ == 2 ? x * x : x; }

  ScaleIds ids_;
  int power_;
  // Flags copied from the options and forms by BuildParameterList.
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t scaleMode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the scale; two samples in mode 1: the ratio
  int first_ = -1, second_ = -1;
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
