#include "forms/options_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/window_activation.h"
#include "forms/sequential_options.h"
#include "widgets/twips.h"
#include "session/catalogue.h"
#include "session/menus.h"

namespace pelmora {

namespace {

// Checks the button `chosen` of a set of option buttons, or none when it is
// out of range (for example no number of samples chosen).
template <std::size_t N>
void ChooseButton(const std::array<QRadioButton*, N>& buttons, int chosen) {
  for (std::size_t i = 0; i < N; ++i) {
    QRadioButton* b = buttons[i];
    b->setAutoExclusive(false);
    b->setChecked(static_cast<int>(i) == chosen);
    b->setAutoExclusive(true);
  }
}

QGroupBox* NewFrame(const char* name, const QString& caption, QWidget* parent) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(QString::fromLatin1(name));
  return frame;
}

}  // namespace

OptionsDialog::OptionsDialog(Dispatcher& d, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), d_(d) {
  setObjectName(QStringLiteral("frmShowSmp"));
  setWindowTitle(QStringLiteral("Options"));
  setModal(false);
  BuildControls();
  Refresh();
}

void OptionsDialog::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  fraSamples_ = NewFrame("fraSamples", QStringLiteral("No Of &Samples"), this);
  auto* samples = new QHBoxLayout(fraSamples_);
  const char* const sampleCaptions[] = {"One Sample", "Two Samples"};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(sampleCaptions[i]), fraSamples_);
    b->setObjectName(QStringLiteral("optSamples_%1").arg(i));
    connect(b, &QRadioButton::clicked, this, [this, i] {
      TakeState();
      d_.SetSampleCount(i + 1);
      Refresh();
    });
    samples->addWidget(b);
    optSamples_[static_cast<std::size_t>(i)] = b;
  }
  layout->addWidget(fraSamples_);

  fraTails_ = NewFrame("fraTails", QStringLiteral("No Of &Tails"), this);
  auto* tails = new QVBoxLayout(fraTails_);
  auto* tailButtons = new QHBoxLayout;
  const char* const tailCaptions[] = {"One-sided", "Two-sided", "Two One-sided"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(tailCaptions[i]), fraTails_);
    b->setObjectName(QStringLiteral("optTails_%1").arg(i));
    connect(b, &QRadioButton::clicked, this, [this, i] {
      TakeState();
      d_.SetTailCount(i + 1);
      Refresh();
    });
    tailButtons->addWidget(b);
    optTails_[static_cast<std::size_t>(i)] = b;
  }
  tails->addLayout(tailButtons);
  chkLeftTail_ = new QCheckBox(QStringLiteral("&Reject in Left Tail"), fraTails_);
  chkLeftTail_->setObjectName(QStringLiteral("chkLeftTail"));
  connect(chkLeftTail_, &QCheckBox::clicked, this, [this](bool checked) {
    TakeState();
    d_.SetRejectInLeftTail(checked);
  });
  tails->addWidget(chkLeftTail_);
  layout->addWidget(fraTails_);

  lblParameter_ = new QLabel(QStringLiteral("P&arameter:"), this);
  lblParameter_->setObjectName(QStringLiteral("lblParameter"));
  lstParList_ = new QListWidget(this);
  lstParList_->setObjectName(QStringLiteral("lstParList"));
  lstParList_->setFixedHeight(TwipsToPixels(1200));
  lblParameter_->setBuddy(lstParList_);
  connect(lstParList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (refreshing_ || row < 0) return;
    TakeState();
    d_.SetParameterChoice(row);
    Refresh();
  });
  layout->addWidget(lblParameter_);
  layout->addWidget(lstParList_);

  fraProcedure_ = NewFrame("fraProcedure", QStringLiteral("&Procedure"), this);
  auto* procedure = new QHBoxLayout(fraProcedure_);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(kProcedureCaptions[i]), fraProcedure_);
    b->setObjectName(QStringLiteral("optProcedure_%1").arg(i));
    connect(b, &QRadioButton::clicked, this, [this, i] { ProcedureClicked(i); });
    procedure->addWidget(b);
    optProcedure_[static_cast<std::size_t>(i)] = b;
  }
  layout->addWidget(fraProcedure_);

  fraInterim_ = NewFrame("fraInterim", QStringLiteral("&Number Of Interim Analyses"), this);
  auto* interimColumn = new QVBoxLayout(fraInterim_);
  auto* interim = new QHBoxLayout();
  interimColumn->addLayout(interim);
  for (int i = 0; i < 6; ++i) {
    auto* b = new QRadioButton(QString::number(i), fraInterim_);
    b->setObjectName(QStringLiteral("optInterim_%1").arg(i));
    connect(b, &QRadioButton::clicked, this, [this, i] {
      TakeState();
      d_.session().InterimCount = static_cast<std::int16_t>(i);
      Refresh();
    });
    interim->addWidget(b);
    optInterim_[static_cast<std::size_t>(i)] = b;
  }
  fraSequential_ = new SequentialOptions(d_, fraInterim_);
  interimColumn->addWidget(fraSequential_);
  layout->addWidget(fraInterim_);

  lnLine_ = new QFrame(this);
  lnLine_->setObjectName(QStringLiteral("lnLine"));
  lnLine_->setFrameShape(QFrame::HLine);
  lnLine_->setFrameShadow(QFrame::Sunken);
  layout->addWidget(lnLine_);

  lblInterchangeable_ = new QLabel(QStringLiteral("&Interchangeable Parameters:"), this);
  lblInterchangeable_->setObjectName(QStringLiteral("lblInterchangeable"));
  layout->addWidget(lblInterchangeable_);
  for (int k = 0; k < 4; ++k) {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fraIntPar_%1").arg(k));
    auto* row = new QHBoxLayout(frame);
    for (int j = 0; j < 3; ++j) {
      auto* b = new QRadioButton(frame);
      b->setObjectName(QStringLiteral("optIntPar%1_%2").arg(k).arg(j));
      connect(b, &QRadioButton::clicked, this, [this, k, j] { RowFormClicked(k, j); });
      row->addWidget(b);
      optIntPar_[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] = b;
    }
    row->addStretch();
    layout->addWidget(frame);
    fraIntPar_[static_cast<std::size_t>(k)] = frame;
  }
  lblInterchangeable_->setBuddy(optIntPar_[0][0]);

  for (int k = 0; k < 3; ++k) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QStringLiteral("chkCheck_%1").arg(k));
    connect(box, &QCheckBox::clicked, this, [this, k] { OptionClicked(k); });
    layout->addWidget(box);
    chkCheck_[static_cast<std::size_t>(k)] = box;
  }
  chkPlanByPower_ = new QCheckBox(QStringLiteral("Plan by &Power"), this);
  chkPlanByPower_->setObjectName(QStringLiteral("chkPlanByPower"));
  connect(chkPlanByPower_, &QCheckBox::clicked, this, [this](bool checked) {
    TakeState();
    d_.SetPlanByPower(checked);
    Refresh();
  });
  layout->addWidget(chkPlanByPower_);

  auto* dropout = new QHBoxLayout;
  lblExpectedDropout_ = new QLabel(QStringLiteral("Expected &Dropout:"), this);
  lblExpectedDropout_->setObjectName(QStringLiteral("lblExpectedDropout"));
  txtExpectedDropout_ = new QLineEdit(this);
  txtExpectedDropout_->setObjectName(QStringLiteral("txtExpectedDropout"));
  txtExpectedDropout_->setPlaceholderText(QStringLiteral("0 to 0.9"));
  lblExpectedDropout_->setBuddy(txtExpectedDropout_);
  // A value out of range is refused, with its message, when the design is
  // calculated, as the other planning settings are.
  connect(txtExpectedDropout_, &QLineEdit::textEdited, this, [this](const QString& text) {
    TakeState();
    const QString trimmed = text.trimmed();
    d_.session().planning.ExpectedDropout = trimmed.isEmpty() ? std::string("0") : trimmed.toStdString();
    d_.session().ResultsCurrent = false;
  });
  dropout->addWidget(lblExpectedDropout_);
  dropout->addWidget(txtExpectedDropout_);
  layout->addLayout(dropout);

  cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);
  connect(cmdOK_, &QPushButton::clicked, this, [this] {
    before_.reset();
    emit applied();
  });
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdCancel_, &QPushButton::clicked, this, &OptionsDialog::Cancel);
  auto* okRow = new QHBoxLayout;
  okRow->addStretch();
  okRow->addWidget(cmdOK_);
  okRow->addWidget(cmdCancel_);
  layout->addLayout(okRow);
}

