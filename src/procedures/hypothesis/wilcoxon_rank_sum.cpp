#include "procedures/hypothesis/wilcoxon_rank_sum.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/grid_entry.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/calculation_rows.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

// The smallest variance of the rank sum; a tie correction as large as the
// variance itself leaves this much.
constexpr Single kMinVariance = 0.00001f;
// Two probabilities read from their texts may sum to 1 up to this much more.
constexpr double kProbabilitySlack = 1e-9;

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

// n1 n2 (n1 + n2 + 1) / 12: the variance of the count, and of the rank sum
// without ties.
Single UntiedVariance(Single n1, Single n2) { return n1 * n2 * (n1 + n2 + 1) / 12; }

}  // namespace

void WilcoxonRankSum::InitProcedure(Session& s) {
  DisableOneSample(s);
  // The list has no equivalence limits.
  DisableTwoOneSided(s);
  OfferRow(s, group::SampleSize2);
  OfferOption(s, option::ContinuityCorrection);
  OfferOption(s, option::OrderedCategories);
}

void WilcoxonRankSum::BuildParameterList(Session& s) {
  continuity_ = OfferedOptionChecked(s, 0);
  ordered_ = OfferedOptionChecked(s, 1);
  size2Mode_ = s.IntParMode[group::SampleSize2];
  s.ValueMode = size2Mode_;

  higher_ = equal_ = ties_ = categories_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  higher_ = put(Ids::ProbHigher);
  if (ordered_) {
    equal_ = put(Ids::ProbEqual);
    ties_ = put(Ids::TieCorrection);
    categories_ = put(Ids::NumberOfCategories);
  }
  static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                            Ids::SampleSize2OverSize1};
  n1_ = put(Ids::SampleSize1);
  n2_ = put(size2[FormIndex(size2Mode_)]);
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool WilcoxonRankSum::CheckParameters(Session& s) {
  const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
  if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  // Sample 2 above sample 1 and the two equal are two parts of one whole.
  if (ordered_ && s.UnknownPosition != higher_ && s.UnknownPosition != equal_ &&
      s.value(higher_) + s.value(equal_) > 1 + kProbabilitySlack) {
    s.ui().Warn(RemoveAccelerator(s.entryAt(higher_).ParamCaption()) + " + " +
                RemoveAccelerator(s.entryAt(equal_).ParamCaption()) + " has to be less than or equal to 1");
    return false;
  }
  return true;
}

void WilcoxonRankSum::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  // The assumed result lies on the rejection side of the null hypothesis:
  // n1 n2 (p + q/2) above (or, rejecting in the left tail, below) n1 n2 / 2.
  if (u == higher_) {
    const double q = ordered_ ? s.value(equal_) : 0.0;
    NarrowByTailReversed(s, lower, upper, (1 - q) / 2);
    if (ordered_) upper = MinOf(upper, 1 - q + kProbabilitySlack);
  }
  if (ordered_) {
    if (u == equal_) {
      NarrowByTailReversed(s, lower, upper, 1 - 2 * s.value(higher_));
      upper = MinOf(upper, 1 - s.value(higher_) + kProbabilitySlack);
    }
    if (u == ties_) {
      // A larger correction would meet the smallest variance, where the
      // P-value no longer depends on it.
      const Single n1 = ToSingle(s.value(n1_));
      const Single n2 =
          ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
      upper = MinOf(upper, static_cast<double>(UntiedVariance(n1, n2) - kMinVariance));
    }
    // The number of categories does not enter the criterion.
    if (u == categories_) lower = upper;
  }
  if (u == n1_ && (size2Mode_ == 1 || size2Mode_ == 2)) LowerBoundBaseSize(s, n2_, lower);
  if (u == n2_ && (size2Mode_ == 1 || size2Mode_ == 2)) LowerBoundRelativeSize(s, n1_, lower);
}

ZArguments WilcoxonRankSum::Statistic(const Session& s) const {
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single n1 = at(n1_);
  const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
  const Single p = at(higher_);
  ZArguments z;
  z.cc = continuity_ ? 0.5f : 0.0f;
  if (!ordered_) {
    // The Mann-Whitney count.
    z.x = n1 * n2 * p;
    z.null = n1 * n2 / 2;
    z.se = std::sqrt(UntiedVariance(n1, n2));
  } else {
    // The rank sum of sample 2.
    const Single q = at(equal_);
    const Single t = at(ties_);
    z.x = n2 * (n2 + 1) / 2 + n1 * n2 * (p + q / 2);
    z.null = n2 * (n1 + n2 + 1) / 2;
    z.se = std::sqrt(MaxOf(UntiedVariance(n1, n2) - t, kMinVariance));
  }
  return z;
}

