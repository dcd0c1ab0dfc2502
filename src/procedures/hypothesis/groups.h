// Ids of the interchangeable-parameter groups and options the test modules
// offer, and the small helpers with which they offer them.
#pragma once

#include <cstdint>

#include "session/session.h"

namespace pelmora {

namespace group {
inline constexpr std::int16_t Mean = 0;                // "Mean*"
inline constexpr std::int16_t Mean2 = 1;               // "Mean 2*"
inline constexpr std::int16_t SampleSize2 = 2;         // "Sample Size 2"
inline constexpr std::int16_t MeanOfDiff = 21;         // "Mean of Diff.*"
inline constexpr std::int16_t StdDeviation2 = 29;      // "Std.Deviation 2"
inline constexpr std::int16_t StdDeviation2Star = 33;  // "Std.Deviation 2*"
}  // namespace group

namespace option {
inline constexpr std::int16_t DegreesOfFreedom = 0;
inline constexpr std::int16_t NoOfGroupsInAnova = 5;
inline constexpr std::int16_t UnequalStdDeviations = 12;
}  // namespace option

// Appends a row for group g to the offered rows.
inline void OfferRow(Session& s, std::int16_t g) {
  if (s.IntParRowCount < 4) s.IntParRowGroup[static_cast<std::size_t>(s.IntParRowCount++)] = g;
}

// Appends a check box for option id to the offered options.
inline void OfferOption(Session& s, std::int16_t id) {
  if (s.OptionCount < 3) s.OptionId[static_cast<std::size_t>(s.OptionCount++)] = id;
}

// The form chosen for the group of offered row k, or 0 when there is no such row.
inline std::int16_t RowMode(const Session& s, int k) {
  if (k >= s.IntParRowCount) return 0;
  return s.IntParMode[static_cast<std::size_t>(s.IntParRowGroup[static_cast<std::size_t>(k)])];
}

// Whether offered check box k is ticked.
inline bool OfferedOptionChecked(const Session& s, int k) {
  return k < s.OptionCount && s.optionChecked(s.OptionId[static_cast<std::size_t>(k)]);
}

}  // namespace pelmora

// Groups and options of the binomial and hypergeometric tests (BinomialProportions, HypergeometricProportions).
namespace pelmora {
namespace group {
inline constexpr std::int16_t Proportion = 11;       // "Proportion*"
inline constexpr std::int16_t Proportion2 = 12;      // "Proportion 2*"
inline constexpr std::int16_t PopulationSize2 = 25;  // "Population Size 2"
}  // namespace group
namespace option {
inline constexpr std::int16_t ContinuityCorrection = 1;
inline constexpr std::int16_t ArcSineTransformation = 2;
inline constexpr std::int16_t ExactCalculation = 7;
}  // namespace option
}  // namespace pelmora

// Groups and options of the z test of a mean, the tests of standard deviations,
// the z and t tests of log-normal medians and the bioequivalence test (NormalZ,
// StandardDeviation, LogNormalMedian, LogNormalT, Bioequivalence).
namespace pelmora {
namespace group {
inline constexpr std::int16_t StdDeviationStar = 3;    // "Std.Deviation*"
inline constexpr std::int16_t Median = 9;              // "Median*"
inline constexpr std::int16_t Median2 = 10;            // "Median 2*" / "Med.2*/Med.1*"
inline constexpr std::int16_t StdDeviationRatio = 13;  // "Std.Deviation 2*" / "StDev2*/ StDev1*"
inline constexpr std::int16_t Dispersion = 19;         // "Std. Deviation*" / "Coeff.of Variation*"
inline constexpr std::int16_t Shape2 = 31;             // "Shape 2"
inline constexpr std::int16_t Shape2Star = 36;         // "Shape 2*"
}  // namespace group

namespace option {
inline constexpr std::int16_t UnequalShapes = 14;
}  // namespace option
}  // namespace pelmora

