#include "views/range_window.h"

#include <QVBoxLayout>

#include "app/twips.h"

namespace pelmora {

RangeWindow::RangeWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : ResultWindow(kind, tag, host, parent), d_(d) {
  setObjectName(kind == WindowKind::Table ? QStringLiteral("frmTable") : QStringLiteral("frmGraph"));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  heading_ = new QLabel(this);
  heading_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addStretch();
  resize(TwipsToPixels(8850), TwipsToPixels(5000));
}

void RangeWindow::Fill() { heading_->setText(QString::fromStdString(d_.session().Description)); }

}  // namespace pelmora
