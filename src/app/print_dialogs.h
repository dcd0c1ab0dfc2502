// File > Print... and Print Preview...: the print dialog and the preview of
// a result window, its document named for the window.
#pragma once

class QWidget;

namespace pelmora {

class ResultWindow;
class Session;
class UserInterface;

// The print dialog, then the window's result on the chosen printer; a
// printer that cannot be used is told through `ui`.
void PrintWindow(QWidget* parent, Session& s, ResultWindow& window, UserInterface& ui);
// The pages as they will be printed, in a dialog over most of `parent`.
void PreviewWindow(QWidget* parent, Session& s, ResultWindow& window, UserInterface& ui);

}  // namespace pelmora
