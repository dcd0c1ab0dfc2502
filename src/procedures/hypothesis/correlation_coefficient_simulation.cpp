// The simulated studies of the correlation coefficient test: pairs of
// bivariate normal observations (means 0, standard deviations 1) with the
// assumed correlation (two samples: each sample its own); under H0 the null
// coefficient, for two one-sided tests the equivalence limit nearer to the
// assumed coefficient on Fisher's z scale, and two samples both the first
// sample's coefficient.  Each study is analysed with the module's test of
// the observed coefficients r = Sxy / sqrt(Sxx Syy): Fisher's z against the
// null value with the standard error 1 / sqrt(n - 3) (two samples: z(r2) -
// z(r1) with sqrt(1 / (n2 - 3) + 1 / (n1 - 3))) at the observed sizes.
#include <algorithm>
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/simulated_data.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

std::unique_ptr<StudySimulator> CorrelationCoefficient::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                      std::string& why) {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const ZArguments design = Statistic(s);
  std::vector<double> rho, sizes;
  const double n1 = WholeSize(at(n1_));
  if (!twoSamples_) {
    double r = tails_ == 3 ? at(estimate_)
                           : ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), at(h0_), correlationMode_);
    if (plan.underH0)
      r = tails_ != 3 ? at(h0_)
          : std::fabs(design.x - design.left) <= std::fabs(design.x - design.right) ? at(left_) : at(right_);
    rho = {r};
    sizes = {n1};
  } else {
    const Single r1 = at(r1_);
    const Single r2 = ResolveRelativeValue(v, static_cast<std::int16_t>(r2_), r1, correlationMode_);
    rho = {r1, plan.underH0 ? r1 : r2};
    sizes = {n1, WholeSize(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_))};
  }
  std::vector<ObservedGroup> groups;
  for (std::size_t g = 0; g < rho.size(); ++g) {
    const std::optional<BivariateNormalSampler> pairs = BivariateNormalSampler::Create(0, 1, 0, 1, rho[g]);
    if (!pairs) {
      why = "the correlation coefficients must lie in [-1, 1] to be simulated";
      return nullptr;
    }
    SubjectDraw draw = [sampler = *pairs](RandomStream& stream, std::span<double> out) {
      for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        const ObservationPair pair = sampler(stream);
        out[i] = pair.x;
        out[i + 1] = pair.y;
      }
    };
    groups.push_back({std::move(draw), 2, sizes[g]});
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool two = twoSamples_;
  ObservationsPValue pValue = [design, sides, two](std::span<const std::span<const double>> x) -> double {
    // Fisher's z of the observed coefficient; nothing where it has none.
    auto observed = [](std::span<const double> pairs, double& n) -> std::optional<Single> {
      const PairSums sums = SumsOfPairs(pairs);
      n = sums.n;
      if (!(n > 3) || !(sums.sxx > 0) || !(sums.syy > 0)) return std::nullopt;
      // Rounding may carry a coefficient of pairs on a line just beyond 1.
      return FisherZ(ToSingle(std::clamp(sums.sxy / std::sqrt(sums.sxx * sums.syy), -1.0, 1.0)));
    };
    ZArguments z = design;
    double n1 = 0, n2 = 0;
    const std::optional<Single> z1 = observed(x[0], n1);
    if (!z1) return 1;
    if (!two) {
      z.x = *z1;
      z.se = ToSingle(1 / std::sqrt(n1 - 3));
    } else {
      const std::optional<Single> z2 = observed(x[1], n2);
      if (!z2) return 1;
      z.x = *z2 - *z1;
      z.se = ToSingle(std::sqrt(1 / (n2 - 3) + 1 / (n1 - 3)));
    }
    return PValueZ(sides, z);
  };
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

}  // namespace pelmora
