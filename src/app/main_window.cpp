#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/splash_window.h"
#include "widgets/twips.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "output/table_export.h"
#include "session/menus.h"
#include "session/settings_file.h"
#include "session/window_records.h"
#include "views/axis_dialog.h"
#include "views/graph_export.h"
#include "views/output_dialog.h"
#include "views/range_window.h"
#include "views/result_output.h"

namespace pelmora {

namespace {

constexpr int kWindowWidthTwips = 8850;
constexpr int kWindowHeightTwips = 4000;
constexpr int kRangeWindowHeightTwips = 4800;
constexpr int kMainWindowHelpContext = 112;

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
  connect(optionsDialog_, &OptionsDialog::applied, this, &MainWindow::ApplyOptions);

  axisDialog_ = new AxisParameterDialog(dispatcher_, this);
  axisDialog_->hide();
  axisDialog_->setTargetWindow([this] { return qobject_cast<RangeWindow*>(activeResultWindow()); });
  connect(axisDialog_, &AxisParameterDialog::runningChanged, this, [this](bool running) {
    // While a range runs, no other window may take over the session.
    mdiArea_->setEnabled(!running);
    optionsDialog_->setEnabled(!running);
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
  return window;
}

void MainWindow::ShowOptionsDialog() {
  optionsDialog_->Refresh();
  if (!optionsDialog_->isVisible()) {
    optionsDialog_->show();
    optionsDialog_->PlaceBeside(*this);
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
}

void MainWindow::SelectDistribution(int index) {
  CloseSplash();
  if (session_.Busy || !IsDistributionItem(index)) return;
  if (session_.ActiveRecord == 0) NewWindow(WindowKind::Calculation);
  dispatcher_.SelectDistribution(index);
  if (ResultWindow* w = activeResultWindow()) w->setHelpContext(static_cast<int>(session_.HelpContext));
  ShowOptionsDialog();
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
}

QString MainWindow::SettingsFilter() {
  return QStringLiteral("All Files (*.*);;") + QString::fromLatin1(kProgramTitle) +
         QStringLiteral(" Files (*.dim)");
}

ResultWindow* MainWindow::OpenFile() {
  const QString programFiles = QString::fromLatin1(kProgramTitle) + QStringLiteral(" Files (*.dim)");
  QString selected = programFiles;
  const QString name =
      QFileDialog::getOpenFileName(this, QStringLiteral("Open File"), QString(), SettingsFilter(), &selected);
  if (name.isEmpty()) return nullptr;
  return OpenSettings(name);
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
    preview.exec();
    return;
  }
  CopyResult(session_, *w);
}

void MainWindow::PrintActiveWindow() {
  ResultWindow* w = activeResultWindow();
  if (w == nullptr || session_.Busy) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintResult(session_, *w, printer)) ui_.Warn("The printer cannot be used.");
}

void MainWindow::ShowAxisDialog() {
  if (session_.LastPosition == 0 || qobject_cast<RangeWindow*>(activeResultWindow()) == nullptr) return;
  axisDialog_->Refresh();
  if (!axisDialog_->isVisible()) {
    axisDialog_->show();
    const QRect frame = frameGeometry();
    axisDialog_->move(
        std::max(frame.left(), frame.right() - axisDialog_->frameGeometry().width() - TwipsToPixels(200)),
        frame.bottom() - axisDialog_->frameGeometry().height() - TwipsToPixels(200));
  }
  axisDialog_->raise();
  axisDialog_->activateWindow();
}

void MainWindow::RangeCalculated(RangeWindow* window) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
    mdiArea_->setActiveSubWindow(sub);
    sub->raise();
  }
  // The dialog steps aside to the lower right, out of the window's way.
  const QRect frame = frameGeometry();
  axisDialog_->move(std::max(frame.left(), frame.right() - axisDialog_->frameGeometry().width()),
                    std::max(frame.top(), frame.bottom() - axisDialog_->frameGeometry().height()));
}

