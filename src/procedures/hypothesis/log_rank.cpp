#include "procedures/hypothesis/log_rank.h"

#include <cmath>

#include "numeric/fault_guard.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

// The group whose forms give the second group's quantity.
std::int16_t SecondGroup(bool incidence, bool events) {
  if (incidence) return group::Incidence2;
  if (events) return group::Event2;
  return group::HazardRate2;
}

}  // namespace

void LogRank::InitProcedure(Session& s) {
  DisableOneSample(s);
  // The list has no equivalence limits.
  DisableTwoOneSided(s);
  OfferOption(s, option::Incidence);
  OfferOption(s, option::NumberOfEvents);
  // Ticking "Incidence" turns the row into the incidence group, "Number of
  // Events" into the events group.  No listed parameter is a loss rate or a
  // loss incidence, so no second row is offered.
  const bool incidence = OfferedOptionChecked(s, 0);
  const bool events = !incidence && OfferedOptionChecked(s, 1);
  s.IntParRowCount = 0;
  OfferRow(s, SecondGroup(incidence, events));
}

void LogRank::OptionChanged(Session& s, std::int16_t optionId) {
  // Incidences and numbers of events are two ways of giving the rates: ticking
  // one clears the other.
  auto& state = s.OptionState;
  if (optionId == option::Incidence && state[option::Incidence] == 1) state[option::NumberOfEvents] = 0;
  if (optionId == option::NumberOfEvents && state[option::NumberOfEvents] == 1) state[option::Incidence] = 0;
}

void LogRank::BuildParameterList(Session& s) {
  first_ = StartParameterList(s);
  second_ = first_ + 1;
  time1_ = first_ + 2;
  time2_ = first_ + 3;
  incidence_ = OfferedOptionChecked(s, 0);
  events_ = !incidence_ && OfferedOptionChecked(s, 1);  // both ticked: the incidences win
  rateMode_ = s.IntParMode[static_cast<std::size_t>(SecondGroup(incidence_, events_))];
  if (rateMode_ < 0 || rateMode_ > 2) rateMode_ = 0;

  static constexpr std::int16_t rates[3] = {Ids::HazardRate2, Ids::HazardRate2MinusRate1,
                                            Ids::HazardRate2OverRate1};
  static constexpr std::int16_t incidences[3] = {Ids::Incidence2, Ids::Incidence2MinusIncidence1,
                                                 Ids::Incidence2OverIncidence1};
  static constexpr std::int16_t events[3] = {Ids::Events2, Ids::Events2MinusEvents1, Ids::Events2OverEvents1};
  auto& list = s.ParameterList;
  if (incidence_) {
    list[first_] = Ids::Incidence1;
    list[second_] = incidences[rateMode_];
  } else if (events_) {
    list[first_] = Ids::Events1;
    list[second_] = events[rateMode_];
  } else {
    list[first_] = Ids::HazardRate1;
    list[second_] = rates[rateMode_];
  }
  list[time1_] = Ids::TimeAtRisk1;
  list[time2_] = Ids::TimeAtRisk2;
  s.LastPosition = time2_;
}

std::int16_t LogRank::SecondValueId() const {
  if (incidence_) return Ids::Incidence2;
  if (events_) return Ids::Events2;
  return Ids::HazardRate2;
}

bool LogRank::CheckParameters(Session& s) {
  const CatalogueEntry& second = s.entry(SecondValueId());
  return CheckRelativeValue(s, first_, second_, second.ParamLowerLimit(), second.ParamUpperLimit(), rateMode_);
}

