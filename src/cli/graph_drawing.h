// The graph of --graph, drawn into a PNG, SVG or PDF file by the program
// pelmora-graph, which pelmora-cli runs for it: the one named by the
// environment variable PELMORA_GRAPH_PROGRAM, or else the one beside
// pelmora-cli.  Builds without Qt have no such program and cannot draw.
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
