// The graph of --graph, drawn into a PNG, SVG or PDF file where the build has
// Qt.  Drawing needs a QGuiApplication: when the process has none, one is
// made for the drawing (on the offscreen platform unless QT_QPA_PLATFORM
// names another) and destroyed afterwards.
#pragma once

#ifdef PELMORA_CLI_GRAPH
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "output/table_layout.h"
#include "session/window_records.h"

namespace pelmora::cli {

// Draws the range results into the file of --graph; returns the exit status.
int DrawGraph(const WindowSettings& look, const Request& r, const TableContent& content, CliUserInterface& ui,
              std::ostream& err);

}  // namespace pelmora::cli
#endif
