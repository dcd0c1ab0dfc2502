#include "app/main_menus.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <tuple>

#include "session/menus.h"

namespace pelmora {

namespace {

QAction* NewAction(QObject* owner, const MenuItem& item, const char* name) {
  auto* a = new QAction(QString::fromUtf8(item.caption), owner);
  a->setObjectName(QString::fromLatin1(name));
  if (item.helpContext != 0) a->setData(item.helpContext);
  return a;
}

QMenu* Heading(QMainWindow& window, const char* caption, const char* name) {
  QMenu* m = window.menuBar()->addMenu(QString::fromLatin1(caption));
  m->setObjectName(QString::fromLatin1(name));
  return m;
}

}  // namespace

MainMenus::MainMenus(QMainWindow& window) {
  namespace item = menu_item;
  QObject* owner = &window;
  newCalculation = NewAction(owner, item::NewCalculation, "mnuNewCalculation");
  newTable = NewAction(owner, item::NewTable, "mnuNewTable");
  newGraph = NewAction(owner, item::NewGraph, "mnuNewGraph");
  newMonteCarlo = NewAction(owner, item::NewMonteCarlo, "mnuNewMonteCarlo");
  openFile = NewAction(owner, item::OpenFile, "mnuOpenFile");
  openFile->setShortcut(QKeySequence::Open);
  exportFile = NewAction(owner, item::Export, "mnuExport");
  saveAs = NewAction(owner, item::SaveAs, "mnuSaveAs");
  saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  print = NewAction(owner, item::Print, "mnuPrint");
  print->setShortcut(QKeySequence::Print);
  printPreview = NewAction(owner, {"Print Pre&view...", item::Print.helpContext}, "mnuFilePrintPreview");
  exit = NewAction(owner, item::Exit, "mnuExit");
  copy = NewAction(owner, item::Copy, "mnuCopy");
  copy->setShortcut(QKeySequence::Copy);
  powerCurve = NewAction(owner, {"Po&wer Curve", item::NewGraph.helpContext}, "mnuPowerCurve");
  for (const ProcedureRow& row : Procedures())
    procedures_[static_cast<std::size_t>(row.procedure)] =
        NewAction(owner, {row.caption.c_str()}, row.menu == Menu::Tests ? "mnuTest" : "mnuPar");
  cascade = NewAction(owner, item::Cascade, "mnuCascade");
  tile = NewAction(owner, item::Tile, "mnuTile");
  arrangeIcons = NewAction(owner, item::ArrangeIcons, "mnuArrangeIcons");
  helpContents = NewAction(owner, item::Contents, "mnuContents");
  helpSearch = NewAction(owner, item::SearchForHelp, "mnuSearchForHelp");
  howToUseHelp = NewAction(owner, item::HowToUseHelp, "mnuHowToUseHelp");
  about = NewAction(owner, item::About, "mnuAbout");

  fileMenu = Heading(window, kFileHeading, "mnuFileHead");
  fileMenu->addActions({newCalculation, newTable, newGraph, newMonteCarlo});
  fileMenu->addSeparator();
  fileMenu->addAction(openFile);
  recentFiles = fileMenu->addMenu(QStringLiteral("Recent &Files"));
  recentFiles->setObjectName(QStringLiteral("mnuRecentFiles"));
  fileMenu->addSeparator();
  fileMenu->addActions({exportFile, saveAs});
  fileMenu->addSeparator();
  fileMenu->addActions({print, printPreview});
  fileMenu->addSeparator();
  fileMenu->addAction(exit);

  editMenu = Heading(window, kEditHeading, "mnuEditHead");
  editMenu->addAction(copy);
  editMenu->addSeparator();
  editMenu->addAction(powerCurve);

  for (const auto& [menu, caption, name] :
       {std::tuple{Menu::Tests, kTestsHeading, "mnuTestProc"},
        std::tuple{Menu::Distributions, kDistributionsHeading, "mnuParProc"}}) {
    QMenu* m = Heading(window, caption, name);
    int next = 0;
    for (const ProcedureRow& row : Procedures()) {
      if (row.menu != menu) continue;
      for (; next < row.index; ++next) m->addSeparator();
      m->addAction(procedure(row.procedure));
      next = row.index + 1;
    }
  }

  windowMenu = Heading(window, kWindowHeading, "mnuWindowHead");
  windowMenu->addActions({cascade, tile, arrangeIcons});
  windowListSeparator_ = windowMenu->addSeparator();

  QMenu* help = Heading(window, kHelpHeading, "mnuHelpHead");
  help->addActions({helpContents, helpSearch, howToUseHelp});
  help->addSeparator();
  help->addAction(about);
}

void MainMenus::RebuildRecentFiles(const QStringList& files, const std::function<void(const QString&)>& open) {
  recentFiles->clear();
  for (int i = 0; i < files.size(); ++i) {
    QString name = QFileInfo(files[i]).fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = recentFiles->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
    a->setData(files[i]);
    a->setToolTip(files[i]);
    a->setStatusTip(files[i]);
    QObject::connect(a, &QAction::triggered, a, [open, path = files[i]] { open(path); });
  }
  recentFiles->setEnabled(!files.isEmpty());
}

void MainMenus::RebuildWindowList(const std::vector<QMdiSubWindow*>& windows, const QMdiSubWindow* active,
                                  const std::function<void(QPointer<QMdiSubWindow>)>& activate) {
  for (QAction* a : windowList_) {
    windowMenu->removeAction(a);
    a->deleteLater();
  }
  windowList_.clear();
  int number = 0;
  for (QMdiSubWindow* sub : windows) {
    ++number;
    QString title = sub->windowTitle();
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = windowMenu->addAction(number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                   : QStringLiteral("%1 %2").arg(number).arg(title));
    a->setCheckable(true);
    a->setChecked(sub == active);
    QObject::connect(a, &QAction::triggered, a, [activate, target = QPointer<QMdiSubWindow>(sub)] {
      activate(target);
    });
    windowList_.push_back(a);
  }
  windowListSeparator_->setVisible(!windowList_.empty());
}

}  // namespace pelmora
