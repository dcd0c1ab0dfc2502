// The help: the topic map and its pages, and the help window reached from
// the Help menu and by F1.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>

#include "app/help_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"

namespace pelmora::gui_testing {

namespace {

QString HelpDir() { return QStringLiteral(PELMORA_HELP_DIR); }

QString ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT
 private slots:
  void topicMapFormat() {
    const auto topics =
        ParseHelpTopics(QStringLiteral("# a comment\n"
                                       "== Using Pelmora\n"
                                       "1\tcontents.html\tContents\tstart; overview\r\n"
                                       "\n"
                                       "== Test procedures\n"
                                       "201\tt.html\tUnpaired t-test\n"
                                       "x\tbad.html\tNot a context\n"
                                       "5\t../secret.html\tOutside the folder\n"
                                       "6\tsub/page.html\tIn a subfolder\n"
                                       "7\tshort.html\n"));
    QCOMPARE(topics.size(), std::size_t{2});
    QCOMPARE(topics[0].context, 1);
    QCOMPARE(topics[0].section, QStringLiteral("Using Pelmora"));
    QCOMPARE(topics[0].keywords, (QStringList{"start", "overview"}));
    QCOMPARE(topics[1].file, QStringLiteral("t.html"));
    QCOMPARE(topics[1].section, QStringLiteral("Test procedures"));
    QVERIFY(topics[1].keywords.isEmpty());
  }

  void everyMenuItemAndWindowHasATopic() {
    const auto topics = ParseHelpTopics(ReadAll(HelpDir() + QStringLiteral("/topics.txt")));
    QVERIFY(!topics.empty());
    QSet<int> contexts;
    for (const HelpTopic& t : topics) {
      contexts.insert(t.context);
      QVERIFY2(QFile::exists(HelpDir() + "/" + t.file), qPrintable(t.file));
    }
    QList<int> required = {1, 2, 101, 102, 103, 105, 108, 110, 112, 120, 200, 300};
    for (int i : {0, 1, 2, 4, 5, 6, 7, 9, 10, 12, 13, 14, 16, 17, 18}) required << 200 + i + 1;
    for (int i : {0, 1, 2, 4, 5, 6, 8, 10}) required << 300 + i + 1;
    for (int c : required) QVERIFY2(contexts.contains(c), qPrintable(QString::number(c)));
  }

  void pagesAreWholeAndTheirLinksResolve() {
    const QDir dir(HelpDir());
    const QStringList pages = dir.entryList({QStringLiteral("*.html")}, QDir::Files);
    QVERIFY(pages.size() >= 30);
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)(#[^\"]*)?\""));
    for (const QString& page : pages) {
      const QString html = ReadAll(dir.filePath(page));
      QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page));
      QVERIFY2(html.contains(QStringLiteral("<h1")), qPrintable(page));
      for (auto it = href.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (target.isEmpty()) continue;
        QVERIFY2(!target.contains(QStringLiteral("://")), qPrintable(page + ": " + target));
        QVERIFY2(QFile::exists(dir.filePath(target)), qPrintable(page + " links to " + target));
      }
    }
  }

  void helpMenuShowsContentsSearchAndHowTo() {
    auto w = StartProgram();
    w->helpAction(0)->trigger();
    HelpWindow* help = w->helpWindow();
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentFile(), QStringLiteral("contents.html"));
    w->helpAction(2)->trigger();
    QCOMPARE(help->currentFile(), QStringLiteral("using-help.html"));
    w->helpAction(1)->trigger();
    QTest::keyClicks(help->searchBox(), QStringLiteral("wilcoxon"));
    QVERIFY(help->keywordList()->count() > 0);
    for (int i = 0; i < help->keywordList()->count(); ++i)
      QVERIFY(help->keywordList()->item(i)->text().toLower().startsWith(QStringLiteral("wilcoxon")));
    QTest::keyClick(help->searchBox(), Qt::Key_Return);
    QVERIFY(help->currentFile() != QStringLiteral("using-help.html"));
  }

  void f1ShowsTheTopicOfTheChosenProcedure() {
    auto w = StartProgram();
    w->testAction(16)->trigger();
    // The options dialog is in front: its context is the procedure's.
    w->optionsDialog()->activateWindow();
    w->HelpOnActiveWindow();
    const HelpTopic* expected = nullptr;
    for (const HelpTopic& t : w->helpWindow()->topics())
      if (t.context == 217) expected = &t;
    QVERIFY(expected != nullptr);
    QCOMPARE(w->helpWindow()->currentFile(), expected->file);

    w->fileAction(1)->trigger();  // a Table window: its own topic until a procedure is chosen
    w->activateWindow();
    w->HelpOnActiveWindow();
    for (const HelpTopic& t : w->helpWindow()->topics())
      if (t.context == 102) QCOMPARE(w->helpWindow()->currentFile(), t.file);
  }

  void theF1KeyOpensHelp() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    QWidget* calc = w->activeResultWindow();
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(calc, Qt::Key_F1);
    QVERIFY(w->helpWindow()->isVisible());
    for (const HelpTopic& t : w->helpWindow()->topics())
      if (t.context == 201) QCOMPARE(w->helpWindow()->currentFile(), t.file);
  }

  void aMissingHelpFolderSaysSo() {
    HelpWindow help(QStringLiteral("/nonexistent/Pelmora1.0"));
    help.ShowContext(201);
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("Help is not available")));
  }
};

PELMORA_GUI_TEST(HelpTest)

}  // namespace pelmora::gui_testing

#include "test_help.moc"