double WilcoxonRankSum::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, Statistic(s))) - s.value(0);
}

std::optional<double> WilcoxonRankSum::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), Statistic(s));
}

// ---------------------------------------------------------------------------
// The counts of the two groups per ordered category.

bool WilcoxonRankSum::OpenGroupGrid(Session& s, int row) {
  if (!ordered_) return false;
  const int p = PositionOfRow(row);
  if (p != higher_ && p != equal_ && p != ties_) return false;
  // The columns are the categories whose number the user has typed.
  const double k = std::nearbyint(ParseNumber(s.entryAt(categories_).ParamText));
  if (!(k >= 2 && k <= kMaxCategories)) return false;
  const int columns = static_cast<int>(k);
  GridLayout layout{"1 2", "Group", {}, "Numbers in Category"};
  for (int c = 1; c <= columns; ++c) layout.headings.push_back(std::to_string(c));
  gridPosition_ = p;
  if (!ShowGrid(s, s.entryAt(p).ParamCaption(), 2, columns, layout,
                [this, &s](int r, int c) { return CheckGroupGrid(s, r, c); }))
    return false;
  return !s.CalcStopped;
}

bool WilcoxonRankSum::CheckGroupGrid(Session& s, int row, int column) { return CheckCellMinimum(s, row, column, 0); }

Single WilcoxonRankSum::ApplyGroupGrid(Session& s) {
  const GridTable& g = s.grid;
  const int k = g.columns;
  std::vector<Single> count1(static_cast<std::size_t>(k)), count2(static_cast<std::size_t>(k));
  Single n1 = 0, n2 = 0;
  for (int c = 1; c <= k; ++c) {
    const auto i = static_cast<std::size_t>(c - 1);
    count1[i] = ToSingle(GridValue(g, 1, c));
    count2[i] = ToSingle(GridValue(g, 2, c));
    n1 += count1[i];
    n2 += count2[i];
  }
  if (n1 < 2 || n2 < 2) {
    s.ui().ShowMessage("Sum In Each Row Must Be >=2", s.Description, MessageIcon::Exclamation);
    s.CalcStopped = true;
    return 0;
  }
  // Over all pairs of one observation from each group: those where group 2
  // lies in a higher category, and those in the same category; and the sum of
  // t^3 - t over the category totals t.
  Single higher = 0, same = 0, cubes = 0, belowInGroup1 = 0;
  for (std::size_t i = 0; i < count1.size(); ++i) {
    higher += count2[i] * belowInGroup1;
    belowInGroup1 += count1[i];
    same += count1[i] * count2[i];
    const Single t = count1[i] + count2[i];
    cubes += t * t * t - t;
  }
  const Single pairs = n1 * n2;
  const Single total = n1 + n2;
  // Within the limits the parameters take: no pair higher, or all of them
  // tied, hands back the limit nearest to 0 or 1 (the two stay a whole).
  auto within = [&](std::int16_t id, Single v) {
    const CatalogueEntry& e = s.entry(id);
    return std::clamp(v, ToSingle(e.ParamLowerLimit()), ToSingle(e.ParamUpperLimit()));
  };
  const Single p = within(Ids::ProbHigher, higher / pairs);
  const Single q = within(Ids::ProbEqual, same / pairs);
  const Single correction = pairs * cubes / (12 * total * (total - 1));
  Single second = n2;
  if (size2Mode_ == 1) second = n2 - n1;
  if (size2Mode_ == 2) second = n2 / n1;

  auto store = [&](int position, Single v) {
    s.value(position) = v;
    s.entryAt(position).ParamText = FormatPattern(v, "#####0.0#####");
  };
  store(higher_, p);
  store(equal_, q);
  store(ties_, correction);
  store(categories_, static_cast<Single>(k));
  store(n1_, n1);
  store(n2_, second);
  return gridPosition_ >= 0 ? ToSingle(s.value(gridPosition_)) : p;
}

}  // namespace pelmora
