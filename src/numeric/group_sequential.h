// Group-sequential designs: the efficacy and futility bounds of every look,
// the probabilities of rejecting and of stopping at each look under the null
// hypothesis and under a drift, the power, the expected information, the
// drift that gives a power and the inflation factor.
//
// Model: L = interims + 1 analyses (1 to 6) at information fractions 0 < t1
// < ... < tL = 1 (equally spaced unless given); the standardised statistics
// Z_k have independent increments, Cov(Z_j, Z_k) = sqrt(t_j / t_k) and E Z_k =
// theta sqrt(t_k).  A one-sided test rejects at look k when Z_k >= c_k; a
// two-sided test when |Z_k| >= c_k, and its power counts the crossings on the
// side of the effect (Z_k >= c_k, theta > 0) only.
//
// Efficacy bounds (sequential_families.h): for the constant families C is
// found so that the probability of rejecting under H0 is alpha; for the
// spending families each look's bound is found so that the probability of
// rejecting through that look is f(t_k; alpha).  One-sided tests spend alpha
// on the side of the effect; two-sided tests have the symmetric bounds +-c_k,
// the spending function evaluated at the total alpha and each side spending
// half of it.
//
// Futility bounds (optional), by beta spending with a spending family at beta
// = 1 - power: at each interim the bound f_k is found so that the probability
// under theta of stopping for futility through look k is f(t_k; beta); at the
// last look the futility bound is the efficacy bound, and a futility bound
// above the efficacy bound is set to it.  One-sided tests stop for futility
// when Z_k < f_k, two-sided ones when |Z_k| < f_k.  Binding: the efficacy
// bounds are computed with the futility stops under H0; non-binding: as if
// there were no futility bounds (the probabilities of stopping and the power
// still count the futility stops).  Futility bounds depend on theta.
//
// Method: exact, by the recursive numerical integration of Armitage,
// McPherson and Rowe (1969) as set out by Jennison and Turnbull (2000),
// "Group Sequential Methods with Applications to Clinical Trials", chapter
// 19 (sequential_integration.h: the mesh of their section 19.2 with r = 16,
// about 21 nodes per standard deviation, and Simpson's rule); each bound by
// a bracketing root search (Brent) on the normal quantile of the probability
// it spends, which is monotone in the bound and nearly linear in it.
// Accuracy: bounds to about 1e-6; cumulative alpha, power and stopping
// probabilities to about 1e-7; expected fractions to about 2e-7.
//
// Domain: the plan is checked first (interims 0..5; fractions rising above 0
// to 1; sides 1 or 2; alpha in (0, 1); power in (0, 1) when futility bounds
// are asked; each family's parameter in its range); a bad plan gives a
// message naming what is wrong.  A drift that is not finite gives nothing.
// No exception leaves these routines, no result is NaN, and the caller's
// floating-point exception flags are left as they were.  A design is
// immutable once made: it may be shared by several threads.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "numeric/sequential_families.h"

namespace pelmora {

struct SequentialPlan {
  int interims = 0;               // 0..5: analyses = interims + 1
  std::vector<double> fractions;  // empty: equally spaced; else one per analysis, rising to 1
  int sides = 2;                  // 1 or 2
  double alpha = 0.05;            // the one-sided level, or the total two-sided level
  sequential::Family efficacy = sequential::Family::OBrienFleming;
  std::optional<double> efficacyParameter;                 // the family's default when empty
  sequential::Family futility = sequential::Family::None;  // None or a spending family
  std::optional<double> futilityParameter;
  bool binding = false;
  double power = 0.8;  // beta = 1 - power is what the futility bounds spend
};

struct SequentialLook {
  double fraction = 0;
  double efficacyZ = 0;               // c_k (two-sided: the bounds are +-c_k)
  double efficacyP = 0;               // nominal P-value bound: 1 - Phi(c_k), two-sided 2 (1 - Phi(c_k))
  std::optional<double> futilityZ;    // f_k; none without futility bounds
  double cumulativeAlpha = 0;         // alpha spent through this look (with the futility stops if binding)
  double rejectH0 = 0, rejectH1 = 0;  // rejecting at this look: H0 either side, the drift on its side
  double futilityH0 = 0, futilityH1 = 0;  // stopping for futility at this look
  double stopH0 = 0, stopH1 = 0;          // stopping at this look for any reason
};

struct SequentialResult {
  double theta = 0;
  std::vector<SequentialLook> looks;
  double power = 0;               // the sum of rejectH1
  double alphaH0 = 0;             // the sum of rejectH0 (below alpha with non-binding futility)
  double expectedFractionH0 = 0;  // expected fraction of the maximum information
  double expectedFractionH1 = 0;
};

// "" for a plan that can be designed, else a message naming what is wrong.
std::string CheckSequentialPlan(const SequentialPlan& plan);

struct SequentialDesignOutcome;

class SequentialDesign {
 public:
  // Checks the plan and computes what does not depend on the drift (the
  // efficacy bounds unless the futility bounds are binding).
  static SequentialDesignOutcome Make(const SequentialPlan& plan);

  int Analyses() const { return static_cast<int>(fractions_.size()); }
  const std::vector<double>& Fractions() const { return fractions_; }
  const SequentialPlan& Plan() const { return plan_; }
  // True when bounds change with the drift: the futility bounds, and with
  // binding ones the efficacy bounds too.
  bool BoundsDependOnDrift() const { return plan_.futility != sequential::Family::None; }
  // The efficacy bounds when they do not depend on the drift (no futility
  // bounds, or non-binding ones), else empty.
  const std::vector<double>& EfficacyBounds() const { return efficacy_; }

  // The power at the drift theta: one pass of the recursion when the bounds
  // are fixed; with futility bounds, the pass that finds them.
  std::optional<double> Power(double theta) const;
  // Everything about the design at the drift theta.
  std::optional<SequentialResult> Evaluate(double theta) const;
  // The drift whose power is `power` (in (0, 1)), by a root search on theta.
  std::optional<double> DriftForPower(double power) const;
  // R = (theta / (z(1 - a) + z(power)))^2, theta the drift for that power
  // and a = alpha (one-sided) or alpha / 2 (two-sided); nothing unless
  // power > a.
  std::optional<double> InflationFactor(double power) const;

  struct Bounds;  // bounds of every look at one drift (group_sequential.cpp)

 private:
  SequentialDesign() = default;
  Bounds BoundsAt(double theta) const;

  SequentialPlan plan_;
  std::vector<double> fractions_;
  std::vector<double> efficacy_;  // drift-free bounds and what they spend
  std::vector<double> cumulativeAlpha_;
};

struct SequentialDesignOutcome {
  std::optional<SequentialDesign> design;
  std::string error;  // "" when design holds
};

}  // namespace pelmora
