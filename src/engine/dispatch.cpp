#include "engine/dispatch.h"

#include <cmath>

#include "format/number_entry.h"
#include "numeric/fault_guard.h"
#include "procedures/module_set.h"
#include "procedures/sequential_criterion.h"
#include "session/checks.h"
#include "session/form_change.h"
#include "session/menus.h"
#include "session/procedure_table.h"
#include "session/options_model.h"
#include "session/planning_settings.h"
#include "session/sequential_settings.h"

namespace pelmora {

Dispatcher::Dispatcher(Session& s) : s_(s), modules_(std::make_unique<ModuleSet>()) {}

Dispatcher::~Dispatcher() = default;

ProcedureModule* Dispatcher::Module() {
  if (override_ != nullptr) return override_;
  const std::optional<Procedure> p = SelectedProcedure(s_);
  return p ? modules_->For(*p) : nullptr;
}

void Dispatcher::CallInitProcedure() {
  s_.IntParRowCount = 0;
  s_.OptionCount = 0;
  if (s_.IsTestProcedure == kFalse) {
    if (s_.ProcedureKind == 1 || s_.ProcedureKind == 2) DisableTwoOneSided(s_);
    if (s_.ProcedureKind == 2) DisableOneSided(s_);
  }
  s_.dialog.planByPowerOffered = s_.IsTestProcedure != kFalse || s_.ProcedureKind == 0;
  s_.dialog.planByPowerFixed = false;
  if (ProcedureModule* m = Module()) m->InitProcedure(s_);
}

void Dispatcher::CallBuildParameterList() {
  if (ProcedureModule* m = Module()) m->BuildParameterList(s_);
  listModes_ = s_.IntParMode;
}

bool Dispatcher::CallCheckParameters() { return CheckParametersOf(s_); }

bool Dispatcher::CheckParametersOf(Session& values) {
  ProcedureModule* m = Module();
  if (m == nullptr) return false;
  for (int p = 0; p <= values.LastPosition; ++p) {
    // Position 1 has no value box and nothing reads its value; a test planned
    // by power lists its requested power again at position 2, which is checked
    // there unless it is the unknown.
    if (p == 1 || p == values.UnknownPosition) continue;
    const CatalogueEntry& e = values.entryAt(p);
    if (!CheckValueRange(values, p, e.ParamLowerLimit(), e.ParamUpperLimit())) return false;
  }
  if (!m->CheckParameters(values)) return false;
  if (OffersExpectedDropout(values)) {
    if (const std::string problem = ExpectedDropoutProblem(values.planning.ExpectedDropout); !problem.empty()) {
      values.ui().Warn(problem);
      return false;
    }
  }
  if (UsesSequentialDesign(values) && PowerCriterion()) {
    const SequentialPlanOutcome plan = SequentialPlanOf(values);
    if (!plan.plan) {
      values.ui().Warn(plan.error);
      return false;
    }
    if (SequentialDesignOf(values) == nullptr) {
      values.ui().Warn(SequentialDesign::Make(*plan.plan).error);
      return false;
    }
  }
  return true;
}

void Dispatcher::CallSetSearchInterval(double& lower, double& upper) {
  if (ProcedureModule* m = Module()) m->SetSearchInterval(s_, lower, upper);
}

double Dispatcher::CallEvaluateCriterion() { return EvaluateCriterionOf(s_); }

double Dispatcher::EvaluateCriterionOf(const Session& values) {
  ProcedureModule* m = Module();
  return m == nullptr ? 0.0 : PlanningCriterion(*m, values);
}

bool Dispatcher::PowerCriterion() {
  ProcedureModule* m = Module();
  return m != nullptr && PlannedByPower(*m, s_);
}

CriterionTraits Dispatcher::CallTraits() {
  ProcedureModule* m = Module();
  if (m == nullptr) return {};
  CriterionTraits t = m->Traits(s_);
  if (PowerCriterion()) t.comparedPosition = 2;
  return t;
}

std::optional<double> Dispatcher::CallEvaluateFixedPower() {
  ProcedureModule* m = Module();
  if (m == nullptr) return std::nullopt;
  // A fault of the module's arithmetic (a 16-bit overflow, the logarithm of a
  // value out of range) leaves no power, as it leaves no criterion.
  std::optional<double> power;
  const std::optional<double> guarded = EvaluateGuarded([&] {
    power = m->EvaluatePower(s_);
    return power.value_or(0.0);
  });
  return guarded ? power : std::nullopt;
}

std::optional<double> Dispatcher::CallEvaluatePower() {
  const std::optional<double> power = CallEvaluateFixedPower();
  if (!power || !UsesSequentialDesign(s_) || !PowerCriterion()) return power;
  return SequentialPowerOf(s_, *power);
}

std::optional<StandardisedEffect> Dispatcher::CallEffect() {
  ProcedureModule* m = Module();
  if (m == nullptr) return std::nullopt;
  std::optional<StandardisedEffect> effect = m->Effect(s_);
  if (effect && !std::isfinite(effect->value)) return std::nullopt;
  return effect;
}

bool Dispatcher::CallOpenGroupGrid(int row) {
  ProcedureModule* m = Module();
  const bool confirmed = m != nullptr && m->OpenGroupGrid(s_, row);
  s_.CalcStopped = false;
  return confirmed;
}

bool Dispatcher::CallCheckGroupGrid(int row, int column) {
  ProcedureModule* m = Module();
  return m == nullptr || m->CheckGroupGrid(s_, row, column);
}

Single Dispatcher::CallApplyGroupGrid() {
  ProcedureModule* m = Module();
  return m == nullptr ? 0.0f : m->ApplyGroupGrid(s_);
}

void Dispatcher::BuildParameterChoices() {
  const std::optional<Procedure> p = ProcedureAt(Menu::Distributions, s_.DistributionIndex);
  s_.dialog.parameterChoices = p ? RowOf(*p).parameterChoices : std::vector<std::string>();
  if (s_.ParameterChoice < 0 || s_.ParameterChoice >= static_cast<int>(s_.dialog.parameterChoices.size()))
    s_.ParameterChoice = 0;
}

void Dispatcher::BuildDescription() {
  std::string d;
  const bool test = s_.IsTestProcedure != kFalse;
  if (test) {
    d = s_.TestName + ".";
  } else {
    const int kind = s_.ProcedureKind >= 0 && s_.ProcedureKind <= 2 ? s_.ProcedureKind : 0;
    d = s_.DistributionName + ".";
    d += std::string(" ") + kProcedureCaptions[kind] + (kind == 2 ? " for " : " of ") +
         s_.ParameterChoiceName + ".";
  }
  if (s_.TailCount == 1 || s_.TailCount == 2)
    d += " " + std::to_string(s_.TailCount) + "-sided.";
  else if (s_.TailCount == 3)
    d += "Two 1-sided.";
  const bool thirdChecked = s_.OptionCount >= 3 && s_.optionChecked(s_.OptionId[2]);
  const std::optional<Procedure> p = SelectedProcedure(s_);
  const DescriptionRule rule = p ? RowOf(*p).description : DescriptionRule::None;
  for (int k = 1; k <= s_.OptionCount && k <= 3; ++k) {
    const int id = s_.OptionId[static_cast<std::size_t>(k - 1)];
    if (!s_.optionChecked(id)) continue;
    const std::string caption = RemoveAccelerator(OptionCaptions()[static_cast<std::size_t>(id)]);
    switch (rule) {
      case DescriptionRule::None:
        break;
      case DescriptionRule::TickedOptions:
        d += " " + caption + ".";
        break;
      case DescriptionRule::SatterthwaiteApproximation:
        if (thirdChecked) d += " " + caption + ". Satterthwaite approximation.";
        break;
      case DescriptionRule::Satterthwaite:
        if (thirdChecked) d += " Satterthwaite";
        break;
    }
  }
  s_.Description = d;
}

void Dispatcher::RebuildOptions() {
  ResetOptionsDialog(s_);
  CallInitProcedure();
}

void Dispatcher::RebuildForSelection() {
  if (s_.IsTestProcedure == kFalse) {
    BuildParameterChoices();
    // Selecting the list entry runs the dialog's list handler: the rebuild.
  }
  RebuildOptions();
}

void Dispatcher::SetSampleCount(int count) {
  s_.SampleCount = static_cast<std::int16_t>(count);
  RebuildOptions();
}

void Dispatcher::SetTailCount(int count) {
  s_.TailCount = static_cast<std::int16_t>(count);
  RebuildOptions();
}

void Dispatcher::SetRejectInLeftTail(bool left) { s_.RejectInLeftTail = left ? kTrue : kFalse; }

void Dispatcher::SetProcedureKind(int kind) {
  s_.ProcedureKind = static_cast<std::int16_t>(kind);
  RebuildOptions();
}

void Dispatcher::SetParameterChoice(int choice) {
  s_.ParameterChoice = static_cast<std::int16_t>(choice);
  RebuildOptions();
}

void Dispatcher::SetOption(int optionId, bool checked) {
  if (optionId < 0 || optionId >= kOptionCount) return;
  s_.OptionState[static_cast<std::size_t>(optionId)] = checked ? 1 : 0;
  if (ProcedureModule* m = Module()) m->OptionChanged(s_, static_cast<std::int16_t>(optionId));
  RebuildOptions();
}

void Dispatcher::SetPlanByPower(bool byPower) { s_.PlanByPower = byPower ? kTrue : kFalse; }

void Dispatcher::SetForm(int groupId, int form) {
  if (groupId < 0 || groupId >= kGroupCount) return;
  s_.IntParMode[static_cast<std::size_t>(groupId)] = static_cast<std::int16_t>(form);
}

bool Dispatcher::Select(Procedure p) {
  if (s_.Busy) return false;
  const ProcedureRow& row = RowOf(p);
  // The other menu's index and name stay as they were: a window record keeps
  // both.
  if (row.menu == Menu::Tests) {
    s_.IsTestProcedure = kTrue;
    s_.TestIndex = row.index;
    s_.TestName = ProcedureName(p);
  } else {
    s_.IsTestProcedure = kFalse;
    s_.DistributionIndex = row.index;
    s_.DistributionName = ProcedureName(p);
  }
  s_.HelpContext = static_cast<Single>(row.helpContext);
  RebuildForSelection();
  s_.LastPosition = 0;
  return true;
}

std::vector<ParameterForms> Dispatcher::FormsOfRows() {
  std::vector<ParameterForms> forms;
  ProcedureModule* m = Module();
  if (m == nullptr) return forms;
  // Each row's group in each of its forms, on a copy; the module's flags are
  // those of the session's own list again once that is built.
  Session scratch = s_;
  for (int k = 0; k < s_.IntParRowCount && k < static_cast<int>(s_.IntParRowGroup.size()); ++k) {
    const int group = s_.IntParRowGroup[static_cast<std::size_t>(k)];
    if (group < 0 || group >= kGroupCount) continue;
    std::array<std::vector<std::int16_t>, 3> lists;
    for (int form = 0; form < 3; ++form) {
      if (ParameterGroups()[static_cast<std::size_t>(group)].forms[static_cast<std::size_t>(form)].empty()) continue;
      scratch.IntParMode = s_.IntParMode;
      scratch.IntParMode[static_cast<std::size_t>(group)] = static_cast<std::int16_t>(form);
      m->BuildParameterList(scratch);
      lists[static_cast<std::size_t>(form)] = ListOf(scratch).ids;
    }
    if (std::optional<ParameterForms> f = FormsFromLists(group, lists)) forms.push_back(*f);
  }
  return forms;
}

void Dispatcher::ApplyOptions() {
  ListBefore before = ListOf(s_);
  before.modes = listModes_;
  const std::vector<ParameterForms> forms = before.ids.empty() ? std::vector<ParameterForms>() : FormsOfRows();
  CallBuildParameterList();
  BuildDescription();
  KeepParametersAcrossForms(s_, before, forms);
  NormalizePositions(s_);
  s_.CalcStopped = false;
  s_.ResultsCurrent = false;
  // New options may change the quantity in a table's cells.
  if (s_.ActiveRecord > 0 && s_.ActiveRecord < static_cast<int>(s_.records.size()))
    s_.records[static_cast<std::size_t>(s_.ActiveRecord)].TableDecimals = -1;
}

}  // namespace pelmora
