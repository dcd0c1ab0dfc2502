#include "procedures/sequential_criterion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "numeric/normal_quantile.h"
#include "session/sequential_settings.h"
#include "session/session.h"

namespace pelmora {

namespace {

constexpr std::size_t kCacheSize = 8;

bool SamePlan(const SequentialPlan& a, const SequentialPlan& b) {
  return a.interims == b.interims && a.fractions == b.fractions && a.sides == b.sides && a.alpha == b.alpha &&
         a.efficacy == b.efficacy && a.efficacyParameter == b.efficacyParameter && a.futility == b.futility &&
         a.futilityParameter == b.futilityParameter && a.binding == b.binding && a.power == b.power;
}

struct Cached {
  SequentialPlan plan;
  SequentialDesign design;
  std::vector<std::pair<double, std::optional<double>>> equivalent;  // requested -> fixed power
};

// Most recently used first.
std::vector<Cached>& Cache() {
  thread_local std::vector<Cached> cache;
  return cache;
}

Cached* CachedOf(const Session& s) {
  if (!UsesSequentialDesign(s)) return nullptr;
  SequentialPlanOutcome o = SequentialPlanOf(s);
  if (!o.plan) return nullptr;
  SequentialPlan plan = *o.plan;
  // The bounds depend on the power only through the futility bounds.
  if (plan.futility == sequential::Family::None) plan.power = 0.5;
  std::vector<Cached>& cache = Cache();
  for (std::size_t i = 0; i < cache.size(); ++i)
    if (SamePlan(cache[i].plan, plan)) {
      if (i > 0) std::rotate(cache.begin(), cache.begin() + static_cast<std::ptrdiff_t>(i),
                             cache.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      return &cache.front();
    }
  SequentialDesignOutcome made = SequentialDesign::Make(plan);
  if (!made.design) return nullptr;
  if (cache.size() >= kCacheSize) cache.pop_back();
  cache.insert(cache.begin(), Cached{plan, std::move(*made.design), {}});
  return &cache.front();
}

double NormalUpper(double z) { return 0.5 * std::erfc(z / std::sqrt(2.0)); }

}  // namespace

const SequentialDesign* SequentialDesignOf(const Session& s) {
  Cached* c = CachedOf(s);
  return c == nullptr ? nullptr : &c->design;
}

double DriftOfFixedPower(const SequentialPlan& plan, double fixedPower) {
  const double p = std::clamp(fixedPower, 1e-15, 1 - 1e-15);
  return StandardNormalUpperQuantile(plan.alpha / plan.sides) + StandardNormalQuantile(p);
}

std::optional<double> SequentialPowerOf(const Session& s, double fixedPower) {
  const Cached* c = CachedOf(s);
  if (c == nullptr || !std::isfinite(fixedPower)) return std::nullopt;
  return c->design.Power(DriftOfFixedPower(c->plan, fixedPower));
}

std::optional<double> EquivalentFixedPower(const Session& s) {
  Cached* c = CachedOf(s);
  if (c == nullptr) return std::nullopt;
  const double requested = s.value(2);
  for (const auto& [power, fixed] : c->equivalent)
    if (power == requested) return fixed;
  std::optional<double> fixed;
  if (const std::optional<double> theta = c->design.DriftForPower(requested))
    fixed = NormalUpper(StandardNormalUpperQuantile(c->plan.alpha / c->plan.sides) - *theta);
  if (c->equivalent.size() >= 16) c->equivalent.erase(c->equivalent.begin());
  c->equivalent.emplace_back(requested, fixed);
  return fixed;
}

double SequentialCriterion(const Session& s, double fixedPower) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  if (!std::isfinite(fixedPower)) return kNaN;
  // The level and the requested power change the design or its target at
  // every step: the sequential power itself is compared.
  if (s.UnknownPosition == 0 || s.UnknownPosition == 2) {
    const std::optional<double> power = SequentialPowerOf(s, fixedPower);
    return power ? *power - s.value(2) : kNaN;
  }
  const std::optional<double> fixed = EquivalentFixedPower(s);
  return fixed ? fixedPower - *fixed : kNaN;
}

}  // namespace pelmora
