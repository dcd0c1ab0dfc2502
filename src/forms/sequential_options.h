// The options of interim analyses in the options dialog, shown beneath the
// interim frame when the interim count is above 0: the "Boundaries" family
// with its parameter where it has one, the "Futility" family ("None" or a
// spending family) with its parameter, "Binding Futility", and the
// information fractions (equally spaced when left empty).  Every change goes
// straight to the session's planning settings.
#pragma once

#include <QWidget>

#include "engine/dispatch.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace pelmora {

class SequentialOptions : public QWidget {
  Q_OBJECT
 public:
  SequentialOptions(Dispatcher& d, QWidget* parent);

  // Shows the session's planning settings.
  void Refresh();

  QComboBox* boundaryBox() const { return cboBoundary_; }
  QLineEdit* boundaryParameterBox() const { return txtBoundaryParameter_; }
  QComboBox* futilityBox() const { return cboFutility_; }
  QLineEdit* futilityParameterBox() const { return txtFutilityParameter_; }
  QCheckBox* bindingBox() const { return chkBinding_; }
  QLineEdit* fractionsBox() const { return txtFractions_; }

 private:
  Dispatcher& d_;
  bool refreshing_ = false;
  QComboBox* cboBoundary_;
  QLabel* lblBoundaryParameter_;
  QLineEdit* txtBoundaryParameter_;
  QComboBox* cboFutility_;
  QLabel* lblFutilityParameter_;
  QLineEdit* txtFutilityParameter_;
  QCheckBox* chkBinding_;
  QLineEdit* txtFractions_;
};

}  // namespace pelmora
