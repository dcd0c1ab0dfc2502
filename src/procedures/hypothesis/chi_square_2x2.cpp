#include "procedures/hypothesis/chi_square_2x2.h"

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

double ChiSquare2x2::EvaluateCriterion(const Session& s) {
  const FisherExactTest::Samples a = fisher_.AssumedSamples(s.ParameterValues);
  const Single se = TwoProportionSE(a.n1, a.n2, a.p1, a.p2, 0);
  const Single cc = continuityCorrection_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, a.p2 - a.p1, 0, se, 0, 0, cc)) - s.value(0);
}

}  // namespace pelmora
