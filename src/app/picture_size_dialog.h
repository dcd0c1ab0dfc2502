// The size and resolution of a graph exported as a picture: the window's
// size on screen unless the user asks for more, and with one click the
// width of a printed page at 300 dots per inch.
#pragma once

#include <QDialog>
#include <QSize>

class QPushButton;
class QSpinBox;

namespace pelmora {

// An A4 page's width inside margins of 1.5 cm, in inches, and the
// resolution of print.
inline constexpr double kPageWidthInches = 18.0 / 2.54;
inline constexpr int kPrintDpi = 300;

class PictureSizeDialog : public QDialog {
  Q_OBJECT
 public:
  // Starts from `size` pixels at the screen's 96 dots per inch.
  explicit PictureSizeDialog(QSize size, QWidget* parent = nullptr);

  QSize pictureSize() const;
  int dpi() const;

  QSpinBox* widthBox() const { return width_; }
  QSpinBox* heightBox() const { return height_; }
  QSpinBox* dpiBox() const { return dpi_; }
  QPushButton* pageWidthButton() const { return pageWidth_; }

 private:
  // The height follows the width in the shape of the window.
  void WidthChanged(int width);

  double aspect_;
  QSpinBox* width_;
  QSpinBox* height_;
  QSpinBox* dpi_;
  QPushButton* pageWidth_;
};

}  // namespace pelmora
