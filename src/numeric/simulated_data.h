// Simulated observations on a continuous scale: the individual values of a
// simulated study's groups under a chosen model of the data, pairs of
// bivariate normal observations, and exponential times.
//
// The data models have the mean and standard deviation the design assumes;
// they differ in shape:
//   normal      mean + sd Z;
//   log-normal  exp(mu + sigma Z) with sigma^2 = log(1 + sd^2 / mean^2) and
//               mu = log(mean) - sigma^2 / 2 (a positive variable: the mean
//               must be positive);
//   t3          mean + sd T / sqrt(3), T Student's t with 3 degrees of
//               freedom (variance 3), formed as T / sqrt(3) = Z0 / sqrt(Z1^2
//               + Z2^2 + Z3^2) from four standard normal draws (no
//               transcendental function enters the value); its fourth moment
//               is infinite;
//   uniform     mean + sd sqrt(12) (U - 1/2), U uniform on [0, 1).
// Every value is formed from the draws of a RandomStream by double
// arithmetic and sqrt (and exp for the log-normal), in a fixed order: the
// same stream gives the same observations everywhere.
//
// Domain guards: a sampler is made only from finite arguments with a standard
// deviation >= 0 (and a positive mean for the log-normal model); a standard
// deviation of 0 gives the mean every time.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "numeric/random_stream.h"

namespace pelmora {

enum class DataModel { kNormal, kLogNormal, kT3, kUniform };

inline constexpr std::array<DataModel, 4> kDataModels = {DataModel::kNormal, DataModel::kLogNormal,
                                                         DataModel::kT3, DataModel::kUniform};

// "normal", "log-normal", "t3", "uniform": the names the program shows and
// reads (command line, settings).
std::string_view DataModelName(DataModel model);
// The model of that name (exact spelling), or nothing.
std::optional<DataModel> DataModelNamed(std::string_view name);

// Independent observations of one group.
class ObservationSampler {
 public:
  // The model with the given mean and standard deviation.
  static std::optional<ObservationSampler> WithMoments(DataModel model, double mean, double sd);
  // Log-normal observations exp(mu + sigma Z), given the mean mu and the
  // standard deviation sigma of their logarithms; nothing where the mean or
  // variance of the observations overflows.
  static std::optional<ObservationSampler> LogNormalFromLogScale(double mu, double sigma);

  DataModel model() const { return model_; }
  // The exact mean and standard deviation of the observations.
  double mean() const { return mean_; }
  double sd() const { return sd_; }

  double operator()(RandomStream& stream) const;
  // Fills out with independent observations, in order (the same values as
  // calls of operator() in turn).
  void Fill(RandomStream& stream, std::span<double> out) const;

 private:
  ObservationSampler(DataModel model, double location, double scale, double mean, double sd)
      : model_(model), location_(location), scale_(scale), mean_(mean), sd_(sd) {}
  DataModel model_;
  // The value is location + scale * X for the model's standard variable X
  // (for the log-normal: exp(location + scale * Z)).
  double location_, scale_;
  double mean_, sd_;
};

struct ObservationPair {
  double x, y;
};

// Pairs of bivariate normal observations with the given means, standard
// deviations and correlation: x = mean1 + sd1 Z1, y = mean2 + sd2 (rho Z1 +
// sqrt(1 - rho^2) Z2).  Nothing unless every argument is finite, the standard
// deviations are >= 0 and -1 <= rho <= 1.
class BivariateNormalSampler {
 public:
  static std::optional<BivariateNormalSampler> Create(double mean1, double sd1, double mean2, double sd2,
                                                      double rho);
  ObservationPair operator()(RandomStream& stream) const;
  // Fills x and y (the shorter length of the two) with pairs, in order.
  void Fill(RandomStream& stream, std::span<double> x, std::span<double> y) const;

 private:
  BivariateNormalSampler(double mean1, double sd1, double mean2, double sd2, double rho);
  double mean1_, sd1_, mean2_, sd2_, rho_, residual_;
};

// An exponential time with the given rate (hazard per unit of time): E /
// rate for an exponential draw E of mean 1.  A rate of 0, a negative or a
// non-finite rate give +infinity: the event does not happen.
double DrawExponentialTime(RandomStream& stream, double rate);

}  // namespace pelmora
