#include "views/graph_export.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "output/table_export.h"

#ifdef PELMORA_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace pelmora {

namespace {

std::string LowerExtension(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return ext;
}

}  // namespace

GraphFileType GraphFileTypeOf(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == "png") return GraphFileType::Png;
  if (ext == "svg") return GraphFileType::Svg;
  if (ext == "pdf") return GraphFileType::Pdf;
  return GraphFileType::Unknown;
}

bool CanExportGraphAs(GraphFileType type) {
#ifdef PELMORA_HAVE_SVG
  return type != GraphFileType::Unknown;
#else
  return type == GraphFileType::Png || type == GraphFileType::Pdf;
#endif
}

namespace {

QImage RenderPicture(const DrawPicture& draw, QSize size, int dpi) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  // The fonts (in points) and the lines are drawn to the resolution, which
  // the picture records.
  const int dotsPerMetre = static_cast<int>(std::lround(std::max(dpi, 1) / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  draw(painter, QRectF(image.rect()), 0);
  return image;
}

DrawPicture GraphDrawing(const TableContent& c, const GraphAppearance& a) {
  return [&c, &a](QPainter& painter, const QRectF& target, double aspect) {
    PlotXYZ(painter, PlotTarget{target, aspect}, a, c);
  };
}

}  // namespace

QImage RenderGraph(const TableContent& c, const GraphAppearance& a, QSize size, int dpi) {
  return RenderPicture(GraphDrawing(c, a), size, dpi);
}

bool ExportGraph(const std::string& path, const TableContent& c, const GraphAppearance& a, QSize size,
                 std::string& error, int dpi) {
  return ExportPicture(path, a.title.empty() ? std::string("Graph") : a.title, GraphDrawing(c, a), size,
                       error, dpi);
}

bool ExportPicture(const std::string& path, const std::string& title, const DrawPicture& draw, QSize size,
                   std::string& error, int dpi) {
  const GraphFileType type = GraphFileTypeOf(path);
  if (!CanExportGraphAs(type)) {
    error = type == GraphFileType::Unknown
                ? "The file \"" + path + "\" has no graph type: its name must end in .png, .svg or .pdf."
                : "This build of the program cannot write SVG files.";
    return false;
  }
  size = size.expandedTo(QSize(1, 1));
  QByteArray bytes;
  switch (type) {
    case GraphFileType::Png: {
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      if (!RenderPicture(draw, size, dpi).save(&buffer, "PNG")) {
        error = "The graph cannot be converted to a PNG picture.";
        return false;
      }
      break;
    }
    case GraphFileType::Svg: {
#ifdef PELMORA_HAVE_SVG
      QBuffer buffer(&bytes);
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(96);
      svg.setTitle(QString::fromStdString(title));
      QPainter painter(&svg);
      painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
      draw(painter, QRectF(QPoint(0, 0), size), 0);
      painter.end();
#endif
      break;
    }
    case GraphFileType::Pdf: {
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      QPdfWriter pdf(&buffer);
      pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
      pdf.setTitle(QString::fromStdString(title));
      QPainter painter(&pdf);
      // The picture in the shape of `size` inside a margin of a tenth of the page.
      const QRectF page(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()));
      const QRectF inside = page.adjusted(0.1 * page.width(), 0.1 * page.height(), -0.1 * page.width(),
                                          -0.1 * page.height());
      draw(painter, inside, static_cast<double>(size.width()) / size.height());
      painter.end();
      break;
    }
    case GraphFileType::Unknown:
      break;
  }
  return WriteTextFile(path, bytes.toStdString(), error);
}

}  // namespace pelmora
