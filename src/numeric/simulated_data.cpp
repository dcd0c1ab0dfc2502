#include "numeric/simulated_data.h"

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace pelmora {

namespace {

constexpr std::array<std::string_view, 4> kModelNames = {"normal", "log-normal", "t3", "uniform"};

// sqrt(12): the standard deviation of U - 1/2 is 1 / sqrt(12).
constexpr double kUniformScale = 3.4641016151377545870548926830117;

bool Finite(double x) { return std::isfinite(x); }

// T / sqrt(3) for Student's t with 3 degrees of freedom, from four standard
// normal draws in the order z0, z1, z2, z3.
double ScaledT3(const double* z) { return z[0] / std::sqrt(z[1] * z[1] + z[2] * z[2] + z[3] * z[3]); }

}  // namespace

std::string_view DataModelName(DataModel model) { return kModelNames[static_cast<std::size_t>(model)]; }

std::optional<DataModel> DataModelNamed(std::string_view name) {
  for (DataModel model : kDataModels)
    if (DataModelName(model) == name) return model;
  return std::nullopt;
}

std::optional<ObservationSampler> ObservationSampler::WithMoments(DataModel model, double mean, double sd) {
  if (!Finite(mean) || !Finite(sd) || sd < 0) return std::nullopt;
  switch (model) {
    case DataModel::kNormal:
    case DataModel::kT3:
      return ObservationSampler(model, mean, sd, mean, sd);
    case DataModel::kUniform:
      return ObservationSampler(model, mean, sd * kUniformScale, mean, sd);
    case DataModel::kLogNormal: {
      if (mean <= 0) return std::nullopt;
      const double ratio = sd / mean;
      const double variance = std::log1p(ratio * ratio);
      if (!Finite(variance)) return std::nullopt;
      return ObservationSampler(model, std::log(mean) - variance / 2, std::sqrt(variance), mean, sd);
    }
  }
  return std::nullopt;
}

std::optional<ObservationSampler> ObservationSampler::LogNormalFromLogScale(double mu, double sigma) {
  if (!Finite(mu) || !Finite(sigma) || sigma < 0) return std::nullopt;
  const double s2 = sigma * sigma;
  const double mean = std::exp(mu + s2 / 2);
  const double sd = mean * std::sqrt(std::expm1(s2));
  if (!Finite(mean) || !Finite(sd)) return std::nullopt;
  return ObservationSampler(DataModel::kLogNormal, mu, sigma, mean, sd);
}

double ObservationSampler::operator()(RandomStream& stream) const {
  switch (model_) {
    case DataModel::kNormal:
      return location_ + scale_ * stream.Normal();
    case DataModel::kLogNormal:
      return std::exp(location_ + scale_ * stream.Normal());
    case DataModel::kT3: {
      double z[4];
      stream.FillNormal(z);
      return location_ + scale_ * ScaledT3(z);
    }
    case DataModel::kUniform:
      return location_ + scale_ * (stream.Uniform() - 0.5);
  }
  return location_;
}

void ObservationSampler::Fill(RandomStream& stream, std::span<double> out) const {
  switch (model_) {
    case DataModel::kNormal:
      stream.FillNormal(out, location_, scale_);
      return;
    case DataModel::kLogNormal:
      stream.FillNormal(out, location_, scale_);
      for (double& x : out) x = std::exp(x);
      return;
    case DataModel::kT3: {
      constexpr std::size_t kChunk = 64;
      double z[4 * kChunk];
      for (std::size_t done = 0; done < out.size();) {
        const std::size_t n = std::min(kChunk, out.size() - done);
        stream.FillNormal(std::span<double>(z, 4 * n));
        for (std::size_t i = 0; i < n; ++i) out[done + i] = location_ + scale_ * ScaledT3(z + 4 * i);
        done += n;
      }
      return;
    }
    case DataModel::kUniform:
      for (double& x : out) x = location_ + scale_ * (stream.Uniform() - 0.5);
      return;
  }
}

std::optional<BivariateNormalSampler> BivariateNormalSampler::Create(double mean1, double sd1, double mean2,
                                                                     double sd2, double rho) {
  if (!Finite(mean1) || !Finite(sd1) || !Finite(mean2) || !Finite(sd2) || !Finite(rho)) return std::nullopt;
  if (sd1 < 0 || sd2 < 0 || rho < -1 || rho > 1) return std::nullopt;
  return BivariateNormalSampler(mean1, sd1, mean2, sd2, rho);
}

BivariateNormalSampler::BivariateNormalSampler(double mean1, double sd1, double mean2, double sd2, double rho)
    : mean1_(mean1),
      sd1_(sd1),
      mean2_(mean2),
      sd2_(sd2),
      rho_(rho),
      residual_(std::sqrt((1 - rho) * (1 + rho))) {}

ObservationPair BivariateNormalSampler::operator()(RandomStream& stream) const {
  double z[2];
  stream.FillNormal(z);
  return {mean1_ + sd1_ * z[0], mean2_ + sd2_ * (rho_ * z[0] + residual_ * z[1])};
}

void BivariateNormalSampler::Fill(RandomStream& stream, std::span<double> x, std::span<double> y) const {
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    const ObservationPair pair = (*this)(stream);
    x[i] = pair.x;
    y[i] = pair.y;
  }
}

double DrawExponentialTime(RandomStream& stream, double rate) {
  if (!(rate > 0) || !Finite(rate)) return std::numeric_limits<double>::infinity();
  return stream.Exponential() / rate;
}

}  // namespace pelmora
