// The main window's power curve: a Graph window made in one step from the
// active Calculation window.
#include "app/main_window.h"
#include "engine/power_curve.h"
#include "engine/settings_apply.h"
#include "forms/calc_window.h"
#include "views/axis_dialog.h"
#include "views/range_window.h"

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
  if (auto* graph = qobject_cast<RangeWindow*>(window)) graph->Recalculate();
  // Not saved yet.
  session_.records[static_cast<std::size_t>(record)].WindowChanged = true;
  ShowAxisDialog(false);
  UpdateActions();
  return window;
}

}  // namespace pelmora
