// The output preview of a Calculation window ("Output"): the output as it is
// copied and printed, in the output font, with Copy, Print, Edit Output and
// Cancel.
#pragma once

#include <QDialog>
#include <functional>

#include "views/result_output.h"

class QPushButton;
class QScrollArea;

namespace pelmora {

class DialogPlace;

class OutputDialog : public QDialog {
  Q_OBJECT
 public:
  // `print` prints the window's result (the main window shows the print
  // dialog).
  OutputDialog(Session& s, ResultWindow& window, std::function<void()> print, QWidget* parent = nullptr);

  // Writes the preview again in the output font.
  void WriteOutput();

  QWidget* picture() const { return picOutput_; }
  const MeasuredOutput& output() const { return output_; }
  QPushButton* copyButton() const { return cmdCopyOutput_; }
  QPushButton* printButton() const { return cmdPrintOutput_; }
  QPushButton* editButton() const { return cmdEditOutput_; }
  QPushButton* cancelButton() const { return cmdCancel_; }

 signals:
  // The output was copied; the text confirms it.
  void copied(const QString& confirmation);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Copy();
  void EditOutput();

  Session& s_;
  ResultWindow& window_;
  std::function<void()> print_;
  MeasuredOutput output_;
  QScrollArea* area_;
  QWidget* picOutput_;
  QPushButton* cmdCopyOutput_;
  QPushButton* cmdPrintOutput_;
  QPushButton* cmdEditOutput_;
  QPushButton* cmdCancel_;
  DialogPlace* place_;
};

}  // namespace pelmora
