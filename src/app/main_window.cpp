#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>

#include "app/about_box.h"
#include "app/file_dialogs.h"
#include "app/help_window.h"
#include "app/print_dialogs.h"
#include "app/recent_files.h"
#include "app/splash_window.h"
#include "app/window_arrangement.h"
#include "engine/settings_apply.h"
#include "engine/window_activation.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "session/menus.h"
#include "session/settings_file.h"
#include "session/window_records.h"
#include "views/axis_dialog.h"
#include "views/output_dialog.h"
#include "views/range_window.h"
#include "views/result_output.h"
#include "widgets/dialog_placement.h"
#include "widgets/twips.h"

namespace pelmora {

namespace {

constexpr int kWindowWidthTwips = 8850;
constexpr int kWindowHeightTwips = 4000;
constexpr int kRangeWindowHeightTwips = 4800;
constexpr int kMainWindowHelpContext = 112;
// How long a confirmation stays in the status bar.
constexpr int kStatusMilliseconds = 6000;


}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), ui_(this), session_(ui_), dispatcher_(session_) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(kProgramTitle) + QString::fromLatin1(kProgramVersion));
  mdiArea_ = new QMdiArea(this);
  mdiArea_->setObjectName(QStringLiteral("mdiArea"));
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MainWindow::SubWindowActivated);

  BuildMenus();

  // The options dialog is loaded at start-up and shown after a procedure is
  // chosen.
  optionsDialog_ = new OptionsDialog(dispatcher_, this);
  optionsDialog_->hide();
  optionsPlace_ = new DialogPlace(optionsDialog_);
  connect(optionsDialog_, &OptionsDialog::applied, this, &MainWindow::ApplyOptions);

  axisDialog_ = new AxisParameterDialog(dispatcher_, this);
  axisDialog_->hide();
  axisDialog_->setTargetWindow([this] { return qobject_cast<RangeWindow*>(activeResultWindow()); });
  axisDialog_->setParameterTips([this](int position) { return ParameterTip(position); });
  axisPlace_ = new DialogPlace(axisDialog_);
  connect(axisDialog_, &AxisParameterDialog::runningChanged, this, [this](bool running) {
    // While a range runs, no other window may take over the session.
    mdiArea_->setEnabled(!running);
    optionsDialog_->setEnabled(!running);
    UpdateActions();
  });
  connect(axisDialog_, &AxisParameterDialog::calculated, this, &MainWindow::RangeCalculated);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::ApplicationShortcut);
  connect(help, &QShortcut::activated, this, &MainWindow::HelpOnActiveWindow);

  // Most of the screen, so that the options dialog finds room beside the
  // result windows.
  QSize size(TwipsToPixels(14400), TwipsToPixels(10200));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.expandedTo(screen->availableGeometry().size() * 0.85);
  resize(size);
  statusBar()->setObjectName(QStringLiteral("statusBar"));
  UpdateActions();
}

MainWindow::~MainWindow() {
  // The windows refer to the session; they go first.
  closingProgram_ = true;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) delete sub;
}

QAction* MainWindow::ItemOf(const std::vector<QAction*>& items, int index) {
  return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                              : nullptr;
}

std::vector<QAction*> MainWindow::AddItems(QMenu* menu, const char* name,
                                           const std::vector<std::string>& captions) {
  std::vector<QAction*> items(captions.size(), nullptr);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (captions[i].empty()) continue;  // an index that holds no item
    if (captions[i] == "-") {
      menu->addSeparator();
      continue;
    }
    QAction* a = menu->addAction(QString::fromStdString(captions[i]));
    a->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
    items[i] = a;
  }
  return items;
}

