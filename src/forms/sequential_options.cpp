#include "forms/sequential_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "numeric/sequential_families.h"

namespace pelmora {

namespace {

QString Name(sequential::Family f) {
  const std::string_view name = sequential::FamilyName(f);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

void Fill(QComboBox* box, std::span<const sequential::Family> families) {
  for (sequential::Family f : families) box->addItem(Name(f), static_cast<int>(f));
}

// The parameter's caption and range, or hidden for a family without one.
void ShowParameter(QLabel* label, QLineEdit* box, sequential::Family family) {
  const std::optional<sequential::FamilyParameter> p = sequential::ParameterOf(family);
  label->setVisible(p.has_value());
  box->setVisible(p.has_value());
  if (!p) return;
  label->setText(QStringLiteral("%1 (%2 to %3):")
                     .arg(QString::fromUtf8(p->name.data(), static_cast<qsizetype>(p->name.size())))
                     .arg(p->low)
                     .arg(p->high));
  box->setPlaceholderText(QString::number(p->fallback));
}

}  // namespace

SequentialOptions::SequentialOptions(Dispatcher& d, QWidget* parent) : QWidget(parent), d_(d) {
  setObjectName(QStringLiteral("fraSequential"));
  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  cboBoundary_ = new QComboBox(this);
  cboBoundary_->setObjectName(QStringLiteral("cboBoundary"));
  Fill(cboBoundary_, sequential::EfficacyFamilies());
  lblBoundaryParameter_ = new QLabel(this);
  txtBoundaryParameter_ = new QLineEdit(this);
  txtBoundaryParameter_->setObjectName(QStringLiteral("txtBoundaryParameter"));
  cboFutility_ = new QComboBox(this);
  cboFutility_->setObjectName(QStringLiteral("cboFutility"));
  Fill(cboFutility_, sequential::FutilityFamilies());
  lblFutilityParameter_ = new QLabel(this);
  txtFutilityParameter_ = new QLineEdit(this);
  txtFutilityParameter_->setObjectName(QStringLiteral("txtFutilityParameter"));
  chkBinding_ = new QCheckBox(QStringLiteral("&Binding Futility"), this);
  chkBinding_->setObjectName(QStringLiteral("chkBindingFutility"));
  txtFractions_ = new QLineEdit(this);
  txtFractions_->setObjectName(QStringLiteral("txtFractions"));
  txtFractions_->setPlaceholderText(QStringLiteral("equally spaced"));
  form->addRow(QStringLiteral("B&oundaries:"), cboBoundary_);
  form->addRow(lblBoundaryParameter_, txtBoundaryParameter_);
  form->addRow(QStringLiteral("&Futility:"), cboFutility_);
  form->addRow(lblFutilityParameter_, txtFutilityParameter_);
  form->addRow(chkBinding_);
  form->addRow(QStringLiteral("Information &Fractions:"), txtFractions_);

  PlanningSettings& p = d_.session().planning;
  connect(cboBoundary_, &QComboBox::currentIndexChanged, this, [this, &p](int) {
    if (refreshing_) return;
    p.BoundaryFamily = static_cast<std::int16_t>(cboBoundary_->currentData().toInt());
    p.BoundaryParameter.clear();
    Refresh();
  });
  connect(cboFutility_, &QComboBox::currentIndexChanged, this, [this, &p](int) {
    if (refreshing_) return;
    p.FutilityFamily = static_cast<std::int16_t>(cboFutility_->currentData().toInt());
    p.FutilityParameter.clear();
    if (p.FutilityFamily == static_cast<std::int16_t>(sequential::Family::None)) p.BindingFutility = kFalse;
    Refresh();
  });
  connect(txtBoundaryParameter_, &QLineEdit::textEdited, this,
          [&p](const QString& t) { p.BoundaryParameter = t.trimmed().toStdString(); });
  connect(txtFutilityParameter_, &QLineEdit::textEdited, this,
          [&p](const QString& t) { p.FutilityParameter = t.trimmed().toStdString(); });
  connect(txtFractions_, &QLineEdit::textEdited, this,
          [&p](const QString& t) { p.InformationFractions = t.simplified().toStdString(); });
  connect(chkBinding_, &QCheckBox::clicked, this, [&p](bool on) { p.BindingFutility = on ? kTrue : kFalse; });
}

void SequentialOptions::Refresh() {
  refreshing_ = true;
  const PlanningSettings& p = d_.session().planning;
  const sequential::Family efficacy =
      BoundaryFamilyAt(p.BoundaryFamily).value_or(sequential::Family::OBrienFleming);
  const sequential::Family futility = BoundaryFamilyAt(p.FutilityFamily).value_or(sequential::Family::None);
  cboBoundary_->setCurrentIndex(std::max(0, cboBoundary_->findData(static_cast<int>(efficacy))));
  cboFutility_->setCurrentIndex(std::max(0, cboFutility_->findData(static_cast<int>(futility))));
  ShowParameter(lblBoundaryParameter_, txtBoundaryParameter_, efficacy);
  ShowParameter(lblFutilityParameter_, txtFutilityParameter_, futility);
  txtBoundaryParameter_->setText(QString::fromStdString(p.BoundaryParameter));
  txtFutilityParameter_->setText(QString::fromStdString(p.FutilityParameter));
  chkBinding_->setChecked(p.BindingFutility != kFalse);
  chkBinding_->setEnabled(futility != sequential::Family::None);
  txtFractions_->setText(QString::fromStdString(p.InformationFractions));
  refreshing_ = false;
}

}  // namespace pelmora
