#include "engine/solve.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "numeric/bracket_root.h"
#include "numeric/fault_guard.h"

namespace pelmora {

namespace {

// Raised inside the objective when the criterion faulted, to end the solve.
struct CriterionFault {
  double at;
};

// No solve evaluates its criterion more often than this (the whole-step
// search gives up beyond it), nor one bracket search more often than
// kBracketEvaluations.
constexpr int kMaxEvaluations = 4000;
constexpr int kBracketEvaluations = 400;
// Points looked at inside an interval at whose ends the criterion has one sign.
constexpr int kScanPoints = 12;
// The searches stop at a quarter of the accuracy, so that a shorter decimal
// near the point found still holds it.
constexpr double kStopShare = 0.25;
// No point of a search (NaN equals nothing).
constexpr double kNoPoint = std::numeric_limits<double>::quiet_NaN();

// A value of the unknown (an end of its interval, a place of a jump).
std::string At(double v) { return PlainNumber(v, 7); }

// v rounded to `digits` significant decimal digits: to nearest (direction 0),
// down (-1) or up (+1).
double RoundSignificant(double v, int digits, int direction) {
  if (v == 0 || !std::isfinite(v)) return v;
  // Exact decimal conversions both ways (as printf's "%.*e" and strtod).
  auto rounded = [digits](double x) {
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, digits - 1).ptr;
    double r = x;
    std::from_chars(text, end, r);
    return r;
  };
  const double r = rounded(v);
  if (direction == 0 || (direction < 0 ? r <= v : r >= v)) return r;
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(r))) - (digits - 1));
  return rounded(r + direction * unit);
}

// The variable a bracket search runs in: the logarithm for a positive
// interval over more than a factor of 20 (sizes, levels), asinh for a wide
// interval around zero, the unknown itself otherwise.  The ends map exactly.
class SearchScale {
 public:
  SearchScale(double lo, double hi) : lo_(lo), hi_(hi) {
    if (lo > 0 && hi > 20 * lo)
      kind_ = Kind::Log;
    else if (hi - lo > 1000)
      kind_ = Kind::Asinh;
    tLo_ = T(lo);
    tHi_ = T(hi);
  }
  double T(double x) const {
    switch (kind_) {
      case Kind::Log: return std::log(x);
      case Kind::Asinh: return std::asinh(x);
      default: return x;
    }
  }
  double X(double t) const {
    if (t <= tLo_) return lo_;
    if (t >= tHi_) return hi_;
    switch (kind_) {
      case Kind::Log: return std::clamp(std::exp(t), lo_, hi_);
      case Kind::Asinh: return std::clamp(std::sinh(t), lo_, hi_);
      default: return t;
    }
  }
  double tLo() const { return tLo_; }
  double tHi() const { return tHi_; }
  // The absolute floor of the bracket's width in t.
  double Floor() const { return kind_ == Kind::Linear ? 1e-15 * (hi_ - lo_) : 1e-300; }

 private:
  enum class Kind { Linear, Log, Asinh };
  Kind kind_ = Kind::Linear;
  double lo_, hi_, tLo_ = 0, tHi_ = 0;
};

// One solve at the current values, on a working copy of them.
class Solve {
 public:
  explicit Solve(Dispatcher& d)
      : d_(d), work_(d.session()), u_(work_.UnknownPosition), caption_(CaptionAt(work_, u_)) {
    work_.ReplaceUserInterface(&quiet_);
    traits_ = d.CallTraits();
    const int c = traits_.comparedPosition;
    if (c >= 0 && c <= work_.LastPosition) {
      quantity_ = "the " + CaptionAt(work_, c);
      // A P-value is significant at or below the requested one, any other
      // compared quantity (a power) at or above it.
      significantSign_ = c == 0 ? -1 : 1;
    } else {
      traits_.comparedPosition = -1;
    }
  }

  SolveOutcome Run() {
    SolveOutcome o = Outcome();
    o.evaluations = evaluations_;
    return o;
  }

