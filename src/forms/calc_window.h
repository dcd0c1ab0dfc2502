// The Calculation window: one row per listed parameter, a caption button and
// a value box each.  Clicking a caption makes that parameter the unknown and
// solves for it; the unknown's box is white, the others grey.
#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "widgets/result_window.h"
#include "session/calculation_rows.h"
#include "engine/dispatch.h"

namespace pelmora {

class CalcWindow : public ResultWindow {
  Q_OBJECT
 public:
  CalcWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);

  // Captions, value texts and the description of the session's list; the
  // height fits the rows in use.
  void Fill() override;
  // Solves for the unknown and shows the result in its box.
  virtual void Calculate();

  QSize sizeHint() const override { return fittedSize_; }
  // Every row in use, the value boxes wide enough for their texts.
  QSize minimumSizeHint() const override;

  QPushButton* label(int row) const { return cmdParLabel_[static_cast<std::size_t>(row)]; }
  QLineEdit* valueBox(int row) const { return txtParValue_[static_cast<std::size_t>(row)]; }
  QLabel* heading() const { return lblHead1_; }
  // Under the rows: why the result is "-", or how it was found.
  QLabel* remark() const { return lblRemark_; }
  // Under the remark: the power of the solved design (read-only).
  QLabel* designPower() const { return lblDesignPower_; }
  // Under the power: the group-sequential design of interim analyses.
  QLabel* sequentialDesign() const { return lblSequential_; }
  // The standardised effect of the design, beneath its power.
  QLabel* effect() const { return lblEffect_; }

  // Opens the power curve of the window's test.
  QPushButton* powerCurveButton() const { return cmdPowerCurve_; }

  // The background of the value boxes that are not the unknown.
  static QColor ValueBoxColor();

 signals:
  void powerCurveRequested();

 protected:
  // A window of another kind built on the Calculation window's rows.
  CalcWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // What stands beneath the rows and their lines: placed with its top at
  // `top` (pixels), it returns its height (none here).
  virtual int PlaceBelow(int top) {
    (void)top;
    return 0;
  }
  Dispatcher& dispatcher() const { return d_; }
  // Fits the window to its rows, their lines and what stands below them.
  void Refit() { ShowRemark(true); }
  // Holds the session to this window's record.
  void EnsureActive();

 private:
  // The widths of the heading, the lines under the rows and the boxes.
  void LayOutControls();
  void LabelClicked(int row);
  void ValueEdited(int row);
  // A click in a value box: the grid of a group-wise parameter, if any.
  void ValueClicked(int row);
  void SetBoxColor(int row, bool unknown);
  void ShowUnknownText();
  // The remark under the rows and as the tip of the unknown's box, and the
  // power of the design under it; the window fits the rows and these lines
  // when `refit` or when a line came or went.
  void ShowRemark(bool refit);
  int UnknownRow() const;
  // The row whose caption's letter an Alt key is, or -1.
  int RowOfAccelerator(const QKeyEvent& key) const;

  Dispatcher& d_;
  QLabel* lblHead1_;
  QLabel* lblRemark_;
  QLabel* lblDesignPower_;
  QLabel* lblSequential_;
  QLabel* lblEffect_;
  QPushButton* cmdPowerCurve_;
  int rowsBottom_ = 0;
  std::array<QPushButton*, kCalculationRows> cmdParLabel_{};
  std::array<QLineEdit*, kCalculationRows> txtParValue_{};
  QSize fittedSize_;
};

}  // namespace pelmora
