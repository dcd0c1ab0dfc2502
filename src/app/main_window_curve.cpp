// The main window's power curve: a Graph window made in one step from the
// active Calculation window.
#include "app/main_window.h"
#include "engine/power_curve.h"
#include "engine/settings_apply.h"
#include "forms/calc_window.h"
#include "views/axis_dialog.h"

namespace pelmora {

ResultWindow* MainWindow::OpenPowerCurve() {
  CloseSplash();
  if (session_.Busy || qobject_cast<CalcWindow*>(activeResultWindow()) == nullptr) return nullptr;
  StoreWindowSettings(session_);
  std::string why;
  const std::optional<WindowSettings> settings = PowerCurveSettings(dispatcher_, why);
  if (!settings) {
    ui_.Warn(why);
    return nullptr;
  }
  const int record = ApplySettingsRecord(dispatcher_, *settings);
  if (record <= 0) return nullptr;
  ResultWindow* window = AddWindow(WindowKind::Graph, record);
  window->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowTitle(*window);
  window->Fill();
  // Calculated as the dialog's OK does it: the headings and the axis titles
  // are those of the new roles.
  ShowAxisDialog(false);
  axisDialog_->RunRangeCalculation();
  // Not saved yet.
  session_.records[static_cast<std::size_t>(record)].WindowChanged = true;
  UpdateActions();
  return window;
}

}  // namespace pelmora
