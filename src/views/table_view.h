// The drawing of a Table window: the range results laid out as a table of
// text and rules in the window's font, on a picture inside a scroll area (the
// screen), or onto any painter (printing).
#pragma once

#include <QFont>
#include <QRect>
#include <QScrollArea>

#include "output/table_layout.h"

class QPainter;
class QPaintDevice;

namespace pelmora {

class Session;
struct WindowSettings;

// The font of a table record: its name, size in points and bold flag; "Arial"
// and 9 points where the record leaves them empty or unreadable.
QFont TableFont(const WindowSettings& r);

// A table laid out for one drawing surface, in that surface's units.
struct MeasuredTable {
  TableModel model;
  double lineHeight = 0;  // the text height of "H"
  double ascent = 0;      // from a line's top to its baseline
  // The surface the table needs: the widest block or heading line, and the
  // stated number of line heights.
  QSize size() const;
};

// Lays out `content` for `device` in `font`: texts measured with the
// device's font metrics, the x column widened by 5 twips in device units.
// `tableDecimals` is kept or fixed as LayoutTable does.
MeasuredTable MeasureTable(const TableContent& content, const QFont& font, const QPaintDevice* device,
                           std::int16_t& tableDecimals, std::int16_t columns);

// Draws a laid-out table with its upper left corner at `origin`, in the
// painter's current font (the one it was measured in) and pen.
void DrawTable(QPainter& painter, const MeasuredTable& table, QPointF origin);

// The table of one Table window: `PicTable`, sized to its content, inside a
// scroll area whose bars appear only when the picture does not fit.
class TableView : public QScrollArea {
  Q_OBJECT
 public:
  // `tag` is the index of the window's settings record in the session.
  TableView(Session& s, int tag, QWidget* parent = nullptr);

  // Lays out the window's range results in the record's font, columns per
  // block and decimals, resizes the picture to hold them and repaints it.  An
  // automatic number of decimals becomes fixed in the record, as the table
  // formats choose it.  Without an argument the results last written are
  // laid out again (after the appearance changed).
  void WriteTable(const TableContent& content);
  void WriteTable();

  // Draws the same table onto `painter`, measured in its device, with its
  // upper left corner at the upper left of `area` and clipped to `area`.
  void PrintTable(QPainter& painter, const QRect& area);

  // The table as last written on the screen.
  const MeasuredTable& table() const { return table_; }
  const TableContent& content() const { return content_; }
  QWidget* picture() const;
  QFont tableFont() const;

 private:
  // The window's record; nullptr when its tag names none (nothing is drawn).
  WindowSettings* record() const;

  Session& s_;
  int tag_;
  TableContent content_;
  MeasuredTable table_;
};

}  // namespace pelmora
