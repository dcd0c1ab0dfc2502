#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
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
#include <functional>
#include <utility>

#include "app/about_box.h"
#include "app/file_dialogs.h"
#include "app/help_window.h"
#include "app/main_menus.h"
#include "app/print_dialogs.h"
#include "app/recent_files.h"
#include "app/splash_window.h"
#include "app/window_arrangement.h"
#include "engine/settings_apply.h"
#include "engine/window_activation.h"
#include "forms/calc_window.h"
#include "forms/monte_carlo_window.h"
#include "forms/options_dialog.h"
#include "session/menus.h"
#include "session/procedure_table.h"
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
constexpr int kMonteCarloWindowHeightTwips = 7200;
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

  menus_ = std::make_unique<MainMenus>(*this);
  ConnectActions();

  // The options dialog is loaded at start-up and shown after a procedure is
  // chosen.
  optionsDialog_ = new OptionsDialog(dispatcher_, this);
  optionsDialog_->hide();
  optionsPlace_ = new DialogPlace(optionsDialog_);
  connect(optionsDialog_, &OptionsDialog::applied, this, &MainWindow::ApplyOptions);
  connect(optionsDialog_, &OptionsDialog::cancelled, this, &MainWindow::OptionsCancelled);

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
  // F10 opens the menus, whatever letters the windows use.
  auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menus, &QShortcut::activated, this, [this] {
    if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().first());
  });

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

void MainWindow::ConnectActions() {
  const MainMenus& m = *menus_;
  // File: each command first closes the splash window and does nothing while
  // a calculation runs; those that act on the active window store its
  // settings first.
  const auto file = [this](QAction* a, bool storesSettings, std::function<void()> command) {
    connect(a, &QAction::triggered, this, [this, storesSettings, command = std::move(command)] {
      CloseSplash();
      if (session_.Busy) return;
      if (storesSettings) StoreWindowSettings(session_);
      command();
    });
  };
  file(m.newCalculation, false, [this] { NewWindow(WindowKind::Calculation); });
  file(m.newTable, false, [this] { NewWindow(WindowKind::Table); });
  file(m.newGraph, false, [this] { NewWindow(WindowKind::Graph); });
  file(m.newMonteCarlo, false, [this] { NewWindow(WindowKind::MonteCarlo); });
  file(m.openFile, true, [this] { OpenFile(); });
  file(m.exportFile, true, [this] { ExportActiveWindow(); });
  file(m.saveAs, true, [this] {
    if (session_.ActiveRecord >= 1) SaveActiveWindowAs();
  });
  file(m.print, true, [this] { PrintActiveWindow(); });
  file(m.printPreview, true, [this] { PreviewActiveWindow(); });
  file(m.exit, false, [this] { close(); });

  connect(m.copy, &QAction::triggered, this, &MainWindow::CopyActiveWindow);
  connect(m.powerCurve, &QAction::triggered, this, &MainWindow::OpenPowerCurve);
  for (const ProcedureRow& row : Procedures())
    connect(m.procedure(row.procedure), &QAction::triggered, this, [this, p = row.procedure] { SelectProcedure(p); });

  connect(m.cascade, &QAction::triggered, this, [this] { ArrangeWindows([this] { CascadeWindows(); }); });
  connect(m.tile, &QAction::triggered, this, [this] { ArrangeWindows([this] { TileWindows(); }); });
  connect(m.arrangeIcons, &QAction::triggered, this, &MainWindow::ArrangeIcons);

  const auto help = [this](QAction* a, void (HelpWindow::*show)()) {
    connect(a, &QAction::triggered, this, [this, show] {
      (helpWindow()->*show)();
      helpWindow()->show();
      helpWindow()->raise();
      helpWindow()->activateWindow();
    });
  };
  help(m.helpContents, &HelpWindow::ShowContents);
  help(m.helpSearch, &HelpWindow::ShowSearch);
  help(m.howToUseHelp, &HelpWindow::ShowHowToUseHelp);
  connect(m.about, &QAction::triggered, this, [this] {
    CloseSplash();
    AboutBox about(this);
    about.exec();
  });

  connect(m.fileMenu, &QMenu::aboutToShow, this, [this] {
    RebuildRecentMenu();
    UpdateActions();
  });
  connect(m.editMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateActions);
  connect(m.windowMenu, &QMenu::aboutToShow, this, &MainWindow::RebuildWindowList);
  RebuildRecentMenu();
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

ResultWindow* MainWindow::NewWindow(WindowKind kind) {
  return AddWindow(kind, OpenWindowRecord(session_, kind));
}

ResultWindow* MainWindow::AddWindow(WindowKind kind, int record) {
  ResultWindow* window = nullptr;
  if (kind == WindowKind::Calculation || kind == WindowKind::MonteCarlo) {
    CalcWindow* calc = kind == WindowKind::Calculation ? new CalcWindow(dispatcher_, record, *this)
                                                       : new MonteCarloWindow(dispatcher_, record, *this);
    connect(calc, &CalcWindow::powerCurveRequested, this, &MainWindow::OpenPowerCurve);
    window = calc;
  } else if (kind == WindowKind::Table)
    window = new TableWindow(dispatcher_, record, *this);
  else
    window = new GraphWindow(dispatcher_, record, *this);
  QMdiSubWindow* sub = mdiArea_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  window->setCaption(QString::fromStdString(session_.records[static_cast<std::size_t>(record)].title));
  sub->setWindowTitle(window->caption());
  const CascadePlace place = NextCascadePlace(session_);
  const int height = kind == WindowKind::Calculation  ? kWindowHeightTwips
                     : kind == WindowKind::MonteCarlo ? kMonteCarloWindowHeightTwips
                                                      : kRangeWindowHeightTwips;
  sub->setGeometry(TwipsToPixels(place.left), TwipsToPixels(place.top), TwipsToPixels(kWindowWidthTwips),
                   TwipsToPixels(height));
  sub->show();
  mdiArea_->setActiveSubWindow(sub);
  // A new window has no selection yet.
  optionsDialog_->hide();
  axisDialog_->hide();
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

void MainWindow::SelectProcedure(Procedure p) {
  CloseSplash();
  if (session_.Busy) return;
  if (session_.ActiveRecord == 0) NewWindow(WindowKind::Calculation);
  optionsDialog_->TakeState();
  dispatcher_.Select(p);
  if (ResultWindow* w = activeResultWindow()) w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowOptionsDialog();
  UpdateActions();
}

void MainWindow::ApplyOptions() {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || (session_.TestName.empty() && session_.DistributionName.empty())) return;
  dispatcher_.ApplyOptions();
  w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowTitle(*w);
  if (auto* calc = qobject_cast<CalcWindow*>(w)) {
    calc->Fill();
    calc->Calculate();
  } else {
    ShowAxisDialog();
  }
  optionsDialog_->Refresh();
  UpdateActions();
}

void MainWindow::OptionsCancelled(bool filled) {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr) return;
  w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowTitle(*w);
  w->Fill();
  if (auto* calc = qobject_cast<CalcWindow*>(w); calc != nullptr && filled) calc->Calculate();
  UpdateActions();
}