 private:
  SolveOutcome Outcome();
  double F(double x) {
    // The criterion at a point it was evaluated at a moment ago (the shown
    // text of a root is checked at the root again) is not evaluated twice.
    for (const auto& [at, f] : recent_)
      if (at == x) return f;
    if (++evaluations_ > kMaxEvaluations) throw CriterionFault{std::numeric_limits<double>::quiet_NaN()};
    work_.value(u_) = x;
    const auto f = EvaluateGuarded([&] { return d_.EvaluateCriterionOf(work_); });
    if (!f) throw CriterionFault{x};
    fMin_ = std::min(fMin_, *f);
    fMax_ = std::max(fMax_, *f);
    recent_[nextRecent_] = {x, *f};
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
    return *f;
  }
  bool Admissible(double x);
  double AdmissibleBoundary(double good, double bad);
  bool Significant(double f) const { return significantSign_ * f >= 0; }
  // The criterion's quantity at x, where the criterion is f.
  double Computed(double x, double f) const {
    const int c = traits_.comparedPosition;
    return f + (c == u_ ? x : work_.value(c));
  }
  double Requested() const { return work_.value(traits_.comparedPosition); }
  std::string Criterion() const { return quantity_.empty() ? std::string("the criterion") : quantity_; }

  SolveOutcome NotCalculable(NoValueKind kind, std::string reason) const {
    SolveOutcome o;
    o.kind = kind;
    o.reason = std::move(reason);
    return o;
  }
  std::string Range(double lo, double hi) const { return caption_ + " from " + At(lo) + " to " + At(hi); }
  std::string Jump(double from, double to, double at) const;

  void KeepAdmissible(double& lo, double& hi);
  void SetAccuracy(double fLo, double fHi);
  SolveOutcome EmptyInterval(double lo, double hi);
  SolveOutcome Continuous(double lo, double hi);
  SolveOutcome Judge(const Bracket& r, const SearchScale& scale, double lo, double hi);
  SolveOutcome WholeSteps(double lo, double hi);
  bool AtLimit(double end, double fEnd, double lo, double hi, SolveOutcome& o);
  SolveOutcome NoCrossing(double lo, double hi, double end, double fEnd) const;
  double ShortRoot(double b, double fb, double k, double fk, double lo, double hi);
  double ShortStep(double at, double other, double lo, double hi);
  // A value shown with as many decimals as it needs to be typed back: within
  // the interval and, for a step, on its significant side.
  SolveOutcome Valued(SolveState state, double value, double lo, double hi, std::string note);

  Dispatcher& d_;
  Session work_;
  RecordingUserInterface quiet_;
  const int u_;
  const std::string caption_;
  CriterionTraits traits_;
  std::string quantity_;     // "the P-value"; empty when the criterion names none
  int significantSign_ = 0;  // 0: no side of the criterion is "significant"
  double catLo_ = 0, catHi_ = 0;
  // A root holds the criterion within accuracy_ of zero.
  double accuracy_ = 0;
  int evaluations_ = 0;
  // The last few points the criterion was evaluated at, with its values.
  std::array<std::pair<double, double>, 4> recent_{{{kNoPoint, 0}, {kNoPoint, 0}, {kNoPoint, 0}, {kNoPoint, 0}}};
  std::size_t nextRecent_ = 0;
  double fMin_ = std::numeric_limits<double>::infinity();
  double fMax_ = -std::numeric_limits<double>::infinity();
};

// The quiet check of a typed-back value: every check of the procedure with
// the candidate standing for the unknown as a typed value would.  The working
// copy is left as it was.
bool Solve::Admissible(double x) {
  CatalogueEntry& e = work_.entryAt(u_);
  const std::string text = e.ParamText;
  const auto values = work_.ParameterValues;
  e.ParamText = "0";  // a text with a value: the checks read the value itself
  work_.value(u_) = x;
  work_.UnknownPosition = -1;
  bool ok = false;
  try {
    ok = d_.CheckParametersOf(work_);
  } catch (...) {
    ok = false;
  }
  work_.UnknownPosition = static_cast<std::int16_t>(u_);
  e.ParamText = text;
  work_.ParameterValues = values;
  quiet_.messages.clear();
  return ok;
}

// Between an admissible point and one that is not, the last admissible one
// (to the precision of doubles).
double Solve::AdmissibleBoundary(double good, double bad) {
  for (int i = 0; i < 80; ++i) {
    const double mid = good + (bad - good) / 2;
    if (mid == good || mid == bad || std::fabs(bad - good) <= 1e-12 * std::fabs(good)) break;
    (Admissible(mid) ? good : bad) = mid;
  }
  return good;
}

std::string Solve::Jump(double from, double to, double at) const {
  // As many digits as it takes to tell the two sides apart.
  int digits = 3;
  while (digits < 9 && PlainNumber(from, digits) == PlainNumber(to, digits)) ++digits;
  return quantity_ + " jumps from " + PlainNumber(from, digits) + " to " + PlainNumber(to, digits) + " at " +
         caption_ + " = " + At(at);
}

