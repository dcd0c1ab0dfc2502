#include "views/axis_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/window_activation.h"
#include "widgets/twips.h"
#include "format/number_entry.h"
#include "output/range_headings.h"
#include "widgets/number_box.h"
#include "session/axis_roles.h"
#include "session/window_records.h"
#include "views/range_window.h"

namespace pelmora {

namespace {

constexpr const char* kOk = "OK";
constexpr const char* kCancel = "Cancel";

QString Caption(const Session& s, int position) {
  return QString::fromStdString(RemoveAccelerator(s.entryAt(position).ParamCaption()));
}

}  // namespace

AxisParameterDialog::AxisParameterDialog(Dispatcher& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName(QStringLiteral("frmShowPar"));
  setWindowTitle(QStringLiteral("Table and Graph Parameters"));
  UserInterface& ui = d_.session().ui();

  static const char* const kRoleCaptions[] = {
      "Parameter To Calculate (&y-axis):", "Independent Parameter 1 (&x-axis):",
      "Independent Parameter 2 (&z-values):"};
  auto* roles = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(QString::fromLatin1(kRoleCaptions[i]), this);
    label->setObjectName(QStringLiteral("lblYXZParLabel_%1").arg(i));
    auto* list = new QComboBox(this);
    list->setObjectName(QStringLiteral("cbYXZPar_%1").arg(i));
    list->setMinimumWidth(TwipsToPixels(3600));
    label->setBuddy(list);
    connect(list, &QComboBox::activated, this, [this, i](int entry) { RoleChosen(i, entry); });
    lblYXZParLabel_[static_cast<std::size_t>(i)] = label;
    cbYXZPar_[static_cast<std::size_t>(i)] = list;
  }
  auto rangeBox = [&](const char* name, RangeBox which) {
    auto* box = new NumberBox(ui, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(TwipsToPixels(900));
    box->setMaximumWidth(TwipsToPixels(1300));
    connect(box, &NumberBox::edited, this, [this, which](const QString& text) {
      if (refreshing_) return;
      TakeState();
      NoteRangeEdited(d_.session(), which, text.toStdString());
    });
    return box;
  };
  txtXminValue_ = rangeBox("txtXminValue", RangeBox::XMin);
  txtXmaxValue_ = rangeBox("txtXmaxValue", RangeBox::XMax);
  txtXstepValue_ = rangeBox("txtXstepValue", RangeBox::XStep);
  txtZValue_ = rangeBox("txtZValue", RangeBox::ZValues);
  txtZValue_->setMaximumWidth(QWIDGETSIZE_MAX);

  auto* range = new QHBoxLayout;
  auto addRange = [&](const char* caption, NumberBox* box) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(box);
    range->addWidget(label);
    range->addWidget(box);
  };
  addRange("M&in:", txtXminValue_);
  addRange("M&ax:", txtXmaxValue_);
  addRange("St&ep:", txtXstepValue_);
  range->addStretch();
  auto* zLabel = new QLabel(QStringLiteral("&Value(s) separated by space:"), this);
  zLabel->setBuddy(txtZValue_);

  roles->addWidget(lblYXZParLabel_[0], 0, 0);
  roles->addWidget(cbYXZPar_[0], 0, 1);
  roles->addWidget(lblYXZParLabel_[1], 1, 0);
  roles->addWidget(cbYXZPar_[1], 1, 1);
  roles->addLayout(range, 2, 1);
  roles->addWidget(lblYXZParLabel_[2], 3, 0);
  roles->addWidget(cbYXZPar_[2], 3, 1);
  roles->addWidget(zLabel, 4, 0);
  roles->addWidget(txtZValue_, 4, 1);
  roles->setRowStretch(5, 1);

  auto* rows = new QGridLayout;
  for (int i = 0; i < kAxisDialogRows; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("lblParLabel_%1").arg(i));
    auto* box = new NumberBox(ui, this);
    box->setObjectName(QStringLiteral("txtParValue_%1").arg(i));
    box->setMinimumWidth(TwipsToPixels(1100));
    box->setMaximumWidth(TwipsToPixels(1500));
    connect(box, &NumberBox::edited, this, [this, i](const QString& text) {
      if (refreshing_) return;
      TakeState();
      NoteValueEdited(d_.session(), rowPosition_[static_cast<std::size_t>(i)], text.toStdString());
    });
    rows->addWidget(label, i, 0);
    rows->addWidget(box, i, 1);
    lblParLabel_[static_cast<std::size_t>(i)] = label;
    txtParValue_[static_cast<std::size_t>(i)] = box;
  }
  rows->setRowStretch(kAxisDialogRows, 1);

  lblProgress_ = new QLabel(QStringLiteral("Percent Calculated:"), this);
  lblProgress_->setObjectName(QStringLiteral("lblProgress"));
  pgrProgress_ = new QProgressBar(this);
  pgrProgress_->setObjectName(QStringLiteral("pgrProgress"));
  cmdOK_ = new QPushButton(QString::fromLatin1(kOk), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);
  connect(cmdOK_, &QPushButton::clicked, this, &AxisParameterDialog::RunRangeCalculation);
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdCancel_, &QPushButton::clicked, this, &AxisParameterDialog::Cancel);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblProgress_);
  bottom->addWidget(pgrProgress_, 1);
  bottom->addStretch();
  bottom->addWidget(cmdOK_);
  bottom->addWidget(cmdCancel_);
  lblProgress_->hide();
  pgrProgress_->hide();

  auto* columns = new QHBoxLayout;
  columns->addLayout(roles, 3);
  columns->addSpacing(TwipsToPixels(300));
  columns->addLayout(rows, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(bottom);
}