void MainWindow::BuildMenus() {
  const auto heading = [this](int i, const char* name) {
    QMenu* m = menuBar()->addMenu(QString::fromLatin1(kMenuHeadings[i]));
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };
  QMenu* file = heading(0, "mnuFileHead");
  fileItems_ = AddItems(file, "mnuFile", FileMenuCaptions());
  QMenu* edit = heading(1, "mnuEditHead");
  editItems_ = AddItems(edit, "mnuEdit", EditMenuCaptions());
  QMenu* test = heading(2, "mnuTestProc");
  testItems_ = AddItems(test, "mnuTest", TestMenuCaptions());
  QMenu* distributions = heading(3, "mnuParProc");
  distributionItems_ = AddItems(distributions, "mnuPar", DistributionMenuCaptions());
  QMenu* window = heading(4, "mnuWindowHead");
  windowItems_ = AddItems(window, "mnuWindow", WindowMenuCaptions());
  QMenu* help = heading(5, "mnuHelpHead");
  helpItems_ = AddItems(help, "mnuHelp", HelpMenuCaptions());

  for (std::size_t i = 0; i < fileItems_.size(); ++i) {
    if (fileItems_[i] == nullptr) continue;
    fileItems_[i]->setData(FileMenuHelpContext(static_cast<int>(i)));
    connect(fileItems_[i], &QAction::triggered, this, [this, i] { FileItem(static_cast<int>(i)); });
  }
  for (std::size_t i = 0; i < testItems_.size(); ++i)
    if (testItems_[i] != nullptr)
      connect(testItems_[i], &QAction::triggered, this, [this, i] { SelectTest(static_cast<int>(i)); });
  for (std::size_t i = 0; i < distributionItems_.size(); ++i)
    if (distributionItems_[i] != nullptr)
      connect(distributionItems_[i], &QAction::triggered, this,
              [this, i] { SelectDistribution(static_cast<int>(i)); });
  for (std::size_t i = 0; i < windowItems_.size(); ++i)
    connect(windowItems_[i], &QAction::triggered, this, [this, i] { WindowItem(static_cast<int>(i)); });
  for (std::size_t i = 0; i < helpItems_.size(); ++i)
    if (helpItems_[i] != nullptr)
      connect(helpItems_[i], &QAction::triggered, this, [this, i] { HelpItem(static_cast<int>(i)); });

  connect(editItems_[0], &QAction::triggered, this, &MainWindow::CopyActiveWindow);

  // The standard shortcuts.
  fileItems_[4]->setShortcut(QKeySequence::Open);
  fileItems_[7]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  fileItems_[9]->setShortcut(QKeySequence::Print);
  editItems_[0]->setShortcut(QKeySequence::Copy);

  // Print Preview beside Print, Recent Files beside Open File.
  printPreviewAction_ = new QAction(QStringLiteral("Print Pre&view..."), this);
  printPreviewAction_->setObjectName(QStringLiteral("mnuFilePrintPreview"));
  printPreviewAction_->setData(FileMenuHelpContext(9));
  const auto after = [file](QAction* item) {
    const QList<QAction*> actions = file->actions();
    return actions.value(actions.indexOf(item) + 1);
  };
  file->insertAction(after(fileItems_[9]), printPreviewAction_);
  connect(printPreviewAction_, &QAction::triggered, this, [this] {
    CloseSplash();
    if (session_.Busy) return;
    StoreWindowSettings(session_);
    PreviewActiveWindow();
  });
  recentMenu_ = new QMenu(QStringLiteral("Recent &Files"), file);
  recentMenu_->setObjectName(QStringLiteral("mnuRecentFiles"));
  file->insertMenu(after(fileItems_[4]), recentMenu_);
  RebuildRecentMenu();

  // The open windows at the foot of the Window menu.
  windowMenu_ = window;
  windowListSeparator_ = window->addSeparator();
  connect(file, &QMenu::aboutToShow, this, [this] {
    RebuildRecentMenu();
    UpdateActions();
  });
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::UpdateActions);
  connect(window, &QMenu::aboutToShow, this, &MainWindow::RebuildWindowList);
}

void MainWindow::ShowSplash() {
  if (splash_ == nullptr) {
    splash_ = new SplashWindow(this);
    splash_->setAttribute(Qt::WA_DeleteOnClose);
  }
  splash_->CentreOver(*this);
  splash_->show();
  splash_->raise();
  splash_->activateWindow();
  splash_->setFocus();
}

void MainWindow::CloseSplash() {
  if (splash_ != nullptr) splash_->close();
}

HelpWindow* MainWindow::helpWindow() {
  if (helpWindow_ == nullptr)
    helpWindow_ = new HelpWindow(helpFolder_.isEmpty() ? HelpFolder() : helpFolder_, this);
  return helpWindow_;
}

ResultWindow* MainWindow::WindowOfRecord(int record) const {
  for (ResultWindow* w : resultWindows())
    if (w->tag() == record) return w;
  return nullptr;
}

ResultWindow* MainWindow::activeResultWindow() const { return WindowOfRecord(session_.ActiveRecord); }

