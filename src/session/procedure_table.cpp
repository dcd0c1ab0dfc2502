#include "session/procedure_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "format/number_entry.h"
#include "session/session.h"

namespace pelmora {

namespace {

using P = Procedure;
using M = ModuleId;
using D = DescriptionRule;
constexpr Menu kTests = Menu::Tests;
constexpr Menu kDistributions = Menu::Distributions;

std::vector<std::string> Choices(std::initializer_list<const char*> choices) {
  return std::vector<std::string>(choices.begin(), choices.end());
}

const std::array<ProcedureRow, kProcedureCount>& Table() {
  static const std::array<ProcedureRow, kProcedureCount> rows = {{
      // procedure, menu, index, caption, help context, module, description
      {P::UnpairedT, kTests, 0, "Student's &unpaired t-test", 201, M::StudentT, D::SatterthwaiteApproximation, {}},
      {P::PairedT, kTests, 1, "Student's &paired t-test", 202, M::StudentT, D::None, {}},
      {P::Anova, kTests, 2, "&ANOVA (one-way)", 203, M::Anova, D::None, {}},
      {P::FisherExact, kTests, 4, "&Fisher's exact test", 205, M::FisherExact, D::None, {}},
      {P::McNemar, kTests, 5, "&McNemar's test", 206, M::McNemar, D::TickedOptions, {}},
      {P::ChiSquare2x2, kTests, 6, "&Chi2 test (2 x 2 table)", 207, M::ChiSquare2x2, D::TickedOptions, {}},
      {P::ChiSquareHomogeneity, kTests, 7, "C&hi2 homogeneity test", 208, M::ChiSquareHomogeneity,
       D::TickedOptions, {}},
      {P::LifeTable, kTests, 9, "&Life table (Mantel-Haenszel)", 210, M::LifeTable, D::None, {}},
      {P::SurvivalAnalysis, kTests, 10, "S&urvival Analysis test", 211, M::LogRank, D::None, {}},
      {P::WilcoxonRankSum, kTests, 12, "&Wilcoxon rank-sum test", 213, M::WilcoxonRankSum, D::TickedOptions, {}},
      {P::WilcoxonSignedRank, kTests, 13, "Wilco&xon signed-rank test", 214, M::WilcoxonSignedRank,
       D::TickedOptions, {}},
      {P::Sign, kTests, 14, "&Sign test", 215, M::Sign, D::TickedOptions, {}},
      {P::Bioequivalence, kTests, 16, "&Bioequivalence test", 217, M::Bioequivalence, D::None, {}},
      {P::CorrelationCoefficient, kTests, 17, "Corr&elation coefficient test", 218, M::CorrelationCoefficient,
       D::None, {}},
      {P::RegressionCoefficient, kTests, 18, "&Regression coefficient test", 219, M::RegressionCoefficient,
       D::None, {}},
      {P::NormalDistribution, kDistributions, 0, "&Normal Distribution", 301, M::NormalDistribution,
       D::Satterthwaite,
       Choices({"mean (std.dev. known)", "mean (std.dev. unknown)", "std.dev. (mean known)",
                "std.dev. (mean unknown)"})},
      {P::LogNormalDistribution, kDistributions, 1, "&Log Normal Distribution", 302, M::LogNormalDistribution,
       D::Satterthwaite, Choices({"median (shape known)", "median (shape unknown)"})},
      {P::ExponentialDistribution, kDistributions, 2, "&Exponential Distribution", 303,
       M::ExponentialDistribution, D::None,
       Choices({"location (scale known)", "scale (location known)", "scale (location unknown)"})},
      {P::BinomialDistribution, kDistributions, 4, "&Binomial Distribution", 305, M::BinomialDistribution,
       D::TickedOptions, Choices({"proportion"})},
      {P::HypergeometricDistribution, kDistributions, 5, "&Hypergeometric Distribution", 306,
       M::HypergeometricDistribution, D::TickedOptions, Choices({"proportion"})},
      {P::PoissonDistribution, kDistributions, 6, "&Poisson Distribution", 307, M::PoissonDistribution,
       D::TickedOptions, Choices({"mean", "hazard rate"})},
      {P::FinitePopulation, kDistributions, 8, "&Finite Population", 309, M::FinitePopulationDistribution,
       D::None, Choices({"population mean", "population proportion"})},
      {P::BivariateNormalDistribution, kDistributions, 10, "Bi&variate Normal Distribution", 311,
       M::BivariateNormalDistribution, D::None,
       Choices({"mean 2 - mean 1", "std.dev.2 / std.dev.1", "correlation coefficient",
                "regression coefficient"})},
  }};
  return rows;
}

// The procedures of a menu by their indices (nothing at a separator).
struct MenuIndex {
  std::vector<std::optional<Procedure>> items;

  explicit MenuIndex(Menu menu) {
    for (const ProcedureRow& row : Table()) {
      if (row.menu != menu) continue;
      items.resize(std::max(items.size(), static_cast<std::size_t>(row.index) + 1));
      items[static_cast<std::size_t>(row.index)] = row.procedure;
    }
  }
};

const MenuIndex& IndexOf(Menu menu) {
  static const MenuIndex tests(Menu::Tests), distributions(Menu::Distributions);
  return menu == Menu::Tests ? tests : distributions;
}

}  // namespace

std::span<const ProcedureRow> Procedures() { return Table(); }

const ProcedureRow& RowOf(Procedure p) { return Table()[static_cast<std::size_t>(p)]; }

std::string ProcedureName(Procedure p) { return RemoveAccelerator(RowOf(p).caption); }

std::optional<Procedure> ProcedureAt(Menu menu, int index) {
  const auto& items = IndexOf(menu).items;
  if (index < 0 || index >= static_cast<int>(items.size())) return std::nullopt;
  return items[static_cast<std::size_t>(index)];
}

int MenuLength(Menu menu) { return static_cast<int>(IndexOf(menu).items.size()); }

std::optional<Procedure> SelectedProcedure(const Session& s) {
  return s.IsTestProcedure != kFalse ? ProcedureAt(Menu::Tests, s.TestIndex)
                                     : ProcedureAt(Menu::Distributions, s.DistributionIndex);
}

}  // namespace pelmora
