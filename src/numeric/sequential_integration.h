// The distribution of a group-sequential statistic look by look, by the
// recursive numerical integration of Armitage, McPherson and Rowe (1969) in
// the form of Jennison and Turnbull (2000), "Group Sequential Methods with
// Applications to Clinical Trials", chapter 19.
//
// Model: looks k = 1..L at information fractions 0 < t1 < ... < tL = 1; the
// standardised statistics Z_k have independent increments on the score
// scale S_k = Z_k sqrt(t_k): S_k - S_(k-1) is normal with mean theta (t_k -
// t_(k-1)) and variance t_k - t_(k-1), so that E Z_k = theta sqrt(t_k) and
// Cov(Z_j, Z_k) = sqrt(t_j / t_k).
//
// Method: the sub-density of S_k on the paths that continued through looks
// 1..k-1 is kept at nodes on the continuation region of look k: the mesh of
// their section 19.2 about the mean theta sqrt(t_k) of Z_k (spaced 3 / (2r)
// standard deviations within 3 of the mean, logarithmically beyond), trimmed
// to the region with its ends added, the midpoints between neighbours added,
// and Simpson's rule weights.  The next sub-density is the weighted sum of
// normal transition densities from those nodes; a probability at the next
// look is the weighted sum of normal tail probabilities (exact in the last
// step).  Three departures from their mesh, each for accuracy or speed at
// the same accuracy: r = 16 in the middle and 2r in the tails, where their
// wider spacing made the largest errors; r larger before a short increment
// of information, so that the transition density, narrower than the mesh
// otherwise, still spans as many nodes; and no nodes beyond 9 standard
// deviations, nor terms of the transition beyond 9 of its own.  Accuracy,
// against a uniform grid of step 0.01 and the multivariate normal
// distribution: about 1e-7 in every probability (a few 1e-8 typically),
// for any fractions whose increments exceed 1e-3 of the fraction.
//
// A Recursion holds one hypothesis (one theta); all its state is its own.
#pragma once

#include <span>
#include <vector>

namespace pelmora::sequential {

// r of the mesh: 2r/3 mesh points, 4r/3 nodes with the midpoints, per
// standard deviation near the mean; more before a short increment.
inline constexpr int kMeshDensity = 16;
inline constexpr int kMaxMeshDensity = 512;

// A closed interval of Z at one look; empty when lo >= hi.  Either end may be
// infinite.
struct Interval {
  double lo = 0, hi = 0;
};

class Recursion {
 public:
  // fractions: t_1..t_L, rising to 1 (checked by the caller).
  Recursion(std::span<const double> fractions, double theta);

  // The look whose probabilities Mass gives (0-based), L once past the last.
  int Look() const { return look_; }
  // P(the paths continue through the earlier looks and lo <= Z_look < hi).
  double Mass(double lo, double hi) const;
  // P(the paths reach this look).
  double Reaching() const;
  // Moves to the next look: the paths continue where Z_look lies in one of
  // the intervals (at most two, in rising order).
  void Advance(std::span<const Interval> region);

 private:
  std::span<const double> fractions_;
  double theta_;
  int look_ = 0;
  // The previous look's nodes on the score scale and their masses (weight
  // times sub-density); before the first look the point mass at 0.
  std::vector<double> nodes_{0.0}, masses_{1.0};
  std::vector<double> newNodes_, newMasses_;
  // Runs of evenly spaced old nodes [begin, end) with their step.
  struct Run {
    std::size_t begin, end;
    double step;
  };
  std::vector<Run> runs_;

  void FindRuns();
  // The sum over the old nodes s_j of their masses times exp(-(x - s_j)^2 /
  // (2 sd^2)).
  double Transition(double x, double sd) const;
};

}  // namespace pelmora::sequential