std::vector<ResultWindow*> MainWindow::resultWindows() const {
  std::vector<ResultWindow*> windows;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
    if (auto* w = qobject_cast<ResultWindow*>(sub->widget())) windows.push_back(w);
  return windows;
}

void MainWindow::FileItem(int index) {
  CloseSplash();
  if (session_.Busy) return;
  switch (index) {
    case 0:
      NewWindow(WindowKind::Calculation);
      break;
    case 1:
      NewWindow(WindowKind::Table);
      break;
    case 2:
      NewWindow(WindowKind::Graph);
      break;
    case 4:
      StoreWindowSettings(session_);
      OpenFile();
      break;
    case 6:
      StoreWindowSettings(session_);
      ExportActiveWindow();
      break;
    case 7:
      StoreWindowSettings(session_);
      if (session_.ActiveRecord >= 1) SaveActiveWindowAs();
      break;
    case 9:
      StoreWindowSettings(session_);
      PrintActiveWindow();
      break;
    case 11:
      close();
      break;
    default:
      break;
  }
}

ResultWindow* MainWindow::NewWindow(WindowKind kind) {
  return AddWindow(kind, OpenWindowRecord(session_, kind));
}

ResultWindow* MainWindow::AddWindow(WindowKind kind, int record) {
  ResultWindow* window = nullptr;
  if (kind == WindowKind::Calculation)
    window = new CalcWindow(dispatcher_, record, *this);
  else if (kind == WindowKind::Table)
    window = new TableWindow(dispatcher_, record, *this);
  else
    window = new GraphWindow(dispatcher_, record, *this);
  QMdiSubWindow* sub = mdiArea_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(QString::fromStdString(session_.records[static_cast<std::size_t>(record)].title));
  const CascadePlace place = NextCascadePlace(session_);
  const int height = kind == WindowKind::Calculation ? kWindowHeightTwips : kRangeWindowHeightTwips;
  sub->setGeometry(TwipsToPixels(place.left), TwipsToPixels(place.top), TwipsToPixels(kWindowWidthTwips),
                   TwipsToPixels(height));
  sub->show();
  mdiArea_->setActiveSubWindow(sub);
  // A new window has no selection yet.
  optionsDialog_->hide();
  axisDialog_->hide();
  EnableTestMenus();
  UpdateActions();
  return window;
}

void MainWindow::ShowOptionsDialog() {
  optionsDialog_->Refresh();
  if (!optionsDialog_->isVisible()) {
    optionsDialog_->show();
    optionsPlace_->PlaceFor(mdiArea_);
  }
  const Session& s = session_;
  if (s.SampleCount > 0 && s.dialog.samplesEnabled[static_cast<std::size_t>(s.SampleCount - 1)])
    optionsDialog_->samplesButton(s.SampleCount - 1)->setFocus();
  optionsDialog_->raise();
  optionsDialog_->activateWindow();
}

void MainWindow::SelectTest(int index) {
  CloseSplash();
  if (session_.Busy || !IsTestItem(index)) return;
  if (session_.ActiveRecord == 0) NewWindow(WindowKind::Calculation);
  dispatcher_.SelectTest(index);
  if (ResultWindow* w = activeResultWindow()) w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowOptionsDialog();
  UpdateActions();
}

void MainWindow::SelectDistribution(int index) {
  CloseSplash();
  if (session_.Busy || !IsDistributionItem(index)) return;
  if (session_.ActiveRecord == 0) NewWindow(WindowKind::Calculation);
  dispatcher_.SelectDistribution(index);
  if (ResultWindow* w = activeResultWindow()) w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowOptionsDialog();
  UpdateActions();
}

void MainWindow::ApplyOptions() {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || (session_.TestName.empty() && session_.DistributionName.empty())) return;
  dispatcher_.ApplyOptions();
  w->setHelpContext(static_cast<int>(session_.HelpContext));
  if (auto* calc = qobject_cast<CalcWindow*>(w)) {
    calc->Fill();
    calc->Calculate();
  } else {
    ShowAxisDialog();
  }
  optionsDialog_->Refresh();
  UpdateActions();
}

ResultWindow* MainWindow::OpenFile() {
  const QString name = AskSettingsFileToOpen(this);
  if (name.isEmpty()) return nullptr;
  return OpenSettings(name);
}



void MainWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList files = RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    QString name = QFileInfo(files[i]).fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
    a->setData(files[i]);
    a->setToolTip(files[i]);
    a->setStatusTip(files[i]);
    connect(a, &QAction::triggered, this, [this, path = files[i]] {
      CloseSplash();
      if (session_.Busy) return;
      StoreWindowSettings(session_);
      OpenSettings(path);
    });
  }
  recentMenu_->setEnabled(!files.isEmpty());
}

ResultWindow* MainWindow::OpenSettings(const QString& path) {
  if (session_.Busy) return nullptr;
  const int record = OpenSettingsFile(dispatcher_, QFile::encodeName(path).toStdString());
  if (record <= 0) return nullptr;
  const auto kind = static_cast<WindowKind>(session_.records[static_cast<std::size_t>(record)].kind);
  ResultWindow* window = AddWindow(kind, record);
  window->setHelpContext(static_cast<int>(session_.HelpContext));
  window->Fill();
  if (auto* calc = qobject_cast<CalcWindow*>(window)) calc->Calculate();
  if (auto* range = qobject_cast<RangeWindow*>(window)) range->Recalculate();
  if (optionsDialog_->isVisible()) optionsDialog_->Refresh();
  // The file's settings are the window's saved state.
  StoreWindowSettings(session_);
  session_.records[static_cast<std::size_t>(record)].WindowChanged = false;
  AddRecentFile(path);
  UpdateActions();
  return window;
}

void MainWindow::CopyActiveWindow() {
  CloseSplash();
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || session_.Busy) return;
  StoreWindowSettings(session_);
  if (qobject_cast<CalcWindow*>(w) != nullptr) {
    OutputDialog preview(
        session_, *w, [this] { PrintActiveWindow(); }, this);
    connect(&preview, &OutputDialog::copied, this, &MainWindow::ShowStatus);
    preview.exec();
    return;
  }
  ShowStatus(QString::fromStdString(CopyResult(session_, *w)));
}

void MainWindow::PrintActiveWindow() {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || session_.Busy) return;
  PrintWindow(this, session_, *w, ui_);
}

void MainWindow::PreviewActiveWindow() {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || session_.Busy) return;
  PreviewWindow(this, session_, *w, ui_);
}

QStringList MainWindow::RecentFiles() { return RecentSettingsFiles(); }

void MainWindow::AddRecentFile(const QString& path) {
  RememberRecentSettingsFile(path);
  RebuildRecentMenu();
}

void MainWindow::ShowStatus(const QString& text) {
  if (!text.isEmpty()) statusBar()->showMessage(text, kStatusMilliseconds);
}




void MainWindow::ShowAxisDialog(bool keyboard) {
  if (session_.LastPosition == 0 || qobject_cast<RangeWindow*>(activeResultWindow()) == nullptr) return;
  axisDialog_->Refresh();
  if (!axisDialog_->isVisible()) {
    axisDialog_->show();
    axisPlace_->PlaceFor(mdiArea_);
  }
  axisDialog_->raise();
  if (keyboard) axisDialog_->activateWindow();
}

void MainWindow::ExportActiveWindow() { ExportWindow(this, qobject_cast<RangeWindow*>(activeResultWindow()), ui_); }

void MainWindow::RangeCalculated(RangeWindow* window) {
  // The window comes to the front; the dialog stays where it is.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
    mdiArea_->setActiveSubWindow(sub);
    sub->raise();
  }
  UpdateActions();
}


bool MainWindow::SaveActiveWindowAs() {
  WindowSettings* r = ActiveWindowRecord(session_);
  if (r == nullptr) return false;
  const QString name = AskSettingsFileToSave(this, QString::fromStdString(ProposedSettingsFileName(*r)));
  if (name.isEmpty()) return false;
  if (!WriteSettingsFile(session_, QFile::encodeName(name).toStdString())) return false;
  AddRecentFile(name);
  return true;
}

