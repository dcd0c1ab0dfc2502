#include "widgets/dialog_placement.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace pelmora {

namespace {

// The gap between a dialog and the window beside it.
constexpr int kGap = 8;
// Moves this soon after the dialog was shown or placed are the window
// system settling it (adding its frame), not the user.
constexpr qint64 kSettlingMilliseconds = 400;

// The top left that brings a rectangle of `size` at `p` inside `bounds`
// (its top left edge first where it is larger).
QPoint Inside(QPoint p, const QSize& size, const QRect& bounds) {
  p.setX(std::max(bounds.left(), std::min(p.x(), bounds.right() + 1 - size.width())));
  p.setY(std::max(bounds.top(), std::min(p.y(), bounds.bottom() + 1 - size.height())));
  return p;
}

int Overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : common.width() * common.height();
}

// The outer size of a dialog, its frame included once it has one.
QSize OuterSize(const QWidget* dialog) {
  const QSize frame = dialog->frameGeometry().size();
  return frame.isValid() && !frame.isEmpty() && dialog->isVisible() ? frame
                                                                     : dialog->size().expandedTo(dialog->sizeHint());
}

}  // namespace

QPoint PlaceBeside(const QSize& dialog, const QRect& window, const QRect& bounds, const std::vector<QRect>& others) {
  const std::array<QPoint, 4> sides = {QPoint(window.right() + 1 + kGap, window.top()),
                                       QPoint(window.left() - kGap - dialog.width(), window.top()),
                                       QPoint(window.left(), window.bottom() + 1 + kGap),
                                       QPoint(window.left(), window.top() - kGap - dialog.height())};
  // The place beside the window that covers the least of the other dialogs,
  // and of those the nearest to its side's first place: at a side's first
  // place, or moved along the side or away from the window past one of them.
  std::optional<QPoint> best;
  int least = 0;
  int nearest = 0;
  for (std::size_t i = 0; i < sides.size(); ++i) {
    // Along the side the dialog may slide to stay inside.
    QPoint first = sides[i];
    if (i < 2)
      first.setY(Inside(first, dialog, bounds).y());
    else
      first.setX(Inside(first, dialog, bounds).x());
    std::vector<QPoint> places = {first};
    for (const QRect& other : others) {
      const int past[4] = {other.right() + 1 + kGap, other.left() - kGap - dialog.width(),
                           other.bottom() + 1 + kGap, other.top() - kGap - dialog.height()};
      if (i < 2) {
        places.emplace_back(past[i], first.y());
        places.emplace_back(first.x(), past[2]);
        places.emplace_back(first.x(), past[3]);
      } else {
        places.emplace_back(first.x(), past[i]);
        places.emplace_back(past[0], first.y());
        places.emplace_back(past[1], first.y());
      }
    }
    for (const QPoint& p : places) {
      const QRect r(p, dialog);
      if (!bounds.contains(r) || r.intersects(window)) continue;
      int covered = 0;
      for (const QRect& other : others) covered += Overlap(r, other);
      const int distance = (p - first).manhattanLength();
      if (!best || covered < least || (covered == least && distance < nearest)) {
        best = p;
        least = covered;
        nearest = distance;
      }
    }
  }
  if (best) return *best;
  // No side has room: the corner of the bounds that covers least.
  const int right = bounds.right() + 1 - dialog.width();
  const int bottom = bounds.bottom() + 1 - dialog.height();
  QPoint cornerBest;
  int cornerLeast = -1;
  for (const QPoint corner : {QPoint(right, bounds.top()), QPoint(bounds.left(), bounds.top()),
                              QPoint(right, bottom), QPoint(bounds.left(), bottom)}) {
    const QPoint p = Inside(corner, dialog, bounds);
    const int overlap = Overlap(QRect(p, dialog), window);
    if (cornerLeast < 0 || overlap < cornerLeast) {
      cornerLeast = overlap;
      cornerBest = p;
    }
  }
  return cornerBest;
}

QRect ActedOnWindow(const QWidget* owner) {
  const QMdiSubWindow* sub = nullptr;
  for (const QWidget* w = owner; w != nullptr && sub == nullptr; w = w->parentWidget())
    sub = qobject_cast<const QMdiSubWindow*>(w);
  if (sub == nullptr && owner != nullptr)
    if (const auto* area = owner->window()->findChild<QMdiArea*>()) sub = area->activeSubWindow();
  if (sub == nullptr || !sub->isVisible()) return {};
  return QRect(sub->mapToGlobal(QPoint(0, 0)), sub->size());
}

DialogPlace::DialogPlace(QWidget* dialog) : QObject(dialog), dialog_(dialog) { dialog->installEventFilter(this); }

void DialogPlace::MoveTo(QPoint p) {
  placing_ = true;
  dialog_->move(p);
  placing_ = false;
  placed_ = dialog_->pos();
  hasPlace_ = true;
  settling_.start();
}

void DialogPlace::Place(const QRect& window, const QRect& bounds) {
  if (userPlaced_) {
    KeepInside(bounds);
    return;
  }
  std::vector<QRect> others;
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (w != dialog_ && w->isVisible() && w != dialog_->parentWidget() && w->windowType() != Qt::Window &&
        !w->isAncestorOf(dialog_))
      others.push_back(w->frameGeometry());
  MoveTo(PlaceBeside(OuterSize(dialog_), window, bounds, others));
}

void DialogPlace::PlaceFor(const QWidget* owner) {
  const QRect window = ActedOnWindow(owner);
  if (owner != nullptr && !window.isEmpty()) {
    Place(window, owner->window()->geometry());
    return;
  }
  if (userPlaced_) return;
  const QScreen* screen = owner != nullptr ? owner->screen() : dialog_->screen();
  if (screen == nullptr) return;
  QRect frame(QPoint(0, 0), OuterSize(dialog_));
  frame.moveCenter(owner != nullptr && owner->isVisible() ? owner->window()->geometry().center()
                                                           : screen->availableGeometry().center());
  MoveTo(frame.topLeft());
}

void DialogPlace::KeepInside(const QRect& bounds) {
  const QPoint p = Inside(dialog_->pos(), OuterSize(dialog_), bounds);
  if (p == dialog_->pos()) return;
  const bool user = userPlaced_;
  MoveTo(p);
  userPlaced_ = user;
}

bool DialogPlace::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialog_) {
    if (event->type() == QEvent::Show) settling_.start();
    if (event->type() == QEvent::Move && !placing_ && dialog_->isVisible() && hasPlace_ &&
        dialog_->pos() != placed_) {
      if (settling_.isValid() && settling_.elapsed() < kSettlingMilliseconds)
        placed_ = dialog_->pos();
      else
        userPlaced_ = true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pelmora
