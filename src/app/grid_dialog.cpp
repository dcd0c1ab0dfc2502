#include "app/grid_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "widgets/dialog_placement.h"
#include "widgets/twips.h"
#include "format/number_entry.h"
#include "session/user_interface.h"
#include "session/typed_text.h"

namespace pelmora {

GridDialog::GridDialog(GridEditing& editing, UserInterface& ui, QWidget* parent)
    : QDialog(parent), editing_(editing), ui_(ui) {
  setObjectName(QStringLiteral("frmGridTable"));
  place_ = new DialogPlace(this);
  setWindowTitle(QString::fromStdString(editing_.table().title));

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
  connect(cmdOK_, &QPushButton::clicked, this, &GridDialog::Ok);
  connect(cmdCancel_, &QPushButton::clicked, this, [this] {
    closing_ = true;
    editing_.Cancel(Typed());
    QDialog::reject();
  });
  Layout();
  PlaceEntryBox();
}

void GridDialog::Layout() {
  const GridTable& g = editing_.table();
  const QFontMetrics fm = fontMetrics();
  lineHeight_ = fm.height();
  margin_ = std::max(8, lineHeight_ / 2);
  const int padding = std::max(6, fm.averageCharWidth());
  const QString side = QString::fromStdString(g.sideLabel);
  sideWidth_ = 0;
  for (const QChar c : side) sideWidth_ = std::max(sideWidth_, fm.horizontalAdvance(c) + padding);
  int labelWidth = 0;
  for (const std::string& word : g.RowLabelWords())
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(QString::fromStdString(word)) + 2 * padding);
  int headingWidth = 0;
  bool headings = false;
  for (const std::string& h : g.headings) {
    headings = headings || !h.empty();
    headingWidth = std::max(headingWidth, fm.horizontalAdvance(QString::fromStdString(h)));
  }
  const int captionHeight = g.headingCaption.empty() ? 0 : lineHeight_ + padding / 2;
  headingHeight_ = headings ? lineHeight_ + padding / 2 : 0;
  left_ = margin_ + sideWidth_ + labelWidth;
  top_ = margin_ + captionHeight + headingHeight_;
  cellWidth_ = std::max({TwipsToPixels(g.columnWidth), headingWidth + 2 * padding,
                         fm.horizontalAdvance(QStringLiteral("-00000.0000")) + 2 * padding});
  rowHeight_ = std::max({TwipsToPixels(g.rowHeight), txtText_->sizeHint().height() + 2, lineHeight_ + padding});

  const int content = std::max(g.rows * rowHeight_, static_cast<int>(side.size()) * lineHeight_);
  const int buttonWidth = std::max({cmdOK_->sizeHint().width(), cmdCancel_->sizeHint().width(), 6 * padding});
  const int buttonHeight = std::max(cmdOK_->sizeHint().height(), cmdCancel_->sizeHint().height());
  const QRect caption = HeadingCaptionRect();
  const int width = std::max({left_ + g.columns * cellWidth_ + margin_, 2 * margin_ + 2 * buttonWidth + padding,
                              caption.right() + 1 + margin_});
  const int buttonTop = top_ + content + margin_;
  setFixedSize(width, buttonTop + buttonHeight + margin_);
  cmdCancel_->setGeometry(width - margin_ - buttonWidth, buttonTop, buttonWidth, buttonHeight);
  cmdOK_->setGeometry(cmdCancel_->x() - padding - buttonWidth, buttonTop, buttonWidth, buttonHeight);
}

std::string GridDialog::Typed() const { return txtText_->text().toStdString(); }

QRect GridDialog::CellRect(int row, int column) const {
  return QRect(left_ + (column - 1) * cellWidth_, top_ + (row - 1) * rowHeight_, cellWidth_, rowHeight_);
}

QRect GridDialog::RowLabelRect(int row) const {
  const QRect cell = CellRect(row, 1);
  const int start = margin_ + sideWidth_;
  return QRect(start, cell.top(), cell.left() - start, cell.height());
}

