#include "engine/solve.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "numeric/fault_guard.h"
#include "numeric/root.h"

namespace pelmora {

namespace {

// Raised inside the objective when the criterion faulted, to end the solve.
struct CriterionFault {
  double at;
};

// No solve evaluates its criterion more often than this (the whole-step
// search gives up beyond it).
constexpr int kMaxEvaluations = 4000;

thread_local int lastEvaluations = 0;

// A value of the unknown (an end of its interval, a place of a jump).
std::string At(double v) { return PlainNumber(v, 7); }
// A value of the criterion's quantity (a P-value, a power).
std::string Quantity(double v) { return PlainNumber(v, 3); }

// The quiet check of typed-back values: every check of the procedure with the
// candidate standing for the unknown as a typed value would.
bool Admissible(Dispatcher& d, double x) {
  Session& s = d.session();
  const std::int16_t u = s.UnknownPosition;
  CatalogueEntry& e = s.entryAt(u);
  const std::string text = e.ParamText;
  const double value = s.value(u);
  RecordingUserInterface quiet;
  UserInterface* ui = s.ReplaceUserInterface(&quiet);
  e.ParamText = "0";  // a text with a value: the checks read the value itself
  s.value(u) = x;
  s.UnknownPosition = -1;
  bool ok = false;
  try {
    ok = d.CallCheckParameters();
  } catch (...) {
    ok = false;
  }
  s.UnknownPosition = u;
  e.ParamText = text;
  s.value(u) = value;
  s.ReplaceUserInterface(ui);
  return ok;
}

// Between an admissible point and one that is not, the last admissible one
// (to the precision of doubles).
double AdmissibleBoundary(Dispatcher& d, double good, double bad) {
  for (int i = 0; i < 80; ++i) {
    const double mid = good + (bad - good) / 2;
    if (mid == good || mid == bad || std::fabs(bad - good) <= 1e-12 * std::fabs(good)) break;
    (Admissible(d, mid) ? good : bad) = mid;
  }
  return good;
}

// One solve at the current values.
class Solve {
 public:
  explicit Solve(Dispatcher& d)
      : d_(d), s_(d.session()), u_(s_.UnknownPosition), caption_(CaptionAt(s_, u_)) {
    traits_ = d.CallTraits();
    const int c = traits_.comparedPosition;
    if (c >= 0 && c <= s_.LastPosition) {
      quantity_ = "the " + CaptionAt(s_, c);
      // A P-value is significant at or below the requested one, any other
      // compared quantity (a power) at or above it.
      significantSign_ = c == 0 ? -1 : 1;
    } else {
      traits_.comparedPosition = -1;
    }
  }

  SolveOutcome Run();

 private:
  double F(double x) {
    if (++lastEvaluations > kMaxEvaluations) throw CriterionFault{std::numeric_limits<double>::quiet_NaN()};
    s_.value(u_) = x;
    const auto f = EvaluateGuarded([&] { return d_.CallEvaluateCriterion(); });
    if (!f) throw CriterionFault{x};
    fMin_ = std::min(fMin_, *f);
    fMax_ = std::max(fMax_, *f);
    return *f;
  }
  bool Significant(double f) const { return significantSign_ * f >= 0; }
  // The criterion's quantity at x, where the criterion is f.
  double Computed(double x, double f) const {
    const int c = traits_.comparedPosition;
    return f + (c == u_ ? x : s_.value(c));
  }
  double Requested() const { return s_.value(traits_.comparedPosition); }

  SolveOutcome NotCalculable(NoValueKind kind, std::string reason) const {
    SolveOutcome o;
    o.kind = kind;
    o.reason = std::move(reason);
    return o;
  }
  std::string Range(double lo, double hi) const { return caption_ + " from " + At(lo) + " to " + At(hi); }
  std::string Jump(double from, double to, double at) const {
    return quantity_ + " jumps from " + Quantity(from) + " to " + Quantity(to) + " at " + caption_ + " = " +
           At(at);
  }

  void KeepAdmissible(double& lo, double& hi);
  SolveOutcome EmptyInterval(double lo, double hi);
  SolveOutcome Judge(const RootResult& r, double lo, double hi);
  SolveOutcome WholeSteps(double lo, double hi);
  bool AtLimit(const RootResult& r, double lo, double hi, SolveOutcome& o);
  SolveOutcome NoCrossing(double lo, double hi, const RootResult& r) const;
  // A value shown with as many decimals as it needs to be typed back: within
  // the interval and, for a step, on its significant side.
  SolveOutcome Valued(SolveState state, double value, double lo, double hi, std::string note);

