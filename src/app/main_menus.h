// The main window's menus and their named actions, as Qt's MDI example builds
// them: the captions, shortcuts and help contexts of session/menus.h, the
// procedures' items from the procedure table (a separator where the menu
// indices skip one), the Recent Files menu and the open windows at the foot
// of the Window menu.  What an action does is the main window's to connect.
#pragma once

#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "session/procedure_table.h"

class QAction;
class QMainWindow;
class QMdiSubWindow;
class QMenu;

namespace pelmora {

class MainMenus {
 public:
  // Builds the actions and adds the menus to the window's menu bar.
  explicit MainMenus(QMainWindow& window);

  QAction* procedure(Procedure p) const { return procedures_[static_cast<std::size_t>(p)]; }

  // File.
  QAction* newCalculation;
  QAction* newTable;
  QAction* newGraph;
  QAction* newMonteCarlo;
  QAction* openFile;
  QAction* exportFile;
  QAction* saveAs;
  QAction* print;
  QAction* printPreview;
  QAction* exit;
  // Edit.
  QAction* copy;
  QAction* powerCurve;
  // Window.
  QAction* cascade;
  QAction* tile;
  QAction* arrangeIcons;
  // Help.
  QAction* helpContents;
  QAction* helpSearch;
  QAction* howToUseHelp;
  QAction* about;

  QMenu* fileMenu;
  QMenu* editMenu;
  QMenu* windowMenu;
  QMenu* recentFiles;

  // Recent Files: one item per file ("&1 Calc3.dim", the path as its tip),
  // each opening its file through `open`; the menu is disabled when empty.
  void RebuildRecentFiles(const QStringList& files, const std::function<void(const QString&)>& open);
  // The open windows at the foot of the Window menu ("&1 Calculation 1"),
  // `active` checked, each making its window active through `activate`.
  void RebuildWindowList(const std::vector<QMdiSubWindow*>& windows, const QMdiSubWindow* active,
                         const std::function<void(QPointer<QMdiSubWindow>)>& activate);
  const std::vector<QAction*>& windowList() const { return windowList_; }

 private:
  std::array<QAction*, kProcedureCount> procedures_{};
  QAction* windowListSeparator_;
  std::vector<QAction*> windowList_;
};

}  // namespace pelmora
