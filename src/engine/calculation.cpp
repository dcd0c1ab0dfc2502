#include "engine/calculation.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

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

double DefaultClock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string CaptionAt(const Session& s, int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption); }

// A number inside a sentence: plain decimals with `significant` digits, no
// trailing zeros; an exponent only for magnitudes below 0.000001.
std::string Plain(double v, int significant) {
  char buf[64];
  if (v == 0) return "0";
  const double a = std::fabs(v);
  if (a < 1e-6) {
    std::snprintf(buf, sizeof buf, "%.*g", significant, v);
    return buf;
  }
  const int magnitude = static_cast<int>(std::floor(std::log10(a)));
  const int decimals = std::clamp(significant - 1 - magnitude, 0, 12);
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string t = buf;
  if (t.find('.') != std::string::npos) {
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
  }
  return t;
}

// A value of the unknown (an end of its interval, a place of a jump).
std::string At(double v) { return Plain(v, 7); }
// A value of the criterion's quantity (a P-value, a power).
std::string Quantity(double v) { return Plain(v, 3); }

// The number of decimals the usual result format shows for v.
int ShownDecimals(double v) {
  const std::string pattern = ResultFormat(v);
  const auto point = pattern.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
}

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
  const double unit = std::pow(10.0, -ShownDecimals(end));
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
  for (int decimals = ShownDecimals(value); decimals <= 10; ++decimals) {
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
  if (o.decimals == ShownDecimals(value)) o.decimals = -1;
  return o;
}

// Decimals of a number read from a text: the fewest (up to 12) that hold it.
int DecimalsOf(double v) {
  for (int d = 0; d <= 12; ++d) {
    const double scaled = v * std::pow(10.0, d);
    if (std::fabs(scaled - std::nearbyint(scaled)) <= 1e-13 * std::max(1.0, std::fabs(scaled))) return d;
  }
  return 12;
}

}  // namespace

int LastSolveEvaluations() { return lastEvaluations; }

SolveOutcome SolveAtOnePoint(Dispatcher& d) {
  lastEvaluations = 0;
  return Solve(d).Run();
}

void ReadParameterValues(Session& s) {
  for (int p = 0; p <= s.LastPosition; ++p) s.value(p) = ParseNumber(s.entryAt(p).ParamText);
}

namespace {

// A value text that is neither blank, "-" (no value: the checks say so) nor
// one number.
bool Malformed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos || text.substr(first) == "-") return false;
  return !IsWellFormedNumber(text);
}

bool RefuseMalformed(Session& s, const std::string& what, const std::string& text) {
  s.ui().Warn(what + ": \"" + text + "\" is not a number");
  return false;
}

}  // namespace

bool CheckValueTexts(Session& s, std::initializer_list<int> skip) {
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1 || std::find(skip.begin(), skip.end(), p) != skip.end()) continue;
    const std::string& text = s.entryAt(p).ParamText;
    if (Malformed(text)) return RefuseMalformed(s, CaptionAt(s, p), text);
  }
  return true;
}

namespace {

template <std::size_t N>
bool OneOf(std::int16_t id, const std::int16_t (&ids)[N]) {
  return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

// The first listed position (not 1) whose id passes `is`, or -1.
template <class Is>
int ListedPosition(const Session& s, Is is) {
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1 && is(s.ParameterList[static_cast<std::size_t>(p)])) return p;
  return -1;
}

// A whole number of units from a solved size: rounded up, with a size that
// is whole but for the rounding of its solve taken as it is.
double WholeUp(double size) { return std::ceil(size - 1e-6 * std::max(1.0, std::fabs(size))); }

// The entry in the second size's form that stands for the whole size n2 with
// the whole first size n1: the single whose product with n1 is n2 for a
// ratio, as ResolveRelativeValue multiplies.
double SecondSizeEntry(std::int16_t id, double n1, double n2) {
  if (id == param::SecondSampleSizeDifference) return n2 - n1;
  if (id != param::SecondSampleSizeRatio) return n2;
  Single r = ToSingle(n2 / n1);
  for (int i = 0; i < 4 && ToSingle(n1) * r != ToSingle(n2); ++i)
    r = std::nextafter(r, ToSingle(n1) * r < ToSingle(n2) ? 1e30f : -1e30f);
  return r;
}

}  // namespace