  Dispatcher& d_;
  Session& s_;
  const int u_;
  const std::string caption_;
  CriterionTraits traits_;
  std::string quantity_;     // "the P-value"; empty when the criterion names none
  int significantSign_ = 0;  // 0: no side of the criterion is "significant"
  double catLo_ = 0, catHi_ = 0;
  double fMin_ = std::numeric_limits<double>::infinity();
  double fMax_ = -std::numeric_limits<double>::infinity();
};

SolveOutcome Solve::Run() {
  const CatalogueEntry& unknown = s_.entryAt(u_);
  catLo_ = unknown.ParamLowerLimit;
  catHi_ = unknown.ParamUpperLimit;
  double lo = catLo_, hi = catHi_;
  const auto interval = EvaluateGuarded([&] {
    d_.CallSetSearchInterval(lo, hi);
    return 0.0;
  });
  if (!interval || !std::isfinite(lo) || !std::isfinite(hi))
    return NotCalculable(NoValueKind::Fault,
                         "the other values give it no search interval (an arithmetic fault)");
  if (lo < hi) KeepAdmissible(lo, hi);
  try {
    if (!(lo < hi)) return EmptyInterval(lo, hi);
    if (traits_.wholeSteps && significantSign_ != 0) return WholeSteps(lo, hi);
    const RootResult r =
        FindRoot([this](double x) { return F(x); }, lo, hi, kSolveTolerance, kSolveMaxIterations);
    return Judge(r, lo, hi);
  } catch (const CriterionFault& fault) {
    if (std::isnan(fault.at))
      return NotCalculable(NoValueKind::NotConverged,
                           "the search gave up after " + std::to_string(kMaxEvaluations) + " evaluations");
    return NotCalculable(NoValueKind::Fault, (quantity_.empty() ? std::string("the criterion") : quantity_) +
                                                 " cannot be computed at " + caption_ + " = " + At(fault.at) +
                                                 " (an arithmetic fault)");
  }
}

void Solve::KeepAdmissible(double& lo, double& hi) {
  // The unknown's own limits first (a typed value must keep them), then what
  // the other checks demand of it.
  lo = std::max(lo, catLo_);
  hi = std::min(hi, catHi_);
  if (!(lo < hi)) return;
  const bool loOk = Admissible(d_, lo), hiOk = Admissible(d_, hi);
  if (loOk && hiOk) return;
  double good = loOk ? lo : hi;
  if (!loOk && !hiOk) {
    // An admissible point inside: halving the distance from either end.
    bool found = false;
    for (int k = 1; k <= 40 && !found; ++k) {
      const double step = (hi - lo) * std::ldexp(1.0, -k);
      for (double at : {lo + step, hi - step})
        if (!found && Admissible(d_, at)) {
          good = at;
          found = true;
        }
    }
    if (!found) return;  // nothing to hold on to: left as it is
  }
  const double oldLo = lo;
  if (!hiOk) hi = AdmissibleBoundary(d_, good, hi);
  if (!loOk) lo = AdmissibleBoundary(d_, good, oldLo);
}

SolveOutcome Solve::EmptyInterval(double lo, double hi) {
  // A criterion that does not depend on the unknown leaves nothing to search:
  // the same value at both ends of the catalogue's range and between them.
  std::array<std::optional<double>, 3> f;
  const std::array<double, 3> at{catLo_, catLo_ + (catHi_ - catLo_) / 2, catHi_};
  for (std::size_t i = 0; i < at.size(); ++i) {
    s_.value(u_) = at[i];
    f[i] = EvaluateGuarded([&] { return d_.CallEvaluateCriterion(); });
  }
  if (f[0] && f[1] && f[2] && *f[0] == *f[1] && *f[1] == *f[2])
    return NotCalculable(
        NoValueKind::Independent,
        (quantity_.empty() ? std::string("the criterion") : quantity_) + " does not depend on " + caption_);
  return NotCalculable(NoValueKind::EmptyInterval,
                       "the other values leave it no admissible value (its interval "
                       "would run from " +
                           At(lo) + " to " + At(hi) + ")");
}

SolveOutcome Solve::Judge(const RootResult& r, double lo, double hi) {
  const double b = r.root, fb = r.fRoot, k = r.contrapoint, fk = r.fContrapoint;
  const bool crossing = fb == 0 || (fb < 0 && fk > 0) || (fb > 0 && fk < 0);
  if (crossing) {
    // A root as the criterion's own rule has always accepted it.
    if (std::fabs(fb) <= kAcceptance) return Valued(SolveState::Solved, b, lo, hi, {});
    if (!r.converged)
      return NotCalculable(NoValueKind::NotConverged, "the search did not settle within " +
                                                          std::to_string(kSolveMaxIterations) + " steps");
    // A jump across zero: its significant side is the answer.
    const bool bSignificant = significantSign_ != 0 && Significant(fb);
    const double at = bSignificant ? b : k;
    const double fAt = bSignificant ? fb : fk, fOther = bSignificant ? fk : fb;
    if (significantSign_ == 0 || !Significant(fAt))
      return NotCalculable(NoValueKind::Jump, (quantity_.empty() ? std::string("the criterion") : quantity_) +
                                                  " jumps across the requested value at " + caption_ + " = " +
                                                  At(b) + " without reaching it");
    return Valued(SolveState::Step, at, lo, hi, Jump(Computed(at, fOther), Computed(at, fAt), at));
  }
  if (fMin_ == fMax_)
    return NotCalculable(
        NoValueKind::Independent,
        (quantity_.empty() ? std::string("the criterion") : quantity_) + " does not depend on " + caption_);
  SolveOutcome o;
  if (AtLimit(r, lo, hi, o)) return o;
  return NoCrossing(lo, hi, r);
}

bool Solve::AtLimit(const RootResult& r, double lo, double hi, SolveOutcome& o) {
  const bool atLower = r.root == lo && lo == catLo_;
  const bool atUpper = r.root == hi && hi == catHi_;
  if (!atLower && !atUpper) return false;
  const double end = r.root;
  // The last digit the limit is shown with.
  const double unit = std::pow(10.0, -ResultDecimals(end));
  const double inside = atLower ? end + std::min(unit, (hi - lo) / 2) : end - std::min(unit, (hi - lo) / 2);
  const double fEnd = r.fRoot, fIn = F(inside);
  if ((fEnd < 0) != (fIn < 0) || !(std::fabs(fEnd) < std::fabs(fIn))) return false;
  // Where the line through the two points meets zero: beyond the limit, and
  // within the limit's last shown digit beyond it as shown (0 to 0.00001 for
  // a lower limit of 0.00001).
  const double zero = end - fEnd * (inside - end) / (fIn - fEnd);
  const double shown = ParseNumber(FormatResult(end));
  const double slack = unit * 1e-6;
  const bool beyond =
      atLower ? zero < end && zero >= shown - unit - slack : zero > end && zero <= shown + unit + slack;
  if (!beyond) return false;
  o.state = SolveState::AtLimit;
  o.value = end;
  o.belowLimit = atLower;
  o.note = std::string("the answer lies ") + (atLower ? "below " : "above ") + FormatResult(end) + ", the " +
           (atLower ? "lower" : "upper") + " limit of " + caption_;
  return true;
}

SolveOutcome Solve::NoCrossing(double lo, double hi, const RootResult& r) const {
  if (fMin_ < 0 && fMax_ > 0)
    return NotCalculable(NoValueKind::NotConverged,
                         "the search over " + Range(lo, hi) + " found no crossing it could settle on");
  if (quantity_.empty()) {
    const bool above = fMin_ > 0;
    const double nearer = above ? fMin_ : -fMax_, farther = above ? fMax_ : -fMin_;
    return NotCalculable(NoValueKind::NoCrossing, "the calculated value stays " + Quantity(nearer) + " to " +
                                                      Quantity(farther) + (above ? " above" : " below") +
                                                      " the requested one for " + Range(lo, hi));
  }
  if (traits_.comparedPosition == u_)
    return NotCalculable(NoValueKind::NoCrossing, quantity_ + " of the other values is " +
                                                      Quantity(Computed(r.root, r.fRoot)) + ", outside " +
                                                      Range(lo, hi));
  const double c = s_.value(traits_.comparedPosition);
  return NotCalculable(NoValueKind::NoCrossing, quantity_ + " stays between " + Quantity(fMin_ + c) +
                                                    " and " + Quantity(fMax_ + c) + " for " + Range(lo, hi));
}

SolveOutcome Solve::WholeSteps(double lo, double hi) {
  const double L = std::ceil(lo - 1e-9), H = std::floor(hi + 1e-9);
  if (L > H)
    return NotCalculable(NoValueKind::EmptyInterval,
                         "no whole " + caption_ + " lies between " + At(lo) + " and " + At(hi));
  const double fH = F(H);
  if (!Significant(fH))
    return NotCalculable(NoValueKind::NoCrossing, "no whole " + caption_ + " up to " + At(H) + " makes " +
                                                      quantity_ + " reach " + Quantity(Requested()) +
                                                      " (it is " + Quantity(Computed(H, fH)) + " at " +
                                                      At(H) + ")");
  // A whole value at which the result is not significant and the next one at
  // which it is: by bisection from the ends.
  double last = L - 1, fLast = 0;  // the last value found not significant
  const double fL = F(L);
  if (!Significant(fL)) {
    double a = L, fa = fL, b = H;
    while (b - a > 1) {
      const double m = a + std::floor((b - a) / 2);
      const double fm = F(m);
      if (Significant(fm)) {
        b = m;
      } else {
        a = m;
        fa = fm;
      }
    }
    last = a;
    fLast = fa;
  }
  // Exact P-values rise and fall with the rounding of the counts: beyond the
  // first significant value a later one may fall back.  A window of
  // 20 + 2 sqrt(n) values past the last that is not significant covers that
  // sawtooth (its deficit is made up within about 1.5 sqrt(n) values).
  double fAnswer = 0;
  bool haveAnswer = false;
  for (double m = last + 1; m <= H && m <= last + 20 + 2 * std::sqrt(std::max(last, 0.0)); ++m) {
    const double fm = m == H ? fH : F(m);
    if (!Significant(fm)) {
      last = m;
      fLast = fm;
      haveAnswer = false;
    } else if (!haveAnswer && m == last + 1) {
      fAnswer = fm;
      haveAnswer = true;
    }
  }
  const double answer = last + 1;
  if (!haveAnswer) fAnswer = F(answer);
  if (last < L) {
    // Significant from the first whole value on: the answer lies below the
    // interval, or the interval's own end holds it without a jump.
    if (lo == catLo_ && L - lo < 1) {
      SolveOutcome o;
      o.state = SolveState::AtLimit;
      o.value = catLo_;
      o.belowLimit = true;
      o.note = quantity_ + " is " + Quantity(Computed(L, fAnswer)) + " already at " + caption_ + " = " +
               At(L) + ", the smallest value the limits allow";
      return o;
    }
    return NotCalculable(NoValueKind::NoCrossing, quantity_ + " reaches " + Quantity(Requested()) +
                                                      " at every whole value of " + Range(L, H));
  }
  return Valued(SolveState::Step, answer, lo, hi,
                Jump(Computed(last, fLast), Computed(answer, fAnswer), answer) + ", and stays " +
                    (significantSign_ < 0 ? std::string("significant")
                                          : "at or above " + Quantity(Requested())) +
                    " from there on");
}

SolveOutcome Solve::Valued(SolveState state, double value, double lo, double hi, std::string note) {
  SolveOutcome o;
  o.state = state;
  o.value = value;
  o.note = std::move(note);
  const bool whole = traits_.wholeSteps && state == SolveState::Step;
  for (int decimals = ResultDecimals(value); decimals <= 10; ++decimals) {
    o.decimals = decimals;
    const double typed = ParseNumber(OutcomeText(o));
    if (typed < lo || typed > hi) continue;
    if (state == SolveState::Step && !whole && typed != value && !Significant(F(typed))) continue;
    // A steep criterion needs more digits for the value shown to be a root too.
    if (state == SolveState::Solved && typed != value &&
        !(std::fabs(F(typed)) <= std::max(kAcceptance, std::fabs(F(value)))))
      continue;
    break;
  }
  if (o.decimals == ResultDecimals(value)) o.decimals = -1;
  return o;
}

}  // namespace

int LastSolveEvaluations() { return lastEvaluations; }

SolveOutcome SolveAtOnePoint(Dispatcher& d) {
  lastEvaluations = 0;
  return Solve(d).Run();
}

}  // namespace pelmora
