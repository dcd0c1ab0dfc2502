#include "forms/monte_carlo_window.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "output/simulation_text.h"
#include "session/settings_file.h"
#include "session/window_records.h"
#include "views/graph_export.h"
#include "widgets/twips.h"

namespace pelmora {

namespace {

constexpr int kMarginTwips = 120;
constexpr int kHistogramHeightTwips = 3600;

// The data models in the order of kDataModels.
constexpr const char* kDataCaptions[] = {"Normal", "Log-Normal", "t With 3 Degrees Of Freedom", "Uniform"};

QString Studies(std::int64_t n) { return QString::fromStdString(GroupedCount(n)); }

}  // namespace

MonteCarloWindow::MonteCarloWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : CalcWindow(WindowKind::MonteCarlo, d, tag, host, parent) {
  setObjectName(QStringLiteral("frmMonte"));
  run_ = new SimulationRun(this);
  connect(run_, &SimulationRun::progressed, this, &MonteCarloWindow::ShowProgress);
  connect(run_, &SimulationRun::finished, this, &MonteCarloWindow::ShowOutcome);
  BuildPanel();
}

void MonteCarloWindow::BuildPanel() {
  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("fraSimulation"));
  auto* grid = new QGridLayout;
  grid->setContentsMargins(0, 0, 0, 0);
  const auto box = [this](const char* name) {
    auto* b = new QLineEdit(panel_);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QLineEdit::textEdited, this, &MonteCarloWindow::SettingsEdited);
    return b;
  };
  optStudies_ = new QRadioButton(QStringLiteral("Number Of Simulated Studies"), panel_);
  optStudies_->setObjectName(QStringLiteral("optStudies"));
  txtStudies_ = box("txtStudies");
  optHalfWidth_ =
      new QRadioButton(QStringLiteral("until the 95% interval of the power is narrower than +/- h"), panel_);
  optHalfWidth_->setObjectName(QStringLiteral("optHalfWidth"));
  txtHalfWidth_ = box("txtHalfWidth");
  auto* group = new QButtonGroup(panel_);
  group->addButton(optStudies_);
  group->addButton(optHalfWidth_);
  connect(optStudies_, &QRadioButton::toggled, this, &MonteCarloWindow::SettingsEdited);
  txtSeed_ = box("txtSeed");
  cboData_ = new QComboBox(panel_);
  cboData_->setObjectName(QStringLiteral("cboData"));
  for (const char* caption : kDataCaptions) cboData_->addItem(QString::fromLatin1(caption));
  cboData_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cboData_->setMinimumContentsLength(12);
  connect(cboData_, &QComboBox::currentIndexChanged, this, &MonteCarloWindow::SettingsEdited);
  txtDropout_ = box("txtDropout");
  int row = 0;
  const auto labelled = [&](const char* caption, QWidget* w) {
    auto* label = new QLabel(QString::fromLatin1(caption), panel_);
    label->setBuddy(w);
    grid->addWidget(label, row, 0);
    grid->addWidget(w, row++, 1);
  };
  grid->addWidget(optStudies_, row, 0);
  grid->addWidget(txtStudies_, row++, 1);
  grid->addWidget(optHalfWidth_, row, 0);
  grid->addWidget(txtHalfWidth_, row++, 1);
  labelled("Seed", txtSeed_);
  labelled("Data Model", cboData_);
  labelled("Expected Dropout", txtDropout_);

  cmdSimulate_ = new QPushButton(QStringLiteral("Simulate"), panel_);
  cmdSimulate_->setObjectName(QStringLiteral("cmdSimulate"));
  cmdSimulate_->setAutoDefault(false);
  connect(cmdSimulate_, &QPushButton::clicked, this, &MonteCarloWindow::Simulate);
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), panel_);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel_->setAutoDefault(false);
  connect(cmdCancel_, &QPushButton::clicked, this, &MonteCarloWindow::CancelSimulation);
  prgSimulation_ = new QProgressBar(panel_);
  prgSimulation_->setObjectName(QStringLiteral("prgSimulation"));
  prgSimulation_->setRange(0, 1000);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdSimulate_);
  buttons->addWidget(cmdCancel_);
  buttons->addWidget(prgSimulation_, 1);
  grid->addLayout(buttons, row++, 0, 1, 2);
  lblProgress_ = new QLabel(panel_);
  lblProgress_->setObjectName(QStringLiteral("lblProgress"));
  grid->addWidget(lblProgress_, row++, 0, 1, 2);
  lblResults_ = new QLabel(panel_);
  lblResults_->setObjectName(QStringLiteral("lblSimulation"));
  lblResults_->setWordWrap(true);
  lblResults_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblResults_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(lblResults_, row++, 0, 1, 2);
  picHistogram_ = new PValueHistogramView(panel_);
  picHistogram_->setFixedHeight(TwipsToPixels(kHistogramHeightTwips));
  grid->addWidget(picHistogram_, row++, 0, 1, 2);
  cmdExport_ = new QPushButton(QStringLiteral("Export Histogram..."), panel_);
  cmdExport_->setObjectName(QStringLiteral("cmdExportHistogram"));
  cmdExport_->setAutoDefault(false);
  connect(cmdExport_, &QPushButton::clicked, this, &MonteCarloWindow::ExportHistogram);
  grid->addWidget(cmdExport_, row++, 0, 1, 1, Qt::AlignLeft);
  grid->setColumnStretch(1, 1);
  panel_->setLayout(grid);
  lblResults_->hide();
  picHistogram_->hide();
  cmdExport_->hide();
  SetRunning(false);
}