void MainWindow::WindowItem(int index) {
  if (session_.ActiveRecord < 1) return;
  // The dialogs go beside the active window's new place (unless the user
  // put them somewhere), the axis-parameter dialog of a Table or Graph to the
  // front again; the keyboard stays with the main window.
  const bool axis = axisDialog_->isVisible();
  auto placeDialogs = [this, axis] {
    if (optionsDialog_->isVisible()) optionsPlace_->PlaceFor(mdiArea_);
    if (!axis) return;
    ShowAxisDialog(false);
    axisPlace_->PlaceFor(mdiArea_);
  };
  switch (index) {
    case 0:
      CascadeWindows();
      placeDialogs();
      break;
    case 1:
      TileWindows();
      placeDialogs();
      break;
    case 2: {
      // The minimised windows in a row along the bottom.
      int left = 0;
      for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        sub->move(left, mdiArea_->viewport()->height() - sub->height());
        left += sub->width();
      }
      break;
    }
    default:
      break;
  }
}

void MainWindow::HelpItem(int index) {
  switch (index) {
    case 0:
      helpWindow()->ShowContents();
      break;
    case 1:
      helpWindow()->ShowSearch();
      break;
    case 2:
      helpWindow()->ShowHowToUseHelp();
      break;
    case 4: {
      CloseSplash();
      AboutBox about(this);
      about.exec();
      return;
    }
    default:
      return;
  }
  helpWindow()->show();
  helpWindow()->raise();
  helpWindow()->activateWindow();
}

void MainWindow::ShowHelp(int context) {
  helpWindow()->ShowContext(context);
  helpWindow()->show();
  helpWindow()->raise();
  helpWindow()->activateWindow();
}

void MainWindow::HelpOnActiveWindow() {
  CloseSplash();
  QWidget* active = QApplication::activeWindow();
  if (active != nullptr && active == helpWindow_) return;
  if (active == optionsDialog_) {
    ShowHelp(optionsDialog_->helpContext());
    return;
  }
  if (active == axisDialog_) {
    ShowHelp(axisDialog_->helpContext());
    return;
  }
  ResultWindow* w = activeResultWindow();
  ShowHelp(w != nullptr ? w->helpContext() : kMainWindowHelpContext);
}

void MainWindow::EnableTestMenus() {
  for (int i : {2, 10, 12, 13, 14, 17, 18})
    if (QAction* a = testAction(i)) a->setEnabled(true);
}

void MainWindow::SubWindowActivated(QMdiSubWindow* sub) {
  if (sub == nullptr || closingProgram_ || session_.Busy) return;
  auto* w = qobject_cast<ResultWindow*>(sub->widget());
  if (w == nullptr) return;
  // The keyboard goes with the active window, also while a dialog has it:
  // coming back to the main window must not activate another one.
  if (QWidget* focus = focusWidget(); focus == nullptr || !sub->isAncestorOf(focus)) w->setFocus();
  if (ActivateWindow(dispatcher_, w->tag())) {
    axisDialog_->hide();
    w->Fill();
    if (optionsDialog_->isVisible()) optionsDialog_->Refresh();
  }
  EnableTestMenus();
  UpdateActions();
}

