// Copying, printing, saving and opening the results of the windows.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"
#include "session/window_records.h"
#include "views/appearance_dialogs.h"
#include "views/axis_dialog.h"
#include "views/output_dialog.h"
#include "views/range_window.h"
#include "views/result_output.h"

namespace pelmora::gui_testing {
namespace {

CalcWindow* UnpairedTTest(MainWindow& w) {
  w.fileAction(0)->trigger();
  w.testAction(0)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  return qobject_cast<CalcWindow*>(w.activeResultWindow());
}

void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

// A table of the unpaired t-test's sample size over the standard deviation.
TableWindow* TTestTable(MainWindow& w) {
  w.fileAction(1)->trigger();
  w.testAction(0)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  AxisParameterDialog* dialog = w.axisDialog();
  for (auto [role, caption] :
       {std::pair{0, "Sample Size 1"}, std::pair{1, "Standard Deviation*"}, std::pair{2, "Mean 2*"}}) {
    QComboBox* list = dialog->roleList(role);
    const int i = list->findText(QString::fromLatin1(caption));
    list->setCurrentIndex(i);
    emit list->activated(i);
  }
  // A Calculation window may have left its result as the P-value's text.
  for (int i = 0; i < kAxisDialogRows; ++i)
    if (dialog->parLabel(i)->text() == QStringLiteral("P-value"))
      Type(dialog->parBox(i), QStringLiteral("0.05"));
  Type(dialog->xMinBox(), QStringLiteral("0.3"));
  Type(dialog->xMaxBox(), QStringLiteral("0.5"));
  Type(dialog->xStepBox(), QStringLiteral("0.1"));
  Type(dialog->zBox(), QStringLiteral("0.5 0.6"));
  QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  return qobject_cast<TableWindow*>(w.activeResultWindow());
}

// The visible text of a PDF file, or an empty text when pdftotext is missing.
QString PdfText(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class OutputAndFilesTest : public QObject {
  Q_OBJECT
 private slots:
  void copyingACalculationPutsItsRichTextOnTheClipboard() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QVERIFY(calc != nullptr);
    const QString pValue = calc->valueBox(0)->text();
    QGuiApplication::clipboard()->clear();

    SeenMessage said;
    QString previewTitle;
    auto preview = HandleNextDialog<OutputDialog>([&](OutputDialog* d) {
      previewTitle = d->windowTitle();
      QCOMPARE(d->copyButton()->text(), QStringLiteral("C&opy"));
      QCOMPARE(d->printButton()->text(), QStringLiteral("&Print"));
      QCOMPARE(d->editButton()->text(), QStringLiteral("&Edit Output"));
      QCOMPARE(d->cancelButton()->text(), QStringLiteral("&Cancel"));
      QVERIFY(d->output().layout.lines.size() >= 3);
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      QTest::mouseClick(d->copyButton(), Qt::LeftButton);
      QVERIFY(answer->seen);
      said = *answer;
    });
    w->editAction(0)->trigger();
    QVERIFY(preview->seen);
    QCOMPARE(previewTitle, QStringLiteral("Output"));
    QCOMPARE(said.title, QStringLiteral("Copy"));
    QCOMPARE(said.text, QStringLiteral("Calculation 1 has been Copied to the Clipboard"));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
    QVERIFY(!data->hasText());  // rich text only
    const QString rtf = QString::fromUtf8(data->data(QStringLiteral("text/rtf")));
    QCOMPARE(rtf.toStdString(), CalculationRichText(w->session()));
    QVERIFY(rtf.startsWith(
        QStringLiteral(R"({\rtf0\ansi{\fonttbl\f1\fnil Arial;}{\stylesheet {\s0 Normal;}}{\s0\f1\fs18)")));
    QVERIFY(rtf.endsWith(QStringLiteral(R"(\par \par}})")));
    QVERIFY(rtf.contains(QStringLiteral("Student's unpaired t-test")));
    QVERIFY(rtf.contains(QStringLiteral("P-value:")));
    QVERIFY(rtf.contains(pValue));
  }

  void editOutputChangesTheFontOfTheCopy() {
    auto w = StartProgram();
    UnpairedTTest(*w);
    auto preview = HandleNextDialog<OutputDialog>([](OutputDialog* d) {
      auto edit = HandleNextDialog<EditTableDialog>([](EditTableDialog* e) {
        QCOMPARE(e->windowTitle(), QStringLiteral("Edit Output"));
        e->cmbSize()->setCurrentIndex(e->cmbSize()->findText(QStringLiteral("12")));
        e->chkBold()->setChecked(true);
        QTest::mouseClick(e->cmdOK(), Qt::LeftButton);
      });
      QTest::mouseClick(d->editButton(), Qt::LeftButton);
      QVERIFY(edit->seen);
      QCOMPARE(d->picture()->font().pointSize(), 12);
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      QTest::mouseClick(d->copyButton(), Qt::LeftButton);
    });
    w->editAction(0)->trigger();
    QVERIFY(preview->seen);
    const QString rtf = QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data("text/rtf"));
    QVERIFY(rtf.contains(QStringLiteral(R"({\s0\f1\fs24\b )")));
  }