SolveOutcome Solve::Outcome() {
  const CatalogueEntry& unknown = work_.entryAt(u_);
  catLo_ = unknown.ParamLowerLimit();
  catHi_ = unknown.ParamUpperLimit();
  double lo = catLo_, hi = catHi_;
  ProcedureModule* m = d_.Module();
  const auto interval = EvaluateGuarded([&] {
    if (m != nullptr) m->SetSearchInterval(work_, lo, hi);
    return 0.0;
  });
  if (!interval || !std::isfinite(lo) || !std::isfinite(hi))
    return NotCalculable(NoValueKind::Fault,
                         "the other values give it no search interval (an arithmetic fault)");
  if (lo < hi) KeepAdmissible(lo, hi);
  try {
    if (!(lo < hi)) return EmptyInterval(lo, hi);
    if (traits_.wholeSteps && significantSign_ != 0) return WholeSteps(lo, hi);
    return Continuous(lo, hi);
  } catch (const CriterionFault& fault) {
    if (std::isnan(fault.at))
      return NotCalculable(NoValueKind::NotConverged,
                           "the search gave up after " + std::to_string(kMaxEvaluations) + " evaluations");
    return NotCalculable(NoValueKind::Fault,
                         Criterion() + " cannot be computed at " + caption_ + " = " + At(fault.at) +
                             " (an arithmetic fault)");
  }
}

void Solve::KeepAdmissible(double& lo, double& hi) {
  // The unknown's own limits first (a typed value must keep them), then what
  // the other checks demand of it.
  lo = std::max(lo, catLo_);
  hi = std::min(hi, catHi_);
  if (!(lo < hi)) return;
  const bool loOk = Admissible(lo), hiOk = Admissible(hi);
  if (loOk && hiOk) return;
  double good = loOk ? lo : hi;
  if (!loOk && !hiOk) {
    // An admissible point inside: halving the distance from either end.
    bool found = false;
    for (int k = 1; k <= 40 && !found; ++k) {
      const double step = (hi - lo) * std::ldexp(1.0, -k);
      for (double at : {lo + step, hi - step})
        if (!found && Admissible(at)) {
          good = at;
          found = true;
        }
    }
    if (!found) return;  // nothing to hold on to: left as it is
  }
  const double oldLo = lo;
  if (!hiOk) hi = AdmissibleBoundary(good, hi);
  if (!loOk) lo = AdmissibleBoundary(good, oldLo);
}

void Solve::SetAccuracy(double fLo, double fHi) {
  // Relative to the requested quantity (a P-value, a power).  A criterion
  // that names none is held relative to its size at the interval's ends,
  // between 0.001 and 1, but not finer than four units of the single
  // precision it is computed in (2^-22 near 1).
  double scale = 0;
  if (traits_.comparedPosition >= 0 && traits_.comparedPosition != u_)
    scale = std::fabs(Requested());
  if (scale > 0) {
    accuracy_ = kCriterionAccuracy * scale;
  } else {
    scale = std::clamp(std::min(std::fabs(fLo), std::fabs(fHi)), 1e-3, 1.0);
    accuracy_ = std::max(kCriterionAccuracy * scale, 0x1p-22);
  }
}

SolveOutcome Solve::EmptyInterval(double lo, double hi) {
  // A criterion that does not depend on the unknown leaves nothing to search:
  // the same value at both ends of the catalogue's range and between them.
  std::array<std::optional<double>, 3> f;
  const std::array<double, 3> at{catLo_, catLo_ + (catHi_ - catLo_) / 2, catHi_};
  for (std::size_t i = 0; i < at.size(); ++i) {
    work_.value(u_) = at[i];  // a look at the criterion, not a search: not counted
    f[i] = EvaluateGuarded([&] { return d_.EvaluateCriterionOf(work_); });
  }
  if (f[0] && f[1] && f[2] && *f[0] == *f[1] && *f[1] == *f[2])
    return NotCalculable(NoValueKind::Independent, Criterion() + " does not depend on " + caption_);
  return NotCalculable(NoValueKind::EmptyInterval,
                       "the other values leave it no admissible value (its interval "
                       "would run from " +
                           At(lo) + " to " + At(hi) + ")");
}