int MonteCarloWindow::PlaceBelow(int top) {
  const int margin = TwipsToPixels(kMarginTwips);
  const int height = panel_->sizeHint().height();
  panel_->setGeometry(margin, top, width() - 2 * margin, height);
  return height;
}

void MonteCarloWindow::resizeEvent(QResizeEvent* event) {
  CalcWindow::resizeEvent(event);
  const int margin = TwipsToPixels(kMarginTwips);
  panel_->resize(width() - 2 * margin, panel_->height());
}

void MonteCarloWindow::Fill() {
  CalcWindow::Fill();
  ShowSettings();
  ShowResult();
}

void MonteCarloWindow::Calculate() {
  // A run of the design as it was is stopped, and what it found is dropped.
  if (isSimulating()) {
    discardRun_ = true;
    run_->Cancel();
  }
  CalcWindow::Calculate();
  usesDataModel_ = SimulatesDataModel(dispatcher());
  if (result_) {
    result_.reset();
    ShowResult();
  }
  ShowSettings();
}

void MonteCarloWindow::ShowSettings() {
  const PlanningSettings& p = dispatcher().session().planning;
  showing_ = true;
  txtStudies_->setText(QString::fromStdString(p.SimulationStudies));
  const bool byWidth = !p.SimulationHalfWidth.empty();
  (byWidth ? optHalfWidth_ : optStudies_)->setChecked(true);
  if (byWidth) txtHalfWidth_->setText(QString::fromStdString(p.SimulationHalfWidth));
  txtSeed_->setText(QString::fromStdString(p.SimulationSeed));
  cboData_->setCurrentIndex(std::clamp<int>(p.SimulationData, 0, cboData_->count() - 1));
  txtDropout_->setText(QString::fromStdString(p.ExpectedDropout.empty() ? "0" : p.ExpectedDropout));
  showing_ = false;
  SetRunning(isSimulating());
}

void MonteCarloWindow::SettingsEdited() {
  if (showing_) return;
  EnsureActive();
  PlanningSettings& p = dispatcher().session().planning;
  p.SimulationStudies = txtStudies_->text().trimmed().toStdString();
  p.SimulationHalfWidth = optHalfWidth_->isChecked() ? txtHalfWidth_->text().trimmed().toStdString() : "";
  p.SimulationSeed = txtSeed_->text().trimmed().toStdString();
  if (cboData_->currentIndex() >= 0) p.SimulationData = static_cast<std::int16_t>(cboData_->currentIndex());
  p.ExpectedDropout = txtDropout_->text().trimmed().toStdString();
  txtHalfWidth_->setEnabled(optHalfWidth_->isChecked() && !isSimulating());
  txtStudies_->setEnabled(optStudies_->isChecked() && !isSimulating());
}

void MonteCarloWindow::SetRunning(bool running) {
  for (QWidget* w : std::initializer_list<QWidget*>{optStudies_, optHalfWidth_, txtSeed_, txtDropout_})
    w->setEnabled(!running);
  txtStudies_->setEnabled(!running && optStudies_->isChecked());
  txtHalfWidth_->setEnabled(!running && optHalfWidth_->isChecked());
  cboData_->setEnabled(!running && usesDataModel_);
  cmdSimulate_->setEnabled(!running);
  cmdCancel_->setEnabled(running);
  prgSimulation_->setVisible(running);
}

