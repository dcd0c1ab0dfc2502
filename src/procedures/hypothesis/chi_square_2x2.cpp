#include "procedures/hypothesis/chi_square_2x2.h"

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/proportions.h"

namespace pelmora {

void ChiSquare2x2::InitProcedure(Session& s) {
  fisher_.InitProcedure(s);
  OfferOption(s, option::ContinuityCorrection);
}

void ChiSquare2x2::BuildParameterList(Session& s) {
  fisher_.BuildParameterList(s);
  continuityCorrection_ = OfferedOptionChecked(s, 1);
}

ZArguments ChiSquare2x2::Statistic(const Session& s) const {
  const FisherExactTest::Samples a = fisher_.AssumedSamples(s.ParameterValues);
  ZArguments z;
  z.x = a.p2 - a.p1;
  z.se = TwoProportionSE(a.n1, a.n2, a.p1, a.p2, 0);
  z.cc = continuityCorrection_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;
  return z;
}

double ChiSquare2x2::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, Statistic(s))) - s.value(0);
}

std::optional<double> ChiSquare2x2::EvaluatePower(const Session& s) {
  const ZArguments z = Statistic(s);
  if (s.TailCount == 2) return PowerOfSquaredZTest(s.value(0), z.x, z.null, z.se, z.cc);
  return PowerOfZTest(Sides{s.TailCount, s.RejectInLeftTail}, s.value(0), z);
}

}  // namespace pelmora