void LogRank::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The assumed log hazard ratio is kept on the rejection side of 0: h2 above
  // h1, or below it when rejecting in the left tail.  In terms of the entered
  // quantities a1 and a2 that is a2 above k a1, where k is 1 for rates and
  // incidences (h grows with I) and T2 / T1 for numbers of events.
  const int u = s.UnknownPosition;
  const bool right = s.RejectInLeftTail == kFalse;
  const CatalogueEntry& second = s.entry(SecondValueId());
  const double lo = second.ParamLowerLimit(), hi = second.ParamUpperLimit();
  const double a1 = s.value(first_), entered = s.value(second_);
  const double t1 = s.value(time1_), t2 = s.value(time2_);
  auto close = [&] { lower = upper; };

  if (u == first_) {
    const double k = events_ ? t2 / t1 : 1.0;
    if (rateMode_ == 0) {
      NarrowByTail(s, lower, upper, entered / k);
    } else if (rateMode_ == 1) {
      // a2 = a1 + d within its limits; the ratio above 1 means d > (k - 1) a1.
      lower = MaxOf(lower, lo - entered);
      upper = MinOf(upper, hi - entered);
      if (k == 1) {
        if (right ? !(entered > 0) : !(entered < 0)) close();
      } else if (k > 1) {
        NarrowByTail(s, lower, upper, entered / (k - 1));
      } else {
        NarrowByTailReversed(s, lower, upper, entered / (k - 1));
      }
    } else if (rateMode_ == 2) {
      // a2 = r a1 within its limits; the ratio above 1 means r > k.
      if (entered > 0) {
        lower = MaxOf(lower, lo / entered);
        upper = MinOf(upper, hi / entered);
      }
      if (right ? !(entered > k) : !(entered < k)) close();
    }
    BracketNearestRoot(s, lower, upper);
  } else if (u == second_) {
    const double k = events_ ? t2 / t1 : 1.0;
    RelativeSearchInterval(s, lower, upper, first_, lo, hi, rateMode_);
    if (rateMode_ == 0) NarrowByTailReversed(s, lower, upper, k * a1);
    if (rateMode_ == 1) NarrowByTailReversed(s, lower, upper, (k - 1) * a1);
    if (rateMode_ == 2) NarrowByTailReversed(s, lower, upper, k);
    BracketNearestRoot(s, lower, upper);
  } else if (events_ && (u == time1_ || u == time2_)) {
    // The ratio above 1 means e2 / T2 > e1 / T1.
    const double e2 = ResolveRelativeValue(s.ParameterValues, second_, ToSingle(a1), rateMode_);
    if (e2 <= 0 || a1 <= 0) return;
    if (u == time1_) NarrowByTailReversed(s, lower, upper, a1 * t2 / e2);
    if (u == time2_) NarrowByTail(s, lower, upper, e2 * t1 / a1);
  }
}

void LogRank::BracketNearestRoot(Session& s, double& lower, double& upper) {
  if (!(lower < upper)) return;
  const int u = s.UnknownPosition;
  // The rate stepped is base + the unknown's value: a difference is stepped
  // through the second group's quantity it stands for.
  const double base = u == second_ && rateMode_ == 1 ? s.value(first_) : 0.0;
  const double saved = s.value(u);
  // Positive where the design falls short: the P-value above the level, or,
  // planned by power, the power below the requested one.
  const double shortSign = PlannedByPower(*this, s) ? -1 : 1;
  auto criterion = [&](double x) {
    s.value(u) = x;
    return EvaluateGuarded([&] { return shortSign * PlanningCriterion(*this, s); });
  };
  const auto atUpper = criterion(upper);
  if (atUpper && *atUpper > 0) {
    double x = upper;
    for (double rate = base + upper; rate > 0;) {
      rate *= 0.8;
      const double next = MaxOf(rate - base, lower);
      const auto f = criterion(next);
      if (!f) break;
      if (*f <= 0) {
        lower = next;
        upper = x;
        break;
      }
      if (next <= lower) break;
      x = next;
    }
  }
  s.value(u) = saved;
  ClearArithmeticFlags();
}

void LogRank::HazardRates(const Session& s, Single& h1, Single& h2) const {
  const Single first = ToSingle(s.value(first_));
  const Single second = ResolveRelativeValue(s.ParameterValues, second_, first, rateMode_);
  if (events_) {
    h1 = first / ToSingle(s.value(time1_));
    h2 = second / ToSingle(s.value(time2_));
  } else if (incidence_) {
    h1 = -std::log(1.0f - first);
    h2 = -std::log(1.0f - second);
  } else {
    h1 = first;
    h2 = second;
  }
}

ZArguments LogRank::Statistic(const Session& s) const {
  Single h1 = 0, h2 = 0;
  HazardRates(s, h1, h2);
  const Single t1 = ToSingle(s.value(time1_)), t2 = ToSingle(s.value(time2_));
  ZArguments z;
  z.x = std::log(h2 / h1);
  z.se = std::sqrt(1.0f / (h2 * t2) + 1.0f / (h1 * t1));
  return z;
}

double LogRank::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, Statistic(s))) - s.value(0);
}

std::optional<double> LogRank::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), Statistic(s));
}

}  // namespace pelmora
