#include "engine/achieved_power.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/sequential_summary.h"
#include "format/number_entry.h"
#include "numeric/platform.h"

namespace pelmora {

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
// The list positions of the single, the first and the second sample size
// (in any of its forms); -1 where the list has none.
struct SizePositionsOf {
  int single, first, other;
};
SizePositionsOf SizePositions(const Session& s) {
  return {ListedPosition(s, [](std::int16_t id) { return OneOf(id, param::kSingleSampleSizes); }),
          ListedPosition(s, [](std::int16_t id) { return OneOf(id, param::kFirstSampleSizes); }),
          ListedPosition(s, [](std::int16_t id) {
            return OneOf(id, param::kSecondSampleSizes) || id == param::SecondSampleSizeDifference ||
                   id == param::SecondSampleSizeRatio;
          })};
}

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

WholeSizes ListedSampleSizes(const Session& s) {
  WholeSizes out;
  const auto [single, first, other] = SizePositions(s);
  if (first >= 0 && other >= 0) {
    const std::int16_t form = s.ParameterList[static_cast<std::size_t>(other)];
    const double n1 = s.value(first), entry = s.value(other);
    out.sizes = {n1, form == param::SecondSampleSizeDifference ? n1 + entry
                     : form == param::SecondSampleSizeRatio    ? n1 * entry
                                                               : entry};
  } else if (single >= 0) {
    out.sizes = {s.value(single)};
  } else {
    return out;
  }
  out.total = out.sizes[0] + (out.sizes.size() > 1 ? out.sizes[1] : 0);
  const int groups = ListedPosition(s, [](std::int16_t id) { return id == param::NoOfGroups; });
  const double k = groups >= 0 ? s.value(groups) : 0;
  const auto listed = static_cast<double>(out.sizes.size());
  if (k > listed) out.total += (k - listed) * out.sizes.back();
  return out;
}

namespace {
bool RoundSizesUp(Session& s, WholeSizes& whole);
}  // namespace

std::optional<WholeSizes> WholeSizesAt(Session& work, const ParameterValueArray& values) {
  work.ParameterValues = values;
  WholeSizes whole;
  if (!RoundSizesUp(work, whole)) return std::nullopt;
  return whole;
}

double ExpectedDropoutOf(const Session& s) {
  if (!OffersExpectedDropout(s)) return 0;
  return ExpectedDropoutValue(s.planning.ExpectedDropout).value_or(0);
}

namespace {

DesignPower PowerAndWholeSizes(Dispatcher& d);

// The whole sizes at the session's values when the unknown is a sample size:
// the first size rounded up, the second derived from it by its form and
// rounded up, the subjects in all; the whole sizes are written into the
// values.  False when the unknown is no sample size.
bool RoundSizesUp(Session& s, WholeSizes& whole) {
  const std::int16_t unknown = s.ParameterList[static_cast<std::size_t>(s.UnknownPosition)];
  const bool second = OneOf(unknown, param::kSecondSampleSizes) ||
                      unknown == param::SecondSampleSizeDifference || unknown == param::SecondSampleSizeRatio;
  if (s.UnknownPosition == 1 ||
      !(OneOf(unknown, param::kSingleSampleSizes) || OneOf(unknown, param::kFirstSampleSizes) || second))
    return false;
  const auto [single, first, other] = SizePositions(s);
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
    return false;
  }
  whole.total = whole.sizes[0] + (whole.sizes.size() > 1 ? whole.sizes[1] : 0);
  const int groups = ListedPosition(s, [](std::int16_t id) { return id == param::NoOfGroups; });
  const double k = groups >= 0 ? s.value(groups) : 0;
  const auto listed = static_cast<double>(whole.sizes.size());
  if (k > listed) whole.total += (k - listed) * whole.sizes.back();
  return true;
}

// The sizes to recruit so that the whole sizes remain after the dropout.
void AddRecruitSizes(WholeSizes& whole, double dropout) {
  if (!(dropout > 0) || whole.sizes.empty()) return;
  double listed = 0;
  for (double n : whole.sizes) listed += n;
  const double further = whole.sizes.back() > 0 ? (whole.total - listed) / whole.sizes.back() : 0;
  whole.dropout = dropout;
  whole.recruitTotal = 0;
  for (double n : whole.sizes) {
    whole.recruit.push_back(std::ceil(n / (1 - dropout) - 1e-9 * std::max(1.0, n)));
    whole.recruitTotal += whole.recruit.back();
  }
  whole.recruitTotal += further * whole.recruit.back();
}

}  // namespace

DesignPower PowerOfDesign(Dispatcher& d) {
  DesignPower result = PowerAndWholeSizes(d);
  if (result.power)
    result.sequential =
        SummarizeSequentialDesign(d, result.whole.sizes.empty() ? ListedSampleSizes(d.session()) : result.whole);
  AddRecruitSizes(result.whole, ExpectedDropoutOf(d.session()));
  return result;
}

namespace {

DesignPower PowerAndWholeSizes(Dispatcher& d) {
  Session& s = d.session();
  DesignPower result;
  const bool test = s.IsTestProcedure != kFalse || s.ProcedureKind == 0;
  if (test) {
    result.power = d.CallEvaluatePower();
    if (result.power) result.effect = d.CallEffect();
  } else if (ExpectedDropoutOf(s) == 0) {
    return result;
  }
  if (test && !result.power) return result;
  WholeSizes whole;
  const ParameterValueArray kept = s.ParameterValues;
  if (!RoundSizesUp(s, whole)) return result;
  // Sizes that are whole already (a step result) have the power just found.
  if (test) whole.power = s.ParameterValues == kept ? result.power : d.CallEvaluatePower();
  s.ParameterValues = kept;
  result.whole = whole;
  return result;
}

}  // namespace

}  // namespace pelmora
