#include "app/picture_size_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace pelmora {

namespace {

constexpr int kLeastSide = 100;
constexpr int kGreatestSide = 10000;

QSpinBox* NewBox(const char* name, int least, int greatest, int value, const char* suffix, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(least, greatest);
  box->setValue(value);
  box->setSuffix(QString::fromLatin1(suffix));
  return box;
}

}  // namespace

PictureSizeDialog::PictureSizeDialog(QSize size, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmPictureSize"));
  setWindowTitle(QStringLiteral("Picture Size"));
  size = size.expandedTo(QSize(kLeastSide, kLeastSide));
  aspect_ = static_cast<double>(size.height()) / size.width();
  width_ = NewBox("txtWidth", kLeastSide, kGreatestSide, size.width(), " px", this);
  height_ = NewBox("txtHeight", kLeastSide, kGreatestSide, size.height(), " px", this);
  dpi_ = NewBox("txtDpi", 50, 1200, 96, " dpi", this);
  connect(width_, &QSpinBox::valueChanged, this, &PictureSizeDialog::WidthChanged);
  pageWidth_ = new QPushButton(QStringLiteral("&Page Width at 300 dpi"), this);
  pageWidth_->setObjectName(QStringLiteral("cmdPageWidth"));
  pageWidth_->setAutoDefault(false);
  connect(pageWidth_, &QPushButton::clicked, this, [this] {
    dpi_->setValue(kPrintDpi);
    width_->setValue(static_cast<int>(std::lround(kPageWidthInches * kPrintDpi)));
  });

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Width:"), width_);
  form->addRow(QStringLiteral("&Height:"), height_);
  form->addRow(QStringLiteral("&Resolution:"), dpi_);
  form->addRow(QString(), pageWidth_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void PictureSizeDialog::WidthChanged(int width) {
  const QSignalBlocker quiet(height_);
  height_->setValue(std::clamp(static_cast<int>(std::lround(width * aspect_)), kLeastSide, kGreatestSide));
}

QSize PictureSizeDialog::pictureSize() const { return {width_->value(), height_->value()}; }

int PictureSizeDialog::dpi() const { return dpi_->value(); }

}  // namespace pelmora