void OptionsDialog::TakeState() {
  if (!before_) before_ = TakeWindowState(d_.session());
}

void OptionsDialog::Cancel() {
  const bool restored = before_ && RestoreWindowState(d_, *before_);
  const bool changed = before_.has_value();
  before_.reset();
  hide();
  if (changed) emit cancelled(restored);
}

void OptionsDialog::hideEvent(QHideEvent* event) {
  before_.reset();
  QDialog::hideEvent(event);
}

void OptionsDialog::ProcedureClicked(int kind) {
  TakeState();
  d_.SetProcedureKind(kind);
  Refresh();
}

void OptionsDialog::RowFormClicked(int row, int form) {
  const Session& s = d_.session();
  if (row >= s.IntParRowCount) return;
  TakeState();
  d_.SetForm(s.IntParRowGroup[static_cast<std::size_t>(row)], form);
}

void OptionsDialog::OptionClicked(int box) {
  const Session& s = d_.session();
  if (box >= s.OptionCount) return;
  TakeState();
  d_.SetOption(s.OptionId[static_cast<std::size_t>(box)],
               chkCheck_[static_cast<std::size_t>(box)]->isChecked());
  Refresh();
}

int OptionsDialog::helpContext() const { return static_cast<int>(d_.session().HelpContext); }

