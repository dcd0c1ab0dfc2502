#include "session/user_interface.h"

#include "grid/grid_table.h"

namespace pelmora {

void UserInterface::EditGrid(GridEditing& grid) { grid.Cancel(grid.CurrentText()); }

void RecordingUserInterface::EditGrid(GridEditing& grid) {
  ++grids;
  if (gridScript)
    gridScript(grid);
  else
    grid.Cancel(grid.CurrentText());
}

}  // namespace pelmora
