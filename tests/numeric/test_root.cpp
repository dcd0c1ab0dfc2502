#include <gtest/gtest.h>

#include <cmath>

#include "numeric/fault_guard.h"
#include "numeric/platform.h"
#include "numeric/relative.h"
#include "numeric/root.h"

namespace pelmora {
namespace {

TEST(FindRoot, MonotoneCriterionConvergesWithinTolerance) {
  int calls = 0;
  auto f = [&](double x) {
    ++calls;
    return x * x * x - 2 * x - 5;  // root 2.0945514815423265
  };
  RootResult r = FindRoot(f, 0, 10, 1e-5, 500);
  EXPECT_NEAR(r.root, 2.0945514815423265, 2e-10 * 2.1 + 0.5e-5);
  EXPECT_LT(std::fabs(r.fRoot), 1e-3);
  EXPECT_LT(r.iterations, 30);  // superlinear, not bisection-slow
  // Both ends, then one evaluation per pass but the last, which stopped on the tolerance.
  EXPECT_EQ(calls, r.iterations + 1);
}

TEST(FindRoot, DecreasingCriterionAndLogScale) {
  // A P-value-like criterion decreasing in the sample size.
  auto f = [](double n) { return std::exp(-n / 10.0) - 0.05; };
  RootResult r = FindRoot(f, 3, 99999, 1e-5, 500);
  EXPECT_NEAR(r.root, -10.0 * std::log(0.05), 1e-5);
}

TEST(FindRoot, ZeroAtUpperEndStopsAfterFirstPass) {
  RootResult r = FindRoot([](double x) { return x - 4.0; }, 1, 4, 1e-5, 500);
  EXPECT_EQ(r.root, 4.0);
  EXPECT_EQ(r.fRoot, 0.0);
  EXPECT_EQ(r.iterations, 1);
}

TEST(FindRoot, MaxIterZeroMakesNoPass) {
  int calls = 0;
  RootResult r = FindRoot(
      [&](double x) {
        ++calls;
        return x - 2.5;
      },
      1, 4, 1e-5, 0);
  EXPECT_EQ(r.root, 4.0);
  EXPECT_EQ(r.fRoot, 1.5);
  EXPECT_EQ(r.iterations, 0);
  EXPECT_EQ(calls, 2);
}

TEST(FindRoot, NoSignChangeEndsFarFromZeroInsideTheInterval) {
  RootResult r = FindRoot([](double x) { return x * x + 1; }, -3, 5, 1e-5, 500);
  EXPECT_GE(r.root, -3.0);
  EXPECT_LE(r.root, 5.0);
  EXPECT_GT(std::fabs(r.fRoot), 0.001);
}

TEST(FindRoot, EvaluationCountIsBounded) {
  int calls = 0;
  // A criterion that jumps about: the search must stop after maxIter passes.
  auto f = [&](double x) {
    ++calls;
    return std::sin(1e6 * x) + 1.5;
  };
  FindRoot(f, 0, 1, 1e-12, 500);
  EXPECT_LE(calls, 502);
}

TEST(FindRoot, CandidatesStayInsideTheInterval) {
  double lowest = 1e300, highest = -1e300;
  auto f = [&](double x) {
    lowest = std::min(lowest, x);
    highest = std::max(highest, x);
    return 1.0 / (x + 0.1) - 0.2;  // root at 4.9, steep near the lower end
  };
  RootResult r = FindRoot(f, 0, 100, 1e-5, 500);
  EXPECT_NEAR(r.root, 4.9, 1e-4);
  EXPECT_GE(lowest, 0.0);
  EXPECT_LE(highest, 100.0);
}

TEST(SmallRoutines, MaxMinTiesReturnTheSecondArgument) {
  EXPECT_EQ(MaxOf(2.0, 2.0), 2.0);
  EXPECT_EQ(MaxOf(-0.0, 0.0), 0.0);
  EXPECT_TRUE(std::signbit(MaxOf(0.0, -0.0)));  // the tie gives the second argument
  EXPECT_FALSE(std::signbit(MinOf(-0.0, 0.0)));
  EXPECT_EQ(MaxOf(std::int16_t{3}, std::int16_t{-4}), 3);
  EXPECT_EQ(MinOf(1.5f, 2.5f), 1.5f);
}

TEST(SmallRoutines, ResolveRelativeValue) {
  std::array<double, 13> v{};
  v[3] = 0.3;
  EXPECT_EQ(ResolveRelativeValue(v, 3, 2.0f, 0), 0.3f);
  EXPECT_EQ(ResolveRelativeValue(v, 3, 2.0f, 1), 2.3f);
  EXPECT_EQ(ResolveRelativeValue(v, 3, 2.0f, 2), 0.6f);
  EXPECT_EQ(ResolveRelativeValue(v, 3, 2.0f, 3), 0.0f);
}

TEST(PlatformArithmetic, RoundingAndIntegerRules) {
  EXPECT_EQ(Int(-2.5), -3.0);
  EXPECT_EQ(Fix(-2.5), -2.0);
  EXPECT_EQ(CInt16(2.5), 2);
  EXPECT_EQ(CInt16(3.5), 4);
  EXPECT_EQ(CInt16(-2.5), -2);
  EXPECT_EQ(CInt16(32767.4), 32767);
  EXPECT_THROW(CInt16(32767.5), ArithmeticFault);
  EXPECT_THROW(CInt16(-32769.0), ArithmeticFault);
  EXPECT_THROW(CInt16(std::nan("")), ArithmeticFault);
  EXPECT_THROW(Add16(32767, 1), ArithmeticFault);
  EXPECT_EQ(Sub16(-32767, 1), -32768);
}

TEST(FaultGuard, FaultsBecomeNoValue) {
  volatile double zero = 0.0;
  EXPECT_FALSE(EvaluateGuarded([&] { return std::log(zero); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([&] { return 1.0 / zero; }).has_value());
  EXPECT_FALSE(EvaluateGuarded([&] { return std::sqrt(zero - 1.0); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([&] { return std::exp(1000.0 + zero); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([&] { return static_cast<double>(Add16(32767, 1)); }).has_value());
  auto ok = EvaluateGuarded([&] { return 2.0 + zero; });
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(*ok, 2.0);
  // A fault inside an evaluation does not leak into the next one.
  (void)EvaluateGuarded([&] { return std::log(zero); });
  EXPECT_TRUE(EvaluateGuarded([&] { return 1.0 + zero; }).has_value());
}

}  // namespace
}  // namespace pelmora