DesignPower PowerOfDesign(Dispatcher& d) {
  Session& s = d.session();
  DesignPower result;
  if (s.IsTestProcedure == kFalse && s.ProcedureKind != 0) return result;
  result.power = d.CallEvaluatePower();
  const std::int16_t unknown = s.ParameterList[static_cast<std::size_t>(s.UnknownPosition)];
  const bool second = OneOf(unknown, param::kSecondSampleSizes) ||
                      unknown == param::SecondSampleSizeDifference || unknown == param::SecondSampleSizeRatio;
  if (!result.power || s.UnknownPosition == 1 ||
      !(OneOf(unknown, param::kSingleSampleSizes) || OneOf(unknown, param::kFirstSampleSizes) || second))
    return result;
  WholeSizes whole;
  const ParameterValueArray kept = s.ParameterValues;
  const int single = ListedPosition(s, [](std::int16_t id) { return OneOf(id, param::kSingleSampleSizes); });
  const int first = ListedPosition(s, [](std::int16_t id) { return OneOf(id, param::kFirstSampleSizes); });
  const int other = ListedPosition(s, [](std::int16_t id) {
    return OneOf(id, param::kSecondSampleSizes) || id == param::SecondSampleSizeDifference ||
           id == param::SecondSampleSizeRatio;
  });
  if (first >= 0 && other >= 0) {
    const std::int16_t form = s.ParameterList[static_cast<std::size_t>(other)];
    const double n1 = WholeUp(s.value(first));
    const double entry = s.value(other);
    const double n2 = WholeUp(form == param::SecondSampleSizeDifference ? n1 + entry
                              : form == param::SecondSampleSizeRatio    ? n1 * entry
                                                                        : entry);
    whole.sizes = {n1, n2};
    s.value(first) = n1;
    s.value(other) = SecondSizeEntry(form, n1, n2);
  } else if (single >= 0) {
    whole.sizes = {WholeUp(s.value(single))};
    s.value(single) = whole.sizes.front();
  } else {
    return result;
  }
  whole.total = whole.sizes[0] + (whole.sizes.size() > 1 ? whole.sizes[1] : 0);
  const int groups = ListedPosition(s, [](std::int16_t id) { return id == param::NoOfGroups; });
  const double k = groups >= 0 ? s.value(groups) : 0;
  const auto listed = static_cast<double>(whole.sizes.size());
  if (k > listed) whole.total += (k - listed) * whole.sizes.back();
  // Sizes that are whole already (a step result) have the power just found.
  whole.power = s.ParameterValues == kept ? result.power : d.CallEvaluatePower();
  s.ParameterValues = kept;
  result.whole = whole;
  return result;
}

SingleOutcome CalculateSingle(Dispatcher& d, SolveOutcome* outcome) {
  Session& s = d.session();
  if (s.ResultsCurrent) return SingleOutcome::AlreadyCurrent;
  CatalogueEntry& unknown = s.entryAt(s.UnknownPosition);
  SolveOutcome o;
  SingleOutcome result = SingleOutcome::Rejected;
  s.ResultRemark.clear();
  s.AchievedPower = DesignPower();
  if (!CheckValueTexts(s, {s.UnknownPosition})) {
    unknown.ParamText = "-";
  } else {
    ReadParameterValues(s);
    if (!d.CallCheckParameters()) {
      unknown.ParamText = "-";
    } else {
      s.ResultsCurrent = true;
      o = SolveAtOnePoint(d);
      s.value(s.UnknownPosition) = o.value;
      unknown.ParamText = OutcomeText(o);
      s.ResultRemark = OutcomeRemark(o, CaptionAt(s, s.UnknownPosition));
      if (o.HasValue()) s.AchievedPower = PowerOfDesign(d);
      result = o.state == SolveState::NotCalculable ? SingleOutcome::NotCalculable : SingleOutcome::Solved;
    }
  }
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  if (outcome != nullptr) *outcome = o;
  return result;
}

std::int64_t RangeStepCount(double xMin, double xMax, double xStep) {
  if (xStep == 0 || !std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(xStep)) return 0;
  const double steps = (xMax - xMin) / xStep;
  if (steps < -1e-3) return 0;
  return static_cast<std::int64_t>(std::floor(std::min(steps, 1e15) + 1e-3)) + 1;
}

std::vector<double> RangeSteps(double xMin, double xMax, double xStep, int limit) {
  std::vector<double> xs;
  const std::int64_t m = std::min<std::int64_t>(RangeStepCount(xMin, xMax, xStep), limit);
  // Xmin and the step as whole multiples of a power of ten, where they are
  // short decimals: each x is then the decimal its digits give.
  const int decimals = std::max({DecimalsOf(xMin), DecimalsOf(xMax), DecimalsOf(xStep)});
  const double scale = std::pow(10.0, decimals);
  const double first = std::nearbyint(xMin * scale), step = std::nearbyint(xStep * scale);
  const bool exact = decimals < 12 && std::fabs(first) + std::fabs(step) * static_cast<double>(m) < 4e15;
  for (std::int64_t i = 0; i < m; ++i) {
    const double x =
        exact ? (first + static_cast<double>(i) * step) / scale : xMin + static_cast<double>(i) * xStep;
    // Never past Xmax, whatever the last step's rounding.
    xs.push_back(xStep > 0 ? std::min(x, xMax) : std::max(x, xMax));
  }
  return xs;
}

