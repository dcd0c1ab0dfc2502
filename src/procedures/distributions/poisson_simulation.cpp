// The simulated studies of the Poisson distribution.  Each sample's count is
// drawn from the Poisson distribution of its assumed mean times the number
// of subjects analysed (each subject missing at random with the dropout
// rate), or of its assumed rate times the study time (the time at risk,
// observed in full, the looks at their shares of it: a dropout rate is
// refused, as for the survival analysis test); under the null hypothesis one
// sample has the null mean (of two one-sided tests: the limit nearer the
// assumed one), and two samples the first sample's value plus the null
// difference.  The counts accumulated at each look are analysed by the
// test's own P-value: the exact Poisson P-value of the count where the
// design takes the exact path, else the normal approximation with the
// observed means.  Intervals are those of NormalApproximateEstimate.
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/poisson.h"
#include "procedures/distributions/sample_simulation.h"

namespace pelmora {

std::unique_ptr<StudySimulator> PoissonDistribution::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                   std::string& why) {
  if (rate_ && plan.dropout > 0) {
    // The study time is the time at risk analysed, as the survival analysis
    // test's times are: subjects lost to follow-up are already out of it.
    why = "the study time of a Poisson rate is the time at risk observed in full: a dropout rate does not apply";
    return nullptr;
  }
  if (kind_ != 0) return estimate_.MakeSimulator(s, plan);
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const NormalStatistic base = NormalPath(s);
  const bool exact = ExactPath(s), two = twoSamples_, rate = rate_, tost = tails_ == 3;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  // The assumed values and sizes.
  double m1 = 0, m2 = 0, n1 = at(n1_), n2 = 0;
  if (!two) {
    m1 = base.z.x;
    if (plan.underH0)
      m1 = !tost ? base.z.null
                 : std::fabs(m1 - base.z.left) <= std::fabs(m1 - base.z.right) ? base.z.left : base.z.right;
  } else {
    m1 = at(first_);
    m2 = ResolveRelativeValue(v, static_cast<std::int16_t>(second_), ToSingle(m1), estimateMode_);
    n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_);
    if (plan.underH0) {
      const double d = m2 - m1;
      m2 = m1 + (!tost ? base.z.null
                       : std::fabs(d - base.z.left) <= std::fabs(d - base.z.right) ? base.z.left : base.z.right);
    }
  }
  if (!(m1 >= 0) || !(m2 >= 0) || !(n1 > 0 && n1 <= 1e8) || (two && !(n2 > 0 && n2 <= 1e8))) {
    why = "the Poisson counts cannot be drawn with these means and sizes";
    return nullptr;
  }
  std::vector<double> sizes{rate ? n1 : WholeSize(n1)};
  if (two) sizes.push_back(rate ? n2 : WholeSize(n2));
  // Per look and sample: the subjects recruited, or the time observed.
  std::vector<std::vector<double>> exposure;
  std::vector<std::vector<std::int64_t>> looks;
  if (rate) {
    for (double f : plan.fractions) {
      exposure.emplace_back();
      looks.emplace_back();
      for (double t : sizes) {
        exposure.back().push_back(f * t);
        looks.back().push_back(static_cast<std::int64_t>(std::ceil(f * t - 1e-9)));
      }
    }
  } else {
    looks = RecruitedLookSizes(sizes, plan);
    for (const auto& look : looks) exposure.emplace_back(look.begin(), look.end());
  }
  const double dropout = plan.dropout;
  const std::array<double, 2> means{m1, m2};
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) {
    std::array<double, 2> analysed{}, count{};
    for (std::size_t k = 0; k < exposure.size(); ++k) {
      for (std::size_t g = 0; g < sizes.size(); ++g) {
        double added = exposure[k][g] - (k > 0 ? exposure[k - 1][g] : 0);
        if (!rate && dropout > 0)
          added = static_cast<double>(DrawBinomial(stream, static_cast<std::int64_t>(added), 1 - dropout));
        analysed[g] += added;
        count[g] += static_cast<double>(DrawPoisson(stream, added * means[g]));
      }
      if (analysed[0] <= 0 || (two && analysed[1] <= 0)) {
        out.p[k] = 1;
        continue;
      }
      NormalStatistic z = base;
      if (!two) {
        const Single n = ToSingle(analysed[0]);
        if (exact) {
          out.p[k] = PValuePoisson(sides, ToSingle(count[0]), n * base.z.null, n * base.z.left, n * base.z.right);
          continue;
        }
        z.z.x = ToSingle(count[0] / analysed[0]);
        z.z.cc = base.z.cc > 0 ? 1 / (2 * n) : 0.0f;
        if (tost) {
          z.seLeft = std::sqrt(z.z.left / n);
          z.seRight = std::sqrt(z.z.right / n);
        } else {
          z.z.se = std::sqrt(z.z.null / n);
        }
      } else {
        const Single a = ToSingle(analysed[0]), b = ToSingle(analysed[1]);
        const Single r1 = ToSingle(count[0] / analysed[0]), r2 = ToSingle(count[1] / analysed[1]);
        z.z.x = r2 - r1;
        z.z.cc = base.z.cc > 0 ? (1 / a + 1 / b) / 2 : 0.0f;
        if (tost) {
          z.seLeft = PoissonRateSE(a, b, r1, r2, z.z.left);
          z.seRight = PoissonRateSE(a, b, r1, r2, z.z.right);
        } else {
          z.z.se = PoissonRateSE(a, b, r1, r2, 0);
        }
      }
      const bool degenerate = tost ? !(z.seLeft > 0 && z.seRight > 0) : !(z.z.se > 0);
      out.p[k] = degenerate ? 1.0 : static_cast<double>(PValueZ(sides, z));
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
