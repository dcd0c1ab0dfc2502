// Tests of the group-sequential engine.
//
// Published constants: Jennison and Turnbull (2000), chapter 2 (Tables 2.1
// to 2.4: two-sided alpha 0.05, five analyses; power 0.8).
//
// Every other reference value is an independent computation in Python
// (/usr/bin/python3, scipy 1.10): the same model integrated on a uniform grid
// of step 0.01 over 10 standard deviations with Simpson's rule (not the mesh
// of the engine), each bound by scipy.optimize.brentq, the spending functions
// written out; the power of each design of up to four looks was checked
// against scipy.stats.multivariate_normal.cdf (lower_limit, abseps=1e-11),
// which agreed within 1e-8.  The script (rows: design(t, sides, alpha, fam,
// par, fut, fpar, binding, power, theta) with fam and fut 'OF', 'PK', 'WT',
// 'HP', 'OFS', 'PKS', 'KD', 'HSD'):
//
//   import numpy as np; from scipy.stats import norm; from scipy.optimize import brentq
//   H, W, INF = 0.01, 10.0, np.inf
//   class Rec:  # sub-density of Z_k on the paths still running
//       def __init__(s, t, th): s.t, s.th, s.k, s.z, s.m = t, th, 0, np.zeros(1), np.ones(1)
//       def par(s):
//           t = s.t[s.k]; tp = s.t[s.k - 1] if s.k else 0.0
//           return np.sqrt(t), np.sqrt(tp), np.sqrt(t - tp), s.th * (t - tp)
//       def mass(s, lo, hi):
//           rt, rp, sd, dr = s.par(); mean = s.z * rp + dr
//           return float(s.m @ (norm.sf((lo * rt - mean) / sd) - norm.sf((hi * rt - mean) / sd)))
//       def reach(s): return float(s.m.sum())
//       def advance(s, region):
//           rt, rp, sd, dr = s.par(); mu = s.th * rt; zs, ws = [np.zeros(0)], [np.zeros(0)]
//           for lo, hi in region:
//               lo, hi = max(lo, mu - W), min(hi, mu + W)
//               if lo >= hi: continue
//               n = 2 * max(1, int(np.ceil((hi - lo) / (2 * H))))
//               w = np.full(n + 1, 2.0); w[1::2] = 4; w[0] = w[-1] = 1
//               zs.append(np.linspace(lo, hi, n + 1)); ws.append(w * (hi - lo) / n / 3)
//           z, w = np.concatenate(zs), np.concatenate(ws); mean = s.z * rp + dr
//           s.m = w * (norm.pdf((z[:, None] * rt - mean[None, :]) / sd) @ s.m) * rt / sd
//           s.z, s.k = z, s.k + 1
//   def spend(fam, p, a, t):
//       if t >= 1: return a
//       if fam == 'OFS': return 2 * norm.sf(norm.isf(a / 2) / np.sqrt(t))
//       if fam == 'PKS': return a * np.log(1 + (np.e - 1) * t)
//       if fam == 'KD': return a * t ** p
//       if fam == 'HSD': return a * t if p == 0 else a * (1 - np.exp(-p * t)) / (1 - np.exp(-p))
//   def region(sides, c, f):
//       if sides == 1: return [(f, c)]
//       return [(-c, -f), (f, c)] if f > 0 else [(-c, c)]
//   def design(t, sides, alpha, fam, par=None, fut=None, fpar=None, binding=False, power=0.8, theta=0.0):
//       # the bounds, and per hypothesis the power or alpha, the expected fraction, per look rejecting,
//       stopping L, beta = len(t), 1 - power rej = lambda r, c: r.mass(c, INF) + (r.mass(-INF, -c) if sides
//       == 2 else 0) fmass = lambda r, f: r.mass(-f, f) if sides == 2 else r.mass(-INF, f) def run(fixed,
//       target):
//           h0, h1, sa, sb, cs, fs = Rec(t, 0), Rec(t, theta), 0, 0, [], []
//           for k in range(L):
//               c = fixed[k]
//               if c is None:
//                   tg = target[k] - sa
//                   c = brentq(lambda x: rej(h0, x) - tg, 0 if sides == 2 else -10, 20, xtol=1e-13)
//               sa += rej(h0, c); f = -INF
//               if fut and k == L - 1: f = c
//               elif fut:
//                   tg = spend(fut, fpar, beta, t[k]) - sb
//                   f = c if fmass(h1, c) <= tg else brentq(lambda x: fmass(h1, x) - tg,
//                                                           0 if sides == 2 else -20, c, xtol=1e-13)
//                   sb += fmass(h1, f)
//               cs.append(c); fs.append(f)
//               if k < L - 1:
//                   h0.advance(region(sides, c, f if (binding or not fut) else -INF))
//                   h1.advance(region(sides, c, f))
//           return cs, fs, sa
//       if fam in ('OF', 'PK', 'WT'):
//           g = [tk ** ({'OF': 0, 'PK': 0.5}.get(fam, par) - 0.5) for tk in t]
//           C = brentq(lambda C: run([C * x for x in g], None)[2] - alpha, 1, 6, xtol=1e-13)
//           cs, fs, _ = run([C * x for x in g], None)
//       elif fam == 'HP': cs, fs, _ = run([par] * (L - 1) + [None], [None] * (L - 1) + [alpha])
//       else: cs, fs, _ = run([None] * L, [spend(fam, par, alpha, tk) for tk in t])
//       out = {}
//       for name, th in (('H0', 0.0), ('H1', theta)):  # power or alpha, expected fraction
//           r, up, stop = Rec(t, th), [], []
//           for k in range(L):
//               u, lo = r.mass(cs[k], INF), (r.mass(-INF, -cs[k]) if sides == 2 else 0)
//               up.append(u if name == 'H1' else u + lo)
//               stop.append(r.reach() if k == L - 1 else u + lo + (fmass(r, fs[k]) if fut else 0))
//               if k < L - 1: r.advance(region(sides, cs[k], fs[k]))
//           out[name] = (sum(up), float(np.dot(t, stop)), up, stop)
//       return cs, fs, out
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "numeric/fault_guard.h"
#include "numeric/group_sequential.h"
#include "numeric/normal_quantile.h"