QRect GridDialog::HeadingRect(int column) const {
  const QRect cell = CellRect(1, column);
  return QRect(cell.left(), top_ - headingHeight_, cell.width(), headingHeight_);
}

QRect GridDialog::HeadingCaptionRect() const {
  const GridTable& g = editing_.table();
  if (g.headingCaption.empty()) return QRect(left_, margin_, 0, 0);
  const int cells = g.columns * cellWidth_;
  const int text = fontMetrics().horizontalAdvance(QString::fromStdString(g.headingCaption));
  const int width = std::max(cells, text);
  // Centred over the cells, but never left of the margin.
  const int x = std::max(margin_, left_ + (cells - width) / 2);
  return QRect(x, margin_, width, lineHeight_);
}

QRect GridDialog::SideLabelRect() const {
  const auto characters = static_cast<int>(QString::fromStdString(editing_.table().sideLabel).size());
  return QRect(margin_, top_, sideWidth_, characters * lineHeight_);
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

void GridDialog::Ok() {
  closing_ = true;
  editing_.Ok(Typed());
  accept();
}

bool GridDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtText_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Ok();
      return true;
    }
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

void GridDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    Layout();
    PlaceEntryBox();
  }
}

void GridDialog::mousePressEvent(QMouseEvent* event) {
  const GridTable& g = editing_.table();
  const QPoint p = event->position().toPoint();
  const QRect cells(CellRect(1, 1).topLeft(), CellRect(g.rows, g.columns).bottomRight());
  if (cells.contains(p) &&
      editing_.MoveTo((p.y() - top_) / rowHeight_ + 1, (p.x() - left_) / cellWidth_ + 1, Typed()))
    PlaceEntryBox();
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
  p.setPen(palette().color(QPalette::WindowText));
  if (!g.headingCaption.empty())
    p.drawText(HeadingCaptionRect(), Qt::AlignCenter, QString::fromStdString(g.headingCaption));
  for (int c = 1; c <= g.columns && c <= static_cast<int>(g.headings.size()); ++c)
    p.drawText(HeadingRect(c), Qt::AlignHCenter | Qt::AlignBottom,
               QString::fromStdString(g.headings[static_cast<std::size_t>(c - 1)]));
  // Row labels left of the rows; the side label one character under the other.
  const auto labels = g.RowLabelWords();
  for (int r = 1; r <= g.rows && r <= static_cast<int>(labels.size()); ++r)
    p.drawText(RowLabelRect(r).adjusted(0, 0, -fontMetrics().averageCharWidth(), 0),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(labels[static_cast<std::size_t>(r - 1)]));
  const QString side = QString::fromStdString(g.sideLabel);
  const QRect sideRect = SideLabelRect();
  for (int i = 0; i < side.size(); ++i)
    p.drawText(QRect(sideRect.left(), sideRect.top() + i * lineHeight_, sideRect.width(), lineHeight_),
               Qt::AlignCenter, side.mid(i, 1));
  // The cells' texts and the grid lines.
  p.setPen(palette().color(QPalette::Text));
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c <= g.columns; ++c)
      p.drawText(CellRect(r, c).adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromStdString(g.cell(r, c)));
  p.setPen(palette().color(QPalette::Mid));
  for (int r = 1; r <= g.rows + 1; ++r) {
    const int y = top_ + (r - 1) * rowHeight_;
    p.drawLine(cells.left(), y, cells.right() + 1, y);
  }
  for (int c = 1; c <= g.columns + 1; ++c) {
    const int x = left_ + (c - 1) * cellWidth_;
    p.drawLine(x, cells.top(), x, cells.bottom() + 1);
  }
}

void GridDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Beside the window it acts on, not over it.
  if (!event->spontaneous()) place_->PlaceFor(parentWidget());
}

}  // namespace pelmora
