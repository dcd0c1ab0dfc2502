// The main window's Window menu: arranging the windows, the list of open
// windows, and the actions that follow the window in front.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "app/main_menus.h"
#include "app/main_window.h"
#include "app/window_arrangement.h"
#include "engine/power_curve.h"
#include "forms/calc_window.h"
#include "forms/monte_carlo_window.h"
#include "forms/options_dialog.h"
#include "session/window_records.h"
#include "views/axis_dialog.h"
#include "views/range_window.h"
#include "widgets/dialog_placement.h"

namespace pelmora {

void MainWindow::ArrangeWindows(const std::function<void()>& arrange) {
  if (session_.ActiveRecord < 1) return;
  // The dialogs go beside the active window's new place (unless the user
  // put them somewhere), the axis-parameter dialog of a Table or Graph to the
  // front again; the keyboard stays with the main window.
  const bool axis = axisDialog_->isVisible();
  arrange();
  if (optionsDialog_->isVisible()) optionsPlace_->PlaceFor(mdiArea_);
  if (!axis) return;
  ShowAxisDialog(false);
  axisPlace_->PlaceFor(mdiArea_);
}

void MainWindow::ArrangeIcons() {
  if (session_.ActiveRecord < 1) return;
  // The minimised windows in a row along the bottom.
  int left = 0;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized()) continue;
    sub->move(left, mdiArea_->viewport()->height() - sub->height());
    left += sub->width();
  }
}

void MainWindow::UpdateActions() {
  ResultWindow* w = activeResultWindow();
  auto* range = qobject_cast<RangeWindow*>(w);
  const bool window = w != nullptr && !session_.Busy;
  const bool result = window && (range != nullptr ? range->hasResults() : session_.LastPosition > 0);
  const MainMenus& m = *menus_;
  auto* monte = qobject_cast<MonteCarloWindow*>(w);
  m.exportFile->setEnabled(result && (range != nullptr || (monte != nullptr && monte->result())));
  m.saveAs->setEnabled(window);
  m.print->setEnabled(result);
  m.printPreview->setEnabled(result);
  m.copy->setEnabled(result);
  m.powerCurve->setEnabled(window && qobject_cast<CalcWindow*>(w) != nullptr && OffersPowerCurve(session_));
  const bool any = !resultWindows().empty();
  for (QAction* a : {m.cascade, m.tile, m.arrangeIcons}) a->setEnabled(any);
  RebuildWindowList();
}

void MainWindow::RebuildWindowList() {
  std::vector<QMdiSubWindow*> subs;
  for (ResultWindow* w : resultWindows())
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) subs.push_back(sub);
  menus_->RebuildWindowList(subs, ActiveSubWindow(), [this](QPointer<QMdiSubWindow> target) {
    if (target != nullptr && !session_.Busy) mdiArea_->setActiveSubWindow(target);
  });
}

void MainWindow::ShowTitle(ResultWindow& window) {
  auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget());
  if (sub == nullptr || window.tag() != session_.ActiveRecord) return;
  sub->setWindowTitle(QString::fromStdString(WindowTitle(window.caption().toStdString(),
                                                         ConfirmedProcedureName(session_),
                                                         window.fileName().toStdString())));
  RebuildWindowList();
}

QMdiSubWindow* MainWindow::ActiveSubWindow() const {
  ResultWindow* front = activeResultWindow();
  return front != nullptr ? qobject_cast<QMdiSubWindow*>(front->parentWidget()) : nullptr;
}

void MainWindow::CascadeWindows() { CascadeSubWindows(*mdiArea_, ActiveSubWindow()); }

void MainWindow::TileWindows() { TileSubWindows(*mdiArea_, ActiveSubWindow()); }

}  // namespace pelmora