SolveOutcome Solve::Continuous(double lo, double hi) {
  const SearchScale scale(lo, hi);
  double ta = scale.tLo(), tb = scale.tHi();
  double fa = F(lo), fb = F(hi);
  SetAccuracy(fa, fb);
  auto opposite = [](double f1, double f2) { return (f1 <= 0 && f2 >= 0) || (f1 >= 0 && f2 <= 0); };
  if (!opposite(fa, fb)) {
    // The ends keep one sign: a crossing inside, if any, between two of a few
    // points spread over the interval.
    bool found = false;
    double tPrev = ta, fPrev = fa;
    for (int i = 1; i <= kScanPoints && !found; ++i) {
      const double t = i == kScanPoints ? tb : ta + (tb - ta) * i / kScanPoints;
      const double f = i == kScanPoints ? fb : F(scale.X(t));
      if (opposite(fPrev, f)) {
        ta = tPrev;
        fa = fPrev;
        tb = t;
        fb = f;
        found = true;
      }
      tPrev = t;
      fPrev = f;
    }
    if (!found) {
      if (fMin_ == fMax_)
        return NotCalculable(NoValueKind::Independent, Criterion() + " does not depend on " + caption_);
      const bool lower = std::fabs(fa) <= std::fabs(fb);
      SolveOutcome o;
      if (AtLimit(lower ? lo : hi, lower ? fa : fb, lo, hi, o)) return o;
      return NoCrossing(lo, hi, lower ? lo : hi, lower ? fa : fb);
    }
  }
  // To a quarter of the accuracy or a bracket of a billionth; a bracket left
  // that wide with the criterion beyond the accuracy on both sides is
  // searched again down to the resolution of doubles before it counts as a
  // jump.
  auto g = [&](double t) { return F(scale.X(t)); };
  const double coarse = 1e-9 * std::max({std::fabs(ta), std::fabs(tb), 1.0}) + scale.Floor();
  Bracket r = BracketRoot(g, ta, tb, fa, fb, kStopShare * accuracy_, coarse, kBracketEvaluations);
  if (r.settled && std::fabs(r.fRoot) > accuracy_)
    r = BracketRoot(g, r.root, r.other, r.fRoot, r.fOther, accuracy_, scale.Floor(), kBracketEvaluations);
  return Judge(r, scale, lo, hi);
}

SolveOutcome Solve::Judge(const Bracket& r, const SearchScale& scale, double lo, double hi) {
  const double b = scale.X(r.root), fb = r.fRoot, k = scale.X(r.other), fk = r.fOther;
  if (std::fabs(fb) <= accuracy_) return Valued(SolveState::Solved, ShortRoot(b, fb, k, fk, lo, hi), lo, hi, {});
  if (!r.settled)
    return NotCalculable(NoValueKind::NotConverged, "the search did not settle within " +
                                                        std::to_string(kBracketEvaluations) + " evaluations");
  // The bracket is as fine as doubles allow and the criterion still differs
  // across it: a jump, whose significant side is the answer.
  const bool bSignificant = significantSign_ != 0 && Significant(fb);
  const double at = bSignificant ? b : k, other = bSignificant ? k : b;
  const double fAt = bSignificant ? fb : fk, fOther = bSignificant ? fk : fb;
  if (significantSign_ == 0 || !Significant(fAt))
    return NotCalculable(NoValueKind::Jump, Criterion() + " jumps across the requested value at " + caption_ +
                                                " = " + At(b) + " without reaching it");
  const double value = ShortStep(at, other, lo, hi);
  return Valued(SolveState::Step, value, lo, hi, Jump(Computed(value, fOther), Computed(value, fAt), value));
}

// The shortest decimal near the root b (criterion fb, bracket's other end k
// with fk) at which the criterion keeps the accuracy: the digits the solve
// determined.
double Solve::ShortRoot(double b, double fb, double k, double fk, double lo, double hi) {
  // A bracket as narrow as doubles allow shows the criterion's rounding, not
  // its slope: that is measured a millionth of b away.
  double slope = k != b ? (fk - fb) / (k - b) : 0;
  if (std::fabs(k - b) <= 1e-9 * std::fabs(b)) {
    const double h = (k >= b ? 1 : -1) * 1e-6 * std::fabs(b);
    if (h != 0 && b + h >= lo && b + h <= hi) slope = (F(b + h) - fb) / h;
  }
  const double room = (accuracy_ - std::fabs(fb)) / std::fabs(slope);
  if (!(room > 0) || !std::isfinite(room)) return b;
  for (int digits = 1, tries = 0; digits <= 17 && tries < 3; ++digits) {
    const double x = RoundSignificant(b, digits, 0);
    if (x == b) return b;
    if (std::fabs(x - b) > 0.05 * room || x < lo || x > hi) continue;
    ++tries;
    if (std::fabs(F(x)) <= accuracy_) return x;
  }
  return b;
}

