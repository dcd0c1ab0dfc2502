#include "engine/range.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "engine/solve.h"
#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "format/number_format.h"

namespace pelmora {

namespace {

double DefaultClock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

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

}  // namespace pelmora
