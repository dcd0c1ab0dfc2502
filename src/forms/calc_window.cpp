#include "forms/calc_window.h"

#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QTimer>

#include "app/qt_user_interface.h"
#include "widgets/twips.h"
#include "engine/calculation.h"
#include "engine/power_curve.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "output/sequential_lines.h"
#include "widgets/number_box.h"
#include "engine/window_activation.h"
#include "session/window_records.h"

namespace pelmora {

namespace {

// The window's geometry, in twips.
constexpr int kMargin = 120;
constexpr int kHeadingTop = 90;
constexpr int kHeadingHeight = 480;
constexpr int kFirstRowTop = 660;
constexpr int kRowPitch = 405;
constexpr int kRowHeight = 375;
constexpr int kLabelWidth = 4500;
constexpr int kBoxLeft = kMargin + kLabelWidth + 120;
constexpr int kWindowWidth = 8850;
constexpr int kWindowHeight = 4000;
constexpr int kRemarkHeight = 720;
constexpr int kDesignPowerHeight = 480;
constexpr int kEffectHeight = 240;  // the line of the standardised effect
constexpr int kPowerCurveWidth = 1500;

int RowTop(int row) { return TwipsToPixels(kFirstRowTop + row * kRowPitch); }

}  // namespace

QColor CalcWindow::ValueBoxColor() { return QColor(0xC0, 0xC0, 0xC0); }

CalcWindow::CalcWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : CalcWindow(WindowKind::Calculation, d, tag, host, parent) {}

CalcWindow::CalcWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : ResultWindow(kind, tag, host, parent), d_(d) {
  setObjectName(QStringLiteral("frmCalc"));
  lblHead1_ = new QLabel(this);
  lblHead1_->setObjectName(QStringLiteral("lblHead1"));
  lblHead1_->setWordWrap(true);
  lblHead1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblHead1_->move(TwipsToPixels(kMargin), TwipsToPixels(kHeadingTop));
  lblRemark_ = new QLabel(this);
  lblRemark_->setObjectName(QStringLiteral("lblRemark"));
  lblRemark_->setWordWrap(true);
  lblRemark_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblRemark_->hide();
  lblDesignPower_ = new QLabel(this);
  lblDesignPower_->setObjectName(QStringLiteral("lblDesignPower"));
  lblDesignPower_->setWordWrap(true);
  lblDesignPower_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblDesignPower_->hide();
  lblSequential_ = new QLabel(this);
  lblSequential_->setObjectName(QStringLiteral("lblSequentialDesign"));
  lblSequential_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lblSequential_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblSequential_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblSequential_->hide();
  lblEffect_ = new QLabel(this);
  lblEffect_->setObjectName(QStringLiteral("lblEffect"));
  lblEffect_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblEffect_->hide();
  cmdPowerCurve_ = new QPushButton(QStringLiteral("Power Curve"), this);
  cmdPowerCurve_->setObjectName(QStringLiteral("cmdPowerCurve"));
  cmdPowerCurve_->setAutoDefault(false);
  cmdPowerCurve_->setToolTip(QStringLiteral("A graph of the power against the sample size"));
  cmdPowerCurve_->hide();
  connect(cmdPowerCurve_, &QPushButton::clicked, this, [this] {
    EnsureActive();
    emit powerCurveRequested();
  });
  for (int r = 0; r < kCalculationRows; ++r) {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("cmdParLabel_%1").arg(r));
    button->setGeometry(TwipsToPixels(kMargin), RowTop(r), TwipsToPixels(kLabelWidth),
                        TwipsToPixels(kRowHeight));
    button->setAutoDefault(false);
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, r] { LabelClicked(r); });
    cmdParLabel_[static_cast<std::size_t>(r)] = button;

    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("txtParValue_%1").arg(r));
    box->move(TwipsToPixels(kBoxLeft), RowTop(r));
    box->hide();
    box->installEventFilter(this);
    button->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, r] { ValueEdited(r); });
    connect(box, &QLineEdit::returnPressed, this, [this] { Calculate(); });
    txtParValue_[static_cast<std::size_t>(r)] = box;
    SetBoxColor(r, false);
  }
  fittedSize_ = QSize(TwipsToPixels(kWindowWidth), TwipsToPixels(kWindowHeight));
  resize(fittedSize_);
}

void CalcWindow::resizeEvent(QResizeEvent* event) {
  LayOutControls();
  ResultWindow::resizeEvent(event);
}

