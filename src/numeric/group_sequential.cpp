#include "numeric/group_sequential.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <sstream>

#include "numeric/bracket_root.h"
#include "numeric/fault_guard.h"
#include "numeric/normal_quantile.h"
#include "numeric/sequential_integration.h"

namespace pelmora {

using sequential::Family;
using sequential::Interval;
using sequential::Recursion;

// Bounds of every look at one drift; a futility bound of -infinity is none.
struct SequentialDesign::Bounds {
  std::vector<double> efficacy, futility, cumulativeAlpha;
  double power = 0;  // found with the futility bounds
};

namespace {

using Bounds = SequentialDesign::Bounds;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kFar = 40;           // no probability of double precision is left beyond |z| = 40
constexpr double kSmallest = 1e-300;  // the smallest probability a quantile is taken of
constexpr double kTolerance = 1e-10;  // of every bound, constant and drift found

double UpperZ(double p) { return StandardNormalUpperQuantile(std::max(p, kSmallest)); }
double LowerZ(double p) { return StandardNormalQuantile(std::max(p, kSmallest)); }

// Brent's root search on [a, b], f(a) and f(b) of opposite signs, to the
// tolerance of every bound.
template <class F>
double Brent(F f, double a, double b, double fa, double fb) {
  return BracketRoot(f, a, b, fa, fb, 0.0, kTolerance, 200).root;
}

// The zero of an increasing h in [lowest, highest], searched from [lo, hi]
// outwards in doubling steps; an end of the range when h keeps its sign.
template <class H>
double SolveIncreasing(H h, double lo, double hi, double lowest, double highest) {
  lo = std::clamp(lo, lowest, highest);
  hi = std::clamp(hi, lo, highest);
  double step = std::max(hi - lo, 0.25);
  double fhi = h(hi), flo;
  if (fhi < 0) {
    do {
      if (hi >= highest) return highest;
      lo = hi;
      flo = fhi;
      hi = std::min(highest, hi + step);
      step *= 2;
      fhi = h(hi);
    } while (fhi < 0);
  } else {
    flo = h(lo);
    while (flo > 0) {
      if (lo <= lowest) return lowest;
      hi = lo;
      fhi = flo;
      lo = std::max(lowest, lo - step);
      step *= 2;
      flo = h(lo);
    }
  }
  if (flo == 0) return lo;
  if (fhi == 0) return hi;
  return Brent(h, lo, hi, flo, fhi);
}

// Where the paths continue after a look with efficacy bound c and futility
// bound f.
struct Region {
  std::array<Interval, 2> parts;
  std::size_t count = 1;
  std::span<const Interval> View() const { return {parts.data(), count}; }
};
Region Continuation(int sides, double c, double f) {
  if (sides == 1) return {{Interval{f, c}}, 1};
  if (f > 0) return {{Interval{-c, -f}, Interval{f, c}}, 2};
  return {{Interval{-c, c}}, 1};
}

double Rejection(const Recursion& rec, int sides, double c) {
  return rec.Mass(c, kInf) + (sides == 2 ? rec.Mass(-kInf, -c) : 0.0);
}
double FutilityMass(const Recursion& rec, int sides, double f) {
  return sides == 2 ? rec.Mass(-f, f) : rec.Mass(-kInf, f);
}

// The efficacy bound that rejects with probability `target` at this look.
// It lies below the bound of the unconditional statistic, z(1 - target /
// sides).
double SolveEfficacy(const Recursion& rec, int sides, double target) {
  if (!(target > kSmallest)) return kFar;
  double z = UpperZ(target / sides);
  auto h = [&](double c) { return UpperZ(Rejection(rec, sides, c) / sides) - z; };
  double start = std::min(z, kFar);
  return SolveIncreasing(h, start - 0.25, start, sides == 2 ? 0 : -kFar, kFar);
}

// The futility bound that stops with probability `target` at this look, at
// most the efficacy bound.  It lies above the bound of the unconditional
// statistic, whose mean is `mean`.
double SolveFutility(const Recursion& rec, int sides, double mean, double target, double efficacy) {
  if (!(target > kSmallest)) return -kInf;
  double z = LowerZ(target);
  double lowest = sides == 2 ? 0 : -kFar;
  auto h = [&](double f) { return LowerZ(FutilityMass(rec, sides, f)) - z; };
  double start = std::clamp((sides == 2 ? std::fabs(mean) : mean) + z, lowest, efficacy);
  return SolveIncreasing(h, start, start + 0.25, lowest, efficacy);
}

// How each look's efficacy bound is found: given, or solved so that the
// alpha spent through the look reaches its target.
struct EfficacyRule {
  std::vector<std::optional<double>> fixed;
  std::vector<double> target;
  explicit EfficacyRule(std::size_t looks) : fixed(looks), target(looks) {}
};

// The bounds look by look under the rule, with the futility bounds at the
// drift theta when `futility`.  The alpha spent is followed under H0 when a
// bound is solved for, with binding futility bounds, or without futility.
Bounds SolveBounds(const SequentialPlan& plan, std::span<const double> t, const EfficacyRule& rule,
                   double theta, bool futility) {
  const std::size_t looks = t.size();
  const int sides = plan.sides;
  const bool binding = futility && plan.binding;
  const bool useH0 = binding || !futility || std::ranges::any_of(rule.fixed, [](auto& c) { return !c; });
  const double beta = 1 - plan.power, futilityParameter = plan.futilityParameter.value_or(0);
  Recursion h0(t, 0), h1(t, theta);
  Bounds b{std::vector<double>(looks), std::vector<double>(looks, -kInf), std::vector<double>(looks)};
  double spentAlpha = 0, spentBeta = 0;
  for (std::size_t k = 0; k < looks; ++k) {
    double c = rule.fixed[k] ? *rule.fixed[k] : SolveEfficacy(h0, sides, rule.target[k] - spentAlpha);
    if (useH0) spentAlpha += Rejection(h0, sides, c);
    b.cumulativeAlpha[k] = spentAlpha;
    double f = -kInf;
    if (futility) {
      if (k + 1 == looks) {
        f = c;
      } else {
        double target = sequential::Spent(plan.futility, futilityParameter, beta, t[k]) - spentBeta;
        f = std::min(SolveFutility(h1, sides, theta * std::sqrt(t[k]), target, c), c);
        spentBeta += FutilityMass(h1, sides, f);
      }
      b.power += h1.Mass(c, kInf);
    }
    b.efficacy[k] = c;
    b.futility[k] = f;
    if (k + 1 == looks) break;
    Region region = Continuation(sides, c, f);
    if (useH0) h0.Advance(binding ? region.View() : Continuation(sides, c, -kInf).View());
    if (futility) h1.Advance(region.View());
  }
  return b;
}

// The efficacy bounds of the plan's family (with the futility bounds at
// theta when `futility`): for a constant family C by a root search on the
// alpha spent, which falls as C rises; C lies between z(1 - alpha / sides)
// and the Bonferroni bound z(1 - alpha / (sides L)).
Bounds DesignBounds(const SequentialPlan& plan, std::span<const double> t, double theta, bool futility) {
  const std::size_t looks = t.size();
  const double parameter = plan.efficacyParameter.value_or(0);
  EfficacyRule rule(looks);
  double delta = -1;  // of the constant families
  switch (plan.efficacy) {
    case Family::OBrienFleming:
      delta = 0;
      break;
    case Family::Pocock:
      delta = 0.5;
      break;
    case Family::WangTsiatis:
      delta = parameter;
      break;
    case Family::HaybittlePeto:
      for (std::size_t k = 0; k + 1 < looks; ++k) rule.fixed[k] = parameter;
      rule.target.back() = plan.alpha;
      break;
    default:
      for (std::size_t k = 0; k < looks; ++k)
        rule.target[k] = sequential::Spent(plan.efficacy, parameter, plan.alpha, t[k]);
  }
  if (delta >= 0) {
    auto rule_of = [&](double constant) {
      for (std::size_t k = 0; k < looks; ++k) rule.fixed[k] = constant * std::pow(t[k], delta - 0.5);
      return rule;
    };
    double z = UpperZ(plan.alpha / plan.sides);
    auto h = [&](double constant) {
      return UpperZ(SolveBounds(plan, t, rule_of(constant), theta, futility).cumulativeAlpha.back() /
                    plan.sides) -
             z;
    };
    double constant =
        SolveIncreasing(h, z, UpperZ(plan.alpha / (plan.sides * looks)), plan.sides == 2 ? 0 : -kFar, kFar);
    rule = rule_of(constant);
  }
  return SolveBounds(plan, t, rule, theta, futility);
}

// Per look: rejecting on the effect's side and on the other, stopping for
// futility, and reaching the look.
struct LookProbabilities {
  double upper = 0, lower = 0, futility = 0, reaching = 0;
};

std::vector<LookProbabilities> Probabilities(const SequentialPlan& plan, std::span<const double> t,
                                             const Bounds& b, double theta) {
  const bool futility = plan.futility != Family::None;
  Recursion rec(t, theta);
  std::vector<LookProbabilities> result(t.size());
  for (std::size_t k = 0; k < t.size(); ++k) {
    LookProbabilities& p = result[k];
    double c = b.efficacy[k], f = b.futility[k];
    p.reaching = rec.Reaching();
    p.upper = rec.Mass(c, kInf);
    if (plan.sides == 2) p.lower = rec.Mass(-kInf, -c);
    if (k + 1 == t.size()) {
      if (futility) p.futility = std::max(0.0, p.reaching - p.upper - p.lower);
      break;
    }
    p.futility = FutilityMass(rec, plan.sides, f);
    rec.Advance(Continuation(plan.sides, c, f).View());
  }
  return result;
}

// Runs a computation with the caller's floating-point flags kept and no
// exception let out.
template <class F>
auto Guarded(F f) -> decltype(f()) {
  PreservedFlags keep;
  try {
    return f();
  } catch (...) {
    return std::nullopt;
  }
}

std::string Text(double x) {
  std::ostringstream out;
  out << x;
  return out.str();
}

bool Listed(std::span<const Family> families, Family f) {
  return std::ranges::find(families, f) != families.end();
}

std::string CheckParameter(Family family, std::optional<double> value) {
  std::optional<sequential::FamilyParameter> p = sequential::ParameterOf(family);
  if (!p || !value || (*value >= p->low && *value <= p->high)) return "";
  return "The parameter " + std::string(p->name) + " of " + std::string(sequential::FamilyName(family)) +
         " must lie between " + Text(p->low) + " and " + Text(p->high);
}

}  // namespace

std::string CheckSequentialPlan(const SequentialPlan& plan) {
  if (plan.interims < 0 || plan.interims > 5) return "The number of interim analyses must be from 0 to 5";
  const std::size_t looks = static_cast<std::size_t>(plan.interims) + 1;
  if (!plan.fractions.empty()) {
    if (plan.fractions.size() != looks)
      return "The information fractions must be " + std::to_string(looks) + " values, one for each analysis";
    double previous = 0;
    for (double t : plan.fractions) {
      if (!(t > previous)) return "The information fractions must rise above 0";
      previous = t;
    }
    if (!(std::fabs(previous - 1) <= 1e-9)) return "The last information fraction must be 1";
  }
  if (plan.sides != 1 && plan.sides != 2) return "A sequential test has one or two sides";
  if (!(plan.alpha > 0 && plan.alpha < 1)) return "Alpha must lie between 0 and 1";
  if (!Listed(sequential::EfficacyFamilies(), plan.efficacy))
    return "The efficacy boundary must be a boundary family";
  if (!Listed(sequential::FutilityFamilies(), plan.futility))
    return "The futility boundary must be None or a spending family";
  if (std::string message = CheckParameter(plan.efficacy, plan.efficacyParameter); !message.empty())
    return message;
  if (std::string message = CheckParameter(plan.futility, plan.futilityParameter); !message.empty())
    return message;
  if (plan.futility != Family::None && !(plan.power > 0 && plan.power < 1))
    return "The power must lie between 0 and 1";
  return "";
}

SequentialDesignOutcome SequentialDesign::Make(const SequentialPlan& plan) {
  if (std::string message = CheckSequentialPlan(plan); !message.empty()) return {std::nullopt, message};
  PreservedFlags keep;
  try {
    SequentialDesign d;
    d.plan_ = plan;
    d.plan_.efficacyParameter = sequential::ParameterValue(plan.efficacy, plan.efficacyParameter);
    d.plan_.futilityParameter = sequential::ParameterValue(plan.futility, plan.futilityParameter);
    const int looks = plan.interims + 1;
    d.fractions_ = plan.fractions;
    if (d.fractions_.empty())
      for (int k = 1; k <= looks; ++k) d.fractions_.push_back(static_cast<double>(k) / looks);
    d.fractions_.back() = 1;
    const bool driftFree = !d.BoundsDependOnDrift() || !plan.binding;
    if (driftFree || plan.efficacy == Family::HaybittlePeto) {
      Bounds b = DesignBounds(d.plan_, d.fractions_, 0, false);
      if (plan.efficacy == Family::HaybittlePeto && looks > 1 && !(b.cumulativeAlpha[looks - 2] < plan.alpha))
        return {std::nullopt, "The Haybittle-Peto bound " + Text(*d.plan_.efficacyParameter) +
                                  " at the interim analyses spends the whole alpha"};
      if (driftFree) {
        d.efficacy_ = std::move(b.efficacy);
        d.cumulativeAlpha_ = std::move(b.cumulativeAlpha);
      }
    }
    return {std::move(d), ""};
  } catch (...) {
    return {std::nullopt, "The sequential design could not be computed"};
  }
}

SequentialDesign::Bounds SequentialDesign::BoundsAt(double theta) const {
  if (!efficacy_.empty()) {
    if (!BoundsDependOnDrift())
      return Bounds{efficacy_, std::vector<double>(efficacy_.size(), -kInf), cumulativeAlpha_};
    EfficacyRule rule(efficacy_.size());
    std::ranges::copy(efficacy_, rule.fixed.begin());
    Bounds b = SolveBounds(plan_, fractions_, rule, theta, true);
    b.cumulativeAlpha = cumulativeAlpha_;
    return b;
  }
  return DesignBounds(plan_, fractions_, theta, true);
}

std::optional<double> SequentialDesign::Power(double theta) const {
  if (!std::isfinite(theta)) return std::nullopt;
  return Guarded([&]() -> std::optional<double> {
    if (BoundsDependOnDrift()) return std::clamp(BoundsAt(theta).power, 0.0, 1.0);
    Recursion rec(fractions_, theta);
    double power = 0;
    for (std::size_t k = 0; k < efficacy_.size(); ++k) {
      power += rec.Mass(efficacy_[k], kInf);
      if (k + 1 < efficacy_.size()) rec.Advance(Continuation(plan_.sides, efficacy_[k], -kInf).View());
    }
    return std::clamp(power, 0.0, 1.0);
  });
}

std::optional<SequentialResult> SequentialDesign::Evaluate(double theta) const {
  if (!std::isfinite(theta)) return std::nullopt;
  return Guarded([&]() -> std::optional<SequentialResult> {
    Bounds b = BoundsAt(theta);
    std::vector<LookProbabilities> h0 = Probabilities(plan_, fractions_, b, 0);
    std::vector<LookProbabilities> h1 = Probabilities(plan_, fractions_, b, theta);
    SequentialResult r;
    r.theta = theta;
    const std::size_t looks = fractions_.size();
    auto stop = [&](const LookProbabilities& p, std::size_t k) {
      return k + 1 == looks ? p.reaching : p.upper + p.lower + p.futility;
    };
    for (std::size_t k = 0; k < looks; ++k) {
      SequentialLook look;
      double c = b.efficacy[k];
      look.fraction = fractions_[k];
      look.efficacyZ = c;
      look.efficacyP = std::erfc(c / std::sqrt(2.0)) / (plan_.sides == 2 ? 1 : 2);
      if (std::isfinite(b.futility[k])) look.futilityZ = b.futility[k];
      look.cumulativeAlpha = std::clamp(b.cumulativeAlpha[k], 0.0, 1.0);
      look.rejectH0 = std::min(h0[k].upper + h0[k].lower, 1.0);
      look.rejectH1 = std::min(h1[k].upper, 1.0);
      look.futilityH0 = std::min(h0[k].futility, 1.0);
      look.futilityH1 = std::min(h1[k].futility, 1.0);
      look.stopH0 = std::min(stop(h0[k], k), 1.0);
      look.stopH1 = std::min(stop(h1[k], k), 1.0);
      r.power += look.rejectH1;
      r.alphaH0 += look.rejectH0;
      r.expectedFractionH0 += look.fraction * look.stopH0;
      r.expectedFractionH1 += look.fraction * look.stopH1;
      r.looks.push_back(std::move(look));
    }
    r.power = std::min(r.power, 1.0);
    r.alphaH0 = std::min(r.alphaH0, 1.0);
    return r;
  });
}

std::optional<double> SequentialDesign::DriftForPower(double power) const {
  if (!(power > 0 && power < 1)) return std::nullopt;
  return Guarded([&]() -> std::optional<double> {
    // The probit of the power is close to linear in the drift: exactly so,
    // with slope 1, for a single analysis.
    const double z = StandardNormalQuantile(power);
    auto h = [&](double theta) { return LowerZ(Power(theta).value_or(0)) - z; };
    double fixed = UpperZ(plan_.alpha / plan_.sides) + z;
    double theta = SolveIncreasing(h, fixed, fixed + 0.25, -2 * kFar, 2 * kFar);
    std::optional<double> reached = Power(theta);
    if (!reached || !(std::fabs(*reached - power) < 1e-7)) return std::nullopt;
    return theta;
  });
}

std::optional<double> SequentialDesign::InflationFactor(double power) const {
  const double a = plan_.alpha / plan_.sides;
  if (!(power > a && power < 1)) return std::nullopt;
  std::optional<double> theta = DriftForPower(power);
  if (!theta) return std::nullopt;
  PreservedFlags keep;
  double ratio = *theta / (UpperZ(a) + StandardNormalQuantile(power));
  return ratio * ratio;
}

}  // namespace pelmora
