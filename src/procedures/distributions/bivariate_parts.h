// What the procedures of the bivariate normal sample distribution share: the
// catalogue ids they list, two routines of the pair (X1, X2), and the small
// helpers with which each writes its list and reads its values.
#pragma once

#include <cstdint>

#include "numeric/platform.h"
#include "procedures/procedure_module.h"

namespace pelmora {

// The standard error of the mean of the n differences X2 - X1 when X1 and X2
// have the standard deviations s1 and s2 and the correlation rho:
// sqrt((s1^2 + s2^2 - 2 s1 s2 rho) / n).
Single PairedDifferenceSE(Single n, Single s1, Single s2, Single rho);

// The correlation of X1 + X2 with X2 - X1 when SD2 / SD1 = lambda and X1, X2
// have the correlation rho:
// (lambda^2 - 1) / sqrt((lambda^2 + 1 - 2 rho lambda)(lambda^2 + 1 + 2 rho lambda)).
// Equal standard deviations give 0; it grows with lambda for |rho| < 1 and is
// kept within [-1, 1] against rounding.
Single SumDiffCorrelation(Single lambda, Single rho);

// Catalogue ids of the parameters the bivariate normal procedures list.
struct BivariateNormalIds {
  static constexpr std::int16_t PValue = 0, Power = 1, ConfidenceLevel = 22, ProbWidth = 101;
  static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, Width = 100;
  static constexpr std::int16_t SampleSize = 14;
  // The standard deviations and the correlation of the pair.
  static constexpr std::int16_t Sd1 = 216, Sd2 = 217, Sd2MinusSd1 = 218, Sd2OverSd1 = 219;
  static constexpr std::int16_t Correlation = 220;
  // The mean of the difference; its equivalence limits are differences.
  static constexpr std::int16_t H0MeanOfDiff = 157, MeanOfDiff = 158, MeanOfDiffMinusH0 = 159,
                                MeanOfDiffOverH0 = 160, SdOfDiff = 3;
  static constexpr std::int16_t LeftDiffLimit = 6, RightDiffLimit = 7;
  // The ratio of the standard deviations; its equivalence limits are ratios
  // (0.80 and 1.25 at start-up).
  static constexpr std::int16_t H0Ratio = 114, Ratio = 115, Sd1Star = 139, Sd2Star = 140;
  static constexpr std::int16_t LeftRatioLimit = 116, RightRatioLimit = 117;
  // The regression coefficient of X2 on X1.
  static constexpr std::int16_t H0Coefficient = 203, Coefficient = 204, CoefficientMinusH0 = 205,
                                CoefficientOverH0 = 206;
  static constexpr std::int16_t ResidualSd = 212, CovariateSd = 213;
};

namespace bivariate {

using Ids = BivariateNormalIds;

// The single-precision constants widened to double: the smallest standard
// deviation, and the largest correlation a regression may imply.
inline constexpr double kSmallest = static_cast<double>(0.00001f);
inline constexpr double kInside = static_cast<double>(0.99999f);
// The smallest sample size at which 1 / sqrt(n - 3) has a value.
inline constexpr Single kMinZSize = 3.00001f;

inline std::int16_t ValidForm(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

// Writes a parameter list: started by StartParameterList, the ids of the
// procedure's own positions follow one by one; Close sets LastPosition.
class ListWriter {
 public:
  explicit ListWriter(Session& s) : s_(s), p_(StartParameterList(s)) {}
  // Positions 0 and 1 of a confidence interval.
  void Interval() {
    s_.ParameterList[0] = Ids::ConfidenceLevel;
    s_.ParameterList[1] = Ids::ProbWidth;
  }
  int Put(std::int16_t id) {
    s_.ParameterList[static_cast<std::size_t>(p_)] = id;
    return p_++;
  }
  void Close() { s_.LastPosition = static_cast<std::int16_t>(p_ - 1); }

 private:
  Session& s_;
  int p_;
};

// The id of the lower limit, the upper limit or the width, by the interval kind.
std::int16_t LimitId(std::int16_t intervalKind);

// The value at a position as a single; 0 for a position the list lacks.
inline Single At(const Session& s, int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; }

// The absolute value a relative entry at p stands for (see ResolveRelativeValue).
Single Resolve(const Session& s, int p, Single base, std::int16_t mode);

// The upper quantile probability of a two-sided interval at confidence level cl.
inline Single UpperProbability(Single cl) { return 1 - (1 - cl) / 2; }

// The lower limit, the upper limit or the width, by the interval kind.
inline Single ChosenOfInterval(std::int16_t intervalKind, Single lower, Single upper, Single width) {
  return intervalKind == 0 ? lower : intervalKind == 1 ? upper : width;
}

// An unknown base whose partner at `relative` is entered in form mode: keeps
// the value the partner stands for within [lo, hi] (bounds at the sentinels are
// absent).
void KeepPartnerWithinBounds(const Session& s, double& lower, double& upper, int relative, double lo,
                             double hi, std::int16_t mode);

// The standard deviation 2 entry at sd2 relative to standard deviation 1 at
// sd1 (adjacent positions): an unknown either keeps SD2 within its bounds.
void NarrowSdPair(const Session& s, double& lower, double& upper, int sd1, int sd2, std::int16_t mode);

// The ratio lambda whose sum-difference correlation at rho is c: the root above
// 1 (c > 0) or below 1 (c < 0) of (1 - c^2) u^2 - 2 (1 + c^2 - 2 rho^2 c^2) u +
// (1 - c^2) = 0 in u = lambda^2.  0 when c is at +-1.
double RatioOfSumDiffCorrelation(double c, double rho);

}  // namespace bivariate

}  // namespace pelmora
