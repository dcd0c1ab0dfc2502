// The one place that knows which procedure module serves the current
// selection.  Every other part of the program reaches a procedure through it;
// it also composes the description of the selection and rebuilds the offered
// options when the selection changes.
#pragma once

#include <memory>
#include <optional>

#include "procedures/procedure_module.h"
#include "session/form_change.h"
#include "session/procedure_table.h"
#include "session/session.h"

namespace pelmora {

class ModuleSet;

class Dispatcher {
 public:
  explicit Dispatcher(Session& s);
  ~Dispatcher();
  Dispatcher(const Dispatcher&) = delete;
  Dispatcher& operator=(const Dispatcher&) = delete;

  Session& session() { return s_; }
  const Session& session() const { return s_; }

  // The module of the current selection, or nullptr (a separator, or a
  // procedure that has no module).
  ProcedureModule* Module();
  // Every module instance of this dispatcher.
  ModuleSet& modules() { return *modules_; }
  // Makes `m` serve whatever is selected, for tests that drive a module no
  // menu item reaches by itself; nullptr returns to the menus.
  void UseModuleForTesting(ProcedureModule* m) { override_ = m; }

  void CallInitProcedure();
  void CallBuildParameterList();
  // The catalogue-limit check of every listed value but the unknown and
  // position 1 (which has no value box), then the module's own checks.  False
  // when a check failed (its message was shown) or when no module serves the
  // selection.
  bool CallCheckParameters();
  void CallSetSearchInterval(double& lower, double& upper);
  // The module's criterion, or, for a test planned by power (PowerCriterion),
  // the power of the design minus the requested power at position 2 (not a
  // number where the power cannot be computed).  0 when no module serves the
  // selection.
  double CallEvaluateCriterion();
  // The traits of the criterion CallEvaluateCriterion computes: a test planned
  // by power compares position 2 (the power reached is enough at or above
  // the requested one), in the module's steps.
  CriterionTraits CallTraits();
  // The checks and the criterion on another session of the same selection
  // and list (a solve's working copy of the values); the dispatcher's own
  // session is not touched.
  bool CheckParametersOf(Session& values);
  double EvaluateCriterionOf(const Session& values);
  // Whether CallEvaluateCriterion is the power criterion (PlannedByPower).
  bool PowerCriterion();
  // The power of the selected test at the current values; nothing when no
  // module serves the selection, the module cannot compute it or its
  // arithmetic faults.  With interim analyses, the power of the
  // group-sequential design.
  std::optional<double> CallEvaluatePower();
  // The power of the test without interim analyses at the current values.
  std::optional<double> CallEvaluateFixedPower();
  // The module's standardised effect at the current values; nothing where it
  // defines none or the value is not finite.
  std::optional<StandardisedEffect> CallEffect();
  // The grid of a group-wise parameter, asked for from the value box of a
  // Calculation window row: true when a grid was shown and confirmed.
  // CalcStopped is cleared afterwards.
  bool CallOpenGroupGrid(int row);
  // The check of a grid cell that the entry box is leaving.
  bool CallCheckGroupGrid(int row, int column);
  // The confirmed grid turned into parameter values; the clicked box's value.
  Single CallApplyGroupGrid();

  // Fills the dialog's parameter choices of the selected distribution and
  // resets a choice beyond the list to 0.
  void BuildParameterChoices();
  // Composes Description from the selection and its options.
  void BuildDescription();
  // After a menu choice, a change in the options dialog or the restoring of a
  // window: resets the dialog and lets the module offer its options.
  void RebuildForSelection();
  // The options dialog's own rebuild after one of its choices changed.
  void RebuildOptions();

  // The options dialog's choices, each followed by the rebuild.
  void SetSampleCount(int count);
  void SetTailCount(int count);
  void SetRejectInLeftTail(bool left);
  void SetProcedureKind(int kind);
  void SetParameterChoice(int choice);
  // Ticks or clears an option id; the module may clear options that exclude it.
  void SetOption(int optionId, bool checked);
  // Ticks or clears "Plan by Power" (no rebuild: the offered options stay).
  void SetPlanByPower(bool byPower);
  // The form of an interchangeable-parameter group (no rebuild).
  void SetForm(int groupId, int form);

  // A menu choice: stores the selection and rebuilds.  Nothing changes while
  // a calculation runs (false).
  bool Select(Procedure p);

  // The OK of the options dialog: build the list, the description, and
  // normalise the roles; the roles and values follow their parameters into
  // new forms (KeepParametersAcrossForms).
  void ApplyOptions();
  // The quantities of the offered rows in each of their forms, read from the
  // lists the module builds with each form (the session is not changed).
  std::vector<ParameterForms> FormsOfRows();

 private:

  Session& s_;
  std::unique_ptr<ModuleSet> modules_;
  ProcedureModule* override_ = nullptr;
  // The forms the session's list was last built with.
  std::array<std::int16_t, kGroupCount> listModes_{};
};

}  // namespace pelmora
