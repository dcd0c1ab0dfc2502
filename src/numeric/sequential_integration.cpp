#include "numeric/sequential_integration.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric/noncentral.h"

namespace pelmora::sequential {

namespace {

// Beyond 9 standard deviations of the mean of Z_k its sub-density holds less
// than 1e-18; a transition density is below 3e-18 of its peak there.
constexpr double kReach = 9;

// The mesh about 0 in standard deviations, rising: that of Jennison and
// Turnbull section 19.2 for r in the middle (-3 + 3 (i - r) / (2r), i =
// r..5r); in the tails, where their spacing of 4 / r next to 3 standard
// deviations makes the largest errors, their logarithmic spacing for 2r
// (+-(3 + 4 ln(2r / i))), ending at +-kReach standard deviations.
std::vector<double> BuildMesh(int r) {
  std::vector<double> tail;
  for (int i = 2 * r - 1; i >= 1; --i) {
    double x = 3 + 4 * std::log(2.0 * r / i);
    if (x >= kReach) break;
    tail.push_back(x);
  }
  tail.push_back(kReach);
  std::vector<double> mesh;
  for (auto x = tail.rbegin(); x != tail.rend(); ++x) mesh.push_back(-*x);
  for (int i = r; i <= 5 * r; ++i) mesh.push_back(-3 + 3.0 * (i - r) / (2 * r));
  mesh.insert(mesh.end(), tail.begin(), tail.end());
  return mesh;
}

// r for the nodes of a look followed by an increment of `increment` in the
// fraction t: the transition density to the next look has the standard
// deviation w = sqrt(increment / t) in units of Z; below that of six equally
// spaced looks (sqrt(1/5)) r grows as 1 / w, so that as many nodes fall
// within it, up to kMaxMeshDensity.
int MeshDensity(double t, double increment) {
  double width = std::sqrt(increment / t);
  double r = std::ceil(kMeshDensity * std::sqrt(0.2) / width - 1e-9);
  return static_cast<int>(
      std::clamp(r, static_cast<double>(kMeshDensity), static_cast<double>(kMaxMeshDensity)));
}

// P(a <= N(0, 1) < b) with either end possibly infinite, without
// cancellation in either tail.
double NormalBetween(double a, double b) {
  if (b == INFINITY) return StandardNormalUpper(a);
  if (a == -INFINITY) return StandardNormalCdf(b);
  return StandardNormalBetween(a, b);
}

}  // namespace

Recursion::Recursion(std::span<const double> fractions, double theta)
    : fractions_(fractions), theta_(theta) {}

double Recursion::Reaching() const {
  double sum = 0;
  for (double m : masses_) sum += m;
  return sum;
}

double Recursion::Mass(double lo, double hi) const {
  if (look_ >= static_cast<int>(fractions_.size()) || !(lo < hi)) return 0;
  double t = fractions_[look_], root = std::sqrt(t);
  double increment = t - (look_ > 0 ? fractions_[look_ - 1] : 0.0);
  double sd = std::sqrt(increment), drift = theta_ * increment;
  double sum = 0;
  for (std::size_t j = 0; j < nodes_.size(); ++j) {
    double mean = nodes_[j] + drift;
    sum += masses_[j] * NormalBetween((lo * root - mean) / sd, (hi * root - mean) / sd);
  }
  return sum;
}

void Recursion::Advance(std::span<const Interval> region) {
  if (look_ >= static_cast<int>(fractions_.size())) return;
  static const std::vector<double> usualMesh = BuildMesh(kMeshDensity);
  std::vector<double> ownMesh;
  int r = look_ + 1 < static_cast<int>(fractions_.size())
              ? MeshDensity(fractions_[look_], fractions_[look_ + 1] - fractions_[look_])
              : kMeshDensity;
  if (r != kMeshDensity) ownMesh = BuildMesh(r);
  const std::vector<double>& mesh = r == kMeshDensity ? usualMesh : ownMesh;
  double t = fractions_[look_], root = std::sqrt(t), center = theta_ * root;
  double increment = t - (look_ > 0 ? fractions_[look_ - 1] : 0.0);
  double sd = std::sqrt(increment), drift = theta_ * increment;

  // Nodes and Simpson weights on the Z scale: each panel between neighbours
  // of the trimmed mesh gets its midpoint and the weights d/6, 4d/6, d/6.
  std::vector<double>& z = newNodes_;
  std::vector<double>& w = newMasses_;
  z.clear();
  w.clear();
  auto addPanel = [&](double a, double b) {
    double d = b - a;
    if (!(d > 0)) return;
    if (z.empty() || z.back() != a) {
      z.push_back(a);
      w.push_back(0);
    }
    w.back() += d / 6;
    z.push_back(0.5 * (a + b));
    w.push_back(4 * d / 6);
    z.push_back(b);
    w.push_back(d / 6);
  };
  for (const Interval& piece : region) {
    double lo = std::max(piece.lo, center + mesh.front());
    double hi = std::min(piece.hi, center + mesh.back());
    if (!(lo < hi)) continue;
    double previous = lo;
    auto first = std::upper_bound(mesh.begin(), mesh.end(), lo - center);
    for (auto it = first; it != mesh.end() && center + *it < hi; ++it) {
      addPanel(previous, center + *it);
      previous = center + *it;
    }
    addPanel(previous, hi);
  }

  // Masses at the new nodes on the score scale: weight times the sum over
  // the old nodes of their masses times the normal transition density.
  FindRuns();
  const double norm = root / (sd * std::sqrt(2 * std::numbers::pi));
  for (std::size_t i = 0; i < z.size(); ++i) {
    w[i] *= norm * Transition(z[i] * root - drift, sd);
    z[i] *= root;
  }
  nodes_.swap(z);
  masses_.swap(w);
  ++look_;
}

void Recursion::FindRuns() {
  runs_.clear();
  const std::size_t n = nodes_.size();
  for (std::size_t j = 0; j < n;) {
    std::size_t end = j + 1;
    if (end < n) {
      double step = nodes_[end] - nodes_[j];
      while (end + 1 < n && std::fabs(nodes_[end + 1] - nodes_[end] - step) <= 1e-10 * step) ++end;
      ++end;
    }
    runs_.push_back(
        {j, end, end - j > 1 ? (nodes_[end - 1] - nodes_[j]) / static_cast<double>(end - 1 - j) : 0});
    j = end;
  }
}

double Recursion::Transition(double x, double sd) const {
  // Only the old nodes within kReach standard deviations count.  Along a run
  // of step h, with d = h / sd and u_j = (x - s_j) / sd, the terms e_j =
  // exp(-u_j^2 / 2) follow e_(j+1) = e_j g_j, g_(j+1) = g_j exp(-d^2) with g_j =
  // exp(u_j d - d^2 / 2), and likewise downwards: from the node nearest the
  // peak the factors stay below 1, so the recurrence neither overflows nor
  // loses more than a few units of the last place over a run.
  const double inverseSd = 1 / sd, low = x - kReach * sd, high = x + kReach * sd;
  double sum = 0;
  for (const Run& run : runs_) {
    if (nodes_[run.end - 1] < low) continue;
    if (nodes_[run.begin] > high) break;
    std::size_t begin = run.begin, end = run.end;
    while (begin < end && nodes_[begin] < low) ++begin;
    while (end > begin && nodes_[end - 1] > high) --end;
    if (end - begin < 4) {
      for (std::size_t j = begin; j < end; ++j) {
        double u = (x - nodes_[j]) * inverseSd;
        sum += masses_[j] * std::exp(-0.5 * u * u);
      }
      continue;
    }
    double d = run.step * inverseSd, shrink = std::exp(-d * d);
    double nearest = std::round((x - nodes_[run.begin]) / run.step) + static_cast<double>(run.begin);
    std::size_t peak = static_cast<std::size_t>(
        std::clamp(nearest, static_cast<double>(begin), static_cast<double>(end - 1)));
    double u = (x - nodes_[peak]) * inverseSd, top = std::exp(-0.5 * u * u);
    double e = top, g = std::exp(u * d - 0.5 * d * d);
    for (std::size_t j = peak; j < end; ++j) {
      sum += masses_[j] * e;
      e *= g;
      g *= shrink;
    }
    e = top;
    g = std::exp(-u * d - 0.5 * d * d);
    for (std::size_t j = peak; j-- > begin;) {
      e *= g;
      g *= shrink;
      sum += masses_[j] * e;
    }
  }
  return sum;
}

}  // namespace pelmora::sequential
