// The boundary families of group-sequential designs: their names, their
// parameters and, for the Lan-DeMets families, the spending functions.
//
// Constant families (the bound at information fraction t is C g(t), C chosen
// so that the whole design has the level):
//   "O'Brien-Fleming"   g(t) = 1 / sqrt(t)          (O'Brien and Fleming 1979)
//   "Pocock"            g(t) = 1                    (Pocock 1977)
//   "Wang-Tsiatis"      g(t) = t^(Delta - 1/2), Delta in [0, 0.5], 0.25 unless
//                       given (Wang and Tsiatis 1987)
//   "Haybittle-Peto"    a fixed z at the interims (in [2, 6], 3 unless given),
//                       the final bound chosen to keep the level (Haybittle
//                       1971, Peto et al. 1976)
// Spending families (Lan and DeMets 1983): f(t; a), the probability spent by
// fraction t at the level a, rising from f(0) = 0 to f(1) = a:
//   "O'Brien-Fleming Spending"    2 - 2 Phi(z(1 - a/2) / sqrt(t))
//   "Pocock Spending"             a ln(1 + (e - 1) t)
//   "Kim-DeMets Spending"         a t^rho, rho in [0.1, 10], 3 unless given
//                                 (Kim and DeMets 1987)
//   "Hwang-Shih-DeCani Spending"  a (1 - e^(-gamma t)) / (1 - e^(-gamma)),
//                                 gamma in [-40, 40], -4 unless given, a t at
//                                 gamma = 0 (Hwang, Shih and DeCani 1990)
// The spending functions are exact to double precision (the normal tail by
// the complementary error function, the exponentials by expm1).
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace pelmora::sequential {

enum class Family {
  None,  // futility only: no futility stops
  OBrienFleming,
  Pocock,
  WangTsiatis,
  HaybittlePeto,
  OBrienFlemingSpending,
  PocockSpending,
  KimDeMetsSpending,
  HwangShihDeCaniSpending,
};

// The families offered for efficacy bounds and for futility bounds (None
// first), in the order a list shows them.
std::span<const Family> EfficacyFamilies();
std::span<const Family> FutilityFamilies();

// The family's name as the user sees it ("None" for Family::None), and the
// family of a name (exact match), nothing for an unknown name.
std::string_view FamilyName(Family family);
std::optional<Family> FamilyOfName(std::string_view name);

bool IsSpending(Family family);

// The parameter of a family that has one: its closed range and its default.
struct FamilyParameter {
  std::string_view name;  // "Delta", "z", "rho", "gamma"
  double low = 0, high = 0, fallback = 0;
};
std::optional<FamilyParameter> ParameterOf(Family family);

// The family's parameter: the given value, or the default when none is given
// or the family has none (0 then).
double ParameterValue(Family family, std::optional<double> given);

// f(t; level) of a spending family with its parameter, for 0 <= t <= 1; 0 at
// t <= 0, exactly level at t >= 1.  0 for a family that is not a spending one.
double Spent(Family family, double parameter, double level, double t);

}  // namespace pelmora::sequential
