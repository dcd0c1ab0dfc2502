#include "engine/calculation.h"

#include <chrono>
#include <cmath>
#include <utility>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "numeric/fault_guard.h"
#include "numeric/root.h"

namespace pelmora {

namespace {

// Raised inside the objective when the criterion faulted, to end the solve.
struct CriterionFault {};

thread_local int lastEvaluations = 0;

double DefaultClock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool IsNoResult(double r) {
  if (!std::isfinite(r)) return true;
  if (ToSingle(r) == 99999.0f || ToSingle(r) == 33333.0f) return true;
  const double whole = Int(r);
  return whole == 66666 || whole == 6666 || whole == 66667 || whole == 9999;
}

int LastSolveEvaluations() { return lastEvaluations; }

double SolveAtOnePoint(Dispatcher& d) {
  Session& s = d.session();
  const CatalogueEntry& unknown = s.entryAt(s.UnknownPosition);
  double lo = unknown.ParamLowerLimit;
  double hi = unknown.ParamUpperLimit;
  lastEvaluations = 0;
  auto interval = EvaluateGuarded([&] {
    d.CallSetSearchInterval(lo, hi);
    return 0.0;
  });
  if (!interval || !std::isfinite(lo) || !std::isfinite(hi)) return kNoResult;
  if (!(lo < hi)) return kNoResult;
  auto objective = [&](double x) {
    ++lastEvaluations;
    s.value(s.UnknownPosition) = x;
    auto f = EvaluateGuarded([&] { return d.CallEvaluateCriterion(); });
    if (!f) throw CriterionFault{};
    return *f;
  };
  RootResult r;
  try {
    r = FindRoot(objective, lo, hi, kSolveTolerance, kSolveMaxIterations);
  } catch (const CriterionFault&) {
    return kNoResult;
  }
  if (!(std::fabs(r.fRoot) <= kAcceptance)) return kNoResult;
  if (IsNoResult(r.root)) return kNoResult;
  return r.root;
}

void ReadParameterValues(Session& s) {
  for (int p = 0; p <= s.LastPosition; ++p) s.value(p) = ParseNumber(s.entryAt(p).ParamText);
}

SingleOutcome CalculateSingle(Dispatcher& d) {
  Session& s = d.session();
  if (s.ResultsCurrent) return SingleOutcome::AlreadyCurrent;
  ReadParameterValues(s);
  CatalogueEntry& unknown = s.entryAt(s.UnknownPosition);
  SingleOutcome outcome = SingleOutcome::Solved;
  if (!d.CallCheckParameters()) {
    unknown.ParamText = "-";
    outcome = SingleOutcome::Rejected;
  } else {
    s.ResultsCurrent = true;
    const double r = SolveAtOnePoint(d);
    s.value(s.UnknownPosition) = r;
    if (r == kNoResult) {
      unknown.ParamText = "-";
      outcome = SingleOutcome::NotCalculable;
    } else {
      unknown.ParamText = FormatResult(r);
    }
  }
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  return outcome;
}

std::vector<double> RangeSteps(double xMin, double xMax, double xStep) {
  std::vector<double> xs;
  if (xStep == 0) return xs;
  const double end = xMax + Sgn(xStep) * 1e-5;
  for (double x = xMin; xStep > 0 ? x <= end : x >= end; x += xStep) {
    xs.push_back(x);
    if (xs.size() > static_cast<std::size_t>(kMaxRangeSteps) + 1) break;
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

RangeOutcome CalculateRange(Dispatcher& d, RangeProgress* progress, const std::function<double()>& clock) {
  Session& s = d.session();
  if (s.ResultsCurrent) return RangeOutcome::AlreadyCurrent;
  const auto now = clock ? clock : std::function<double()>(DefaultClock);
  ReadParameterValues(s);
  const CatalogueEntry& xEntry = s.entryAt(s.XPosition);
  const Single xMin = ToSingle(ParseNumber(xEntry.TableMin));
  const Single xMax = ToSingle(ParseNumber(xEntry.TableMax));
  const Single xStep = ToSingle(ParseNumber(xEntry.TableStep));
  auto invalid = [&](const std::string& message) {
    s.ui().Warn(message);
    s.CalcStopped = true;
    return RangeOutcome::Invalid;
  };
  if (xStep > 0 && xMin > xMax) return invalid("Xmin must be < Xmax if Xstep > 0");
  if (xStep < 0 && xMin < xMax) return invalid("Xmin must be > Xmax if Xstep < 0");
  if (xStep == 0) return invalid("Xstep must be # 0");
  const double steps = Int((static_cast<double>(xMax) - xMin) / xStep + 0.001) + 1;
  if (steps > kMaxRangeSteps) return invalid("Maximum number of steps is" + StrSingle(kMaxRangeSteps));

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
                                           std::vector<Single>(static_cast<std::size_t>(m), 99999.0f));
  Single yMax = -99999.0f;
  Single yMin = 99999.0f;
  const double t0 = now();
  const int total = static_cast<int>(blocks) * m;
  bool shown = false;
  int counter = 0;
  for (std::size_t k = 0; k < blocks; ++k) {
    s.value(s.ZPosition) = zs[k];
    for (int i = 0; i < m; ++i) {
      s.value(s.XPosition) = xs[static_cast<std::size_t>(i)];
      const double r = SolveAtOnePoint(d);
      const Single y = IsNoResult(r) ? 99999.0f : ToSingle(r);
      xValues[static_cast<std::size_t>(i)] = ToSingle(xs[static_cast<std::size_t>(i)]);
      yValues[k][static_cast<std::size_t>(i)] = y;
      if (y > yMax && y < 99999.0f) yMax = y;
      if (y < yMin && y < 99999.0f) yMin = y;
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
  if (yMax <= yMin) {
    s.ui().Warn("Can't Be Calculated For Any x-value");
    s.CalcStopped = true;
    return RangeOutcome::NothingCalculable;
  }
  s.XValues = std::move(xValues);
  s.YValues = std::move(yValues);
  s.ZValues = std::move(zs);
  s.YMax = yMax;
  s.YMin = yMin;
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
