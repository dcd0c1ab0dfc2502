// The Table and Graph windows: the range results of their settings, kept by
// each window so that it can be drawn, copied and printed whichever window is
// active, shown as a table of text or as curves.
#pragma once

#include <QLabel>
#include <QPushButton>

#include "widgets/result_window.h"
#include "output/table_layout.h"
#include "engine/dispatch.h"
#include "views/plot_xyz.h"

namespace pelmora {

class TableView;

class RangeWindow : public ResultWindow {
  Q_OBJECT
 public:
  RangeWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);

  // The window became active: a window that shows results calculates them
  // again for the restored settings (at once when nothing changed).
  void Fill() override;
  // Calculates the range of the session's settings and shows it.
  void Recalculate();

  // Takes the session's range results and shows them.  After a run of the
  // axis-parameter dialog (`newHeadings`) the heading lines just built become
  // the window's; otherwise the window keeps its own.
  void ShowRange(bool newHeadings);

  bool hasResults() const { return hasResults_; }
  const TableContent& content() const { return content_; }
  // Beside the Edit button: how many points have no value, and why most often.
  QLabel* summary() const { return lblSummary_; }
  // The window's record; nullptr when its tag names none (the window then
  // keeps and changes nothing).
  WindowSettings* record();

  // The size a new window has, and the least at which its content can be
  // read (a graph's axes and legend, a table's first columns).
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Draws the results again (after a change of appearance).
  virtual void Redraw() = 0;
  // The appearance dialog of the window.
  virtual void EditAppearance() = 0;

 protected:
  void resizeEvent(QResizeEvent* event) override;

  Dispatcher& d_;
  TableContent content_;
  bool hasResults_ = false;
  QLabel* lblSummary_;

 private:
  virtual void TakeNewRoles() {}
};

// frmTable: the table on PicTable in a scroll area and its Edit Table button.
class TableWindow : public RangeWindow {
  Q_OBJECT
 public:
  TableWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);
  void Redraw() override;
  void EditAppearance() override;
  TableView* view() const { return view_; }
  QPushButton* editButton() const { return cmdEditTable_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TableView* view_;
  QPushButton* cmdEditTable_;
};

// frmGraph: the plot on picPlot and its Edit Graph button.
class GraphWindow : public RangeWindow {
  Q_OBJECT
 public:
  GraphWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);
  void Redraw() override;
  void EditAppearance() override;
  GraphAppearance appearance();
  QWidget* picture() const { return picPlot_; }
  QPushButton* editButton() const { return cmdEditGraph_; }
  // The plot as a picture of the picture box's size.
  QImage Picture();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TakeNewRoles() override;
  // Shows a resolution message when the axes have no width.
  void CheckResolution();

  QWidget* picPlot_;
  QPushButton* cmdEditGraph_;
};

}  // namespace pelmora
