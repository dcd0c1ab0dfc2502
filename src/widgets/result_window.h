// What every result window (Calculation, Table, Graph) shares: the index of
// its settings record, its kind, its help context, and the close question,
// which it leaves to the main window that owns the session.
#pragma once

#include <QWidget>
#include <string>

#include "session/session.h"

namespace pelmora {

class ResultWindow;

// The main window's side of a result window's life.
class ResultWindowHost {
 public:
  virtual ~ResultWindowHost() = default;
  // Asked before the window closes; false keeps it open.
  virtual bool AllowClose(ResultWindow& window) = 0;
  // The window has closed.
  virtual void WindowUnloaded(ResultWindow& window) = 0;
  // The tooltip of the caption of the parameter at a list position.
  virtual std::string ParameterTip(int position) = 0;
};

class ResultWindow : public QWidget {
  Q_OBJECT
 public:
  ResultWindow(WindowKind kind, int tag, ResultWindowHost& host, QWidget* parent = nullptr);

  WindowKind kind() const { return kind_; }
  // The index of the window's settings record.
  int tag() const { return tag_; }
  int helpContext() const { return helpContext_; }
  void setHelpContext(int context) { helpContext_ = context; }
  // The caption of the window's record ("Calculation 1"), which names it in
  // questions and messages, and the settings file it belongs to (a name
  // without its folder, or empty); the title bar shows both with the
  // procedure's name.
  const QString& caption() const { return caption_; }
  void setCaption(const QString& caption) { caption_ = caption; }
  const QString& fileName() const { return fileName_; }
  void setFileName(const QString& name) { fileName_ = name; }

  // Shows the session's parameter list (the window is active).
  virtual void Fill() {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  ResultWindowHost& host() const { return host_; }

 private:
  WindowKind kind_;
  int tag_;
  int helpContext_;
  QString caption_;
  QString fileName_;
  ResultWindowHost& host_;
};

}  // namespace pelmora
