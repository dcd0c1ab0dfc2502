// The about box: the program's name, version and purpose.
#pragma once

#include <QDialog>

namespace pelmora {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace pelmora
