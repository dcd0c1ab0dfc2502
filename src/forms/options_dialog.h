// The options dialog: the kind of procedure, samples, tails, the studied
// parameter of a distribution, the forms of the interchangeable parameters and
// the procedure's own options.  Every click goes to the session through the
// dispatcher and the dialog is shown again from the session, so it owns no
// state; OK hands over to the main window, which applies the options to the
// active result window.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "engine/dispatch.h"
#include "session/session.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pelmora {

class SequentialOptions;

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit OptionsDialog(Dispatcher& d, QWidget* parent = nullptr);

  // Shows the session's selection and options: the offered frames, rows and
  // check boxes, their captions and states; hidden controls take no space.
  void Refresh();
  int helpContext() const;

  QGroupBox* procedureFrame() const { return fraProcedure_; }
  QGroupBox* samplesFrame() const { return fraSamples_; }
  QGroupBox* tailsFrame() const { return fraTails_; }
  QGroupBox* interimFrame() const { return fraInterim_; }
  // Inside the interim frame, with interim analyses: their boundaries.
  SequentialOptions* sequentialOptions() const { return fraSequential_; }
  QRadioButton* procedureButton(int i) const { return optProcedure_[static_cast<std::size_t>(i)]; }
  QRadioButton* samplesButton(int i) const { return optSamples_[static_cast<std::size_t>(i)]; }
  QRadioButton* tailsButton(int i) const { return optTails_[static_cast<std::size_t>(i)]; }
  QCheckBox* leftTailBox() const { return chkLeftTail_; }
  QListWidget* parameterList() const { return lstParList_; }
  QLabel* interchangeableLabel() const { return lblInterchangeable_; }
  QGroupBox* rowFrame(int k) const { return fraIntPar_[static_cast<std::size_t>(k)]; }
  QRadioButton* rowButton(int k, int form) const {
    return optIntPar_[static_cast<std::size_t>(k)][static_cast<std::size_t>(form)];
  }
  QCheckBox* optionBox(int k) const { return chkCheck_[static_cast<std::size_t>(k)]; }
  // "Plan by &Power": shown for a test; ticked and disabled where the
  // procedure's criterion already is its power.
  QCheckBox* planByPowerBox() const { return chkPlanByPower_; }
  // "Expected &Dropout:", the proportion of subjects expected to drop out
  // (0 to 0.9): shown for a test planned by power and for an interval.
  QLineEdit* dropoutBox() const { return txtExpectedDropout_; }
  QFrame* separator() const { return lnLine_; }
  QPushButton* okButton() const { return cmdOK_; }
  QPushButton* cancelButton() const { return cmdCancel_; }

  // Notes the active window's state before the first change of the
  // selection since it was last confirmed, for Cancel (a choice from the
  // menus counts as a change).
  void TakeState();
  // Cancel: the active window's selection, options and values as they were
  // before the first change; the dialog closes.
  void Cancel();
  // Another window came to the front: there is nothing to put back.
  void ForgetState() { before_.reset(); }

 signals:
  // OK was clicked: the options are to be applied to the active window.
  void applied();
  // Cancel put back a state (`filled`: a selection to show again).
  void cancelled(bool filled);

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void ProcedureClicked(int kind);
  void RowFormClicked(int row, int form);
  void OptionClicked(int box);

  Dispatcher& d_;
  bool refreshing_ = false;

  QGroupBox* fraProcedure_;
  std::array<QRadioButton*, 3> optProcedure_{};
  QGroupBox* fraSamples_;
  std::array<QRadioButton*, 2> optSamples_{};
  QGroupBox* fraTails_;
  std::array<QRadioButton*, 3> optTails_{};
  QCheckBox* chkLeftTail_;
  QGroupBox* fraInterim_;
  std::array<QRadioButton*, 6> optInterim_{};
  SequentialOptions* fraSequential_;
  QLabel* lblParameter_;
  QListWidget* lstParList_;
  QFrame* lnLine_;
  QLabel* lblInterchangeable_;
  std::array<QGroupBox*, 4> fraIntPar_{};
  std::array<std::array<QRadioButton*, 3>, 4> optIntPar_{};
  std::array<QCheckBox*, 3> chkCheck_{};
  QCheckBox* chkPlanByPower_;
  QLabel* lblExpectedDropout_;
  QLineEdit* txtExpectedDropout_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
  std::optional<WindowSettings> before_;
};

}  // namespace pelmora
