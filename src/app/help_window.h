// The program's help: HTML topics in the folder "Pelmora1.0" beside the
// program, a topic map that names each page's context id, title and
// keywords, and a window with the contents, a keyword search and the page.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "session/parameter_tips.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace pelmora {

struct HelpTopic {
  int context = 0;  // 0: no context id reaches the page
  QString file;
  QString title;
  QStringList keywords;
  QString section;
};

// Reads a topic map: one line per page, "context<TAB>file<TAB>title<TAB>
// keyword; keyword", "#" comment lines, and "== title" lines that start a
// section of the contents.  Malformed lines are skipped.
std::vector<HelpTopic> ParseHelpTopics(const QString& text);

// The help folder beside the program.
QString HelpFolder();

// The meanings of the parameters the help page of a context explains (see
// parameter_tips.h); none when the folder has no page for it.
ParameterMeanings HelpPageMeanings(const QString& folder, int context);

class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

  // The contents tab and the start page.
  void ShowContents();
  // The keyword search tab.
  void ShowSearch();
  // The page on using help.
  void ShowHowToUseHelp();
  // The topic of a context id; the contents when no page has that id.
  void ShowContext(int context);

  const std::vector<HelpTopic>& topics() const { return topics_; }
  QTextBrowser* browser() const { return browser_; }
  QLineEdit* searchBox() const { return searchBox_; }
  QListWidget* keywordList() const { return keywordList_; }
  // The file of the page shown.
  QString currentFile() const;

 private:
  void ShowFile(const QString& file);
  void FilterKeywords(const QString& typed);
  void OpenKeyword();

  QString folder_;
  std::vector<HelpTopic> topics_;
  QTabWidget* tabs_;
  QTreeWidget* contents_;
  QLineEdit* searchBox_;
  QListWidget* keywordList_;
  QTextBrowser* browser_;
};

}  // namespace pelmora