namespace pelmora {
namespace {

using sequential::Family;
using sequential::ParameterValue;

SequentialPlan Plan(std::vector<double> t, int sides, double alpha, Family efficacy,
                    std::optional<double> parameter, Family futility = Family::None,
                    std::optional<double> futilityParameter = {}, bool binding = false, double power = 0.8) {
  SequentialPlan plan;
  plan.interims = static_cast<int>(t.size()) - 1;
  plan.fractions = std::move(t);
  plan.sides = sides;
  plan.alpha = alpha;
  plan.efficacy = efficacy;
  plan.efficacyParameter = parameter;
  plan.futility = futility;
  plan.futilityParameter = futilityParameter;
  plan.binding = binding;
  plan.power = power;
  return plan;
}

// The spending functions written out: f(t) = 2 - 2 Phi(z(1 - a/2) / sqrt t),
// a ln(1 + (e - 1) t), a t^rho, a (1 - e^(-gamma t)) / (1 - e^(-gamma)).
double SpentByHand(Family family, double p, double a, double t) {
  auto phi = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
  switch (family) {
    case Family::OBrienFlemingSpending:
      return 2 - 2 * phi(StandardNormalUpperQuantile(a / 2) / std::sqrt(t));
    case Family::PocockSpending:
      return a * std::log(1 + (std::exp(1.0) - 1) * t);
    case Family::KimDeMetsSpending:
      return a * std::pow(t, p);
    case Family::HwangShihDeCaniSpending:
      return p == 0 ? a * t : a * (1 - std::exp(-p * t)) / (1 - std::exp(-p));
    default:
      return 0;
  }
}

TEST(GroupSequential, PublishedConstantsOfJennisonAndTurnbull) {
  struct Row {
    Family family;
    int interims;
    double finalBound, inflation, tolerance;
  };
  const Row rows[] = {
      {Family::Pocock, 4, 2.413, 1.229, 5e-4},         // C_P(5, 0.05), R_P(5, 0.05, 0.2)
      {Family::OBrienFleming, 4, 2.040, 1.028, 5e-4},  // C_B(5, 0.05), R_B(5, 0.05, 0.2)
      // Three analyses: the brentq drift for power 0.8 is 2.825862541, R =
      // (2.825862541 / (norm.isf(0.025) + norm.ppf(0.8)))^2; bounds
      // 3.471091, 2.454432, 2.004036.
      {Family::OBrienFleming, 2, 2.004036, 1.017406225, 1e-6},
  };
  for (const Row& row : rows) {
    SequentialPlan plan;
    plan.interims = row.interims;
    plan.efficacy = row.family;
    SequentialDesignOutcome made = SequentialDesign::Make(plan);
    ASSERT_TRUE(made.design) << made.error;
    EXPECT_NEAR(made.design->EfficacyBounds().back(), row.finalBound, row.tolerance);
    EXPECT_NEAR(made.design->InflationFactor(0.8).value_or(0), row.inflation, row.tolerance);
  }
}

TEST(GroupSequential, MatchesIndependentIntegration) {
  struct Row {
    SequentialPlan plan;
    double theta;
    std::vector<double> c, f;  // f empty without futility bounds
    double power, alpha, e1, e0;
  };
  const double third = 1.0 / 3, sixth = 1.0 / 6;
  const Family OF = Family::OBrienFleming, PK = Family::Pocock, OFS = Family::OBrienFlemingSpending,
               PKS = Family::PocockSpending, KD = Family::KimDeMetsSpending,
               HSD = Family::HwangShihDeCaniSpending;
  const Row rows[] = {
      // design([0.25, 0.5, 0.75, 1], 1, 0.025, 'OFS', theta=3.0)
      {Plan({0.25, 0.5, 0.75, 1}, 1, 0.025, OFS, {}),
       3.0,
       {4.332634, 2.963132, 2.359044, 2.014090},
       {},
       0.844184085,
       0.025,
       0.79991533,
       0.99720450},
      // design([0.3, 0.7, 1], 2, 0.05, 'PKS', theta=2.5)
      {Plan({0.3, 0.7, 1}, 2, 0.05, PKS, {}),
       2.5,
       {2.311835, 2.258346, 2.306180},
       {},
       0.628241952,
       0.05,
       0.79222372,
       0.97983937},
      // design([1/3, 2/3, 1], 1, 0.025, 'KD', 2, theta=2.8)
      {Plan({third, 2 * third, 1}, 1, 0.025, KD, 2),
       2.8,
       {2.772921, 2.347272, 2.061914},
       {},
       0.781839358,
       0.025,
       0.79720002,
       0.99537037},
      // design([k/6 for k in 1..6], 2, 0.05, 'HSD', -4, theta=3.0): the default gamma
      {Plan({sixth, 2 * sixth, 3 * sixth, 4 * sixth, 5 * sixth, 1}, 2, 0.05, HSD, {}),
       3.0,
       {3.325024, 3.103223, 2.860383, 2.603454, 2.330046, 2.034988},
       {},
       0.841246135,
       0.05,
       0.75317637,
       0.99213997},
      // design([0.2, 0.5, 1], 1, 0.05, 'HSD', 1, theta=2.5)
      {Plan({0.2, 0.5, 1}, 1, 0.05, HSD, 1),
       2.5,
       {2.187907, 2.032923, 1.912475},
       {},
       0.749773077,
       0.05,
       0.74635977,
       0.98013706},
      // design([0.5, 1], 1, 0.025, 'HSD', 0, theta=2.0): the linear limit
      {Plan({0.5, 1}, 1, 0.025, HSD, 0),
       2.0,
       {2.241403, 2.125119},
       {},
       0.477718597,
       0.025,
       0.89796754,
       0.99375000},
      // design([0.25, 0.6, 1], 1, 0.025, 'WT', 0.25, theta=3.0)
      {Plan({0.25, 0.6, 1}, 1, 0.025, Family::WangTsiatis, {}),
       3.0,
       {2.923241, 2.348615, 2.067043},
       {},
       0.834046858,
       0.025,
       0.77475010,
       0.99518274},
      // design([0.25, 0.5, 0.75, 1], 2, 0.05, 'HP', 3, theta=2.8)
      {Plan({0.25, 0.5, 0.75, 1}, 2, 0.05, Family::HaybittlePeto, 3),
       2.8,
       {3, 3, 3, 1.982751},
       {},
       0.795065662,
       0.05,
       0.86487475,
       0.99640939},
      // design([0.5, 0.9, 0.98, 1], 1, 0.025, 'OFS', theta=3.0): short increments
      {Plan({0.5, 0.9, 0.98, 1}, 1, 0.025, OFS, {}),
       3.0,
       {2.962588, 2.104958, 2.086276, 2.112422},
       {},
       0.840434494,
       0.025,
       0.84161694,
       0.99746698},
      // design([1], 2, 0.05, 'PKS', theta=2.8): a single analysis
      {Plan({1}, 2, 0.05, PKS, {}), 2.8, {1.959964}, {}, 0.799555903, 0.05, 1, 1},
      // design([1/3, 2/3, 1], 1, 0.025, 'PK', fut='KD', fpar=2, binding=True, power=0.9, theta=3.3)
      {Plan({third, 2 * third, 1}, 1, 0.025, PK, {}, KD, 2, true, 0.9),
       3.3,
       {2.283224, 2.283224, 2.283224},
       {-0.381292, 0.940086, 2.283224},
       0.860243466,
       0.025,
       0.63575257,
       0.59583768},
      // design([1/3, 2/3, 1], 1, 0.025, 'OFS', fut='HSD', fpar=-2, binding=False, power=0.85, theta=3.0)
      {Plan({third, 2 * third, 1}, 1, 0.025, OFS, {}, HSD, -2, false, 0.85),
       3.0,
       {3.710303, 2.511427, 1.993047},
       {-0.277289, 0.855464, 1.993047},
       0.831615470,
       0.023604926,
       0.80424824,
       0.59658998},
      // the same, binding=True
      {Plan({third, 2 * third, 1}, 1, 0.025, OFS, {}, HSD, -2, true, 0.85),
       3.0,
       {3.710303, 2.511119, 1.962947},
       {-0.277289, 0.855464, 1.962947},
       0.837461882,
       0.025,
       0.80420753,
       0.59658823},
      // design([1/3, 2/3, 1], 1, 0.025, 'HP', 3, fut='PKS', binding=True, power=0.8, theta=2.8)
      {Plan({third, 2 * third, 1}, 1, 0.025, Family::HaybittlePeto, {}, PKS, {}, true),
       2.8,
       {3, 3, 1.890879},
       {0.279306, 1.054240, 1.890879},
       0.762983040,
       0.025,
       0.80592689,
       0.50390753},
      // design([0.4, 0.7, 1], 2, 0.05, 'OFS', fut='PKS', binding=True, power=0.8, theta=2.9)
      {Plan({0.4, 0.7, 1}, 2, 0.05, OFS, {}, PKS, {}, true),
       2.9,
       {3.098975, 2.350138, 1.915803},
       {0.616852, 1.166219, 1.915803},
       0.778516459,
       0.05,
       0.73196444,
       0.61430277},
      // design([0.25, 0.5, 0.75, 1], 2, 0.05, 'OF', fut='OFS', binding=False, power=0.8, theta=3.0)
      {Plan({0.25, 0.5, 0.75, 1}, 2, 0.05, OF, {}, OFS, {}, false),
       3.0,
       {4.048591, 2.862786, 2.337455, 2.024295},
       {0.040036, 0.609804, 1.395868, 2.024295},
       0.800475204,
       0.042935090,
       0.73542682,
       0.65500542},
  };
  for (const Row& row : rows) {
    const SequentialPlan& plan = row.plan;
    SCOPED_TRACE(std::string(sequential::FamilyName(plan.efficacy)) + " / " +
                 std::string(sequential::FamilyName(plan.futility)) + ", " + std::to_string(row.c.size()) +
                 " looks, " + std::to_string(plan.sides) + " sides");
    SequentialDesignOutcome made = SequentialDesign::Make(plan);
    ASSERT_TRUE(made.design) << made.error;
    std::optional<SequentialResult> r = made.design->Evaluate(row.theta);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->looks.size(), row.c.size());
    double spentBeta = 0;
    for (std::size_t k = 0; k < row.c.size(); ++k) {
      const SequentialLook& look = r->looks[k];
      EXPECT_NEAR(look.efficacyZ, row.c[k], 1e-5) << "look " << k + 1;
      EXPECT_NEAR(look.efficacyP, std::erfc(row.c[k] / std::sqrt(2.0)) / (plan.sides == 2 ? 1 : 2), 1e-7);
      EXPECT_EQ(look.futilityZ.has_value(), !row.f.empty());
      if (!row.f.empty()) {
        EXPECT_NEAR(look.futilityZ.value_or(0), row.f[k], 1e-5) << "look " << k + 1;
      }
      // The spending families spend f(t_k) through each look, with their
      // futility stops only if binding; the futility bounds spend beta.
      if (sequential::IsSpending(plan.efficacy)) {
        double spent = SpentByHand(plan.efficacy, ParameterValue(plan.efficacy, plan.efficacyParameter),
                                   plan.alpha, plan.fractions[k]);
        EXPECT_NEAR(look.cumulativeAlpha, spent, 1e-9);
      }
      spentBeta += look.futilityH1;
      if (!row.f.empty() && k + 1 < row.c.size()) {
        double spent = SpentByHand(plan.futility, ParameterValue(plan.futility, plan.futilityParameter),
                                   1 - plan.power, plan.fractions[k]);
        EXPECT_NEAR(spentBeta, spent, 1e-9);
      }
    }
    EXPECT_NEAR(r->looks.back().cumulativeAlpha, plan.alpha, 1e-9);
    EXPECT_NEAR(r->power, row.power, 3e-7);
    EXPECT_NEAR(r->alphaH0, row.alpha, 3e-7);
    EXPECT_NEAR(r->expectedFractionH1, row.e1, 3e-7);
    EXPECT_NEAR(r->expectedFractionH0, row.e0, 3e-7);
    EXPECT_NEAR(made.design->Power(row.theta).value_or(-1), r->power, 1e-12);
  }

