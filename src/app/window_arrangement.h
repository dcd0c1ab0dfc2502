// Window > Cascade and Tile: the result windows of the area arranged so that
// every window keeps a size at which its content can be read.
#pragma once

class QMdiArea;
class QMdiSubWindow;

namespace pelmora {

// Each window one title bar further down and right, at the size it would
// like within the area (back to the top left when the rest is too small);
// `active` stays in front.
void CascadeSubWindows(QMdiArea& mdi, QMdiSubWindow* active);
// Side by side in the number of columns that leaves every window usable and
// brings them closest to the sizes they would like; Cascade where the tiles
// would be too small.  `active` stays active.
void TileSubWindows(QMdiArea& mdi, QMdiSubWindow* active);

}  // namespace pelmora
