// The simulated studies of the chi2 homogeneity test.  The design gives the
// effect w, the numbers of groups r and categories c and the average sample
// size, not the table itself, so the simulation takes one table of that w,
// the groups of the average size each.  It mixes the most uneven table D
// with its own category shares D(., j) (the column means of D):
//   group g's probabilities  (1 - t) D(., j) + t D(g, j),
// whose w is t times that of D.  D reaches the largest w of any table,
// sqrt(min(r, c) - 1): with r <= c the categories are dealt out in r blocks
// as equal as may be and each group spreads evenly over its own block; with
// r > c the groups are dealt out in c blocks and each group falls wholly in
// the category of its block.  So t = w / w_D, and a w above w_D is refused.
// Under H0 every group has the shares D(., j).  Each group's counts are
// multinomial among the subjects analysed (each missing at random with the
// dropout rate); each look's table is judged by the test's own statistic,
// Pearson's X of the observed table against the counts its margins lead to
// expect, in the upper tail of chi2 with (r - 1)(c - 1) degrees of freedom.
#include <cmath>

#include "numeric/distributions.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/chi_square_homogeneity.h"

namespace pelmora {

namespace {

constexpr double kMaxCells = 100;

// The most uneven table of r groups over c categories, row by row.
std::vector<double> UnevenTable(int r, int c) {
  std::vector<double> d(static_cast<std::size_t>(r * c), 0.0);
  if (r <= c) {
    // Group g spreads over the categories [g c / r, (g + 1) c / r).
    for (int g = 0; g < r; ++g) {
      const int first = g * c / r, end = (g + 1) * c / r;
      for (int j = first; j < end; ++j) d[static_cast<std::size_t>(g * c + j)] = 1.0 / (end - first);
    }
  } else {
    // Group g falls in the category of its block of groups.
    for (int g = 0; g < r; ++g) d[static_cast<std::size_t>(g * c + g * c / r)] = 1.0;
  }
  return d;
}

}  // namespace

std::unique_ptr<StudySimulator> ChiSquareHomogeneity::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                    std::string& why) {
  const double w = ToSingle(s.value(effect_));
  const double categories = s.value(categories_), groupCount = s.value(groups_);
  if (!(categories >= 2 && categories <= kMaxCells && categories == std::floor(categories)) ||
      !(groupCount >= 2 && groupCount <= kMaxCells && groupCount == std::floor(groupCount))) {
    why = "the numbers of categories and of groups must be whole numbers from 2 to 100 to be simulated";
    return nullptr;
  }
  const double n = WholeSize(ToSingle(s.value(averageSize_)));
  if (!(n >= 1 && n <= 1e8)) {
    why = "the average sample size must be from 1 to 100000000 to be simulated";
    return nullptr;
  }
  const int r = static_cast<int>(groupCount), c = static_cast<int>(categories);
  const std::vector<double> uneven = UnevenTable(r, c);
  std::vector<double> shares(static_cast<std::size_t>(c), 0.0);
  for (std::size_t k = 0; k < uneven.size(); ++k) shares[k % shares.size()] += uneven[k] / r;
  double squares = 0;
  for (std::size_t k = 0; k < uneven.size(); ++k) {
    const double share = shares[k % shares.size()], d = uneven[k] - share;
    squares += d * d / share / r;
  }
  const double most = std::sqrt(squares);
  if (!(w >= 0 && w <= most * (1 + 1e-6))) {
    why = "no table of " + std::to_string(r) + " groups over " + std::to_string(c) +
          " categories has a standard deviation of proportions above sqrt(min(groups, categories) - 1)";
    return nullptr;
  }
  const double t = plan.underH0 ? 0.0 : std::min(1.0, w / most);
  std::vector<double> probabilities(uneven.size());
  for (std::size_t k = 0; k < uneven.size(); ++k)
    probabilities[k] = (1 - t) * shares[k % shares.size()] + t * uneven[k];
  const std::vector<double> sizes(static_cast<std::size_t>(r), n);
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const double dropout = plan.dropout;
  const Single df = static_cast<Single>((r - 1) * (c - 1));
  StudyRoutine routine = [looks, probabilities, r, c, dropout, df,
                          counts = std::vector<std::int64_t>(probabilities.size()),
                          added = std::vector<std::int64_t>(static_cast<std::size_t>(c)),
                          rows = std::vector<double>(static_cast<std::size_t>(r)),
                          columns = std::vector<double>(static_cast<std::size_t>(c))](RandomStream& stream,
                                                                                       StudyOutcome& out) mutable {
    std::fill(counts.begin(), counts.end(), 0);
    const auto cells = static_cast<std::size_t>(c);
    for (std::size_t k = 0; k < looks.size(); ++k) {
      for (std::size_t g = 0; g < static_cast<std::size_t>(r); ++g) {
        const std::int64_t recruited = looks[k][g] - (k > 0 ? looks[k - 1][g] : 0);
        const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited, 1 - dropout) : recruited;
        DrawMultinomial(stream, kept, std::span<const double>(probabilities.data() + g * cells, cells), added);
        for (std::size_t j = 0; j < cells; ++j) counts[g * cells + j] += added[j];
      }
      std::fill(rows.begin(), rows.end(), 0.0);
      std::fill(columns.begin(), columns.end(), 0.0);
      double total = 0;
      for (std::size_t g = 0; g < rows.size(); ++g)
        for (std::size_t j = 0; j < cells; ++j) {
          const double x = static_cast<double>(counts[g * cells + j]);
          rows[g] += x;
          columns[j] += x;
          total += x;
        }
      double pearson = 0;
      for (std::size_t g = 0; g < rows.size() && total > 0; ++g)
        for (std::size_t j = 0; j < cells; ++j) {
          const double expected = rows[g] * columns[j] / total;
          if (expected <= 0) continue;
          const double d = static_cast<double>(counts[g * cells + j]) - expected;
          pearson += d * d / expected;
        }
      out.p[k] = total > 0 ? static_cast<double>(1 - ChiSquareCdf(static_cast<Single>(pearson), df)) : 1.0;
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
