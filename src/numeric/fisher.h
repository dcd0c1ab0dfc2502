// Exact conditional probabilities of a 2 x 2 table of counts with fixed
// margins: the two one-sided tail probabilities of the count in the reference
// cell and the two-sided P-value of Fisher's exact test (the total probability
// of the tables that are not more probable than the observed one).
//
// Method.  With the margins fixed, every table is given by the count k of the
// reference cell (row 1, column 1), from max(0, c1 - r2) to min(r1, c1), and
// has the hypergeometric probability C(r1, k) C(r2, c1 - k) / C(n, c1).  The
// probabilities are built by the ratio of neighbouring tables,
//   P(k + 1) / P(k) = (r1 - k)(c1 - k) / ((k + 1)(r2 - c1 + k + 1)),
// starting with weight 1 at the mode and normalised by their sum, all in
// double precision: linear in the number of tables, free of overflow for any
// 16-bit margins, and accurate to a few units of double precision.  Tables
// whose probability equals the observed one within a relative 1e-7 count as
// not more probable, so that mirror-image tables of a symmetric margin are
// always counted together.
//
// Counts are 16-bit: margins and the grand total are summed with Add16, so a
// total beyond 32767 throws ArithmeticFault, as does a negative count.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "numeric/platform.h"

namespace pelmora {

// The counts by [row][column], both from 0.
using FisherTable = std::array<std::array<std::int16_t, 2>, 2>;

struct FisherProbabilities {
  Single upperTail = 1;  // P(X >= x) for the count x of the reference cell
  Single lowerTail = 1;  // P(X <= x)
  Single twoSided = 1;   // the sum over the tables with P <= P(observed)
};

FisherProbabilities FisherExact(const FisherTable& table);

// The probabilities of every table with row totals r1, r2 and the total c1
// of the reference column, by the count k of the reference cell from
// max(0, c1 - r2) up to min(r1, c1): the same weights and the same tie rule as
// FisherExact, in one pass over the margin (the running sums add in another
// order, which can move a result by a unit in the last place of a single at
// most).  Negative margins or c1 > r1 + r2 throw ArithmeticFault.
std::vector<FisherProbabilities> FisherExactMargin(std::int16_t r1, std::int16_t r2, std::int16_t c1);

}  // namespace pelmora
