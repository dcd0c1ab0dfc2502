// The random numbers of the Monte Carlo simulation: one stream per block of
// simulated studies, whose output is defined by this file and the code it
// names, the same on every machine and in every thread.
//
// Generator.  xoshiro256++ (Blackman and Vigna, "Scrambled linear
// pseudorandom number generators", ACM Transactions on Mathematical Software
// 47 (2021), article 36): 256 bits of state, period 2^256 - 1, 64-bit
// outputs that pass BigCrush and PractRand.  Its state is seeded by
// SplitMix64 (Steele, Lea and Flood, "Fast splittable pseudorandom number
// generators", OOPSLA 2014, with the finaliser constants of Vigna's
// splitmix64.c), as the authors of xoshiro recommend.
//
// Derivation of a stream.  With Mix the SplitMix64 finaliser (below) and
// g = 0x9E3779B97F4A7C15, the stream of (seed, block, lane) starts from
//   key  = Mix(Mix(Mix(seed ^ 0x6A09E667F3BCC909) ^ block) ^ lane)
//   s[i] = Mix(key + (i + 1) g),  i = 0..3.
// Mix is a bijection, so the blocks of one seed and lane start from distinct
// keys; the streams are 2^256 - 1 long, so two of them overlap in a run of
// any length this program makes with negligible probability.  The lane keeps
// apart the runs of one seed that must not share numbers (the simulation
// under the alternative and the one under the null hypothesis).
//
// Distributions.  Uniform numbers are formed here from the top bits of one
// output.  Normal and exponential numbers are Boost.Random's
// normal_distribution and exponential_distribution (ziggurat methods,
// Marsaglia and Tsang, "The ziggurat method for generating random
// variables", Journal of Statistical Software 5 (2000), with Boost's tables
// of 128 and 256 layers), which take one output of the generator per draw
// outside the rare wedges and tails.  No std:: distribution is used: their
// output differs between standard libraries.
//
// Reproducibility.  A draw's value is formed by IEEE 754 double arithmetic
// (no contraction into fused multiply-adds: GCC's ISO mode, and a pragma
// for Clang in the .cpp) from the generator's integers and the ziggurat's
// tables; the C library's exp and log enter only the acceptance tests of
// the wedges and tails, where a difference in the last bit changes the
// decision with probability of the order of 1e-16.  The output is the same
// for one version of Boost.Random; a change of its algorithms would show in
// the regression values of the tests.
//
// A RandomStream is a value: copying it copies the state; it is used by one
// thread at a time.
#pragma once

#include <cstdint>
#include <span>

namespace pelmora {

// The finaliser of SplitMix64: a bijection of 64-bit words.
constexpr std::uint64_t SplitMix64Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

class RandomStream {
 public:
  using result_type = std::uint64_t;

  RandomStream(std::uint64_t seed, std::uint64_t block, std::uint64_t lane = 0);

  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return ~result_type{0}; }

  // The next output of xoshiro256++.
  result_type operator()() {
    const std::uint64_t result = Rotl(s_[0] + s_[3], 23) + s_[0];
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
  }

  // Uniform on [0, 1): the top 53 bits of one output, times 2^-53.
  static constexpr double ToUniform(std::uint64_t bits) {
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
  }
  // Uniform on (0, 1), for logarithms: (top 52 bits + 1/2) times 2^-52, from
  // 2^-53 to 1 - 2^-53.
  static constexpr double ToUniformOpen(std::uint64_t bits) {
    return (static_cast<double>(bits >> 12) + 0.5) * 0x1.0p-52;
  }
  double Uniform() { return ToUniform((*this)()); }
  double UniformOpen() { return ToUniformOpen((*this)()); }

  // A standard normal draw; an exponential draw of mean 1.
  double Normal();
  double Exponential();
  // out[i] = mean + sd * Z_i for independent standard normal Z_i, in the
  // order of out (the same numbers as calls of Normal() in turn).
  void FillNormal(std::span<double> out, double mean = 0.0, double sd = 1.0);

 private:
  static constexpr std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t s_[4];
};

}  // namespace pelmora
