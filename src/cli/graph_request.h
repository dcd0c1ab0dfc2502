// What pelmora-cli hands to pelmora-graph, the program that draws --graph: the
// file, the picture's size, the graph's look as a Graph window's record keeps
// it, and the range results.  pelmora-cli itself loads no drawing library.
//
// The request is a text: a first line "pelmora-graph 1", then one item per
// line, "NAME VALUE".  A text is written as its length in bytes, ":" and its
// bytes (so it may hold any character); a number in its shortest round-trip
// form.
//
// pelmora-graph reads the request on its standard input and ends with the
// status pelmora-cli ends with: 0 written, 3 when an axis has no width (the
// Graph window's message on its standard output), 4 when the file cannot be
// written (the reason on its standard output).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "output/table_layout.h"

namespace pelmora::cli {

struct GraphRequest {
  std::string path;
  int width = 0;
  int height = 0;
  int dpi = 96;
  // The record's appearance fields (see GraphAppearanceOf).
  std::array<std::string, 4> graphTexts;
  std::array<std::string, 4> axisTexts;
  std::string extraText;
  std::string fontName;
  std::string fontSize;
  std::int16_t fontBold = 0;
  TableContent content;
};

std::string WriteGraphRequest(const GraphRequest& r);
// nullopt when the text is not a complete request.
std::optional<GraphRequest> ReadGraphRequest(std::string_view text);

// The name of the drawing program.
inline constexpr const char* kGraphProgramName = "pelmora-graph";
// The environment variable that names the drawing program where it does not
// stand beside pelmora-cli.
inline constexpr const char* kGraphProgramVariable = "PELMORA_GRAPH_PROGRAM";

}  // namespace pelmora::cli
