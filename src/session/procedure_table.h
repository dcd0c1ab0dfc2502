// The procedures of the Test Procedures and Sample Distributions menus, each
// with a name of its own and one row in one table: its menu and its place
// there, its caption, its help context, the module that serves it, the rule
// by which the description names its options, and, for a sample
// distribution, the parameters it studies.  Menus, dispatch, descriptions,
// the command line and the settings files read from this table; a menu index
// means something only where a settings file or "--test I" gives one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelmora {

class Session;

enum class Procedure : std::int8_t {
  // Test Procedures.
  UnpairedT,
  PairedT,
  Anova,
  FisherExact,
  McNemar,
  ChiSquare2x2,
  ChiSquareHomogeneity,
  LifeTable,
  SurvivalAnalysis,
  WilcoxonRankSum,
  WilcoxonSignedRank,
  Sign,
  Bioequivalence,
  CorrelationCoefficient,
  RegressionCoefficient,
  // Sample Distributions.
  NormalDistribution,
  LogNormalDistribution,
  ExponentialDistribution,
  BinomialDistribution,
  HypergeometricDistribution,
  PoissonDistribution,
  FinitePopulation,
  BivariateNormalDistribution,
};
inline constexpr int kProcedureCount = 23;

enum class Menu : std::int8_t { Tests, Distributions };

// The procedure modules that serve the menu items (the set of modules holds
// one instance of each; some serve only as the tests of a distribution and
// have no id).
enum class ModuleId : std::int8_t {
  StudentT,
  Anova,
  FisherExact,
  McNemar,
  ChiSquare2x2,
  ChiSquareHomogeneity,
  LifeTable,
  LogRank,
  WilcoxonRankSum,
  WilcoxonSignedRank,
  Sign,
  Bioequivalence,
  CorrelationCoefficient,
  RegressionCoefficient,
  NormalDistribution,
  LogNormalDistribution,
  ExponentialDistribution,
  BinomialDistribution,
  HypergeometricDistribution,
  PoissonDistribution,
  FinitePopulationDistribution,
  BivariateNormalDistribution,
};
inline constexpr int kModuleIdCount = 22;

// What the description of a selection says of its ticked options, one by one.
enum class DescriptionRule : std::int8_t {
  None,                        // nothing
  TickedOptions,               // " <caption>." for each ticked option
  SatterthwaiteApproximation,  // with the third offered option ticked: " <caption>. Satterthwaite approximation."
  Satterthwaite,               // with the third offered option ticked: " Satterthwaite"
};

struct ProcedureRow {
  Procedure procedure;
  Menu menu;
  // The item's index in its menu, separators counted.
  std::int16_t index;
  // The menu caption, with its "&".
  std::string caption;
  int helpContext;
  ModuleId module;
  DescriptionRule description;
  // The parameters a sample distribution studies (the options dialog's list);
  // none for a test.
  std::vector<std::string> parameterChoices;
};

// Every row, in menu order: the tests, then the sample distributions.  Built
// once; safe to read from any thread.
std::span<const ProcedureRow> Procedures();
const ProcedureRow& RowOf(Procedure p);
// The caption without its "&": the name the selection takes.
std::string ProcedureName(Procedure p);

// The procedure at an index of a menu; nothing for a separator or an index
// beyond the menu.
std::optional<Procedure> ProcedureAt(Menu menu, int index);
// One more than the last index of a menu.
int MenuLength(Menu menu);

// The procedure the session has selected, by its menu flag and index;
// nothing when the index names no menu item.
std::optional<Procedure> SelectedProcedure(const Session& s);

}  // namespace pelmora
