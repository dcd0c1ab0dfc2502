#include "app/grid_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "widgets/twips.h"
#include "format/number_entry.h"
#include "session/user_interface.h"

namespace pelmora {

GridDialog::GridDialog(GridEditing& editing, UserInterface& ui, QWidget* parent)
    : QDialog(parent), editing_(editing), ui_(ui) {
  setObjectName(QStringLiteral("frmGridTable"));
  const GridTable& g = editing_.table();
  setWindowTitle(QString::fromStdString(g.title));
  setFixedSize(TwipsToPixels(g.Width()), TwipsToPixels(g.Height()));

  txtText_ = new QLineEdit(this);
  txtText_->setObjectName(QStringLiteral("txtText"));
  txtText_->installEventFilter(this);
  connect(txtText_, &QLineEdit::textEdited, this, &GridDialog::TextEdited);

  cmdOK_ = new QPushButton(QStringLiteral("&OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  cmdOK_->setAutoDefault(false);
  cmdCancel_->setAutoDefault(false);
  const int buttonTop = TwipsToPixels(kGridTop + g.rows * g.rowHeight) + 12;
  const int buttonWidth = 90;
  const int right = width() - 10;
  cmdCancel_->setGeometry(right - buttonWidth, buttonTop, buttonWidth, 26);
  cmdOK_->setGeometry(right - 2 * buttonWidth - 8, buttonTop, buttonWidth, 26);
  connect(cmdOK_, &QPushButton::clicked, this, [this] {
    closing_ = true;
    editing_.Ok(Typed());
    accept();
  });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] {
    closing_ = true;
    editing_.Cancel(Typed());
    QDialog::reject();
  });
  PlaceEntryBox();
}

std::string GridDialog::Typed() const { return txtText_->text().toStdString(); }

QRect GridDialog::CellRect(int row, int column) const {
  const GridTable& g = editing_.table();
  return QRect(TwipsToPixels(kGridLeft + (column - 1) * g.columnWidth),
               TwipsToPixels(kGridTop + (row - 1) * g.rowHeight), TwipsToPixels(g.columnWidth),
               TwipsToPixels(g.rowHeight));
}

void GridDialog::PlaceEntryBox() {
  const GridTable& g = editing_.table();
  txtText_->setGeometry(CellRect(g.row, g.column).adjusted(1, 1, 0, 0));
  txtText_->setText(QString::fromStdString(editing_.CurrentText()));
  txtText_->setFocus();
  txtText_->selectAll();
  update();
}

void GridDialog::TextEdited() {
  std::string text = Typed();
  bool corrected = false;
  while (!CheckDigits(text, ui_)) corrected = true;
  if (corrected) txtText_->setText(QString::fromStdString(text));
}

bool GridDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtText_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    int code = 0;
    if (key == Qt::Key_Left) code = kGridKeyLeft;
    if (key == Qt::Key_Up) code = kGridKeyUp;
    if (key == Qt::Key_Right) code = kGridKeyRight;
    if (key == Qt::Key_Down) code = kGridKeyDown;
    if (code != 0) {
      if (editing_.Key(code, Typed())) PlaceEntryBox();
      return true;
    }
  }
  if (watched == txtText_ && event->type() == QEvent::FocusIn)
    QTimer::singleShot(0, txtText_, &QLineEdit::selectAll);
  return QDialog::eventFilter(watched, event);
}

void GridDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (editing_.Click(PixelsToTwips(p.x()), PixelsToTwips(p.y()), Typed())) PlaceEntryBox();
  QDialog::mousePressEvent(event);
}

void GridDialog::reject() {
  // Escape or the window's close button: as Cancel.
  if (!closing_) cmdCancel_->click();
}

void GridDialog::paintEvent(QPaintEvent*) {
  const GridTable& g = editing_.table();
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const QRect cells(CellRect(1, 1).topLeft(), CellRect(g.rows, g.columns).bottomRight());
  p.fillRect(cells, palette().color(QPalette::Base));
  p.setPen(palette().color(QPalette::Text));
  // Headings above the columns, the caption above them.
  const int headingHeight = TwipsToPixels(g.rowHeight);
  if (!g.headingCaption.empty())
    p.drawText(QRect(cells.left(), cells.top() - 2 * headingHeight, cells.width(), headingHeight),
               Qt::AlignCenter, QString::fromStdString(g.headingCaption));
  for (int c = 1; c <= g.columns; ++c) {
    const QRect r = CellRect(1, c);
    p.drawText(QRect(r.left(), r.top() - headingHeight, r.width(), headingHeight), Qt::AlignCenter,
               QString::fromStdString(g.headings[static_cast<std::size_t>(c - 1)]));
  }
  // Row labels left of the rows; the side label one character under the other.
  const auto labels = g.RowLabelWords();
  for (int r = 1; r <= g.rows && r <= static_cast<int>(labels.size()); ++r) {
    const QRect cell = CellRect(r, 1);
    p.drawText(QRect(0, cell.top(), cell.left() - 6, cell.height()), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(labels[static_cast<std::size_t>(r - 1)]));
  }
  const QString side = QString::fromStdString(g.sideLabel);
  const int lineHeight = fontMetrics().height();
  for (int i = 0; i < side.size(); ++i)
    p.drawText(QRect(4, cells.top() + i * lineHeight, 12, lineHeight), Qt::AlignCenter, side.mid(i, 1));
  // The cells' texts and the grid lines.
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c <= g.columns; ++c)
      p.drawText(CellRect(r, c).adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromStdString(g.cell(r, c)));
  p.setPen(palette().color(QPalette::Mid));
  for (int r = 1; r <= g.rows + 1; ++r) {
    const int y = TwipsToPixels(kGridTop + (r - 1) * g.rowHeight);
    p.drawLine(cells.left(), y, cells.right() + 1, y);
  }
  for (int c = 1; c <= g.columns + 1; ++c) {
    const int x = TwipsToPixels(kGridLeft + (c - 1) * g.columnWidth);
    p.drawLine(x, cells.top(), x, cells.bottom() + 1);
  }
}

}  // namespace pelmora