bool MainWindow::AllowClose(ResultWindow& window) {
  if (session_.Busy) return false;
  // The window asked about is the one in front, and its record the active one.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget()); sub != nullptr && !closingProgram_)
    mdiArea_->setActiveSubWindow(sub);
  const bool restored = ActivateWindow(dispatcher_, window.tag());
  if (restored) window.Fill();
  switch (QueryCloseWindow(dispatcher_, window.tag())) {
    case CloseQuery::Refuse:
      return false;
    case CloseQuery::Close:
      return true;
    case CloseQuery::AskToSave:
      break;
  }
  const std::string caption = window.parentWidget() != nullptr
                                  ? window.parentWidget()->windowTitle().toStdString()
                                  : window.windowTitle().toStdString();
  switch (ui_.AskYesNoCancel(CloseQuestionText(caption), caption)) {
    case Answer::Yes:
      // The window closes only when its settings were saved.
      return SaveActiveWindowAs();
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

void MainWindow::WindowUnloaded(ResultWindow& window) {
  if (closingProgram_) return;
  axisDialog_->hide();
  const bool last = CloseWindowRecord(dispatcher_, window.tag()) == 0;
  if (last)
    optionsDialog_->hide();
  else if (optionsDialog_->isVisible())
    optionsDialog_->Refresh();
  // The window leaves the area only after this event.
  QMetaObject::invokeMethod(this, &MainWindow::UpdateActions, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  CloseSplash();
  closingProgram_ = true;
  const QList<QMdiSubWindow*> subs = mdiArea_->subWindowList(QMdiArea::CreationOrder);
  for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
    if (!(*it)->close()) {
      closingProgram_ = false;
      event->ignore();
      return;
    }
  }
  optionsDialog_->close();
  axisDialog_->close();
  if (helpWindow_ != nullptr) helpWindow_->close();
  event->accept();
}

void MainWindow::KeepDialogsInside() {
  const QRect bounds = geometry();
  if (optionsDialog_->isVisible()) optionsPlace_->KeepInside(bounds);
  if (axisDialog_->isVisible()) axisPlace_->KeepInside(bounds);
  const QRect frame = frameGeometry();
  if (splash_ != nullptr && splash_->isVisible() && splash_->frameGeometry().right() > frame.right())
    splash_->move(std::max(frame.left(), frame.right() - splash_->width()), splash_->y());
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Coming back from a dialog, the keyboard goes to the active window before
  // the window system hands it on: to the first window of the area it would
  // activate that one instead.
  if (event->type() != QEvent::ActivationChange || !isActiveWindow() || closingProgram_) return;
  ResultWindow* front = activeResultWindow();
  if (front == nullptr || !front->isVisible()) return;
  const QWidget* sub = front->parentWidget();
  if (QWidget* focus = focusWidget(); focus == nullptr || !sub->isAncestorOf(focus)) front->setFocus();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  KeepDialogsInside();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  KeepDialogsInside();
}

}  // namespace pelmora

namespace pelmora {

void MainWindow::UpdateActions() {
  ResultWindow* w = activeResultWindow();
  auto* range = qobject_cast<RangeWindow*>(w);
  const bool window = w != nullptr && !session_.Busy;
  const bool result = window && (range != nullptr ? range->hasResults() : session_.LastPosition > 0);
  fileItems_[6]->setEnabled(result && range != nullptr);
  fileItems_[7]->setEnabled(window);
  fileItems_[9]->setEnabled(result);
  printPreviewAction_->setEnabled(result);
  editItems_[0]->setEnabled(result);
  const bool any = !resultWindows().empty();
  for (QAction* a : windowItems_) a->setEnabled(any);
  RebuildWindowList();
}

void MainWindow::RebuildWindowList() {
  for (QAction* a : windowList_) {
    windowMenu_->removeAction(a);
    a->deleteLater();
  }
  windowList_.clear();
  const ResultWindow* front = activeResultWindow();
  const QWidget* active = front != nullptr ? front->parentWidget() : nullptr;
  int number = 0;
  for (ResultWindow* w : resultWindows()) {
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    if (sub == nullptr) continue;
    ++number;
    QString title = sub->windowTitle();
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = windowMenu_->addAction(number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                    : QStringLiteral("%1 %2").arg(number).arg(title));
    a->setCheckable(true);
    a->setChecked(sub == active);
    connect(a, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(sub)] {
      if (target != nullptr && !session_.Busy) mdiArea_->setActiveSubWindow(target);
    });
    windowList_.push_back(a);
  }
  windowListSeparator_->setVisible(!windowList_.empty());
}






QMdiSubWindow* MainWindow::ActiveSubWindow() const {
  ResultWindow* front = activeResultWindow();
  return front != nullptr ? qobject_cast<QMdiSubWindow*>(front->parentWidget()) : nullptr;
}

void MainWindow::CascadeWindows() { CascadeSubWindows(*mdiArea_, ActiveSubWindow()); }

void MainWindow::TileWindows() { TileSubWindows(*mdiArea_, ActiveSubWindow()); }

std::string MainWindow::ParameterTip(int position) {
  const int context = static_cast<int>(session_.HelpContext);
  auto it = meanings_.find(context);
  if (it == meanings_.end()) {
    ParameterMeanings meanings;
    const QDir folder(helpFolder_.isEmpty() ? HelpFolder() : helpFolder_);
    QFile map(folder.filePath(QStringLiteral("topics.txt")));
    if (map.open(QIODevice::ReadOnly)) {
      for (const HelpTopic& t : ParseHelpTopics(QString::fromUtf8(map.readAll()))) {
        if (t.context != context) continue;
        QFile page(folder.filePath(t.file));
        if (page.open(QIODevice::ReadOnly)) meanings = ReadParameterMeanings(page.readAll().toStdString());
        break;
      }
    }
    it = meanings_.emplace(context, std::move(meanings)).first;
  }
  return pelmora::ParameterTip(session_, position, it->second);
}

}  // namespace pelmora