void MainWindow::ExportActiveWindow() {
  auto* w = qobject_cast<RangeWindow*>(activeResultWindow());
  if (w == nullptr) {
    ui_.Warn("Only a Table or a Graph can be exported.");
    return;
  }
  if (!w->hasResults()) {
    ui_.Warn("The window has no results to export yet.");
    return;
  }
  const QString base = QString::fromStdString(ProposedSettingsFileName(w->record())).section('.', 0, 0);
  std::string error;
  if (auto* table = qobject_cast<TableWindow*>(w)) {
    const QString csv = QStringLiteral("Comma-Separated Values (*.csv)");
    const QString text = QStringLiteral("Text (*.txt)");
    QString selected = csv;
    const QString name =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export"), base + QStringLiteral(".csv"),
                                     csv + QStringLiteral(";;") + text, &selected);
    if (name.isEmpty()) return;
    const bool asText = selected == text || name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    if (!ExportTable(QFile::encodeName(name).toStdString(), table->content(), table->record(), asText, error))
      ui_.Warn(error);
    return;
  }
  auto* graph = qobject_cast<GraphWindow*>(w);
  QStringList filters = {QStringLiteral("PNG Pictures (*.png)"), QStringLiteral("PDF Documents (*.pdf)")};
  if (CanExportGraphAs(GraphFileType::Svg)) filters.insert(1, QStringLiteral("SVG Drawings (*.svg)"));
  QString selected = filters.front();
  QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Export"), base + QStringLiteral(".png"),
                                              filters.join(QStringLiteral(";;")), &selected);
  if (name.isEmpty()) return;
  if (GraphFileTypeOf(QFile::encodeName(name).toStdString()) == GraphFileType::Unknown) {
    // The type of the chosen filter.
    const int open = selected.indexOf(QStringLiteral("(*"));
    name += selected.mid(open + 2, selected.size() - open - 3);
  }
  if (!ExportGraph(QFile::encodeName(name).toStdString(), graph->content(), graph->appearance(),
                   graph->picture()->size(), error))
    ui_.Warn(error);
}

bool MainWindow::SaveActiveWindowAs() {
  WindowSettings* r = ActiveWindowRecord(session_);
  if (r == nullptr) return false;
  const QString programFiles = QString::fromLatin1(kProgramTitle) + QStringLiteral(" Files (*.dim)");
  QString selected = programFiles;
  const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"),
                                                    QString::fromStdString(ProposedSettingsFileName(*r)),
                                                    SettingsFilter(), &selected);
  if (name.isEmpty()) return false;
  return WriteSettingsFile(session_, QFile::encodeName(name).toStdString());
}

void MainWindow::WindowItem(int index) {
  if (session_.ActiveRecord < 1) return;
  switch (index) {
    case 0:
      mdiArea_->cascadeSubWindows();
      if (axisDialog_->isVisible()) axisDialog_->raise();
      break;
    case 1:
      mdiArea_->tileSubWindows();
      if (axisDialog_->isVisible()) axisDialog_->raise();
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
  if (ActivateWindow(dispatcher_, w->tag())) {
    axisDialog_->hide();
    w->Fill();
    if (optionsDialog_->isVisible()) optionsDialog_->Refresh();
  }
  EnableTestMenus();
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
  if (CloseWindowRecord(dispatcher_, window.tag()) == 0) {
    optionsDialog_->hide();
    return;
  }
  if (optionsDialog_->isVisible()) optionsDialog_->Refresh();
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
  const QRect frame = frameGeometry();
  if (optionsDialog_->isVisible()) {
    const int right = frame.right() - TwipsToPixels(200);
    if (optionsDialog_->frameGeometry().right() > right)
      optionsDialog_->move(std::max(frame.left(), right - optionsDialog_->frameGeometry().width()),
                           optionsDialog_->y());
  }
  if (axisDialog_->isVisible() && axisDialog_->frameGeometry().right() > frame.right())
    axisDialog_->move(std::max(frame.left(), frame.right() - axisDialog_->frameGeometry().width()),
                      axisDialog_->y());
  if (splash_ != nullptr && splash_->isVisible() && splash_->frameGeometry().right() > frame.right())
    splash_->move(std::max(frame.left(), frame.right() - splash_->width()), splash_->y());
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
