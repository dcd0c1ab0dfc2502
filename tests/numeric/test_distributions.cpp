// Tests of the continuous distributions.  Reference values come from R 4.x
// (pnorm, qnorm, pt, qt, pchisq, qchisq, pf, qf, pbeta, lgamma); the expression
// that produced each is written beside it.  Every approximation is held to the
// error it is known to have, stated at each comparison.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include "numeric/distributions.h"
#include "numeric/fault_guard.h"

namespace pelmora {
namespace {

struct Case1 {
  Single x;
  double ref;
};
struct Case2 {
  Single x;
  Single df;
  double ref;
};
struct Case3 {
  Single x;
  Single df1;
  Single df2;
  double ref;
};

// A table over a grid: the points, and per row the parameters and one
// reference value per point.
template <std::size_t N>
struct Row2 {
  Single df;
  std::array<double, N> ref;
};
template <std::size_t N>
struct Row3 {
  Single df1, df2;
  std::array<double, N> ref;
};
template <std::size_t N>
std::vector<Case2> Grid(const std::array<Single, N>& x, std::initializer_list<Row2<N>> rows) {
  std::vector<Case2> cases;
  for (const Row2<N>& r : rows)
    for (std::size_t i = 0; i < N; ++i) cases.push_back({x[i], r.df, r.ref[i]});
  return cases;
}
template <std::size_t N>
std::vector<Case3> Grid(const std::array<Single, N>& x, std::initializer_list<Row3<N>> rows) {
  std::vector<Case3> cases;
  for (const Row3<N>& r : rows)
    for (std::size_t i = 0; i < N; ++i) cases.push_back({x[i], r.df1, r.df2, r.ref[i]});
  return cases;
}
// The points as multiples of the row's degrees of freedom.
template <std::size_t N>
std::vector<Case2> GridScaled(const std::array<Single, N>& m, std::initializer_list<Row2<N>> rows) {
  std::vector<Case2> cases;
  for (const Row2<N>& r : rows)
    for (std::size_t i = 0; i < N; ++i) cases.push_back({m[i] * r.df, r.df, r.ref[i]});
  return cases;
}

std::vector<Case1> Points(std::initializer_list<Single> x, std::initializer_list<double> ref) {
  std::vector<Case1> cases;
  auto r = ref.begin();
  for (Single v : x) cases.push_back({v, *r++});
  return cases;
}

template <class Table, class Routine>
void ExpectAbsolute(const Table& table, double tolerance, Routine routine) {
  for (const auto& c : table) EXPECT_NEAR(routine(c), c.ref, tolerance) << "at x = " << c.x;
}

template <class Table, class Routine>
void ExpectRelative(const Table& table, double tolerance, Routine routine) {
  for (const auto& c : table)
    EXPECT_NEAR(routine(c), c.ref, tolerance * std::fabs(c.ref)) << "at x = " << c.x;
}

// A tolerance that depends on the case.
template <class Table, class Routine, class Tolerance>
void ExpectWithin(const Table& table, Tolerance tolerance, Routine routine) {
  for (const auto& c : table) EXPECT_NEAR(routine(c), c.ref, tolerance(c)) << "at x = " << c.x;
}

// The bisection stops when m = 1/(1 + x/scale) moves by 1e-5 of itself; the
// root then lies within 2e-5 m, which is 2e-5 (scale + x) in x.
double BisectionTolerance(double scale, double x) { return 2e-5 * (scale + x); }

bool WithinRelative(double actual, double ref, double tolerance) {
  return std::fabs(actual - ref) <= tolerance * std::fabs(ref);
}

Single UpperNormal(Single z) {
  Single p = -1;
  NormalUpper(1, z, p);
  return p;
}

Single UpperNormalQuantile(Single p) {
  Single z = -1;
  NormalUpper(2, z, p);
  return z;
}

Single UpperChiSquare(std::int16_t df, Single x) {
  Single p = -1;
  ChiSquareUpper(1, df, x, p);
  return p;
}

Single UpperChiSquareQuantile(std::int16_t df, Single p) {
  Single x = -1;
  ChiSquareUpper(2, df, x, p);
  return x;
}

Single UpperF(std::int16_t df1, std::int16_t df2, Single f) {
  Single p = -1;
  FUpper(1, df1, df2, f, p);
  return p;
}

Single UpperFQuantile(std::int16_t df1, std::int16_t df2, Single p) {
  Single f = -1;
  FUpper(2, df1, df2, f, p);
  return f;
}

// pnorm(x) for the points below, in order
const auto kNormalCdf = Points(
    {-9.75f, -6.5f, -3.5f, -2.0f, -1.0f, -0.25f, 0.0625f, 0.625f, 1.5f, 2.75f, 3.5f, 5.0f, 6.5f, 9.75f},
    {9.2234135249394196e-23, 4.0160005838591178e-11, 0.00023262907903552494, 0.022750131948179212,
     0.15865525393145705, 0.4012936743170763, 0.52491766902924719, 0.73401447095129946, 0.93319279873114191,
     0.99702023676494544, 0.99976737092096446, 0.99999971334842808, 0.99999999995984001, 1});

// pnorm(x, lower.tail = FALSE) for the points below, in order
const auto kNormalUpperTail =
    Points({-6.5f, -3.5f, -2.0f, -1.0f, -0.25f, 0.0625f, 0.625f, 1.5f, 2.75f, 3.5f, 5.0f, 6.5f},
           {0.99999999995984001, 0.99976737092096446, 0.97724986805182079, 0.84134474606854293,
            0.5987063256829237, 0.47508233097075281, 0.26598552904870054, 0.066807201268858071,
            0.0029797632350545564, 0.00023262907903552494, 2.8665157187919391e-07, 4.0160005838591178e-11});

// qnorm(x) for the points below, in order
const auto kNormalQuantile =
    Points({0.0001f, 0.001f, 0.01f, 0.025f, 0.1f, 0.3f, 0.6f, 0.8f, 0.95f, 0.99f, 0.999f, 0.9999f},
           {-3.71901648545568, -3.0902323061678132, -2.3263478740408408, -1.9599639845400538,
            -1.2815515655446008, -0.52440051270804067, 0.25334710313579978, 0.84162123357291441,
            1.6448536269514715, 2.3263478740408408, 3.0902323061678132, 3.7190164854557084});

// qnorm(x, lower.tail = FALSE) for the points below, in order
const auto kNormalUpperQuantile =
    Points({0.012f, 0.02f, 0.07f, 0.3f, 0.55f, 0.85f, 0.98f, 0.988f},
           {2.257129244486225, 2.0537489106318225, 1.4757910281791702, 0.52440051270804067,
            -0.12566134685507413, -1.0364333894937894, -2.0537489106318221, -2.257129244486225});

TEST(DistributionNormal, CdfWithinErrorOfErrorFunctionApproximation) {
  // Abramowitz-Stegun 7.1.26 errs by at most 1.5e-7 in erf, half that in the
  // distribution function; the single result adds 6e-8.
  ExpectAbsolute(kNormalCdf, 1.5e-7, [](const Case1& c) { return NormalCdf(c.x); });
  EXPECT_EQ(NormalCdf(0), 0.5f);
  EXPECT_EQ(NormalCdf(10), 1.0f);
  EXPECT_EQ(NormalCdf(-10), 0.0f);
  EXPECT_EQ(NormalCdf(-1e30f), 0.0f);
  EXPECT_NEAR(NormalCdf(1.96f), 0.97500210485177963, 1.5e-7);  // pnorm(1.96)
  EXPECT_EQ(NormalCdf(2.5f) + NormalCdf(-2.5f), 1.0f);
}

TEST(DistributionNormal, UpperTailMode1) {
  // Abramowitz-Stegun 26.2.19: error below 1.5e-7, plus the single result.
  ExpectAbsolute(kNormalUpperTail, 2e-7, [](const Case1& c) { return UpperNormal(c.x); });
  EXPECT_EQ(UpperNormal(8), 0.0f);
  EXPECT_EQ(UpperNormal(-8), 1.0f);
  EXPECT_GT(UpperNormal(7), 0.0f);
  // z is left as it was.
  Single z = 1.5f, p = 0;
  NormalUpper(1, z, p);
  EXPECT_EQ(z, 1.5f);
}

TEST(DistributionNormal, QuantileWithinErrorOf26_2_23) {
  // Abramowitz-Stegun 26.2.23: |error| < 4.5e-4.
  ExpectAbsolute(kNormalQuantile, 4.5e-4, [](const Case1& c) { return NormalQuantile(c.x); });
  EXPECT_EQ(NormalQuantile(0.5f), 0.0f);
  EXPECT_EQ(NormalQuantile(0), -100.0f);
  EXPECT_EQ(NormalQuantile(-0.5f), -100.0f);
  EXPECT_EQ(NormalQuantile(1), 100.0f);
  EXPECT_EQ(NormalQuantile(0.3f), -NormalQuantile(0.7f));
}

TEST(DistributionNormal, UpperQuantileMode2) {
  // The tabulated levels give their 5-decimal values exactly, on both sides.
  EXPECT_EQ(UpperNormalQuantile(0.05f), 1.64485f);
  EXPECT_EQ(UpperNormalQuantile(0.025f), 1.95996f);
  EXPECT_EQ(UpperNormalQuantile(0.01f), 2.32635f);
  EXPECT_EQ(UpperNormalQuantile(0.005f), 2.57583f);
  EXPECT_EQ(UpperNormalQuantile(0.95f), -1.64485f);
  EXPECT_EQ(UpperNormalQuantile(0.975f), -1.95996f);
  EXPECT_EQ(UpperNormalQuantile(0.99f), -2.32635f);
  EXPECT_EQ(UpperNormalQuantile(0.995f), -2.57583f);
  EXPECT_EQ(UpperNormalQuantile(0.5f), 0.0f);
  // Elsewhere the polynomial in -ln(4q(1 - q)) is good to 1e-5 for
  // 0.012 <= p <= 0.988.
  ExpectAbsolute(kNormalUpperQuantile, 1e-5, [](const Case1& c) { return UpperNormalQuantile(c.x); });
  // p is left as it was, and other modes change nothing.
  Single z = 7, p = 0.3f;
  NormalUpper(2, z, p);
  EXPECT_EQ(p, 0.3f);
  NormalUpper(3, z, p);
  EXPECT_EQ(z, UpperNormalQuantile(0.3f));
  EXPECT_EQ(p, 0.3f);
}

TEST(DistributionBeta, LogGammaStirling) {
  // The Stirling series after the shift above 10 errs by about 1e-11; the single
  // result by 6e-8 relative.
  EXPECT_NEAR(LogGammaStirling(0.5f), -0.34657359027997259, 1e-6);  // lgamma(0.5) - 0.5 * log(2 * pi)
  EXPECT_NEAR(LogGammaStirling(1), -0.91893853320467267, 1e-6);     // lgamma(1) - 0.5 * log(2 * pi)
  EXPECT_NEAR(LogGammaStirling(3.75f), 0.56787704538874451, 1e-6);  // lgamma(3.75) - 0.5 * log(2 * pi)
  EXPECT_NEAR(LogGammaStirling(10), 11.882888946876797, 2e-6);      // lgamma(10) - 0.5 * log(2 * pi)
  EXPECT_NEAR(LogGammaStirling(10.5f), 13.021686686199091, 2e-6);   // lgamma(10.5) - 0.5 * log(2 * pi)
  EXPECT_NEAR(LogGammaStirling(150), 599.09053202212272, 1e-4);     // lgamma(150) - 0.5 * log(2 * pi)
}

TEST(DistributionBeta, IncompleteBetaContinuedFraction) {
  // For moderate a and b the fraction converges well within its 26 passes: the
  // result agrees with the exact value to a few units of single precision.
  EXPECT_NEAR(IncompleteBeta(0.3f, 2, 3), 0.34829999999999989, 1e-6);          // pbeta(0.3, 2, 3)
  EXPECT_NEAR(IncompleteBeta(0.25f, 0.5f, 4), 0.85888671875, 1e-6);            // pbeta(0.25, 0.5, 4)
  EXPECT_NEAR(IncompleteBeta(0.625f, 7, 2.5f), 0.20402151534674998, 1e-6);     // pbeta(0.625, 7, 2.5)
  EXPECT_NEAR(IncompleteBeta(0.875f, 3, 30), 1.0, 1e-6);                       // pbeta(0.875, 3, 30)
  EXPECT_NEAR(IncompleteBeta(0.125f, 12, 12), 5.1375729775344967e-06, 1e-10);  // pbeta(0.125, 12, 12)
  EXPECT_NEAR(IncompleteBeta(0.5f, 20, 18), 0.37141467936453382, 2e-6);        // pbeta(0.5, 20, 18)
  EXPECT_EQ(IncompleteBeta(0, 2, 3), 0.0f);
  EXPECT_EQ(IncompleteBeta(1, 2, 3), 1.0f);
}

TEST(DistributionBeta, IncompleteBetaMirrorIdentity) {
  // I_x(a, b) + I_(1-x)(b, a) = 1, on both sides of the switching point
  // (a + 1)/(a + b + 2).
  const Single points[][3] = {{0.3f, 2, 3},    {0.6f, 2, 3},   {0.1f, 0.5f, 0.5f}, {0.9f, 5, 1.5f},
                              {0.45f, 10, 12}, {0.05f, 1, 40}, {0.75f, 30, 8}};
  for (const auto& pt : points) {
    const double sum = static_cast<double>(IncompleteBeta(pt[0], pt[1], pt[2])) +
                       IncompleteBeta(ToSingle(1.0 - pt[0]), pt[2], pt[1]);
    EXPECT_NEAR(sum, 1.0, 2e-7) << pt[0] << " " << pt[1] << " " << pt[2];
  }
}

constexpr Case2 kStudentCdf[] = {
    {-4.0f, 1.0f, 0.077979130377369324},      // pt(-4, 1)
    {-1.25f, 1.0f, 0.21477671252272262},      // pt(-1.25, 1)
    {0.25f, 1.0f, 0.57797913037736937},       // pt(0.25, 1)
    {1.75f, 1.0f, 0.83475065946143212},       // pt(1.75, 1)
    {3.0f, 1.0f, 0.89758361765043326},        // pt(3, 1)
    {6.0f, 1.0f, 0.94743154328874657},        // pt(6, 1)
    {-4.0f, 3.0f, 0.014004228005073085},      // pt(-4, 3)
    {-1.25f, 3.0f, 0.14996473397543109},      // pt(-1.25, 3)
    {0.25f, 3.0f, 0.59063538878558519},       // pt(0.25, 3)
    {1.75f, 3.0f, 0.91078728695086442},       // pt(1.75, 3)
    {3.0f, 3.0f, 0.97116555718878139},        // pt(3, 3)
    {6.0f, 3.0f, 0.99536364255385767},        // pt(6, 3)
    {-4.0f, 10.0f, 0.0012591663123683451},    // pt(-4, 10)
    {-1.25f, 10.0f, 0.11988030512766777},     // pt(-1.25, 10)
    {0.25f, 10.0f, 0.59617589713169294},      // pt(0.25, 10)
    {1.75f, 10.0f, 0.94465952786702645},      // pt(1.75, 10)
    {3.0f, 10.0f, 0.99332817248871519},       // pt(3, 10)
    {6.0f, 10.0f, 0.99993394556982262},       // pt(6, 10)
    {-4.0f, 30.0f, 0.00019092281804187819},   // pt(-4, 30)
    {-1.25f, 30.0f, 0.11048151210657829},     // pt(-1.25, 30)
    {0.25f, 30.0f, 0.59785429545971247},      // pt(0.25, 30)
    {1.75f, 30.0f, 0.95482913602339448},      // pt(1.75, 30)
    {3.0f, 30.0f, 0.99730501796717408},       // pt(3, 30)
    {6.0f, 30.0f, 0.99999930286156169},       // pt(6, 30)
    {-4.0f, 100.0f, 6.0761822150380825e-05},  // pt(-4, 100)
    {-1.25f, 100.0f, 0.10710847446439005},    // pt(-1.25, 100)
    {0.25f, 100.0f, 0.59844989392338976},     // pt(0.25, 100)
    {1.75f, 100.0f, 0.95840715395124465},     // pt(1.75, 100)
    {3.0f, 100.0f, 0.99829604232833535},      // pt(3, 100)
    {6.0f, 100.0f, 0.99999998413754243},      // pt(6, 100)
};

constexpr Case2 kStudentCdfLargeDf[] = {
    {-2.0f, 200.0f, 0.023426593093535484},   // pt(-2, 200)
    {0.5f, 200.0f, 0.69118762384176957},     // pt(0.5, 200)
    {1.5f, 200.0f, 0.93240433938648248},     // pt(1.5, 200)
    {-2.0f, 1000.0f, 0.022885173246625829},  // pt(-2, 1000)
    {0.5f, 1000.0f, 0.69140745958306249},    // pt(0.5, 1000)
    {1.5f, 1000.0f, 0.93303498058895684},    // pt(1.5, 1000)
};

constexpr Case2 kStudentQuantileOneDf[] = {
    {0.005f, 1.0f, -63.656741162871583},  // qt(0.005, 1)
    {0.025f, 1.0f, -12.706204736174707},  // qt(0.025, 1)
    {0.3f, 1.0f, -0.72654252800536101},   // qt(0.3, 1)
    {0.6f, 1.0f, 0.32491969623290634},    // qt(0.6, 1)
    {0.9f, 1.0f, 3.0776835371752544},     // qt(0.9, 1)
    {0.995f, 1.0f, 63.656741162871526},   // qt(0.995, 1)
};

constexpr Case2 kStudentQuantileSmallDf[] = {
    {0.005f, 3.0f, -5.8409093097333562},  // qt(0.005, 3)
    {0.025f, 3.0f, -3.1824463052837091},  // qt(0.025, 3)
    {0.3f, 3.0f, -0.58438972743981865},   // qt(0.3, 3)
    {0.6f, 3.0f, 0.27667066233268983},    // qt(0.6, 3)
    {0.9f, 3.0f, 1.6377443536962091},     // qt(0.9, 3)
    {0.995f, 3.0f, 5.8409093097333544},   // qt(0.995, 3)
    {0.005f, 4.0f, -4.6040948713499938},  // qt(0.005, 4)
    {0.025f, 4.0f, -2.7764451051977943},  // qt(0.025, 4)
    {0.3f, 4.0f, -0.56864906304970553},   // qt(0.3, 4)
    {0.6f, 4.0f, 0.27072229470759746},    // qt(0.6, 4)
    {0.9f, 4.0f, 1.5332062740589429},     // qt(0.9, 4)
    {0.995f, 4.0f, 4.6040948713499921},   // qt(0.995, 4)
};

constexpr Case2 kStudentQuantile[] = {
    {0.005f, 5.0f, -4.0321429835552296},    // qt(0.005, 5)
    {0.025f, 5.0f, -2.570581835636315},     // qt(0.025, 5)
    {0.3f, 5.0f, -0.55942964446936105},     // qt(0.3, 5)
    {0.6f, 5.0f, 0.26718086570414518},      // qt(0.6, 5)
    {0.9f, 5.0f, 1.4758840488244804},       // qt(0.9, 5)
    {0.995f, 5.0f, 4.0321429835552287},     // qt(0.995, 5)
    {0.005f, 30.0f, -2.7499956535672259},   // qt(0.005, 30)
    {0.025f, 30.0f, -2.0422724563012382},   // qt(0.025, 30)
    {0.3f, 30.0f, -0.53001900390650458},    // qt(0.3, 30)
    {0.6f, 30.0f, 0.25560536495191277},     // qt(0.6, 30)
    {0.9f, 30.0f, 1.3104150253913955},      // qt(0.9, 30)
    {0.995f, 30.0f, 2.7499956535672254},    // qt(0.995, 30)
    {0.005f, 120.0f, -2.6174211451068659},  // qt(0.005, 120)
    {0.025f, 120.0f, -1.9799304050824222},  // qt(0.025, 120)
    {0.3f, 120.0f, -0.52579639060710515},   // qt(0.3, 120)
    {0.6f, 120.0f, 0.25390952321492849},    // qt(0.6, 120)
    {0.9f, 120.0f, 1.2886462336563769},     // qt(0.9, 120)
    {0.995f, 120.0f, 2.6174211451068659},   // qt(0.995, 120)
};

TEST(DistributionStudent, CdfThroughIncompleteBeta) {
  // Up to df 100 the incomplete beta and the single x = df/(df + t^2) give
  // about 1e-6; for larger df the rounding of x near 1 costs up to 1e-5.
  ExpectAbsolute(kStudentCdf, 2e-6, [](const Case2& c) { return StudentCdf(c.x, c.df); });
  ExpectAbsolute(kStudentCdfLargeDf, 1e-5, [](const Case2& c) { return StudentCdf(c.x, c.df); });
  for (Single df : {1.0f, 2.0f, 7.5f, 40.0f, 500.0f}) EXPECT_EQ(StudentCdf(0, df), 0.5f) << df;
  EXPECT_NEAR(StudentCdf(2.5f, 8) + StudentCdf(-2.5f, 8), 1.0, 1e-7);
  EXPECT_NEAR(StudentCdf(2.5f, 8), 0.98152898114318798, 2e-6);  // pt(2.5, 8)
}

TEST(DistributionStudent, QuantileExpansion) {
  // One degree of freedom is exact (the tangent).
  ExpectRelative(kStudentQuantileOneDf, 1e-5, [](const Case2& c) { return StudentQuantile(c.x, c.df); });
  EXPECT_NEAR(StudentQuantile(0.975f, 1), 12.706208317309232, 1e-4);  // tan(0.475 * 3.1415927)
  // Abramowitz-Stegun 26.7.5 on the 26.2.23 normal quantile: the normal
  // quantile's absolute 4.5e-4, grown by the expansion to 6e-4, and from df 5
  // under 1e-3 relative of truncated expansion; at df 3 and 4 the truncated
  // expansion errs by up to 1 % in the 0.5 % tails.
  ExpectWithin(
      kStudentQuantileSmallDf, [](const Case2& c) { return 6e-4 + 1e-2 * std::fabs(c.ref); },
      [](const Case2& c) { return StudentQuantile(c.x, c.df); });
  ExpectWithin(
      kStudentQuantile, [](const Case2& c) { return 6e-4 + 1e-3 * std::fabs(c.ref); },
      [](const Case2& c) { return StudentQuantile(c.x, c.df); });
  EXPECT_EQ(StudentQuantile(0.5f, 7), 0.0f);
}

// clang-format off
const auto kChiSquareCdfSmallDf = Grid<5>({0.25f, 1.5f, 3.0f, 8.0f, 20.0f}, {
  // pchisq(x, 1)
  {1.0f, {0.38292492254802624, 0.77932863808015318, 0.91673548333644939, 0.99532226501895271,
   0.99999225578356898}},
  // pchisq(x, 2)
  {2.0f, {0.1175030974154046, 0.52763344725898531, 0.77686983985157021, 0.98168436111126578,
   0.99995460007023751}},
  // pchisq(x, 4.5)
  {4.5f, {0.0033436578545782362, 0.12396933246013914, 0.36723054820997514, 0.8784340969740112,
   0.99919628208749678}},
  // pchisq(x, 10)
  {10.0f, {2.2919102136524124e-07, 0.0010646777727857928, 0.018575936222140679, 0.37116306482012656,
   0.97074731192303887}},
});

// pchisq(m df, df) at m = 0.5, 1, 1.5, 2
const auto kChiSquareCdfLargeDf = GridScaled<4>({0.5f, 1.0f, 1.5f, 2.0f}, {
  // pchisq(11 m, 11)
  {11.0f, {0.095439467622882496, 0.5567367215735346, 0.87644000686185919, 0.97562675625241835}},
  // pchisq(21 m, 21)
  {21.0f, {0.028338355123332683, 0.54105579110717805, 0.93427020822582629, 0.99579225180731334}},
  // pchisq(22 m, 22)
  {22.0f, {0.025251250544539892, 0.54011129730631335, 0.93812616321367526, 0.99645339957188361}},
  // pchisq(60 m, 60)
  {60.0f, {0.00041844966832768686, 0.52428301389368004, 0.99266280070220347, 0.99999312373503124}},
  // pchisq(150 m, 150)
  {150.0f, {4.5927286289786512e-08, 0.51535639903964303, 0.99992845643086026, 0.99999999999546019}},
});

const auto kChiSquareQuantileSmallDf = Grid<5>({0.01f, 0.25f, 0.5f, 0.95f, 0.99f}, {
  // qchisq(p, 1)
  {1.0f, {0.00015708785790970206, 0.10153104426762159, 0.45493642311957283, 3.841458820694124,
   6.6348966010212127}},
  // qchisq(p, 2)
  {2.0f, {0.020100671707002884, 0.57536414490356191, 1.3862943611198906, 5.9914645471079799,
   9.2103403719761818}},
  // qchisq(p, 3)
  {3.0f, {0.11483180189911704, 1.2125329030456689, 2.3659738843753377, 7.8147279032511792,
   11.34486673014437}},
  // qchisq(p, 5)
  {5.0f, {0.55429807672827713, 2.6746028094321637, 4.3514601910955264, 11.070497693516351,
   15.086272469388987}},
  // qchisq(p, 10)
  {10.0f, {2.5582121601872059, 6.7372007719546421, 9.3418177655919692, 18.307038053275146,
   23.209251158954356}},
});

const auto kChiSquareQuantileLargeDf = Grid<5>({0.01f, 0.25f, 0.5f, 0.95f, 0.99f}, {
  // qchisq(p, 11)
  {11.0f, {3.0534841066406799, 7.5841427854412853, 10.340998074391825, 19.675137572682491,
   24.724970311318284}},
  // qchisq(p, 20)
  {20.0f, {8.2603983325463979, 15.451773539047723, 19.33742922942827, 31.410432844230922,
   37.566234786625046}},
  // qchisq(p, 100)
  {100.0f, {70.064894925399798, 90.133219746339336, 99.334129235988485, 124.34211340400408,
   135.80672317102679}},
});
// clang-format on

TEST(DistributionChiSquare, CdfBranches) {
  // df <= 10: the F distribution with df2 = 10000 through the incomplete beta;
  // F(df, 10000) differs from chi-square/df by about 1e-4 and the single
  // x = 10000/(df f + 10000) near 1 costs as much again.
  ExpectAbsolute(kChiSquareCdfSmallDf, 5e-4, [](const Case2& c) { return ChiSquareCdf(c.x, c.df); });
  // 10 < df <= 21 takes Paulson's approximation of that F, beyond 21
  // Wilson-Hilferty: both good to about 1e-3.
  ExpectAbsolute(kChiSquareCdfLargeDf, 1.5e-3, [](const Case2& c) { return ChiSquareCdf(c.x, c.df); });
  // The switch: df 21 is exactly the F route, df 22 Wilson-Hilferty.
  EXPECT_EQ(ChiSquareCdf(30, 21), FCdf(ToSingle(30.0 / 21), 21, 10000));
  EXPECT_NEAR(ChiSquareCdf(30, 22), 0.88183829773345468,
              1.5e-7);  // pnorm(((30/22)^(1/3) - (1 - 2/198))/sqrt(2/198))
  // Guards.
  EXPECT_EQ(ChiSquareCdf(1e-10f, 3), 0.0f);
  EXPECT_EQ(ChiSquareCdf(-4, 3), 0.0f);
  EXPECT_EQ(ChiSquareCdf(5, 0), 1.0f);
  EXPECT_EQ(ChiSquareCdf(5, -2), 1.0f);
}

TEST(DistributionChiSquare, UpperTailSeriesAndWilsonHilferty) {
  // The finite series are exact but for the 26.2.19 normal tail of odd df.
  const struct {
    std::int16_t df;
    Single x;
    double ref;
  } kSeries[] = {
      {1, 3.84f, 0.050043521248705224},    // pchisq(3.84, 1, lower.tail = FALSE)
      {2, 3.84f, 0.14660696213035015},     // pchisq(3.84, 2, lower.tail = FALSE)
      {3, 7.8125f, 0.050049949100653433},  // pchisq(7.8125, 3, lower.tail = FALSE)
      {6, 0.5f, 0.99783850331023749},      // pchisq(0.5, 6, lower.tail = FALSE)
      {13, 20, 0.095210256078091526},      // pchisq(20, 13, lower.tail = FALSE)
      {40, 60, 0.021873468441390858},      // pchisq(60, 40, lower.tail = FALSE)
  };
  for (const auto& c : kSeries) EXPECT_NEAR(UpperChiSquare(c.df, c.x), c.ref, 4e-7) << c.df;
  EXPECT_EQ(UpperChiSquare(5, 0), 1.0f);
  // df 41 is Wilson-Hilferty (8e-6 from the exact 0.027940952432154168 of
  // pchisq(60, 41, lower.tail = FALSE)), held to the 26.2.19 normal tail error.
  EXPECT_NEAR(UpperChiSquare(41, 60), 0.027948912867659964,
              2e-7);  // pnorm(((60/41)^(1/3) - 1 + 2/369)/sqrt(2/369), lower.tail = FALSE)
  // x is left as it was.
  Single x = 7.5f, p = 0;
  ChiSquareUpper(1, 4, x, p);
  EXPECT_EQ(x, 7.5f);
}

TEST(DistributionChiSquare, UpperQuantileMode2) {
  // df 1: the tabulated normal quantile of p/2, squared; df 2: -2 ln p.
  EXPECT_EQ(UpperChiSquareQuantile(1, 0.05f), 1.95996f * 1.95996f);
  EXPECT_NEAR(UpperChiSquareQuantile(2, 0.05f), 5.9914645471079817, 1e-5);  // -2 * log(0.05)
  // df >= 3: bisection until m = 1/(1 + x) moves by 1e-5 of itself.
  EXPECT_PRED3(WithinRelative, UpperChiSquareQuantile(3, 0.05f), 7.8147279032511801,
               1e-4);  // qchisq(0.05, 3, lower.tail = FALSE)
  EXPECT_PRED3(WithinRelative, UpperChiSquareQuantile(25, 0.01f), 44.314104896219163,
               1e-4);  // qchisq(0.01, 25, lower.tail = FALSE)
  // p is restored to the target after the search.
  Single x = 0, p = 0.2f;
  ChiSquareUpper(2, 7, x, p);
  EXPECT_EQ(p, 0.2f);
}

TEST(DistributionChiSquare, Quantile) {
  // df <= 10: the bisection.
  ExpectWithin(
      kChiSquareQuantileSmallDf, [](const Case2& c) { return BisectionTolerance(1, c.ref); },
      [](const Case2& c) { return ChiSquareQuantile(c.x, c.df); });
  // df > 10: Abramowitz-Stegun 26.6.16 with df1 = 999999, whose error near
  // df 11 reaches 1 % in the tails and falls with df.
  ExpectRelative(kChiSquareQuantileLargeDf, 1.2e-2,
                 [](const Case2& c) { return ChiSquareQuantile(c.x, c.df); });
  // A real df up to 10 is rounded to the nearest integer (halves to even).
  EXPECT_EQ(ChiSquareQuantile(0.9f, 2.5f), ChiSquareQuantile(0.9f, 2));
  EXPECT_EQ(ChiSquareQuantile(0.9f, 3.5f), ChiSquareQuantile(0.9f, 4));
}

// clang-format off
const auto kFCdfBeta = Grid<3>({0.25f, 1.5f, 6.0f}, {
  {1.0f, 1.0f, {0.29516723530086642, 0.56409421684897509, 0.7532482855711502}},  // pf(x, 1, 1)
  {1.0f, 10.0f, {0.37210639425702702, 0.75126156630669061, 0.96571229353063592}},  // pf(x, 1, 10)
  {2.0f, 2.0f, {0.20000000000000001, 0.59999999999999998, 0.85714285714285721}},  // pf(x, 2, 2)
  {3.0f, 7.0f, {0.14102007489011356, 0.70419108070356229, 0.97609287120616806}},  // pf(x, 3, 7)
  {5.0f, 20.0f, {0.065119675506569399, 0.76571334109706113, 0.99848845892581761}},  // pf(x, 5, 20)
  {10.0f, 10.0f, {0.019581439999999995, 0.73343231999999969, 0.99547026861811883}},  // pf(x, 10, 10)
  {12.0f, 50.0f, {0.0060154540632340959, 0.8442695051136192, 0.99999757881253593}},  // pf(x, 12, 50)
  {50.0f, 100.0f, {1.9803229993879839e-07, 0.95630380067482568, 0.99999999999998357}},  // pf(x, 50, 100)
  {4.0f, 500.0f, {0.090355226970029318, 0.79906652926561916, 0.99989887419228185}},  // pf(x, 4, 500)
  {1.0f, 1000.0f, {0.38281491916612503, 0.77904021626731768, 0.98552347185414013}},  // pf(x, 1, 1000)
});

const auto kFCdfPaulson = Grid<3>({0.5f, 1.25f, 2.5f}, {
  {11.0f, 200.0f, {0.098175353626226716, 0.74371622394050041, 0.99421955711400822}},  // pf(x, 11, 200)
  {30.0f, 150.0f, {0.014107710540982197, 0.80742392513125005, 0.99984685481437352}},  // pf(x, 30, 150)
  {150.0f, 40.0f, {0.0015017975086846454, 0.79275169948326718, 0.999437059525353}},  // pf(x, 150, 40)
  {200.0f, 200.0f, {6.2509906388576442e-07, 0.94228677866983679, 0.99999999990111377}},  // pf(x, 200, 200)
  {1000.0f, 50.0f, {6.5858304925391461e-05, 0.83887598072655833, 0.99994196026255655}},  // pf(x, 1000, 50)
});

const auto kFQuantileExact = Grid<4>({0.1f, 0.5f, 0.95f, 0.99f}, {
  // qf(p, 1, 5)
  {1.0f, 5.0f, {0.017470276947527674, 0.52807376895262048, 6.6078909737033626, 16.258177039833647}},
  // qf(p, 2, 10)
  {2.0f, 10.0f, {0.10647843800067558, 0.74349177498517549, 4.1028210151304005, 7.5594321575478984}},
  // qf(p, 3, 3)
  {3.0f, 3.0f, {0.18550214375530638, 1.0000000000000009, 9.276628153144804, 29.456695126754621}},
  // qf(p, 5, 30)
  {5.0f, 30.0f, {0.31505149501897955, 0.89019258816922742, 2.5335545475592709, 3.6990188114125719}},
  // qf(p, 10, 100)
  {10.0f, 100.0f, {0.47917577423829849, 0.94047715697691769, 1.9266924887545489, 2.503311126879586}},
  // qf(p, 20, 6)
  {20.0f, 6.0f, {0.47816633055780633, 1.0844892206716434, 3.874188581026508, 7.3958318913238035}},
});

const auto kFQuantileApprox = Grid<4>({0.05f, 0.5f, 0.95f, 0.99f}, {
  {11.0f, 11.0f, {0.35487035988387916, 1, 2.8179304699530863, 4.4624360431528558}},  // qf(p, 11, 11)
  // qf(p, 20, 40)
  {20.0f, 40.0f, {0.50155001557853396, 0.98322627073665148, 1.8388593490242173, 2.3688761223373955}},
  // qf(p, 60, 120)
  {60.0f, 120.0f, {0.68153944008539291, 0.99443209249655595, 1.429013177954586, 1.6556931990052255}},
  // qf(p, 15, 300)
  {15.0f, 300.0f, {0.47952188338236112, 0.95806016309364583, 1.699828603645952, 2.098825524937773}},
});
// clang-format on

TEST(DistributionF, CdfBranches) {
  // Through the incomplete beta: up to 5e-5 (the single x near 1 when df2 is
  // large).  Paulson's approximation (both df > 10, one > 100): up to 2e-3,
  // worst for df1 = 11.
  ExpectAbsolute(kFCdfBeta, 5e-5, [](const Case3& c) { return FCdf(c.x, c.df1, c.df2); });
  ExpectAbsolute(kFCdfPaulson, 2e-3, [](const Case3& c) { return FCdf(c.x, c.df1, c.df2); });
  EXPECT_NEAR(FCdf(2.5f, 12, 50), 0.98819953039678665, 5e-6);  // pf(2.5, 12, 50)
  EXPECT_EQ(FCdf(0, 3, 8), 0.0f);
  EXPECT_EQ(FCdf(-10, 3, 8), 0.0f);
}

TEST(DistributionF, UpperTailSeries) {
  // Closed forms of the finite series.
  for (Single f : {0.1f, 0.5f, 1.0f, 3.0f, 12.0f}) {
    EXPECT_NEAR(UpperF(2, 2, f), 1 / (1 + static_cast<double>(f)), 1e-6) << f;
    EXPECT_NEAR(UpperF(1, 1, f), 1 - (2 / 3.14159265) * std::atan(std::sqrt(static_cast<double>(f))), 1e-6)
        << f;
  }
  EXPECT_NEAR(UpperF(1, 10, 4.96f), 0.050087650566468134, 1e-6);  // pf(4.96, 1, 10, lower.tail = FALSE)
  // All four parity combinations against the exact tail; the 1e-5 stopping rule
  // leaves at most a few 1e-5 of the sum.
  const struct {
    std::int16_t df1, df2;
    Single f;
    double ref;
  } kSeries[] = {
      {3, 5, 2.5f, 0.17392765793650994},      // pf(2.5, 3, 5, lower.tail = FALSE)
      {4, 6, 2.5f, 0.15161132812500003},      // pf(2.5, 4, 6, lower.tail = FALSE)
      {4, 7, 1.75f, 0.24306795603287576},     // pf(1.75, 4, 7, lower.tail = FALSE)
      {5, 12, 0.75f, 0.60169013773723545},    // pf(0.75, 5, 12, lower.tail = FALSE)
      {10, 30, 2.25f, 0.042118873488031533},  // pf(2.25, 10, 30, lower.tail = FALSE)
      {25, 8, 3, 0.055214792863183218},       // pf(3, 25, 8, lower.tail = FALSE)
  };
  for (const auto& c : kSeries)
    EXPECT_NEAR(UpperF(c.df1, c.df2, c.f), c.ref, 5e-5 * c.ref) << c.df1 << "/" << c.df2;
  Single f = 2, p = 0;
  FUpper(1, 3, 9, f, p);
  EXPECT_EQ(f, 2.0f);
}

TEST(DistributionF, QuantileBranches) {
  // Exact branch (a df <= 10): the bisection on the scale df2/df1.
  ExpectWithin(
      kFQuantileExact, [](const Case3& c) { return BisectionTolerance(c.df2 / c.df1, c.ref); },
      [](const Case3& c) { return FQuantile(c.x, c.df1, c.df2); });
  // Abramowitz-Stegun 26.6.16: within 1 % (worst at df 11, p = 0.99).
  ExpectRelative(kFQuantileApprox, 1e-2, [](const Case3& c) { return FQuantile(c.x, c.df1, c.df2); });
  // A df <= 0.5 in the exact branch has no quantile; a df above 999 is taken
  // as 999.
  EXPECT_EQ(FQuantile(0.95f, 0.4f, 5), 99999.0f);
  EXPECT_EQ(FQuantile(0.95f, 5, 0.5f), 99999.0f);
  EXPECT_EQ(FQuantile(0.95f, 5000, 5), FQuantile(0.95f, 999, 5));
  EXPECT_PRED3(WithinRelative, FQuantile(0.95f, 5000, 5), 4.3690443241280201, 1e-4);  // qf(0.95, 999, 5)
}

TEST(DistributionF, UpperQuantileMode2) {
  // Both df > 30: Paulson's approximation inverted, good to about 2e-3.
  EXPECT_PRED3(WithinRelative, UpperFQuantile(40, 60, 0.05f), 1.5942725201140082,
               2e-3);  // qf(0.05, 40, 60, lower.tail = FALSE)
  EXPECT_PRED3(WithinRelative, UpperFQuantile(100, 31, 0.01f), 2.1055970223323661,
               2e-3);  // qf(0.01, 100, 31, lower.tail = FALSE)
  // Otherwise the bisection over the exact series.
  EXPECT_PRED3(WithinRelative, UpperFQuantile(3, 12, 0.05f), 3.4902948194976053,
               1e-4);  // qf(0.05, 3, 12, lower.tail = FALSE)
  EXPECT_PRED3(WithinRelative, UpperFQuantile(30, 31, 0.05f), 1.8283447558446697,
               1e-4);  // qf(0.05, 30, 31, lower.tail = FALSE)
  Single f = 0, p = 0.1f;
  FUpper(2, 4, 9, f, p);
  EXPECT_EQ(p, 0.1f);
}

TEST(DistributionExponential, CdfAndCappedExponential) {
  EXPECT_EQ(ExponentialCdf(0.5f, 1, 2), 0.0f);
  EXPECT_EQ(ExponentialCdf(1, 1, 2), 0.0f);
  EXPECT_NEAR(ExponentialCdf(3.5f, 1, 2), 0.71349520313980985, 1e-7);  // pexp(3.5 - 1, rate = 1 / 2)
  EXPECT_EQ(ExpCapped(0), 1.0);
  EXPECT_DOUBLE_EQ(ExpCapped(2), std::exp(2.0));
  EXPECT_DOUBLE_EQ(ExpCapped(75), std::exp(75.0));
  EXPECT_DOUBLE_EQ(ExpCapped(1000), std::exp(75.0));
  EXPECT_DOUBLE_EQ(ExpCapped(std::numeric_limits<Single>::infinity()), std::exp(75.0));
}

TEST(DistributionFaults, ArithmeticFaultsReachTheCaller) {
  // The logarithm of 0 in the upper normal quantile at p = 0 and p = 1.
  EXPECT_FALSE(EvaluateGuarded([] {
                 Single z, p = 0;
                 NormalUpper(2, z, p);
                 return z;
               }).has_value());
  EXPECT_FALSE(EvaluateGuarded([] {
                 Single z, p = 1;
                 NormalUpper(2, z, p);
                 return z;
               }).has_value());
  // -2 ln 0 for two degrees of freedom, the normal quantile of 0 for one.
  EXPECT_FALSE(EvaluateGuarded([] { return UpperChiSquareQuantile(2, 0); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([] { return UpperChiSquareQuantile(1, 0); }).has_value());
  // Log-gamma outside its domain, including an argument too negative to shift.
  EXPECT_FALSE(EvaluateGuarded([] { return LogGammaStirling(0); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([] { return LogGammaStirling(-1e30f); }).has_value());
  // The guards and ordinary values raise nothing.
  EXPECT_TRUE(EvaluateGuarded([] { return NormalCdf(-50); }).has_value());
  EXPECT_TRUE(EvaluateGuarded([] { return UpperNormal(20); }).has_value());
  EXPECT_TRUE(EvaluateGuarded([] { return ExpCapped(1e30f); }).has_value());
  EXPECT_TRUE(EvaluateGuarded([] { return FCdf(1.5f, 4, 20); }).has_value());
  EXPECT_TRUE(EvaluateGuarded([] { return FQuantile(0.5f, 0.2f, 3); }).has_value());
  // A degree of freedom that does not fit 16 bits.
  EXPECT_THROW(ChiSquareQuantile(0.5f, -40000), ArithmeticFault);
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(UpperNormalQuantile, UsualLevelsAndBetween) {
  EXPECT_FLOAT_EQ(UpperNormalQuantile(0.025f), 1.95996f);
  EXPECT_FLOAT_EQ(UpperNormalQuantile(0.05f), 1.64485f);
  // The level of a 95 % interval as a single: (1 - 0.95) / 2 is not 0.025 exactly.
  EXPECT_NEAR(UpperNormalQuantile((1 - 0.95f) / 2), 1.959964, 2e-5);
  // scipy.stats.norm.isf(0.1) = 1.281552; scipy.stats.norm.isf(0.9) = -1.281552
  EXPECT_NEAR(UpperNormalQuantile(0.1f), 1.281552, 2e-5);
  EXPECT_NEAR(UpperNormalQuantile(0.9f), -1.281552, 2e-5);
}

}  // namespace
}  // namespace pelmora