  void aTableAndAGraphAreCopied() {
    auto w = StartProgram();
    TableWindow* table = TTestTable(*w);
    QVERIFY(table != nullptr && table->hasResults());
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    w->editAction(0)->trigger();
    QVERIFY(answer->seen);
    QCOMPARE(answer->text, QStringLiteral("Table 1 has been Copied to the Clipboard"));
    const QString rtf = QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data("text/rtf"));
    QVERIFY(rtf.contains(QStringLiteral("Sample Size 1 as a function of Standard Deviation* and Mean 2*.")));
  }

  void printingToAPdfFileGivesAPageWithTheOutput() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calc.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QVERIFY(PrintResult(w->session(), *calc, printer));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    const QString text = PdfText(path);
    if (text.isEmpty()) QSKIP("pdftotext is not installed");
    QVERIFY2(text.contains(QStringLiteral("Student's unpaired t-test")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("P-value:")));
    QVERIFY(text.contains(calc->valueBox(0)->text()));
    QCOMPARE(text.count(QChar('\f')), 1);  // one page

    // A table prints its headings and cells.
    TableWindow* table = TTestTable(*w);
    const QString tablePath = dir.filePath(QStringLiteral("table.pdf"));
    printer.setOutputFileName(tablePath);
    QVERIFY(PrintResult(w->session(), *table, printer));
    QVERIFY(PdfText(tablePath).contains(QStringLiteral("as a function of")));

    // Cancelling the print dialog prints nothing.
    auto cancel = RejectNextDialog();
    w->fileAction(9)->trigger();
    QVERIFY2(cancel->title.contains(QStringLiteral("Print")), qPrintable(cancel->title));
  }

  void savingATableProposesItsNameAndClosingThenAsksNothing() {
    auto w = StartProgram();
    w->fileAction(1)->trigger();  // Table 1, left empty
    TableWindow* table = TTestTable(*w);
    QCOMPARE(table->parentWidget()->windowTitle(), QStringLiteral("Table 2"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.dim"));
    auto saver = AcceptNextFileDialog(path);
    w->fileAction(7)->trigger();
    QCOMPARE(QFileInfo(saver->proposed).fileName(), QStringLiteral("Table2.dim"));
    QCOMPARE(QFileInfo(path).size(), 1352);
    auto asked = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(qobject_cast<QMdiSubWindow*>(table->parentWidget())->close());
    QApplication::processEvents();
    QVERIFY(!asked->seen);
  }

  void openingAFileAddsAWindowAndLeavesTheOthers() {
    auto w = StartProgram();
    CalcWindow* first = UnpairedTTest(*w);
    Type(first->valueBox(3), QStringLiteral("0.35"));  // a changed value, solved again
    QTest::keyClick(first->valueBox(3), Qt::Key_Return);
    const QString solved = first->valueBox(0)->text();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Calc1.dim"));
    auto saver = AcceptNextFileDialog(path);
    w->fileAction(7)->trigger();
    QVERIFY(QFileInfo::exists(path));

    TableWindow* table = TTestTable(*w);
    const std::vector<std::vector<Single>> cells = table->content().yValues;
    const std::vector<WindowSettings> before(w->session().records.begin(), w->session().records.end());

    auto opener = AcceptNextFileDialog(path);
    w->fileAction(4)->trigger();
    QCOMPARE(w->resultWindows().size(), std::size_t{3});
    auto* opened = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QVERIFY(opened != nullptr && opened != first);
    QCOMPARE(opened->parentWidget()->windowTitle(), QStringLiteral("Calculation 2"));
    QCOMPARE(opened->valueBox(3)->text(), QStringLiteral("0.35"));
    QCOMPARE(opened->valueBox(0)->text(), solved);
    // The windows that were open are as they were.
    for (std::size_t i = 1; i < before.size(); ++i)
      QVERIFY2(w->session().records[i].SameSettings(before[i]), qPrintable(QString::number(i)));
    QCOMPARE(table->content().yValues, cells);
    QCOMPARE(first->valueBox(0)->text(), solved);
    // Opening it changed nothing that needs saving.
    auto asked = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(qobject_cast<QMdiSubWindow*>(opened->parentWidget())->close());
    QApplication::processEvents();
    QVERIFY(!asked->seen);
  }

  void aTableFileReopensWithItsRange() {
    auto w = StartProgram();
    TableWindow* table = TTestTable(*w);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Table1.dim"));
    auto saver = AcceptNextFileDialog(path);
    w->fileAction(7)->trigger();
    auto* opened = qobject_cast<TableWindow*>(w->OpenSettings(path));
    QVERIFY(opened != nullptr && opened != table);
    QVERIFY(opened->hasResults());
    QCOMPARE(opened->content().yValues, table->content().yValues);
    QCOMPARE(opened->content().headings, table->content().headings);
  }

  void aDamagedFileOpensNothingAndSaysWhy() {
    auto w = StartProgram();
    UnpairedTTest(*w);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.dim"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\x01'));
    file.close();
    const std::size_t records = w->session().records.size();
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    QVERIFY(w->OpenSettings(path) == nullptr);
    QVERIFY(answer->seen);
    QCOMPARE(answer->title, QStringLiteral("Open File"));
    QVERIFY(answer->text.contains(QStringLiteral("short.dim")));
    QCOMPARE(w->resultWindows().size(), std::size_t{1});
    QCOMPARE(w->session().records.size(), records);
  }
};

PELMORA_GUI_TEST(OutputAndFilesTest)

}  // namespace pelmora::gui_testing

#include "test_output_and_files.moc"