ResultWindow* MainWindow::OpenFile() {
  const QString name = AskSettingsFileToOpen(this);
  if (name.isEmpty()) return nullptr;
  return OpenSettings(name);
}

void MainWindow::RebuildRecentMenu() {
  menus_->RebuildRecentFiles(RecentFiles(), [this](const QString& path) {
    CloseSplash();
    if (session_.Busy) return;
    StoreWindowSettings(session_);
    OpenSettings(path);
  });
}

ResultWindow* MainWindow::OpenSettings(const QString& path) {
  if (session_.Busy) return nullptr;
  const int record = OpenSettingsFile(dispatcher_, QFile::encodeName(path).toStdString());
  if (record <= 0) return nullptr;
  const auto kind = static_cast<WindowKind>(session_.records[static_cast<std::size_t>(record)].kind);
  ResultWindow* window = AddWindow(kind, record);
  window->setHelpContext(static_cast<int>(session_.HelpContext));
  window->setFileName(QFileInfo(path).fileName());
  ShowTitle(*window);
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

void MainWindow::ExportActiveWindow() {
  if (auto* monte = qobject_cast<MonteCarloWindow*>(activeResultWindow())) {
    monte->ExportHistogram();
    return;
  }
  ExportWindow(this, qobject_cast<RangeWindow*>(activeResultWindow()), ui_);
}

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
  if (ResultWindow* w = activeResultWindow()) {
    w->setFileName(QFileInfo(name).fileName());
    ShowTitle(*w);
  }
  AddRecentFile(name);
  return true;
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

void MainWindow::SubWindowActivated(QMdiSubWindow* sub) {
  if (sub == nullptr || closingProgram_ || session_.Busy) return;
  auto* w = qobject_cast<ResultWindow*>(sub->widget());
  if (w == nullptr) return;
  // The keyboard goes with the active window, also while a dialog has it:
  // coming back to the main window must not activate another one.
  if (QWidget* focus = focusWidget(); focus == nullptr || !sub->isAncestorOf(focus)) w->setFocus();
  if (ActivateWindow(dispatcher_, w->tag())) {
    axisDialog_->hide();
    optionsDialog_->ForgetState();
    ShowTitle(*w);
    w->Fill();
    if (optionsDialog_->isVisible()) optionsDialog_->Refresh();
  }
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
  const std::string caption = window.caption().toStdString();
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

std::string MainWindow::ParameterTip(int position) {
  const int context = static_cast<int>(session_.HelpContext);
  auto it = meanings_.find(context);
  if (it == meanings_.end())
    it = meanings_.emplace(context, HelpPageMeanings(helpFolder_.isEmpty() ? HelpFolder() : helpFolder_, context))
             .first;
  return pelmora::ParameterTip(session_, position, it->second);
}

}  // namespace pelmora
