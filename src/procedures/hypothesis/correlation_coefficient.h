// The test of a correlation coefficient (one sample) and of the difference of
// two correlation coefficients (two samples), on Fisher's z scale.  The
// criterion is the normal P-value of the z-transformed assumed coefficients
// minus the requested P-value.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

// Fisher's z-transform 0.5 ln((1 + r) / (1 - r)) in single precision; -99999
// for r = -1 and 99999 for r = 1, where the logarithm has no value.
Single FisherZ(Single r);

class CorrelationCoefficient : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Fisher's z of the estimate normal with unit variance around (z(r*) -
  // z(H0)) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Bivariate normal pairs with the assumed coefficients; see
  // correlation_coefficient_simulation.cpp.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Correlation = 185, Correlation = 186, CorrelationMinusH0 = 187,
                                  CorrelationOverH0 = 188;
    static constexpr std::int16_t Correlation1 = 190, Correlation2 = 191, Correlation2MinusCorrelation1 = 192,
                                  Correlation2OverCorrelation1 = 193;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 71, RightLimit = 72;
  };

 private:
  // The arguments of the test's PValueZ on Fisher's z scale.
  ZArguments Statistic(const Session& s) const;

  // Flags copied from the options and forms by BuildParameterList.
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t correlationMode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;      // one sample: the assumed coefficient in its form
  int r1_ = -1, r2_ = -1;  // two samples: the first coefficient, the second in its form
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
