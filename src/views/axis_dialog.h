// The axis-parameter dialog of a Table or Graph window: the parameter to
// calculate (y), the one stepped along the x-axis with its range, the third
// one (z) with its values, and the values of all others.  Its OK button runs
// the range calculation; during a long run it becomes Cancel and the dialog
// shows the progress.
#pragma once

#include <QDialog>
#include <optional>
#include <array>
#include <functional>

#include "engine/calculation.h"
#include "engine/dispatch.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmora {

class NumberBox;
class RangeWindow;

inline constexpr int kAxisDialogRows = 10;

class AxisParameterDialog : public QDialog, public RangeProgress {
  Q_OBJECT
 public:
  explicit AxisParameterDialog(Dispatcher& d, QWidget* parent = nullptr);

  // Shows the session's roles, range texts and fixed values.
  void Refresh();
  // The window whose range the OK button calculates.
  void setTargetWindow(std::function<RangeWindow*()> target) { target_ = std::move(target); }
  // The tooltips of the parameters' captions, by list position.
  void setParameterTips(std::function<std::string(int position)> tips) { tips_ = std::move(tips); }
  // The clock of the progress display (seconds); tests pass their own.
  void setClock(std::function<double()> clock) { clock_ = std::move(clock); }

  // OK: starts the range calculation of the target window; while a run
  // shows its progress (the button reads "Cancel"), stops it after the
  // current point.
  void RunRangeCalculation();
  bool running() const { return running_; }
  int helpContext() const;

  QComboBox* roleList(int i) const { return cbYXZPar_[static_cast<std::size_t>(i)]; }
  QLabel* roleLabel(int i) const { return lblYXZParLabel_[static_cast<std::size_t>(i)]; }
  QLineEdit* xMinBox() const;
  QLineEdit* xMaxBox() const;
  QLineEdit* xStepBox() const;
  QLineEdit* zBox() const;
  QLabel* parLabel(int i) const { return lblParLabel_[static_cast<std::size_t>(i)]; }
  QLineEdit* parBox(int i) const;
  QLabel* progressLabel() const { return lblProgress_; }
  QProgressBar* progressBar() const { return pgrProgress_; }
  QPushButton* okButton() const { return cmdOK_; }
  QPushButton* cancelButton() const { return cmdCancel_; }
  // Cancel (not during a run): the roles, ranges and values as they were
  // before the first change since the dialog opened or last calculated;
  // the dialog closes.
  void Cancel();

  // RangeProgress
  void Show(int maximum) override;
  void SetValue(int value) override;
  void Hide() override;
  void ProcessEvents() override;

 signals:
  // A run starts or ends (the main window blocks its menus meanwhile).
  void runningChanged(bool running);
  // A run completed and its window shows the results.
  void calculated(RangeWindow* window);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void hideEvent(QHideEvent* event) override;

 private:
  void RoleChosen(int role, int entry);
  void TakeState();

  Dispatcher& d_;
  std::function<RangeWindow*()> target_;
  std::function<std::string(int)> tips_;
  std::function<double()> clock_;
  bool running_ = false;
  bool refreshing_ = false;
  std::array<QLabel*, 3> lblYXZParLabel_{};
  std::array<QComboBox*, 3> cbYXZPar_{};
  NumberBox* txtXminValue_;
  NumberBox* txtXmaxValue_;
  NumberBox* txtXstepValue_;
  NumberBox* txtZValue_;
  std::array<QLabel*, kAxisDialogRows> lblParLabel_{};
  std::array<NumberBox*, kAxisDialogRows> txtParValue_{};
  std::array<int, kAxisDialogRows> rowPosition_{};
  QLabel* lblProgress_;
  QProgressBar* pgrProgress_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
  std::optional<WindowSettings> before_;
};

}  // namespace pelmora