std::vector<Single> ParseZValues(const std::string& text) {
  std::vector<Single> zs;
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return zs;
  std::string t = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (t.back() != ' ') t += ' ';
  std::size_t start = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != ' ') continue;
    zs.push_back(ToSingle(ParseNumber(ReplaceText(t.substr(start, i - start), ',', '.'))));
    start = i + 1;
  }
  return zs;
}

namespace {

// The z text's values, each one number (blanks separate them).
bool CheckZText(Session& s, int z) {
  const std::string& text = s.entryAt(z).ZValueText;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = std::min(text.find(' ', start), text.size());
    const std::string value = text.substr(start, end - start);
    if (!value.empty() && !IsWellFormedNumber(value))
      return RefuseMalformed(s, CaptionAt(s, z) + " (z values)", value);
    start = end + 1;
  }
  return true;
}

// The line a range run leaves when points have no value: how many, and the
// most common reason with its first example.
std::string RangeSummaryOf(int total, const std::vector<SolveOutcome>& failed, const std::string& caption) {
  if (failed.empty()) return {};
  auto group = [](const SolveOutcome& o) {
    return o.state == SolveState::AtLimit ? -1 - static_cast<int>(o.belowLimit) : static_cast<int>(o.kind);
  };
  const SolveOutcome* most = nullptr;
  int mostCount = 0;
  for (const SolveOutcome& o : failed) {
    const int n = static_cast<int>(std::count_if(
        failed.begin(), failed.end(), [&](const SolveOutcome& other) { return group(other) == group(o); }));
    if (n > mostCount) {
      most = &o;
      mostCount = n;
    }
  }
  std::string why = most->state == SolveState::AtLimit ? most->note : most->reason;
  return std::to_string(failed.size()) + " of " + std::to_string(total) + " points have no value of " +
         caption + "; most often (" + std::to_string(mostCount) + "): " + why + ".";
}

}  // namespace