// Groups and options of Fisher's exact test, the chi2 test of a 2 x 2 table and
// McNemar's test (FisherExactTest, ChiSquare2x2, McNemar).
namespace pelmora {
namespace group {
inline constexpr std::int16_t Proportion11 = 20;  // "Proportion 11*" / "Prop.10*+Prop.01*"
inline constexpr std::int16_t Frequency2 = 34;    // "Frequency 2"
}  // namespace group
namespace option {
inline constexpr std::int16_t Frequencies = 13;
}  // namespace option
}  // namespace pelmora

// Options of the Wilcoxon rank-sum, Wilcoxon signed-rank and sign tests (WilcoxonRankSum,
// WilcoxonSignedRank, Sign); they also offer the continuity correction and the exact
// calculation above.
namespace pelmora {
namespace option {
inline constexpr std::int16_t OrderedCategories = 8;
}  // namespace option
}  // namespace pelmora

// Groups and options of the survival tests: the log-rank test and the tests of
// the exponential location and scale (LogRank, ExponentialLocation, ExponentialScale).
namespace pelmora {
namespace group {
inline constexpr std::int16_t HazardRate2 = 5;  // "Hazard Rate 2*"
inline constexpr std::int16_t Incidence2 = 7;   // "Incidence 2*"
inline constexpr std::int16_t Location = 14;    // "Location*"
inline constexpr std::int16_t Scale = 15;       // "Scale*"
inline constexpr std::int16_t Scale2 = 16;      // "Scale 2*" / "Scale2* / Scale1*"
inline constexpr std::int16_t Event2 = 35;      // "Event 2"
}  // namespace group
namespace option {
inline constexpr std::int16_t Incidence = 3;
inline constexpr std::int16_t NumberOfEvents = 4;
}  // namespace option
}  // namespace pelmora

// Groups and options of one-way ANOVA and the tests of correlation and
// regression coefficients (Anova, CorrelationCoefficient, RegressionCoefficient).
namespace pelmora {
namespace group {
inline constexpr std::int16_t StdDevOfMeans = 17;     // "Std.Dev of Means*", "Max (Mean k - 1)", ...
inline constexpr std::int16_t Correlation = 23;       // "Correl. Coeff.*"
inline constexpr std::int16_t Correlation2 = 24;      // "Corr. Coeff.2*"
inline constexpr std::int16_t RegressionCoeff = 27;   // "Regress.Coeff.*"
inline constexpr std::int16_t RegressionCoeff2 = 28;  // "Regr. Coeff.2*"
}  // namespace group
namespace option {
inline constexpr std::int16_t AnalysisOfContrast = 9;
}  // namespace option
}  // namespace pelmora

// Groups of the exponential, finite-population and hypergeometric sample
// distributions (ExponentialDistribution, FinitePopulationDistribution, FinitePopulationMean, HypergeometricDistribution); they also offer the
// sample-size, population-size, mean and proportion groups above.
namespace pelmora {
namespace group {
inline constexpr std::int16_t ConfInterval = 32;  // "Lower Limit" / "Upper Limit" / "Width"
}  // namespace group
}  // namespace pelmora

// Groups of the binomial and Poisson sample distributions (BinomialDistribution, PoissonDistribution);
// they also offer the mean, proportion, sample-size and confidence-interval
// groups above.
namespace pelmora {
namespace group {
inline constexpr std::int16_t HazardRate = 4;   // "Hazard Rate*" / "Haz.*- H0:Haz." / "Haz.*/ H0:Haz."
inline constexpr std::int16_t StudyTime2 = 22;  // "Study Time 2" / "Time 2 - Time 1" / "Time 2 / Time 1"
}  // namespace group
}  // namespace pelmora

// Options of the bivariate normal sample distribution (BivariateNormalDistribution).
namespace pelmora {
namespace option {
inline constexpr std::int16_t StdDeviationForDiff = 10;   // "&Std.Deviation for Diff."
inline constexpr std::int16_t ResidualStdDeviation = 11;  // "&Residual Std.Deviation"
}  // namespace option
}  // namespace pelmora