void MonteCarloWindow::Simulate() {
  if (isSimulating()) return;
  EnsureActive();
  Session& s = dispatcher().session();
  if (s.LastPosition == 0) return;
  // The design as the boxes show it, solved.
  if (!s.ResultsCurrent) Calculate();
  SettingsEdited();
  std::string why;
  std::optional<SimulationRequest> request = SimulationRequestOf(s.planning, why);
  if (request && request->data != DataModel::kNormal && !usesDataModel_) request->data = DataModel::kNormal;
  if (!request) {
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    s.ui().Warn(why + ".");
    return;
  }
  StoreWindowSettings(s);
  if (!run_->Start(s, *request)) return;
  result_.reset();
  ShowResult();
  prgSimulation_->setValue(0);
  lblProgress_->setText(QStringLiteral("Simulating..."));
  SetRunning(true);
}

void MonteCarloWindow::CancelSimulation() { run_->Cancel(); }

void MonteCarloWindow::ShowProgress(const SimulationProgress& p) {
  if (p.planned > 0)
    prgSimulation_->setValue(
        static_cast<int>(1000.0 * static_cast<double>(p.done) / static_cast<double>(p.planned)));
  QString text = QStringLiteral("%1 of %2 studies").arg(Studies(p.done), Studies(p.planned));
  if (p.studies > 0) {
    const double share = static_cast<double>(p.hits) / static_cast<double>(p.studies);
    const QString what = p.interval  ? QStringLiteral("coverage")
                         : p.underH0 ? QStringLiteral("level under H0")
                                     : QStringLiteral("power");
    text += QStringLiteral(", %1 so far %2").arg(what, QString::number(share, 'f', 4));
  }
  lblProgress_->setText(text);
}

void MonteCarloWindow::ShowOutcome(const SimulationOutcome& outcome) {
  SetRunning(false);
  lblProgress_->clear();
  if (discardRun_) {
    discardRun_ = false;
    emit simulated();
    return;
  }
  if (!outcome.result) {
    std::string why = outcome.error;
    if (!why.empty()) why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    dispatcher().session().ui().Warn(why.empty()         ? std::string("The design cannot be simulated.")
                                     : why.back() == '.' ? why
                                                         : why + ".");
    emit simulated();
    return;
  }
  result_ = outcome.result;
  ShowResult();
  emit simulated();
}

void MonteCarloWindow::ShowResult() {
  QStringList lines;
  if (result_)
    for (const std::string& line : SimulationLines(*result_)) lines << QString::fromStdString(line);
  lblResults_->setText(lines.join(QLatin1Char('\n')));
  lblResults_->setVisible(result_.has_value());
  const bool histogram = result_ && !result_->interval;
  picHistogram_->setResult(histogram ? result_ : std::nullopt);
  picHistogram_->setVisible(histogram);
  cmdExport_->setVisible(histogram);
  Session& s = dispatcher().session();
  // The output of the window shows the lines while this window is active;
  // a window in the back is fitted when it comes to the front.
  if (s.ActiveRecord != tag()) {
    panel_->resize(panel_->width(), panel_->sizeHint().height());
    return;
  }
  s.SimulationLines.clear();
  for (const QString& line : lines) s.SimulationLines.push_back(line.toStdString());
  Refit();
}

void MonteCarloWindow::ExportHistogram() {
  if (!result_ || result_->interval) return;
  Session& s = dispatcher().session();
  QString base = QStringLiteral("Monte");
  if (const WindowSettings* r = ActiveWindowRecord(s); r != nullptr && s.ActiveRecord == tag())
    base = QString::fromStdString(ProposedSettingsFileName(*r)).section(QLatin1Char('.'), 0, 0);
  QStringList filters = {QStringLiteral("PNG Pictures (*.png)"), QStringLiteral("PDF Documents (*.pdf)")};
  if (CanExportGraphAs(GraphFileType::Svg)) filters.insert(1, QStringLiteral("SVG Drawings (*.svg)"));
  QString selected = filters.front();
  QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Export"), base + QStringLiteral(".png"),
                                              filters.join(QStringLiteral(";;")), &selected);
  if (name.isEmpty()) return;
  if (GraphFileTypeOf(QFile::encodeName(name).toStdString()) == GraphFileType::Unknown) {
    const int open = selected.indexOf(QStringLiteral("(*"));
    name += selected.mid(open + 2, selected.size() - open - 3);
  }
  std::string error;
  if (!ExportPValueHistogram(QFile::encodeName(name).toStdString(), *result_, picHistogram_->size(), error))
    s.ui().Warn(error);
}

}  // namespace pelmora