void CalcWindow::LayOutControls() {
  const int width = std::max(this->width(), TwipsToPixels(kBoxLeft + 1500));
  const int curveWidth = std::max(TwipsToPixels(kPowerCurveWidth), cmdPowerCurve_->sizeHint().width());
  cmdPowerCurve_->setGeometry(width - TwipsToPixels(kMargin) - curveWidth, TwipsToPixels(kHeadingTop), curveWidth,
                              TwipsToPixels(kRowHeight));
  const int headingRight = cmdPowerCurve_->isHidden() ? width : cmdPowerCurve_->x();
  lblHead1_->resize(headingRight - 2 * TwipsToPixels(kMargin), TwipsToPixels(kHeadingHeight));
  lblRemark_->resize(width - 2 * TwipsToPixels(kMargin), TwipsToPixels(kRemarkHeight));
  lblDesignPower_->resize(width - 2 * TwipsToPixels(kMargin), TwipsToPixels(kDesignPowerHeight));
  lblEffect_->resize(width - 2 * TwipsToPixels(kMargin), TwipsToPixels(kEffectHeight));
  for (QLineEdit* box : txtParValue_)
    box->resize(width - TwipsToPixels(kBoxLeft + kMargin), TwipsToPixels(kRowHeight));
}

QSize CalcWindow::minimumSizeHint() const {
  // A box shows its text and a number of the width results have.
  const QFontMetrics fm = valueBox(0)->fontMetrics();
  const int frame = valueBox(0)->sizeHint().width() - fm.horizontalAdvance(QLatin1Char('x')) * 17;
  int text = fm.horizontalAdvance(QStringLiteral("-0000.00000"));
  int bottom = TwipsToPixels(kFirstRowTop);
  for (int r = 0; r < kCalculationRows; ++r) {
    if (valueBox(r)->isHidden()) continue;
    text = std::max(text, fm.horizontalAdvance(valueBox(r)->text()));
    bottom = RowTop(r) + TwipsToPixels(kRowHeight);
  }
  return {TwipsToPixels(kBoxLeft + kMargin) + text + std::max(frame, 8), bottom + TwipsToPixels(kMargin)};
}

void CalcWindow::SetBoxColor(int row, bool unknown) {
  if (row < 0 || row >= kCalculationRows) return;
  QLineEdit* box = valueBox(row);
  QPalette p = box->palette();
  p.setColor(QPalette::Base, unknown ? palette().color(QPalette::Base) : ValueBoxColor());
  box->setPalette(p);
}

int CalcWindow::UnknownRow() const { return RowOfPosition(d_.session().UnknownPosition); }

void CalcWindow::Fill() {
  const Session& s = d_.session();
  for (int r = 0; r < kCalculationRows; ++r) {
    label(r)->hide();
    valueBox(r)->hide();
  }
  int lastRow = -1;
  for (const CalculationRow& row : CalculationRows(s)) {
    QPushButton* button = label(row.row);
    QLineEdit* box = valueBox(row.row);
    button->setText(QString::fromStdString(row.caption));
    button->setToolTip(QString::fromStdString(host().ParameterTip(row.position)));
    box->setText(QString::fromStdString(row.text));
    box->setCursorPosition(0);
    SetBoxColor(row.row, row.unknown);
    button->show();
    box->show();
    lastRow = std::max(lastRow, row.row);
  }
  lblHead1_->setText(QString::fromStdString(s.Description));
  cmdPowerCurve_->setVisible(OffersPowerCurve(s));
  LayOutControls();
  // The window ends just below the last row in use, or below the remark.
  rowsBottom_ = lastRow < 0 ? TwipsToPixels(kFirstRowTop) : RowTop(lastRow) + TwipsToPixels(kRowHeight);
  ShowRemark(true);
}

void CalcWindow::ShowRemark(bool refit) {
  const Session& s = d_.session();
  const QString remark = QString::fromStdString(s.ResultRemark);
  const int row = UnknownRow();
  for (int r = 0; r < kCalculationRows; ++r) valueBox(r)->setToolTip(r == row ? remark : QString());
  lblRemark_->setText(remark);
  lblRemark_->move(TwipsToPixels(kMargin), rowsBottom_ + TwipsToPixels(kMargin));
  // The window is fitted again only when the remark comes or goes (or the
  // rows changed), so that a size the user chose stays.
  const QSize before = fittedSize_;
  lblRemark_->setVisible(!remark.isEmpty());
  int bottom = rowsBottom_;
  if (!remark.isEmpty()) bottom += TwipsToPixels(kMargin + kRemarkHeight);
  const QString power = QString::fromStdString(DesignPowerLine(s.AchievedPower));
  lblDesignPower_->setText(power);
  lblDesignPower_->move(TwipsToPixels(kMargin), bottom + TwipsToPixels(kMargin));
  lblDesignPower_->setVisible(!power.isEmpty());
  if (!power.isEmpty()) bottom += TwipsToPixels(kMargin + kDesignPowerHeight);
  const QString effect = QString::fromStdString(EffectLine(s.AchievedPower));
  lblEffect_->setText(effect);
  lblEffect_->move(TwipsToPixels(kMargin), bottom);
  lblEffect_->setVisible(!effect.isEmpty());
  if (!effect.isEmpty()) bottom += TwipsToPixels(kEffectHeight);
  QStringList design;
  if (s.AchievedPower.sequential)
    for (const std::string& line : SequentialLines(*s.AchievedPower.sequential))
      design << QString::fromStdString(line);
  lblSequential_->setText(design.join(QLatin1Char('\n')));
  lblSequential_->adjustSize();
  lblSequential_->move(TwipsToPixels(kMargin), bottom + TwipsToPixels(kMargin));
  lblSequential_->setVisible(!design.isEmpty());
  int wide = width();
  if (!design.isEmpty()) {
    bottom += TwipsToPixels(kMargin) + lblSequential_->height();
    wide = std::max(wide, lblSequential_->width() + 2 * TwipsToPixels(kMargin));
  }
  if (const int below = PlaceBelow(bottom + TwipsToPixels(kMargin)); below > 0)
    bottom += TwipsToPixels(kMargin) + below;
  fittedSize_ = QSize(wide, bottom + TwipsToPixels(kMargin));
  if (fittedSize_.height() == before.height() && !refit) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    const int frame = sub->height() - height();
    sub->resize(std::max(sub->width(), fittedSize_.width() + sub->width() - width()), fittedSize_.height() + frame);
  } else {
    resize(fittedSize_);
  }
}

