// The Table and Graph windows.  Until a range is chosen for them they show
// their heading only.
#pragma once

#include <QLabel>

#include "forms/result_window.h"
#include "session/dispatch.h"

namespace pelmora {

class RangeWindow : public ResultWindow {
  Q_OBJECT
 public:
  RangeWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);
  void Fill() override;
  QLabel* heading() const { return heading_; }

 private:
  Dispatcher& d_;
  QLabel* heading_;
};

}  // namespace pelmora
