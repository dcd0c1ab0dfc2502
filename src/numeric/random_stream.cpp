#include "numeric/random_stream.h"

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#include <boost/random/exponential_distribution.hpp>
#include <boost/random/normal_distribution.hpp>

namespace pelmora {

namespace {
constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kSeedSalt = 0x6A09E667F3BCC909ULL;
}  // namespace

RandomStream::RandomStream(std::uint64_t seed, std::uint64_t block, std::uint64_t lane) {
  const std::uint64_t key = SplitMix64Mix(SplitMix64Mix(SplitMix64Mix(seed ^ kSeedSalt) ^ block) ^ lane);
  for (int i = 0; i < 4; ++i) s_[i] = SplitMix64Mix(key + static_cast<std::uint64_t>(i + 1) * kGolden);
}

double RandomStream::Normal() { return boost::random::normal_distribution<double>()(*this); }

double RandomStream::Exponential() { return boost::random::exponential_distribution<double>()(*this); }

void RandomStream::FillNormal(std::span<double> out, double mean, double sd) {
  boost::random::normal_distribution<double> normal;
  for (double& x : out) x = mean + sd * normal(*this);
}

}  // namespace pelmora
