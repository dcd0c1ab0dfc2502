// Tests of the simulation's random streams.  The raw outputs are those of the
// stream's definition (SplitMix64 keys, xoshiro256++) computed independently
// in Python (/usr/bin/python3, the definition written out in integers modulo
// 2^64: stream(seed, block, lane) yielding [next(g) for _ in range(3)]).  The
// first draws of a block are regression values from this program's own run:
// no outside reference, they guard against a change of generator, of Boost's
// ziggurat or of a model's formula.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "numeric/random_stream.h"
#include "numeric/simulated_data.h"

namespace pelmora {
namespace {

TEST(RandomStream, OutputsFollowTheDefinition) {
  // SplitMix64's published first output from the seed 0.
  EXPECT_EQ(SplitMix64Mix(0x9E3779B97F4A7C15ULL), 0xE220A8397B1DCDAFULL);
  struct Case {
    std::uint64_t seed, block, lane, first[3];
  };
  const Case cases[] = {
      {1, 0, 0, {0xC9A62B46387DA89AULL, 0xE1AE504CE0F2BFC2ULL, 0x0DF0FF05BDF3C79EULL}},
      {1, 1, 0, {0x88BA4F1D4DC84F34ULL, 0xB9F2CB77FE5E4352ULL, 0xBAE0A2C95A6D8AC1ULL}},
      {2, 0, 0, {0xB9B06B18CA4B5C28ULL, 0x662CD53530BF1FB2ULL, 0x54C450BA75728050ULL}},
      {1, 0, 1, {0x3A7F779A59980C95ULL, 0xD064A22DE2EEC4FBULL, 0x35A7C7ACD353989FULL}},
      {~0ULL, 123456789, 0, {0x01F49026E1C34DB3ULL, 0xCCEC86CAE83CD323ULL, 0x4D3891F92EE18032ULL}},
  };
  for (const Case& c : cases) {
    RandomStream stream(c.seed, c.block, c.lane);
    for (std::uint64_t expected : c.first) EXPECT_EQ(stream(), expected) << c.seed << " " << c.block;
  }
  std::set<std::uint64_t> firsts;
  for (std::uint64_t block = 0; block < 1000; ++block) firsts.insert(RandomStream(7, block)());
  EXPECT_EQ(firsts.size(), 1000u);
}

TEST(RandomStream, DrawsOfABlockAreFixed) {
  RandomStream normals(1, 0);
  for (double expected :
       {-1.069805535574929, -0.94957943840147097, -0.072495667860905236, 0.19404056514416612})
    EXPECT_EQ(normals.Normal(), expected);
  RandomStream exponentials(1, 1);
  for (double expected : {1.5869649126363612, 1.7004686016537707})
    EXPECT_EQ(exponentials.Exponential(), expected);

  // The first observation of block 2 under each model of mean 10 and SD 2;
  // Fill gives the values of single draws in turn (150: more than one chunk
  // of the t3 draws).
  const double first[] = {12.15547726901368, 8.1025116624494284, 10.086775695842213, 7.6550899272920176};
  RandomStream once(1, 2);
  for (DataModel model : kDataModels) {
    const ObservationSampler sampler = *ObservationSampler::WithMoments(model, 10, 2);
    EXPECT_DOUBLE_EQ(sampler(once), first[static_cast<int>(model)]) << DataModelName(model);
    RandomStream a(4, 4), b(4, 4);
    std::vector<double> filled(150);
    sampler.Fill(a, filled);
    for (double x : filled) ASSERT_EQ(x, sampler(b)) << DataModelName(model);
  }
}

TEST(RandomStream, UniformEnds) {
  EXPECT_EQ(RandomStream::ToUniform(0), 0.0);
  EXPECT_EQ(RandomStream::ToUniform(~0ULL), 1 - 0x1.0p-53);
  EXPECT_EQ(RandomStream::ToUniform(1ULL << 63), 0.5);
  EXPECT_EQ(RandomStream::ToUniformOpen(0), 0x1.0p-53);
  EXPECT_EQ(RandomStream::ToUniformOpen(~0ULL), 1 - 0x1.0p-53);
}

}  // namespace
}  // namespace pelmora
