// The main window: the area of the result windows and the menus that start
// everything.  It owns the session, turns menu choices and window events into
// calls on the core, and shows what the core produced.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/help_window.h"
#include "app/main_menus.h"
#include "app/qt_user_interface.h"
#include "app/splash_window.h"
#include "engine/dispatch.h"
#include "session/parameter_tips.h"
#include "session/procedure_table.h"
#include "session/session.h"
#include "widgets/result_window.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace pelmora {

class DialogPlace;

class AxisParameterDialog;
class OptionsDialog;
class RangeWindow;

class MainWindow : public QMainWindow, public ResultWindowHost {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  Session& session() { return session_; }
  Dispatcher& dispatcher() { return dispatcher_; }
  QMdiArea* mdiArea() const { return mdiArea_; }
  OptionsDialog* optionsDialog() const { return optionsDialog_; }
  AxisParameterDialog* axisDialog() const { return axisDialog_; }
  SplashWindow* splash() const { return splash_; }
  HelpWindow* helpWindow();
  // The folder of the help pages (beside the program unless set).
  void setHelpFolder(const QString& folder) { helpFolder_ = folder; }

  // The menus and their actions.
  const MainMenus& menus() const { return *menus_; }

  // The settings files last opened or saved, the latest first (at most
  // eight), as QSettings keeps them.
  static QStringList RecentFiles();

  // The window of the active record, or nullptr.
  ResultWindow* activeResultWindow() const;
  // Every open result window, in the order they were opened.
  std::vector<ResultWindow*> resultWindows() const;

  // Shows the splash window over the main window.
  void ShowSplash();

  // The menu actions.
  ResultWindow* NewWindow(WindowKind kind);
  // A procedure of the Test Procedures or Sample Distributions menu, for the
  // active window (a new Calculation window when none is open).
  void SelectProcedure(Procedure p);
  // The options dialog's OK: applies the options to the active window.
  void ApplyOptions();
  // The options dialog's Cancel: the active window as it was.
  void OptionsCancelled(bool filled);
  // Saves the active window's settings; false when cancelled or failed.
  bool SaveActiveWindowAs();
  // File > Open File...: a settings file opens as a new window of its kind.
  ResultWindow* OpenFile();
  ResultWindow* OpenSettings(const QString& path);
  // Edit > Copy: the preview of a Calculation window, from which it is
  // copied; a table as rich text, a graph as a picture.
  void CopyActiveWindow();
  // Edit > Power Curve (and the Calculation window's button): a Graph window
  // of the power of the active Calculation window's test against its sample
  // size, calculated at once; the axis-parameter dialog shows its settings
  // for changes.
  ResultWindow* OpenPowerCurve();
  // File > Print...: the print dialog, then the active window's result.
  void PrintActiveWindow();
  // File > Print Preview...: the pages as they will be printed.
  void PreviewActiveWindow();
  // Window > Cascade and Tile: every window keeps a size at which its
  // content can be read; Tile falls back to Cascade where the tiles would
  // be too small.
  void CascadeWindows();
  void TileWindows();
  // Shows the axis-parameter dialog of the active Table or Graph window,
  // with the keyboard or without it.
  void ShowAxisDialog(bool keyboard = true);
  // Writes the active Table as comma-separated values or text, or the active
  // Graph as a picture, a drawing or a PDF page, to a file the user names.
  void ExportActiveWindow();
  // Help on a context id (the contents when no topic has it).
  void ShowHelp(int context);
  // F1: help on the window or dialog that has the focus.
  void HelpOnActiveWindow();

  // ResultWindowHost
  bool AllowClose(ResultWindow& window) override;
  void WindowUnloaded(ResultWindow& window) override;
  std::string ParameterTip(int position) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void ConnectActions();
  // Cascade and Tile: the arrangement, then the dialogs beside the active
  // window's new place.
  void ArrangeWindows(const std::function<void()>& arrange);
  void ArrangeIcons();
  void SubWindowActivated(QMdiSubWindow* sub);
  void CloseSplash();
  void KeepDialogsInside();
  void ShowOptionsDialog();
  ResultWindow* AddWindow(WindowKind kind, int record);
  void RangeCalculated(RangeWindow* window);
  ResultWindow* WindowOfRecord(int record) const;
  // The title bar of the active window: its caption, its procedure and its
  // settings file.
  void ShowTitle(ResultWindow& window);
  // Greys the items that cannot act on the active window (or on none).
  void UpdateActions();
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  void RebuildWindowList();
  // The sub-window of the active record, or nullptr.
  QMdiSubWindow* ActiveSubWindow() const;
  void ShowStatus(const QString& text);

  QtUserInterface ui_;
  Session session_;
  Dispatcher dispatcher_;
  QMdiArea* mdiArea_;
  OptionsDialog* optionsDialog_;
  AxisParameterDialog* axisDialog_;
  QPointer<SplashWindow> splash_;
  QPointer<HelpWindow> helpWindow_;
  QString helpFolder_;
  bool closingProgram_ = false;

  std::unique_ptr<MainMenus> menus_;
  DialogPlace* optionsPlace_ = nullptr;
  DialogPlace* axisPlace_ = nullptr;
  // The parameter meanings of the help pages, by help context.
  std::map<int, ParameterMeanings> meanings_;
};

}  // namespace pelmora
