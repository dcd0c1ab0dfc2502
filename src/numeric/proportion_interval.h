// The precision of a simulated proportion (a power or a significance level
// estimated from the share of simulated studies that reject): its standard
// error, the Wilson score interval, and the number of studies after which
// that interval is narrower than a requested half-width.
//
// Method: the Wilson score interval (Wilson, "Probable inference, the law of
// succession, and statistical inference", Journal of the American
// Statistical Association 22 (1927) 209-212) of s successes in n trials,
// with p = s / n and z the normal quantile of the interval:
//   centre     (p + z^2 / (2n)) / (1 + z^2 / n)
//   half-width z sqrt(p (1 - p) n + z^2 / 4) / (n + z^2).
// The half-width falls strictly as n grows for every p, and is largest at
// p = 1/2, so the number of trials found at p = 1/2 suffices whatever the
// estimate turns out to be.  Accuracy: a few units of double precision; the
// ends are clamped to [0, 1] and are 0 and 1 exactly at s = 0 and s = n.
#pragma once

#include <cstdint>
#include <optional>

namespace pelmora {

// The 97.5% point of the standard normal: the z of a 95% interval.
inline constexpr double kNormalQuantile975 = 1.959963984540054;

struct ProportionInterval {
  double estimate = 0;  // s / n
  double lower = 0, upper = 1;
  double standard_error = 0;  // sqrt(p (1 - p) / n) of the estimate
  double HalfWidth() const { return (upper - lower) / 2; }
};

// The Wilson interval of `successes` in `trials`; nothing unless 0 <=
// successes <= trials, trials > 0 and z > 0 is finite.
std::optional<ProportionInterval> WilsonInterval(std::int64_t successes, std::int64_t trials,
                                                 double z = kNormalQuantile975);

// The half-width of the Wilson interval of an estimate p after n trials
// (n >= 0 need not be whole: 1/2 at n = 0).
double WilsonHalfWidth(double p, double n, double z = kNormalQuantile975);

// The smallest number of trials after which the Wilson interval of an
// estimate p has a half-width below h, for the rule "until the 95% interval
// is narrower than +/- h"; with p = 0.5 before any data, the conservative
// number.  Nothing unless 0 <= p <= 1, h > 0 and z > 0 are finite and the
// number fits in 64 bits.
std::optional<std::int64_t> TrialsForWilsonHalfWidth(double p, double h, double z = kNormalQuantile975);

}  // namespace pelmora
