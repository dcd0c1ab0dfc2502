// The simulated studies of one-way ANOVA.  The k groups draw their
// observations under the chosen data model with the residual standard
// deviation about means that have the assumed spread:
//   form 0 (the standard deviation of the means s_m): means equally spaced
//     about 0 whose standard deviation is s_m;
//   form 1 (the largest difference D to mean 1): mean 1 at 0, mean k at D,
//     the others half way (the least favourable configuration);
//   form 2 (the smallest difference d to mean 1): mean 1 at 0, all others
//     at d (the least favourable configuration);
//   a contrast of value c: the contrast of coefficients (-1, 1, 0, ..., 0),
//     mean 2 lying c sqrt(2) above mean 1 and the others at 0.
// Under H0 every mean is 0 (a contrast of two one-sided tests: the means of
// the equivalence limit nearer to the assumed value).  Each study is
// analysed at its observed sizes: the F statistic of the between- and
// within-group mean squares with its upper tail, or the contrast's t on the
// pooled standard deviation with (N - k) degrees of freedom, the module's
// tails and limits.
#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/anova.h"

namespace pelmora {

namespace {

// The most groups a simulated design may have.
constexpr double kMaxSimulatedGroups = 1000;

}  // namespace

std::unique_ptr<StudySimulator> Anova::MakeSimulator(const Session& s, const SimulationPlan& plan, std::string& why) {
  const AssumedDesign a = Assumed(s);
  const double k = a.k;
  if (!(k >= 2 && k <= kMaxSimulatedGroups) || k != std::floor(k)) {
    why = "the number of groups must be a whole number from 2 to 1000 to be simulated";
    return nullptr;
  }
  const auto groups = static_cast<std::size_t>(k);
  std::vector<double> means(groups, 0.0);
  if (!contrast_) {
    if (!plan.underH0) {
      if (form_ == 0) {
        // Equally spaced, i - (k - 1) / 2, scaled to the standard deviation s_m.
        const double spread = std::sqrt(k * (k + 1) / 12);
        for (std::size_t i = 0; i < groups; ++i)
          means[i] = a.effect * (static_cast<double>(i) - (k - 1) / 2) / spread;
      } else {
        for (std::size_t i = 1; i < groups; ++i) means[i] = form_ == 1 ? a.effect / 2.0 : a.effect;
        if (form_ == 1) means[groups - 1] = a.effect;
      }
    }
  } else {
    double c = a.effect;
    if (plan.underH0)
      c = tails_ != 3 ? 0.0 : std::fabs(c - a.left) <= std::fabs(c - a.right) ? a.left : a.right;
    means[1] = c * std::sqrt(2.0);
  }
  std::vector<ContinuousGroup> drawn;
  const double n = WholeSize(a.n);
  for (double m : means) drawn.push_back({m, a.sigma, n});

  const bool contrast = contrast_;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single left = a.left, right = a.right;
  GroupsPValue pValue = [contrast, sides, left, right](std::span<const GroupSummary> g) -> double {
    double total = 0, sum = 0, within = 0;
    for (const GroupSummary& x : g) {
      if (x.n < 1) return 1;
      total += x.n;
      sum += x.n * x.mean;
      within += (x.n - 1) * x.variance;
    }
    const double k = static_cast<double>(g.size()), df = total - k;
    if (!(df > 0)) return 1;
    const double residual = within / df;
    if (!(residual > 0)) return 1;
    if (!contrast) {
      const double grand = sum / total;
      double between = 0;
      for (const GroupSummary& x : g) between += x.n * (x.mean - grand) * (x.mean - grand);
      const double f = between / (k - 1) / residual;
      return 1.0f - FCdf(ToSingle(f), ToSingle(k - 1), ToSingle(df));
    }
    // The contrast value sum c_i m_i / sqrt(n sum c_i^2 / n_i), n the average
    // size, and its standard error sigma / sqrt(n).
    const double average = total / k;
    const double value = (g[1].mean - g[0].mean) / std::sqrt(average * (1 / g[0].n + 1 / g[1].n));
    const double se = std::sqrt(residual / average);
    return PValueT(sides, ToSingle(value), 0.0f, ToSingle(se), left, right, ToSingle(df));
  };
  return MakeContinuousSimulator(drawn, plan, std::move(pValue), why);
}

}  // namespace pelmora
