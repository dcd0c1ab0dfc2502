// The grid dialog: the cells of a grid entry drawn as a table, one entry box
// over the current cell, arrow keys and clicks that move it, OK and Cancel.
// What a key or a click does is decided by the grid's editing in the core.
#pragma once

#include <QDialog>

#include "grid/grid_table.h"

class QLineEdit;
class QPushButton;

namespace pelmora {

class UserInterface;

class GridDialog : public QDialog {
  Q_OBJECT
 public:
  GridDialog(GridEditing& editing, UserInterface& ui, QWidget* parent = nullptr);

  QLineEdit* entryBox() const { return txtText_; }
  QPushButton* okButton() const { return cmdOK_; }
  QPushButton* cancelButton() const { return cmdCancel_; }
  // The rectangle of a cell (from 1), in pixels.
  QRect CellRect(int row, int column) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  void PlaceEntryBox();
  void TextEdited();
  std::string Typed() const;

  GridEditing& editing_;
  UserInterface& ui_;
  QLineEdit* txtText_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
  bool closing_ = false;
};

}  // namespace pelmora
