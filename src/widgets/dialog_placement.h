// Where a dialog goes: beside the result window it acts on, not over it, and
// inside the main window; where the user moved it, it stays.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace pelmora {

// The top left corner for a dialog of outer size `dialog` beside `window`
// (right of it, left, below or above), inside `bounds`, covering the least of
// the `others` (the program's other dialogs): where it must, moved along the
// side or away from the window past one of them.  All in global coordinates.
// Where no side has room, the place inside `bounds` that covers the least of
// `window`.
QPoint PlaceBeside(const QSize& dialog, const QRect& window, const QRect& bounds,
                   const std::vector<QRect>& others = {});

// The global rectangle of the result window a dialog of `owner` acts on: the
// result window `owner` lies in, or the active one of the main window
// `owner` lies in; empty when there is none.
QRect ActedOnWindow(const QWidget* owner);

// Keeps the place of one dialog: Place() puts it beside the window it acts
// on until the user moves it; from then on it stays where the user put it
// (only kept inside the main window).
class DialogPlace : public QObject {
  Q_OBJECT
 public:
  explicit DialogPlace(QWidget* dialog);

  // Beside `window` inside `bounds` (global rectangles), unless the user
  // placed the dialog; then only moved back inside `bounds`.
  void Place(const QRect& window, const QRect& bounds);
  // Beside the window `owner` acts on, inside owner's main window; centred
  // on the screen without one.
  void PlaceFor(const QWidget* owner);
  // Moves the dialog back inside `bounds` where it sticks out.
  void KeepInside(const QRect& bounds);
  bool userPlaced() const { return userPlaced_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MoveTo(QPoint p);

  QWidget* dialog_;
  QPoint placed_;
  QElapsedTimer settling_;
  bool placing_ = false;
  bool hasPlace_ = false;
  bool userPlaced_ = false;
};

}  // namespace pelmora