void OptionsDialog::Refresh() {
  refreshing_ = true;
  const Session& s = d_.session();
  const bool test = s.IsTestProcedure != kFalse;
  const WindowSettings* record = s.ActiveRecord > 0 && s.ActiveRecord < static_cast<int>(s.records.size())
                                     ? &s.records[static_cast<std::size_t>(s.ActiveRecord)]
                                     : nullptr;
  const bool monteCarlo =
      record != nullptr && record->kind == static_cast<std::int16_t>(WindowKind::MonteCarlo);

  for (int i = 0; i < 2; ++i)
    optSamples_[static_cast<std::size_t>(i)]->setEnabled(s.dialog.samplesEnabled[i]);
  for (int i = 0; i < 3; ++i) {
    optTails_[static_cast<std::size_t>(i)]->setEnabled(s.dialog.tailsEnabled[static_cast<std::size_t>(i)]);
    optProcedure_[static_cast<std::size_t>(i)]->setEnabled(
        s.dialog.procedureEnabled[static_cast<std::size_t>(i)]);
  }
  ChooseButton(optSamples_, s.SampleCount - 1);
  ChooseButton(optTails_, s.TailCount - 1);
  ChooseButton(optProcedure_, s.ProcedureKind);
  ChooseButton(optInterim_, s.InterimCount);
  chkLeftTail_->setChecked(s.RejectInLeftTail != kFalse);
  chkLeftTail_->setVisible(test || s.ProcedureKind == 0);

  lblParameter_->setVisible(!test);
  lstParList_->setVisible(!test);
  fraProcedure_->setVisible(!test);
  // Interim analyses: a test planned by power with one or two tails, or a
  // Monte Carlo window.
  const bool interims = monteCarlo || (PlansByPower(s) && !s.dialog.planByPowerFixed &&
                                                      (s.TailCount == 1 || s.TailCount == 2));
  fraInterim_->setVisible(interims);
  fraSequential_->setVisible(interims && s.InterimCount > 0);
  if (interims && s.InterimCount > 0) fraSequential_->Refresh();
  if (!test) {
    lstParList_->clear();
    for (const std::string& choice : s.dialog.parameterChoices)
      lstParList_->addItem(QString::fromStdString(choice));
    if (s.ParameterChoice >= 0 && s.ParameterChoice < lstParList_->count())
      lstParList_->setCurrentRow(s.ParameterChoice);
  }

  const auto& groups = ParameterGroups();
  for (int k = 0; k < 4; ++k) {
    QGroupBox* frame = fraIntPar_[static_cast<std::size_t>(k)];
    const bool shown = k < s.IntParRowCount;
    frame->setVisible(shown);
    if (!shown) continue;
    const int g = s.IntParRowGroup[static_cast<std::size_t>(k)];
    const ParameterGroup& group = groups[static_cast<std::size_t>(g)];
    frame->setTitle(QString::fromStdString(group.rowLabel));
    auto& buttons = optIntPar_[static_cast<std::size_t>(k)];
    for (int j = 0; j < 3; ++j) {
      QRadioButton* b = buttons[static_cast<std::size_t>(j)];
      b->setText(QString::fromStdString(group.forms[static_cast<std::size_t>(j)]));
      b->setVisible(!group.forms[static_cast<std::size_t>(j)].empty());
    }
    ChooseButton(buttons, s.IntParMode[static_cast<std::size_t>(g)]);
  }
  for (int k = 0; k < 3; ++k) {
    QCheckBox* box = chkCheck_[static_cast<std::size_t>(k)];
    const bool shown = k < s.OptionCount;
    box->setVisible(shown);
    if (!shown) continue;
    const int id = s.OptionId[static_cast<std::size_t>(k)];
    box->setText(QString::fromStdString(OptionCaptions()[static_cast<std::size_t>(id)]));
    box->setChecked(s.optionChecked(id));
    box->setEnabled(s.dialog.optionEnabled[static_cast<std::size_t>(k)]);
  }
  const bool fixed = s.dialog.planByPowerFixed;
  chkPlanByPower_->setVisible(s.dialog.planByPowerOffered);
  chkPlanByPower_->setChecked(fixed || PlansByPower(s));
  chkPlanByPower_->setEnabled(!fixed);
  const bool dropout = OffersExpectedDropout(s) && !monteCarlo;
  lblExpectedDropout_->setVisible(dropout);
  txtExpectedDropout_->setVisible(dropout);
  if (txtExpectedDropout_->text().trimmed().toStdString() != s.planning.ExpectedDropout)
    txtExpectedDropout_->setText(QString::fromStdString(s.planning.ExpectedDropout));
  lblInterchangeable_->setVisible(s.IntParRowCount > 0);
  lnLine_->setVisible(s.IntParRowCount > 0 || s.OptionCount > 0);
  refreshing_ = false;
}

}  // namespace pelmora