RangeOutcome CalculateRange(Dispatcher& d, RangeProgress* progress, const std::function<double()>& clock) {
  Session& s = d.session();
  if (s.ResultsCurrent) return RangeOutcome::AlreadyCurrent;
  const auto now = clock ? clock : std::function<double()>(DefaultClock);
  auto invalid = [&](const std::string& message) {
    s.ui().Warn(message);
    s.CalcStopped = true;
    return RangeOutcome::Invalid;
  };
  const CatalogueEntry& xEntry = s.entryAt(s.XPosition);
  const std::string xCaption = CaptionAt(s, s.XPosition);
  for (const auto& [text, name] : {std::pair{&xEntry.TableMin, "Xmin"}, std::pair{&xEntry.TableMax, "Xmax"},
                                   std::pair{&xEntry.TableStep, "Xstep"}})
    if (!IsWellFormedNumber(*text)) {
      RefuseMalformed(s, xCaption + " (" + name + ")", *text);
      s.CalcStopped = true;
      return RangeOutcome::Invalid;
    }
  const bool zListed = !ParseZValues(s.entryAt(s.ZPosition).ZValueText).empty();
  const int zSkipped = zListed ? s.ZPosition : -1;
  if (!CheckValueTexts(s, {s.UnknownPosition, s.XPosition, zSkipped}) ||
      (zListed && !CheckZText(s, s.ZPosition))) {
    s.CalcStopped = true;
    return RangeOutcome::Rejected;
  }
  ReadParameterValues(s);
  const double xMin = ParseNumber(xEntry.TableMin);
  const double xMax = ParseNumber(xEntry.TableMax);
  const double xStep = ParseNumber(xEntry.TableStep);
  if (xStep > 0 && xMin > xMax) return invalid("Xmin must be < Xmax if Xstep > 0");
  if (xStep < 0 && xMin < xMax) return invalid("Xmin must be > Xmax if Xstep < 0");
  if (xStep == 0) return invalid("Xstep must be # 0");
  if (RangeStepCount(xMin, xMax, xStep) > kMaxRangeSteps)
    return invalid("Maximum number of steps is" + StrSingle(kMaxRangeSteps));

  std::vector<Single> zs = ParseZValues(s.entryAt(s.ZPosition).ZValueText);
  // Without z values the range is solved once, at the z parameter's own value.
  if (zs.empty()) zs.push_back(ToSingle(s.value(s.ZPosition)));
  const std::vector<double> xs = RangeSteps(xMin, xMax, xStep);
  const int m = static_cast<int>(xs.size());

  // Every point is checked before any is solved.
  for (Single z : zs) {
    for (double x : xs) {
      s.value(s.ZPosition) = z;
      s.value(s.XPosition) = x;
      if (!d.CallCheckParameters()) {
        s.CalcStopped = true;
        return RangeOutcome::Rejected;
      }
    }
  }
  const std::size_t blocks = zs.size();
  // The results are built apart and replace the session's only when the run
  // completes, so a cancelled or failed run leaves the earlier ones in place.
  std::vector<Single> xValues(static_cast<std::size_t>(m), 0.0f);
  std::vector<std::vector<Single>> yValues(blocks,
                                           std::vector<Single>(static_cast<std::size_t>(m), kNotCalculated));
  std::vector<std::vector<SolveState>> yStates(
      blocks, std::vector<SolveState>(static_cast<std::size_t>(m), SolveState::NotCalculable));
  std::vector<SolveOutcome> failed;
  Single yMax = -99999.0f;
  Single yMin = 99999.0f;
  int calculated = 0;
  const double t0 = now();
  const int total = static_cast<int>(blocks) * m;
  bool shown = false;
  int counter = 0;
  for (std::size_t k = 0; k < blocks; ++k) {
    s.value(s.ZPosition) = zs[k];
    for (int i = 0; i < m; ++i) {
      const auto at = static_cast<std::size_t>(i);
      s.value(s.XPosition) = xs[at];
      SolveOutcome o = SolveAtOnePoint(d);
      xValues[at] = ToSingle(xs[at]);
      yStates[k][at] = o.state;
      if (o.HasValue()) {
        const Single y = ToSingle(o.value);
        yValues[k][at] = y;
        yMax = std::max(yMax, y);
        yMin = std::min(yMin, y);
        ++calculated;
      } else {
        failed.push_back(std::move(o));
      }
      ++counter;
      if (progress != nullptr) {
        const double elapsed = now() - t0;
        if (!shown && k == 0 && i == 0 && Int(elapsed * total) > 5) {
          progress->Show(total);
          shown = true;
        } else if (!shown && elapsed > 1.0) {
          progress->Show(total - static_cast<int>(k) * m - (i + 1));
          shown = true;
          counter = 1;
        }
        if (shown) {
          progress->ProcessEvents();
          progress->SetValue(counter);
        }
      }
      if (s.CalcStopped) break;
    }
    if (s.CalcStopped) {
      if (shown) progress->Hide();
      return RangeOutcome::Cancelled;
    }
  }
  if (shown) progress->Hide();
  // Nothing calculated, or several points that all give one value: nothing
  // to show.  A single calculated point is a result.
  if (calculated == 0 || (calculated > 1 && yMax <= yMin)) {
    s.ui().Warn("Can't Be Calculated For Any x-value");
    s.CalcStopped = true;
    return RangeOutcome::NothingCalculable;
  }
  s.XValues = std::move(xValues);
  s.YValues = std::move(yValues);
  s.YStates = std::move(yStates);
  s.ZValues = std::move(zs);
  s.YMax = yMax;
  s.YMin = yMin;
  s.RangeSummary = RangeSummaryOf(total, failed, CaptionAt(s, s.UnknownPosition));
  s.ResultsCurrent = true;
  return RangeOutcome::Done;
}

void BuildRangeHeadings(Session& s, bool forTable) {
  auto caption = [&](int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption); };
  s.RangeHeadings.clear();
  s.RangeHeadings.push_back(s.Description);
  if (forTable)
    s.RangeHeadings.push_back(caption(s.UnknownPosition) + " as a function of " + caption(s.XPosition) +
                              " and " + caption(s.ZPosition) + ".");
  std::string line;
  int inLine = 0;
  auto flush = [&] {
    const auto end = line.find_last_not_of(' ');
    s.RangeHeadings.push_back(end == std::string::npos ? std::string() : line.substr(0, end + 1));
    line.clear();
    inLine = 0;
  };
  // Position 1 has no value box: nothing the user entered.
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1 || p == s.UnknownPosition || p == s.XPosition || p == s.ZPosition) continue;
    // The value as its text gives it, whether or not it was read yet.
    line += caption(p) + "=" + StrSingleTrimmed(ToSingle(ParseNumber(s.entryAt(p).ParamText))) + "    ";
    if (++inLine == 3) flush();
  }
  if (inLine > 0 || s.RangeHeadings.size() == (forTable ? 2u : 1u)) flush();
}

}  // namespace pelmora