QLineEdit* AxisParameterDialog::xMinBox() const { return txtXminValue_; }
QLineEdit* AxisParameterDialog::xMaxBox() const { return txtXmaxValue_; }
QLineEdit* AxisParameterDialog::xStepBox() const { return txtXstepValue_; }
QLineEdit* AxisParameterDialog::zBox() const { return txtZValue_; }
QLineEdit* AxisParameterDialog::parBox(int i) const { return txtParValue_[static_cast<std::size_t>(i)]; }

int AxisParameterDialog::helpContext() const { return static_cast<int>(d_.session().HelpContext); }

void AxisParameterDialog::Refresh() {
  Session& s = d_.session();
  refreshing_ = true;
  const std::vector<int> listed = s.LastPosition > 0 ? RoleListPositions(s) : std::vector<int>{};
  for (int i = 0; i < 3; ++i) {
    QComboBox* list = roleList(i);
    list->clear();
    for (int p : listed) {
      list->addItem(Caption(s, p), p);
      if (tips_) list->setItemData(list->count() - 1, QString::fromStdString(tips_(p)), Qt::ToolTipRole);
    }
    list->setCurrentIndex(list->findData(RolePosition(s, static_cast<AxisRole>(i))));
  }
  const RangeTexts texts = s.LastPosition > 0 ? CurrentRangeTexts(s) : RangeTexts{};
  txtXminValue_->setText(QString::fromStdString(texts.xMin));
  txtXmaxValue_->setText(QString::fromStdString(texts.xMax));
  txtXstepValue_->setText(QString::fromStdString(texts.xStep));
  txtZValue_->setText(QString::fromStdString(texts.zValues));

  const std::vector<int> fixed = s.LastPosition > 0 ? FixedPositions(s) : std::vector<int>{};
  for (int i = 0; i < kAxisDialogRows; ++i) {
    const bool shown = i < static_cast<int>(fixed.size());
    rowPosition_[static_cast<std::size_t>(i)] = shown ? fixed[static_cast<std::size_t>(i)] : -1;
    QLabel* label = lblParLabel_[static_cast<std::size_t>(i)];
    NumberBox* box = txtParValue_[static_cast<std::size_t>(i)];
    label->setVisible(shown);
    box->setVisible(shown);
    if (!shown) continue;
    const int p = fixed[static_cast<std::size_t>(i)];
    label->setText(Caption(s, p));
    if (tips_) label->setToolTip(QString::fromStdString(tips_(p)));
    box->setText(QString::fromStdString(s.entryAt(p).ParamText));
  }
  refreshing_ = false;
}

void AxisParameterDialog::RoleChosen(int role, int entry) {
  if (running_ || refreshing_) return;
  const QVariant position = roleList(role)->itemData(entry);
  if (!position.isValid()) return;
  TakeState();
  ChooseRole(d_.session(), static_cast<AxisRole>(role), position.toInt());
  Refresh();
}

void AxisParameterDialog::RunRangeCalculation() {
  Session& s = d_.session();
  if (cmdOK_->text() == QLatin1String(kCancel)) {
    s.CalcStopped = true;
    return;
  }
  if (running_ || s.Busy || !target_) return;
  RangeWindow* window = target_();
  if (window == nullptr || s.LastPosition == 0) return;
  s.CalcStopped = false;
  BuildRangeHeadings(s, window->kind() == WindowKind::Table);
  running_ = true;
  s.Busy = true;
  emit runningChanged(true);
  const RangeOutcome outcome = CalculateRange(d_, this, clock_);
  s.Busy = false;
  running_ = false;
  emit runningChanged(false);
  if (outcome != RangeOutcome::Done && outcome != RangeOutcome::AlreadyCurrent) return;
  window->ShowRange(true);
  StoreWindowSettings(s);
  before_.reset();
  emit calculated(window);
}

void AxisParameterDialog::Show(int maximum) {
  pgrProgress_->setRange(0, std::max(maximum, 1));
  pgrProgress_->setValue(0);
  lblProgress_->show();
  pgrProgress_->show();
  cmdOK_->setText(QString::fromLatin1(kCancel));
  cmdCancel_->setEnabled(false);
}

void AxisParameterDialog::SetValue(int value) {
  pgrProgress_->setValue(std::min(value, pgrProgress_->maximum()));
}

void AxisParameterDialog::Hide() {
  lblProgress_->hide();
  pgrProgress_->hide();
  cmdOK_->setText(QString::fromLatin1(kOk));
  cmdCancel_->setEnabled(true);
}

void AxisParameterDialog::TakeState() {
  if (!before_) before_ = TakeWindowState(d_.session());
}

void AxisParameterDialog::Cancel() {
  if (running_) return;
  if (before_) RestoreWindowState(d_, *before_);
  before_.reset();
  Refresh();
  hide();
}

void AxisParameterDialog::hideEvent(QHideEvent* event) {
  before_.reset();
  QDialog::hideEvent(event);
}

void AxisParameterDialog::ProcessEvents() { QCoreApplication::processEvents(); }

void AxisParameterDialog::closeEvent(QCloseEvent* event) {
  // Closing during a run cancels it; the dialog stays until the run ends.
  if (running_) {
    d_.session().CalcStopped = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void AxisParameterDialog::reject() {
  if (running_) {
    d_.session().CalcStopped = true;
    return;
  }
  QDialog::reject();
}

}  // namespace pelmora