// The shortest decimal on the significant side of a jump between `at` and
// `other`, no farther from the jump than its location is known to a billionth.
double Solve::ShortStep(double at, double other, double lo, double hi) {
  const int away = other > at ? -1 : 1;
  const double reach = std::fabs(other - at) + 1e-9 * std::fabs(at);
  for (int digits = 1; digits <= 17; ++digits) {
    const double x = RoundSignificant(at, digits, away);
    if (x == at) return at;
    if (std::fabs(x - at) > reach || x < lo || x > hi) continue;
    return Significant(F(x)) ? x : at;
  }
  return at;
}

bool Solve::AtLimit(double end, double fEnd, double lo, double hi, SolveOutcome& o) {
  const bool atLower = end == lo && lo == catLo_;
  const bool atUpper = end == hi && hi == catHi_;
  if (!atLower && !atUpper) return false;
  // The last digit the limit is shown with.
  const double unit = std::pow(10.0, -ResultDecimals(end));
  const double inside = atLower ? end + std::min(unit, (hi - lo) / 2) : end - std::min(unit, (hi - lo) / 2);
  const double fIn = F(inside);
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

SolveOutcome Solve::NoCrossing(double lo, double hi, double end, double fEnd) const {
  if (fMin_ < 0 && fMax_ > 0)
    return NotCalculable(NoValueKind::NotConverged,
                         "the search over " + Range(lo, hi) + " found no crossing it could settle on");
  if (quantity_.empty()) {
    const bool above = fMin_ > 0;
    const double nearer = above ? fMin_ : -fMax_, farther = above ? fMax_ : -fMin_;
    return NotCalculable(NoValueKind::NoCrossing, "the calculated value stays " + PlainNumber(nearer, 3) +
                                                      " to " + PlainNumber(farther, 3) +
                                                      (above ? " above" : " below") + " the requested one for " +
                                                      Range(lo, hi));
  }
  if (traits_.comparedPosition == u_)
    return NotCalculable(NoValueKind::NoCrossing, quantity_ + " of the other values is " +
                                                      PlainNumber(Computed(end, fEnd), 3) + ", outside " +
                                                      Range(lo, hi));
  const double c = work_.value(traits_.comparedPosition);
  return NotCalculable(NoValueKind::NoCrossing, quantity_ + " stays between " + PlainNumber(fMin_ + c, 3) +
                                                    " and " + PlainNumber(fMax_ + c, 3) + " for " +
                                                    Range(lo, hi));
}

SolveOutcome Solve::WholeSteps(double lo, double hi) {
  const double L = std::ceil(lo - 1e-9), H = std::floor(hi + 1e-9);
  if (L > H)
    return NotCalculable(NoValueKind::EmptyInterval,
                         "no whole " + caption_ + " lies between " + At(lo) + " and " + At(hi));
  const double fH = F(H);
  if (!Significant(fH))
    return NotCalculable(NoValueKind::NoCrossing, "no whole " + caption_ + " up to " + At(H) + " makes " +
                                                      quantity_ + " reach " + PlainNumber(Requested(), 3) +
                                                      " (it is " + PlainNumber(Computed(H, fH), 3) + " at " +
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
  // Exact probabilities rise and fall with the rounding of the counts: beyond
  // the first significant value a later one may fall back.  A window of
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
      o.note = quantity_ + " is " + PlainNumber(Computed(L, fAnswer), 3) + " already at " + caption_ + " = " +
               At(L) + ", the smallest value the limits allow";
      return o;
    }
    return NotCalculable(NoValueKind::NoCrossing, quantity_ + " reaches " + PlainNumber(Requested(), 3) +
                                                      " at every whole value of " + Range(L, H));
  }
  return Valued(SolveState::Step, answer, lo, hi,
                Jump(Computed(last, fLast), Computed(answer, fAnswer), answer) + ", and stays " +
                    (significantSign_ < 0 ? std::string("significant")
                                          : "at or above " + PlainNumber(Requested(), 3)) +
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
    // A steep criterion needs more digits for the value shown to be near a
    // root too (the shown text is read within kShownTolerance).
    if (state == SolveState::Solved && typed != value &&
        !(std::fabs(F(typed)) <= std::max(kShownTolerance, std::fabs(F(value)))))
      continue;
    break;
  }
  if (o.decimals == ResultDecimals(value)) o.decimals = -1;
  return o;
}

}  // namespace

SolveOutcome SolveAtOnePoint(Dispatcher& d) { return Solve(d).Run(); }

}  // namespace pelmora
