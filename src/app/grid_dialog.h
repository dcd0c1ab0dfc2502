// The grid dialog: the cells of a grid entry drawn as a table, one entry box
// over the current cell, arrow keys and clicks that move it, OK and Cancel.
// What a key or a click does is decided by the grid's editing in the core.
// The dialog is laid out from its content in its own font: every label whole,
// the vertical label inside the dialog, at any font size.
#pragma once

#include <QDialog>

#include "grid/grid_table.h"

class QLineEdit;
class QPushButton;

namespace pelmora {

class DialogPlace;

class UserInterface;

class GridDialog : public QDialog {
  Q_OBJECT
 public:
  GridDialog(GridEditing& editing, UserInterface& ui, QWidget* parent = nullptr);

  QLineEdit* entryBox() const { return txtText_; }
  QPushButton* okButton() const { return cmdOK_; }
  QPushButton* cancelButton() const { return cmdCancel_; }
  // Where the parts are drawn, in pixels: a cell (rows and columns from 1),
  // the label of a row, the heading of a column, the caption above the
  // headings and the vertical label (all its characters).
  QRect CellRect(int row, int column) const;
  QRect RowLabelRect(int row) const;
  QRect HeadingRect(int column) const;
  QRect HeadingCaptionRect() const;
  QRect SideLabelRect() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override;

 private:
  // Measures the labels and cells in the dialog's font and sizes it.
  void Layout();
  void PlaceEntryBox();
  void TextEdited();
  void Ok();
  std::string Typed() const;

  GridEditing& editing_;
  UserInterface& ui_;
  QLineEdit* txtText_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
  DialogPlace* place_;
  bool closing_ = false;
  // The geometry Layout found.
  int left_ = 0, top_ = 0, cellWidth_ = 0, rowHeight_ = 0;
  int sideWidth_ = 0, headingHeight_ = 0, lineHeight_ = 0, margin_ = 0;
};

}  // namespace pelmora
