// The splash window shown at start-up: the program's name and version and a
// hint where to begin.  A key press or a click closes it, as does any menu
// choice.
#pragma once

#include <QFrame>

namespace pelmora {

// "Version " and major, minor and revision joined by ".".
QString VersionText();

class SplashWindow : public QFrame {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);
  // Centres the window over `owner`.
  void CentreOver(const QWidget& owner);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace pelmora
