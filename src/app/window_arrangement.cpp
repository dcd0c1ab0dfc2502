#include "app/window_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "widgets/twips.h"

namespace pelmora {

namespace {

// The sizes of a sub-window: what its window would like, and the least at
// which its content can be read, both with the frame.
QSize PreferredSize(const QMdiSubWindow* sub) {
  const QWidget* w = sub->widget();
  return w->sizeHint().expandedTo(w->minimumSizeHint()) + (sub->size() - w->size());
}

QSize UsableSize(const QMdiSubWindow* sub) {
  const QWidget* w = sub->widget();
  return w->minimumSizeHint().expandedTo(QSize(1, 1)) + (sub->size() - w->size());
}

// The windows to arrange: shown, not minimised, in the order they were opened.
std::vector<QMdiSubWindow*> ArrangedWindows(const QMdiArea& mdi) {
  std::vector<QMdiSubWindow*> subs;
  for (QMdiSubWindow* sub : mdi.subWindowList(QMdiArea::CreationOrder))
    if (sub->isVisible() && !sub->isMinimized() && sub->widget() != nullptr) subs.push_back(sub);
  return subs;
}

}  // namespace

void CascadeSubWindows(QMdiArea& mdi, QMdiSubWindow* active) {
  const std::vector<QMdiSubWindow*> subs = ArrangedWindows(mdi);
  if (subs.empty()) return;
  const QSize area = mdi.viewport()->size();
  // Each window one title bar further down and right.
  const int step = std::max(subs.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subs.front()) +
                                subs.front()->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr,
                                                                   subs.front()),
                            TwipsToPixels(350));
  int offset = 0;
  for (QMdiSubWindow* sub : subs) {
    if (sub->isMaximized()) sub->showNormal();
    const QSize usable = UsableSize(sub);
    // Back to the top left when the rest of the area is too small.
    if (area.width() - offset < usable.width() || area.height() - offset < usable.height()) offset = 0;
    const QSize size = PreferredSize(sub).boundedTo(area - QSize(offset, offset)).expandedTo(usable);
    sub->setGeometry(QRect(QPoint(offset, offset), size));
    sub->raise();
    offset += step;
  }
  if (active != nullptr) {
    mdi.setActiveSubWindow(active);
    active->raise();
  }
}

void TileSubWindows(QMdiArea& mdi, QMdiSubWindow* active) {
  const std::vector<QMdiSubWindow*> subs = ArrangedWindows(mdi);
  if (subs.empty()) return;
  const QSize area = mdi.viewport()->size();
  const int n = static_cast<int>(subs.size());
  // The number of columns whose tiles leave every window usable and bring
  // them closest to the size they would like.
  int best = 0;
  double bestScore = -1;
  for (int columns = 1; columns <= n; ++columns) {
    const int rows = (n + columns - 1) / columns;
    const QSize tile(area.width() / columns, area.height() / rows);
    double score = 1;
    for (const QMdiSubWindow* sub : subs) {
      const QSize usable = UsableSize(sub);
      if (usable.width() > tile.width() || usable.height() > tile.height()) {
        score = -1;
        break;
      }
      const QSize preferred = PreferredSize(sub);
      score = std::min({score, static_cast<double>(tile.width()) / preferred.width(),
                        static_cast<double>(tile.height()) / preferred.height()});
    }
    if (score > bestScore) {
      bestScore = score;
      best = columns;
    }
  }
  if (best == 0) {
    CascadeSubWindows(mdi, active);
    return;
  }
  const int rows = (n + best - 1) / best;
  for (int i = 0; i < n; ++i) {
    const int row = i / best;
    const int inRow = std::min(best, n - row * best);  // the last row may hold fewer
    const int column = i % best;
    const int left = area.width() * column / inRow;
    const int right = area.width() * (column + 1) / inRow;
    const int top = area.height() * row / rows;
    const int bottom = area.height() * (row + 1) / rows;
    QMdiSubWindow* sub = subs[static_cast<std::size_t>(i)];
    if (sub->isMaximized()) sub->showNormal();
    sub->setGeometry(left, top, right - left, bottom - top);
  }
  if (active != nullptr) mdi.setActiveSubWindow(active);
}

}  // namespace pelmora
