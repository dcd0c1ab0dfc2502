// A graph written to a file: a PNG picture, an SVG drawing or a PDF page,
// chosen by the file's extension and drawn by PlotXYZ.  The Graph window's
// File menu and pelmora-cli both use it.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <functional>
#include <string>

#include "output/table_layout.h"
#include "views/plot_xyz.h"

namespace pelmora {

enum class GraphFileType { Png, Svg, Pdf, Unknown };

// By the extension, in any case: ".png", ".svg", ".pdf".
GraphFileType GraphFileTypeOf(const std::string& path);

// True when this build can write the type (SVG needs Qt's SVG module).
bool CanExportGraphAs(GraphFileType type);

// The graph on a white picture of `size` pixels at `dpi` dots per inch.
QImage RenderGraph(const TableContent& c, const GraphAppearance& a, QSize size, int dpi = 96);

// Draws a picture into a target rectangle; on a page (aspect > 0, a
// width-to-height ratio) it keeps that shape.
using DrawPicture = std::function<void(QPainter& painter, const QRectF& target, double aspect)>;

// Writes what `draw` draws to `path` as ExportGraph writes a graph, the
// document titled `title`.
bool ExportPicture(const std::string& path, const std::string& title, const DrawPicture& draw, QSize size,
                   std::string& error, int dpi = 96);

// Writes the graph to `path`: PNG and SVG at `size` pixels, PDF as one A4
// landscape page on which the graph keeps the shape of `size`; a PNG is drawn
// to `dpi` dots per inch and records it.  On failure `error` says why and
// nothing is left at `path` from this call.
bool ExportGraph(const std::string& path, const TableContent& c, const GraphAppearance& a, QSize size,
                 std::string& error, int dpi = 96);

}  // namespace pelmora
