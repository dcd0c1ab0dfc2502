// The bivariate normal sample distribution: one sample of n pairs (X1, X2).
// Four quantities can be studied, each by its own procedure: the mean of the
// difference X2 - X1, the ratio of the standard deviations, the correlation
// coefficient and the regression coefficient of X2 on X1.  BivariateNormalDistribution hands every
// entry point on to the procedure of the chosen quantity; the tests of a
// correlation coefficient, and of a regression coefficient with a given
// residual standard deviation, are those of CorrelationCoefficient and RegressionCoefficient.
//
// Only the kinds "Test" and "Conf. Interval" exist (the ratio of the standard
// deviations is a test only), and only one sample.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class CorrelationCoefficient;
class RegressionCoefficient;

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

// The mean of the difference X2 - X1: the paired t-test and its confidence
// interval, the standard deviation of the difference given or made of the two
// standard deviations and their correlation.
class BivariateNormalMean : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test: noncentral t with n - 1 degrees of freedom.
  std::optional<double> EvaluatePower(const Session& s) override;

 private:
  Single StandardError(const Session& s) const;

  std::int16_t kind_ = 0;
  std::int16_t tails_ = 2;
  bool diffSdGiven_ = false;
  std::int16_t meanMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1, limit_ = -1;
  int sdDiff_ = -1, sd1_ = -1, sd2_ = -1, rho_ = -1, n_ = -1;
};

// The ratio SD2 / SD1 of the standard deviations (a test only): the
// Pitman-Morgan approach, the correlation of the sums and differences
// compared on Fisher's z scale.
class BivariateNormalSd : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Fisher's z of the sum-difference correlation normal with unit variance.
  std::optional<double> EvaluatePower(const Session& s) override;

 private:
  // The assumed ratio SD2* / SD1*.
  Single AssumedRatio(const Session& s) const;

  std::int16_t tails_ = 2;
  std::int16_t ratioForm_ = 0;  // 0: both standard deviations, 1: their ratio
  int h0_ = -1, left_ = -1, right_ = -1;
  int sd1_ = -1, sd2_ = -1, ratio_ = -1, rho_ = -1, n_ = -1;
};

// The correlation coefficient: the test is CorrelationCoefficient's one-sample test; the
// confidence interval is taken on Fisher's z scale and transformed back.
class BivariateNormalCorrelation : public ProcedureModule {
 public:
  explicit BivariateNormalCorrelation(CorrelationCoefficient& test) : test_(test) {}
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test's power is CorrelationCoefficient's.
  std::optional<double> EvaluatePower(const Session& s) override;

 private:
  CorrelationCoefficient& test_;
  std::int16_t kind_ = 0;
  std::int16_t intervalKind_ = 0;
  int r_ = -1, limit_ = -1, n_ = -1;
};

// The regression coefficient of X2 on X1: the t-test and the confidence
// interval with the standard error made of the two standard deviations, or,
// with a given residual standard deviation, RegressionCoefficient's one-sample test and an
// interval with the residual standard deviation over the covariate's.
class BivariateNormalRegression : public ProcedureModule {
 public:
  explicit BivariateNormalRegression(RegressionCoefficient& test) : test_(test) {}
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test: noncentral t with n - 2 degrees of freedom; two one-sided
  // tests on the normal path.
  std::optional<double> EvaluatePower(const Session& s) override;

 private:
  // The standard error of the estimated slope.
  Single SlopeError(const Session& s) const;
  // The test of a given residual standard deviation is RegressionCoefficient's.
  bool HandedOn() const { return kind_ == 0 && residualGiven_; }
  // The expected coefficient b*.
  Single Expected(const Session& s) const;
  // SD2 / SD1.
  double SdRatio(const Session& s) const;
  // The largest |b| of the listed coefficients (null value, limits, expected
  // coefficient) whose positions are not the unknown.
  double LargestCoefficient(const Session& s) const;
  // Keeps SD2 / SD1 above |b| / 0.99999 for an unknown SD1 or SD2 entry.
  void KeepCorrelationInside(const Session& s, double& lower, double& upper) const;

  RegressionCoefficient& test_;
  std::int16_t kind_ = 0;
  std::int16_t tails_ = 2;
  bool residualGiven_ = false;
  std::int16_t coefficientMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1, limit_ = -1;
  int sd1_ = -1, sd2_ = -1, residual_ = -1, covariate_ = -1, n_ = -1;
};

// The module of the bivariate normal distribution: the four procedures above,
// chosen by ParameterChoice (0 mean 2 - mean 1, 1 std.dev.2 / std.dev.1,
// 2 correlation coefficient, 3 regression coefficient).
class BivariateNormalDistribution : public ProcedureModule {
 public:
  BivariateNormalDistribution(CorrelationCoefficient& correl, RegressionCoefficient& regr);

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  std::optional<double> EvaluatePower(const Session& s) override;

 private:
  // The procedure of a parameter choice, or nullptr beyond the four.
  ProcedureModule* ProcedureOf(int choice);

  BivariateNormalMean mean_;
  BivariateNormalSd sd_;
  BivariateNormalCorrelation correl_;
  BivariateNormalRegression regress_;
  // The procedure whose list was built last; nullptr when the selection has
  // no list (two samples, a point estimate, an interval of the SD ratio).
  ProcedureModule* listed_ = nullptr;
};

}  // namespace pelmora
