#include "numeric/sequential_families.h"

#include <array>
#include <cmath>

#include "numeric/normal_quantile.h"

namespace pelmora::sequential {

namespace {

struct FamilyRow {
  Family family;
  std::string_view name;
  std::optional<FamilyParameter> parameter;
};

constexpr std::array<FamilyRow, 9> kFamilies{{
    {Family::None, "None", std::nullopt},
    {Family::OBrienFleming, "O'Brien-Fleming", std::nullopt},
    {Family::Pocock, "Pocock", std::nullopt},
    {Family::WangTsiatis, "Wang-Tsiatis", FamilyParameter{"Delta", 0, 0.5, 0.25}},
    {Family::HaybittlePeto, "Haybittle-Peto", FamilyParameter{"z", 2, 6, 3}},
    {Family::OBrienFlemingSpending, "O'Brien-Fleming Spending", std::nullopt},
    {Family::PocockSpending, "Pocock Spending", std::nullopt},
    {Family::KimDeMetsSpending, "Kim-DeMets Spending", FamilyParameter{"rho", 0.1, 10, 3}},
    {Family::HwangShihDeCaniSpending, "Hwang-Shih-DeCani Spending", FamilyParameter{"gamma", -40, 40, -4}},
}};

constexpr std::array<Family, 8> kEfficacy{Family::OBrienFleming,         Family::Pocock,
                                          Family::WangTsiatis,           Family::HaybittlePeto,
                                          Family::OBrienFlemingSpending, Family::PocockSpending,
                                          Family::KimDeMetsSpending,     Family::HwangShihDeCaniSpending};
constexpr std::array<Family, 5> kFutility{Family::None, Family::OBrienFlemingSpending, Family::PocockSpending,
                                          Family::KimDeMetsSpending, Family::HwangShihDeCaniSpending};

const FamilyRow& RowOf(Family family) {
  for (const FamilyRow& row : kFamilies)
    if (row.family == family) return row;
  return kFamilies[0];
}

}  // namespace

std::span<const Family> EfficacyFamilies() { return kEfficacy; }
std::span<const Family> FutilityFamilies() { return kFutility; }

std::string_view FamilyName(Family family) { return RowOf(family).name; }

std::optional<Family> FamilyOfName(std::string_view name) {
  for (const FamilyRow& row : kFamilies)
    if (row.name == name) return row.family;
  return std::nullopt;
}

bool IsSpending(Family family) {
  return family == Family::OBrienFlemingSpending || family == Family::PocockSpending ||
         family == Family::KimDeMetsSpending || family == Family::HwangShihDeCaniSpending;
}

std::optional<FamilyParameter> ParameterOf(Family family) { return RowOf(family).parameter; }

double ParameterValue(Family family, std::optional<double> given) {
  std::optional<FamilyParameter> parameter = ParameterOf(family);
  if (!parameter) return 0;
  return given ? *given : parameter->fallback;
}

double Spent(Family family, double parameter, double level, double t) {
  if (!IsSpending(family) || !(t > 0)) return 0;
  if (t >= 1) return level;
  switch (family) {
    case Family::OBrienFlemingSpending:
      // 2 - 2 Phi(x) = erfc(x / sqrt 2), without the cancellation.
      return std::erfc(StandardNormalUpperQuantile(level / 2) / std::sqrt(2 * t));
    case Family::PocockSpending:
      return level * std::log1p((std::exp(1.0) - 1) * t);
    case Family::KimDeMetsSpending:
      return level * std::pow(t, parameter);
    case Family::HwangShihDeCaniSpending:
      if (parameter == 0) return level * t;
      return level * std::expm1(-parameter * t) / std::expm1(-parameter);
    default:
      return 0;
  }
}

}  // namespace pelmora::sequential