  struct PerLook {
    SequentialPlan plan;
    double theta;
    std::vector<double> rejectH0, stopH0, rejectH1, stopH1;
  };
  const PerLook perLook[] = {
      // design([0.4, 0.7, 1], 2, 0.05, 'OFS', fut='PKS', binding=True, theta=2.9): out['H0'][2:],
      // out['H1'][2:]
      {Plan({0.4, 0.7, 1}, 2, 0.05, OFS, {}, PKS, {}, true),
       2.9,
       {0.001941913, 0.017207730, 0.030850357},
       {0.464609656, 0.356438125, 0.178952218},
       {0.102961814, 0.424953558, 0.250601088},
       {0.207589651, 0.478272568, 0.314137781}},
      // design([1/3, 2/3, 1], 1, 0.025, 'OFS', fut='KD', fpar=0.5, power=0.5, theta=8): the futility bound
      // would lie above the efficacy bound at look 1 and is set to it; every path stops there
      {Plan({third, 2 * third, 1}, 1, 0.025, OFS, {}, KD, 0.5, false, 0.5),
       8,
       {0.000103506, 0, 0},
       {1, 0, 0},
       {0.818192753, 0, 0},
       {1, 0, 0}},
  };
  for (const PerLook& row : perLook) {
    std::optional<SequentialResult> r = SequentialDesign::Make(row.plan).design->Evaluate(row.theta);
    ASSERT_TRUE(r);
    for (std::size_t k = 0; k < 3; ++k) {
      const SequentialLook& look = r->looks[k];
      EXPECT_NEAR(look.rejectH0, row.rejectH0[k], 3e-7) << "look " << k + 1;
      EXPECT_NEAR(look.stopH0, row.stopH0[k], 3e-7) << "look " << k + 1;
      EXPECT_NEAR(look.rejectH1, row.rejectH1[k], 3e-7) << "look " << k + 1;
      EXPECT_NEAR(look.stopH1, row.stopH1[k], 3e-7) << "look " << k + 1;
    }
    EXPECT_EQ(r->looks[0].futilityZ == r->looks[0].efficacyZ, row.stopH1[0] == 1);
  }
}

TEST(GroupSequential, DriftGuardsAndThreads) {
  // The drift for a power gives that power back, with and without futility.
  for (Family futility : {Family::None, Family::HwangShihDeCaniSpending}) {
    SequentialPlan plan = Plan({0.3, 0.6, 1}, 1, 0.025, Family::OBrienFleming, {}, futility, {}, true, 0.9);
    SequentialDesignOutcome made = SequentialDesign::Make(plan);
    ASSERT_TRUE(made.design);
    std::optional<double> theta = made.design->DriftForPower(0.9);
    ASSERT_TRUE(theta);
    EXPECT_NEAR(made.design->Power(*theta).value_or(0), 0.9, 1e-9);
    EXPECT_FALSE(made.design->DriftForPower(1));
    EXPECT_FALSE(made.design->InflationFactor(0.01));  // not above alpha
    ClearArithmeticFlags();
    EXPECT_FALSE(made.design->Evaluate(std::nan("")));
    EXPECT_FALSE(made.design->Power(INFINITY));
    EXPECT_TRUE(made.design->Evaluate(40));  // a drift far beyond every bound
    EXPECT_FALSE(ArithmeticFlagsRaised());
  }

  // Every family is found by its name.
  for (Family f : sequential::EfficacyFamilies())
    EXPECT_EQ(sequential::FamilyOfName(sequential::FamilyName(f)), f);
  for (Family f : sequential::FutilityFamilies())
    EXPECT_EQ(sequential::FamilyOfName(sequential::FamilyName(f)), f);
  EXPECT_EQ(sequential::FamilyName(Family::HwangShihDeCaniSpending), "Hwang-Shih-DeCani Spending");
  EXPECT_FALSE(sequential::FamilyOfName("Pocock spending"));

  // Bad plans are refused with a message naming what is wrong.
  struct Bad {
    SequentialPlan plan;
    const char* message;
  };
  SequentialPlan tooMany = Plan({0.5, 1}, 2, 0.05, Family::Pocock, {});
  tooMany.interims = 6;
  const Bad bad[] = {
      {tooMany, "The number of interim analyses must be from 0 to 5"},
      {Plan({0.5, 0.4, 1}, 2, 0.05, Family::Pocock, {}), "The information fractions must rise above 0"},
      {Plan({0.5, 0.9}, 2, 0.05, Family::Pocock, {}), "The last information fraction must be 1"},
      {Plan({0.5, 1}, 3, 0.05, Family::Pocock, {}), "A sequential test has one or two sides"},
      {Plan({0.5, 1}, 2, 1, Family::Pocock, {}), "Alpha must lie between 0 and 1"},
      {Plan({0.5, 1}, 2, 0.05, Family::None, {}), "The efficacy boundary must be a boundary family"},
      {Plan({0.5, 1}, 2, 0.05, Family::Pocock, {}, Family::Pocock),
       "The futility boundary must be None or a spending family"},
      {Plan({0.5, 1}, 2, 0.05, Family::WangTsiatis, 0.6),
       "The parameter Delta of Wang-Tsiatis must lie between 0 and 0.5"},
      {Plan({0.5, 1}, 2, 0.05, Family::Pocock, {}, Family::HwangShihDeCaniSpending, -41),
       "The parameter gamma of Hwang-Shih-DeCani Spending must lie between -40 and 40"},
      {Plan({0.5, 1}, 2, 0.05, Family::Pocock, {}, Family::PocockSpending, {}, false, 1),
       "The power must lie between 0 and 1"},
      {Plan({0.2, 0.4, 0.6, 0.8, 1}, 1, 0.025, Family::HaybittlePeto, 2),
       "The Haybittle-Peto bound 2 at the interim analyses spends the whole alpha"},
  };
  for (const Bad& b : bad) {
    SequentialDesignOutcome made = SequentialDesign::Make(b.plan);
    EXPECT_FALSE(made.design);
    EXPECT_EQ(made.error, b.message);
  }

  // One design evaluated on several threads at once gives what one thread gives.
  SequentialDesignOutcome made = SequentialDesign::Make(
      Plan({0.25, 0.5, 0.75, 1}, 2, 0.05, Family::OBrienFleming, {}, Family::PocockSpending));
  ASSERT_TRUE(made.design);
  const SequentialDesign& design = *made.design;
  double alone = design.Power(2.9).value_or(-1);
  std::vector<double> powers(4);
  std::vector<std::thread> threads;
  for (double& p : powers) threads.emplace_back([&design, &p] { p = design.Power(2.9).value_or(-2); });
  for (std::thread& t : threads) t.join();
  for (double p : powers) EXPECT_EQ(p, alone);
}

TEST(GroupSequential, NormalQuantileInDoublePrecision) {
  // scipy: norm.isf(q) and norm.ppf(p).
  EXPECT_NEAR(StandardNormalUpperQuantile(0.025), 1.9599639845400545, 1e-14);
  EXPECT_NEAR(StandardNormalUpperQuantile(1e-10), 6.361340902404056, 1e-13);
  EXPECT_NEAR(StandardNormalUpperQuantile(1e-300), 37.0470962993612, 1e-12);
  EXPECT_NEAR(StandardNormalUpperQuantile(0.7), -0.5244005127080407, 1e-14);
  EXPECT_NEAR(StandardNormalQuantile(0.8), 0.8416212335729143, 1e-14);
  EXPECT_NEAR(StandardNormalQuantile(1e-20), -9.262340089798409, 1e-13);
  EXPECT_EQ(StandardNormalQuantile(0), -INFINITY);
  EXPECT_EQ(StandardNormalUpperQuantile(std::nan("")), 0);
}

}  // namespace
}  // namespace pelmora