void CalcWindow::ShowUnknownText() {
  const Session& s = d_.session();
  const int row = UnknownRow();
  if (row < 0 || s.LastPosition == 0) return;
  QLineEdit* box = valueBox(row);
  box->setText(QString::fromStdString(s.entryAt(s.UnknownPosition).ParamText));
  box->setCursorPosition(0);
  SetBoxColor(row, true);
}

void CalcWindow::Calculate() {
  EnsureActive();
  if (d_.session().LastPosition == 0) return;
  CalculateSingle(d_);
  ShowUnknownText();
  ShowRemark(false);
}

void CalcWindow::EnsureActive() {
  // Events reach only the window in front, whose record is active; this holds
  // the session to it should any event come first.
  if (d_.session().ActiveRecord != tag() && ActivateWindow(d_, tag())) Fill();
}

void CalcWindow::LabelClicked(int row) {
  EnsureActive();
  Session& s = d_.session();
  if (s.LastPosition == 0 || PositionOfRow(row) > s.LastPosition) return;
  SetBoxColor(UnknownRow(), false);
  MakeUnknown(s, row);
  Calculate();
}

void CalcWindow::ValueEdited(int row) {
  QLineEdit* box = valueBox(row);
  const QString typed = box->text();
  const int cursor = box->cursorPosition();
  EnsureActive();
  if (box->text() != typed) {
    box->setText(typed);
    box->setCursorPosition(cursor);
  }
  Session& s = d_.session();
  NoteValueEdited(s, PositionOfRow(row), CheckTypedNumber(box, s.ui()));
}

void CalcWindow::ValueClicked(int row) {
  EnsureActive();
  Session& s = d_.session();
  if (s.LastPosition == 0 || PositionOfRow(row) > s.LastPosition) return;
  if (!d_.CallOpenGroupGrid(row)) return;
  const Single v = d_.CallApplyGroupGrid();
  if (s.CalcStopped) {
    // A check of the grid failed and said why; the box stays as it was.
    s.CalcStopped = false;
    return;
  }
  const std::string text = FormatPattern(v, "#####0.0#####");
  valueBox(row)->setText(QString::fromStdString(text));
  NoteValueEdited(s, PositionOfRow(row), text);
  // The grid may have set other values too (the sample sizes of the groups).
  for (const CalculationRow& r : CalculationRows(s)) {
    QLineEdit* box = valueBox(r.row);
    if (r.row == row || box->text().toStdString() == r.text) continue;
    box->setText(QString::fromStdString(r.text));
    NoteValueEdited(s, r.position, r.text);
  }
}

int CalcWindow::RowOfAccelerator(const QKeyEvent& key) const {
  if (key.modifiers() != Qt::AltModifier) return -1;
  const QKeySequence typed(Qt::ALT | key.key());
  for (int r = 0; r < kCalculationRows; ++r)
    if (!label(r)->isHidden() && QKeySequence::mnemonic(label(r)->text()) == typed) return r;
  return -1;
}

bool CalcWindow::eventFilter(QObject* watched, QEvent* event) {
  // The letter of a caption takes the keyboard to its value box, before the
  // menu bar's letters: the window claims the key from the shortcuts.
  if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && watched->isWidgetType() &&
      isAncestorOf(static_cast<QWidget*>(watched))) {
    const int row = RowOfAccelerator(*static_cast<QKeyEvent*>(event));
    if (row >= 0) {
      event->accept();
      if (event->type() == QEvent::KeyPress) valueBox(row)->setFocus(Qt::ShortcutFocusReason);
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    for (int r = 0; r < kCalculationRows; ++r)
      if (watched == valueBox(r)) {
        // After the click is done, so that a grid dialog opens cleanly.
        QTimer::singleShot(0, this, [this, r] { ValueClicked(r); });
      }
  }
  if (event->type() == QEvent::FocusIn) {
    for (int r = 0; r < kCalculationRows; ++r) {
      if (watched != valueBox(r)) continue;
      SetBoxColor(UnknownRow(), false);
      QTimer::singleShot(0, valueBox(r), &QLineEdit::selectAll);
    }
  }
  return ResultWindow::eventFilter(watched, event);
}

}  // namespace pelmora
