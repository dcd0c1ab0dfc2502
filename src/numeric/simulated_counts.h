// Simulated counts: binomial, Poisson, hypergeometric and multinomial draws
// for the tests on proportions and counts.  Each draw costs a bounded amount
// of work whatever the number of trials, not one draw per trial.
//
// Methods.
//   Binomial     Boost.Random's binomial_distribution: inversion below a
//                mode of 11, above it the transformed rejection with
//                decomposition BTRD (Hormann, "The generation of binomial
//                random variates", Journal of Statistical Computation and
//                Simulation 46 (1993) 101-110); exact.
//   Poisson      Boost.Random's poisson_distribution: inversion below a mean
//                of 10, above it the transformed rejection PTRS (Hormann,
//                "The transformed rejection method for generating Poisson
//                random variables", Insurance: Mathematics and Economics 12
//                (1993) 39-45); exact.
//   Hypergeometric  inversion from the mode (Kemp, "A modal method for
//                generating binomial variables", Communications in
//                Statistics - Theory and Methods 15 (1986) 805-813, applied to
//                the hypergeometric probabilities): one uniform draw is
//                compared with the probabilities summed outward from the mode,
//                alternately below and above it, each from its neighbour by
//                the ratio of consecutive probabilities; the expected number
//                of steps is of the order of the standard deviation.  The
//                probability of the mode comes from log-factorials (exact sums
//                of logarithms up to 64, Stirling's series with five terms
//                above: relative error below 1e-15); their rounding leaves
//                the probabilities accurate to about 1e-9 relative for
//                populations up to 1e6, far below what a simulation detects.
//   Multinomial  conditional binomials (Davis, "The computer generation of
//                multinomial random variates", Computational Statistics & Data
//                Analysis 16 (1993) 205-217): the count of each category is
//                binomial among the trials not yet assigned, with the
//                category's share of the probability that remains.
//
// Domain guards: each routine gives 0 (the multinomial: all counts 0) for an
// argument outside its domain and draws nothing then; callers check their
// designs first.  Counts and trials range up to 2^31 - 1.
#pragma once

#include <cstdint>
#include <span>

#include "numeric/random_stream.h"

namespace pelmora {

inline constexpr std::int64_t kMaxSimulatedTrials = 2147483647;

// The number of successes in n independent trials of probability p
// (0 <= n <= kMaxSimulatedTrials, 0 <= p <= 1).
std::int64_t DrawBinomial(RandomStream& stream, std::int64_t n, double p);

// A Poisson count of the given mean (0 < mean <= kMaxSimulatedTrials).
std::int64_t DrawPoisson(RandomStream& stream, double mean);

// The number of successes among `draws` taken without replacement from a
// population of `population` that holds `successes` successes (0 <=
// successes, draws <= population <= kMaxSimulatedTrials).
std::int64_t DrawHypergeometric(RandomStream& stream, std::int64_t population, std::int64_t successes,
                                std::int64_t draws);

// The counts of n trials over the categories of the given probabilities
// (non-negative, finite, with a positive sum; divided by their sum), written
// to counts (of the same length).  The counts add up to n.
void DrawMultinomial(RandomStream& stream, std::int64_t n, std::span<const double> probabilities,
                     std::span<std::int64_t> counts);

// log(k!) for k >= 0, as the hypergeometric draws use it.
double LogFactorial(std::int64_t k);

}  // namespace pelmora
