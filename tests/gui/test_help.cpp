// The help: the topic map and its pages, the help window reached from the
// Help menu and by F1, and the tooltips of the parameters, which take their
// words from the help pages and their limits from the catalogue.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "app/help_window.h"
#include "gui/gui_test.h"
#include "session/procedure_table.h"
#include "session/parameter_tips.h"

namespace pelmora::gui_testing {

namespace {

QString HelpDir() { return QStringLiteral(PELMORA_HELP_DIR); }

QString ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

QString FileOf(const std::vector<HelpTopic>& topics, int context) {
  for (const HelpTopic& t : topics)
    if (t.context == context) return t.file;
  return {};
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT
 private slots:
  void topicMapFormat() {
    const auto topics = ParseHelpTopics(QStringLiteral("# a comment\n"
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

  void everyMenuItemHasAWholePageWithLinksThatResolve() {
    const auto topics = ParseHelpTopics(ReadAll(HelpDir() + QStringLiteral("/topics.txt")));
    QList<int> required = {1, 2, 101, 102, 103, 105, 108, 110, 112, 120, 200, 300};
    for (int i : {0, 1, 2, 4, 5, 6, 7, 9, 10, 12, 13, 14, 16, 17, 18}) required << 200 + i + 1;
    for (int i : {0, 1, 2, 4, 5, 6, 8, 10}) required << 300 + i + 1;
    for (int c : required) QVERIFY2(QFile::exists(HelpDir() + "/" + FileOf(topics, c)), qPrintable(QString::number(c)));
    const QDir dir(HelpDir());
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)(#[^\"]*)?\""));
    for (const QString& page : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
      const QString html = ReadAll(dir.filePath(page));
      QVERIFY2(html.contains(QStringLiteral("<title>")) && html.contains(QStringLiteral("<h1")), qPrintable(page));
      for (auto it = href.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (target.isEmpty()) continue;
        QVERIFY2(!target.contains(QStringLiteral("://")), qPrintable(page + ": " + target));
        QVERIFY2(QFile::exists(dir.filePath(target)), qPrintable(page + " links to " + target));
      }
    }
  }

  void helpMenuAndF1() {
    auto w = StartProgram();
    w->menus().helpContents->trigger();
    HelpWindow* help = w->helpWindow();
    QCOMPARE(help->currentFile(), QStringLiteral("contents.html"));
    w->menus().howToUseHelp->trigger();
    QCOMPARE(help->currentFile(), QStringLiteral("using-help.html"));
    w->menus().helpSearch->trigger();
    QTest::keyClicks(help->searchBox(), QStringLiteral("wilcoxon"));
    QVERIFY(help->keywordList()->count() > 0);
    for (int i = 0; i < help->keywordList()->count(); ++i)
      QVERIFY(help->keywordList()->item(i)->text().toLower().startsWith(QStringLiteral("wilcoxon")));
    QTest::keyClick(help->searchBox(), Qt::Key_Return);
    QVERIFY(help->currentFile() != QStringLiteral("using-help.html"));

    // F1 in the options dialog: the procedure's topic; in a window, the
    // window's until a procedure is chosen.
    w->menus().procedure(Procedure::Bioequivalence)->trigger();
    w->optionsDialog()->activateWindow();
    w->HelpOnActiveWindow();
    QCOMPARE(help->currentFile(), FileOf(help->topics(), 217));
    w->menus().newTable->trigger();
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(w->activeResultWindow(), Qt::Key_F1);
    QCOMPARE(help->currentFile(), FileOf(help->topics(), 102));

    HelpWindow missing(QStringLiteral("/nonexistent/Pelmora1.0"));
    missing.ShowContext(201);
    QVERIFY(missing.browser()->toPlainText().contains(QStringLiteral("Help is not available")));
  }

  // F1 on a window opened from a settings file shows its own procedure's
  // page, in the window and in the options dialog, whichever window was in
  // front before and after.
  void f1FollowsTheWindowsOwnSelection() {
    auto w = StartProgram();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.dim"));
    UnpairedTTest(*w);
    auto saver = AcceptNextFileDialog(file);
    w->menus().saveAs->trigger();
    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::BinomialDistribution)->trigger();
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    ResultWindow* binomial = w->activeResultWindow();
    ResultWindow* opened = w->OpenSettings(file);
    QVERIFY(opened != nullptr);
    HelpWindow* help = w->helpWindow();
    const auto f1 = [&](QWidget* target) {
      QApplication::setActiveWindow(target->window());
      QTest::keyClick(target, Qt::Key_F1);
      return help->currentFile();
    };
    const QString tTest = FileOf(help->topics(), 201);
    QCOMPARE(f1(opened), tTest);
    QCOMPARE(w->optionsDialog()->helpContext(), 201);
    w->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(binomial->parentWidget()));
    QCOMPARE(f1(binomial), FileOf(help->topics(), 305));
    w->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(opened->parentWidget()));
    QCOMPARE(f1(opened), tTest);
  }

  // The admissible values the catalogue's limits give are those the help's
  // parameter catalogue states for the same caption.
  void admissibleValuesAreTheHelpsWords() {
    const Catalogue catalogue = BuildCatalogue();
    // Caption, start value, table range, admissible values.
    static const QRegularExpression row(
        QStringLiteral("<tr><td>(.*?)</td><td>.*?</td><td>.*?</td><td>(.*?)</td></tr>"));
    int compared = 0;
    for (auto it = row.globalMatch(ReadAll(HelpDir() + "/parameter-catalogue.html")); it.hasNext(); ++compared) {
      const auto m = it.next();
      const std::string caption = PlainText(m.captured(1).toStdString());
      const std::string admissible = PlainText(m.captured(2).toStdString());
      const bool found = std::any_of(catalogue.begin(), catalogue.end(), [&](const CatalogueEntry& e) {
        return PlainCaption(e) == caption && AdmissibleValues(e) == admissible;
      });
      QVERIFY2(found, qPrintable(QString::fromStdString(caption + ": " + admissible)));
    }
    QVERIFY(compared > 150);
  }

  // Every caption of every test procedure's list has its meaning on the
  // procedure's page.
  void everyTestParameterHasItsMeaning() {
    auto w = StartProgram();
    for (const ProcedureRow& row : Procedures()) {
      if (row.menu != Menu::Tests) continue;
      w->menus().procedure(row.procedure)->trigger();
      QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
      const Session& s = w->session();
      for (int p = 0; p <= s.LastPosition; ++p) {
        if (p == 1) continue;
        const std::string tip = w->ParameterTip(p);
        QVERIFY2(tip.find(": ") < tip.find('\n'), qPrintable(QString::fromStdString(s.TestName + " / " + tip)));
        QVERIFY(tip.find("\nAdmissible values: ") != std::string::npos);
      }
    }
  }
};

PELMORA_GUI_TEST(HelpTest)

}  // namespace pelmora::gui_testing

#include "test_help.moc"
