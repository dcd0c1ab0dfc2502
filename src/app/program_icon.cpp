#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace pelmora {

namespace {

QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1F, 0x4E, 0x79));
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.15, s * 0.15);
  QPainterPath curve;
  for (int i = 0; i <= 40; ++i) {
    const double x = -3.0 + 6.0 * i / 40;
    const double y = std::exp(-x * x / 2);
    const QPointF point(s * (0.1 + 0.8 * i / 40), s * (0.82 - 0.62 * y));
    if (i == 0)
      curve.moveTo(point);
    else
      curve.lineTo(point);
  }
  p.setPen(QPen(Qt::white, std::max(1.0, s / 14)));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  p.setPen(QPen(QColor(0xF2, 0xC1, 0x4E), std::max(1.0, s / 16)));
  p.drawLine(QPointF(s * 0.1, s * 0.86), QPointF(s * 0.9, s * 0.86));
  p.drawLine(QPointF(s * 0.68, s * 0.3), QPointF(s * 0.68, s * 0.86));
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Draw(size));
  return icon;
}

}  // namespace pelmora
