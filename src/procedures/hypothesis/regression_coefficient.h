// The test of the slope of a simple linear regression (one sample) and of the
// difference of two slopes (two samples).  The criterion is the t P-value of
// the assumed coefficients minus the requested P-value.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class RegressionCoefficient : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Noncentral t with df n - 2 (two samples: n1 + n2 - 4) and noncentrality
  // (b* - H0) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // A normal covariate and normal residuals about the assumed slopes; see
  // regression_coefficient_simulation.cpp.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Coefficient = 203, Coefficient = 204, CoefficientMinusH0 = 205,
                                  CoefficientOverH0 = 206;
    static constexpr std::int16_t H0Diff = 207, Coefficient1 = 208, Coefficient2 = 209, Diff = 210,
                                  Coefficient2OverCoefficient1 = 211;
    static constexpr std::int16_t ResidualSd = 212, CovariateSd = 213, CovariateSd1 = 214, CovariateSd2 = 215,
                                  CovariateSd2MinusSd1 = 221, CovariateSd2OverSd1 = 222;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 6, RightLimit = 7;
  };

 private:
  // The standard error of the estimate and the degrees of freedom.
  void ErrorAndDegrees(const Session& s, Single& se, Single& df) const;
  // The assumed difference of the coefficients (one sample: the coefficient)
  // and the null value.
  void Estimate(const Session& s, Single& estimate, Single& null) const;

  // Flags copied from the options and forms by BuildParameterList.
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t coefficientMode_ = 0;
  std::int16_t covariateSd2Mode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the coefficient; two samples in mode 1: the difference
  int b1_ = -1, b2_ = -1;
  int sd_ = -1, sx1_ = -1, sx2_ = -1;
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
