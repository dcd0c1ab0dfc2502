// Copying, printing, saving and opening the results of the windows.
#include <QCheckBox>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include "gui/gui_test.h"
#include "session/window_records.h"
#include "views/appearance_dialogs.h"
#include "views/output_dialog.h"
#include "views/result_output.h"

namespace pelmora::gui_testing {
namespace {

const QStringList kRange = {"0.3", "0.5", "0.1", "0.5 0.6"};

// The visible text of a PDF file, or an empty text when pdftotext is missing.
QString PdfText(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines of a text without the blanks that align them.
QStringList Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QStringList lines;
  for (const QString& line : text.split('\n')) lines << line.simplified();
  return lines;
}

}  // namespace

class OutputAndFilesTest : public QObject {
  Q_OBJECT
 private slots:
  // Rich text and the preview's lines as plain text, at once; the status bar
  // confirms, no box asks to be closed.
  void copyingACalculationPlacesRichAndPlainText() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    const QString pValue = calc->valueBox(0)->text();
    QGuiApplication::clipboard()->clear();
    auto boxes = AnswerNextMessageBox(QMessageBox::Ok);
    QStringList previewLines;
    auto preview = HandleNextDialog<OutputDialog>([&](OutputDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Output"));
      previewLines = Lines(QString::fromStdString(CalculationPlainText(w->session())));
      QTest::mouseClick(d->copyButton(), Qt::LeftButton);
    });
    w->menus().copy->trigger();
    QVERIFY(preview->seen);
    QTest::qWait(30);
    QVERIFY(!boxes->seen);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Calculation 1 has been Copied to the Clipboard"));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    for (const char* format : kRichTextFormats) QVERIFY(data->hasFormat(QString::fromLatin1(format)));
    const QString rtf = QString::fromUtf8(data->data(QStringLiteral("text/rtf")));
    QCOMPARE(rtf.toStdString(), CalculationRichText(w->session()));
    QVERIFY(rtf.startsWith(
        QStringLiteral(R"({\rtf0\ansi{\fonttbl\f1\fnil Arial;}{\stylesheet {\s0 Normal;}}{\s0\f1\fs18)")));
    QVERIFY(rtf.endsWith(QStringLiteral(R"(\par \par}})")));
    QVERIFY(data->hasText());
    const QString text = data->text();
    QVERIFY(!text.contains('\r'));
    QCOMPARE(Lines(text), previewLines);
    QVERIFY(text.contains(QStringLiteral("Student's unpaired t-test")));
    QVERIFY(text.contains(QStringLiteral("P-value:")) && text.contains(pValue));
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
      QTest::mouseClick(d->copyButton(), Qt::LeftButton);
    });
    w->menus().copy->trigger();
    QVERIFY(preview->seen);
    const QString rtf = QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data("text/rtf"));
    QVERIFY(rtf.contains(QStringLiteral(R"({\s0\f1\fs24\b )")));
  }

  void aTableAndAGraphAreCopied() {
    auto w = StartProgram();
    TableWindow* table = OpenRangeWindow<TableWindow>(*w, kRange);
    QVERIFY(table->hasResults());
    w->menus().copy->trigger();
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Table 1 has been Copied to the Clipboard"));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString heading = QStringLiteral("Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
    QVERIFY(QString::fromUtf8(data->data(QStringLiteral("text/rtf"))).contains(heading));
    QCOMPARE(Lines(data->text()), Lines(QString::fromStdString(TablePlainText(w->session(), *table))));
    QVERIFY(data->text().contains(heading));

    auto* graph = OpenRangeWindow<GraphWindow>(*w, kRange);
    w->menus().copy->trigger();
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Graph 1 has been Copied to the Clipboard"));
    const QImage picture = QGuiApplication::clipboard()->image();
    QCOMPARE(picture.size(), graph->picture()->size());
    QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), graph->Picture());
  }

  // A page with margins of the page layout: the output, the table and the
  // graph inside them; the preview shows the same page.
  void printingGivesAPageWithMargins() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calc.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QVERIFY(PrintResult(w->session(), *calc, printer));
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    for (double m : {margins.left(), margins.top(), margins.right(), margins.bottom()})
      QVERIFY(m >= kPrintMarginMillimetres - 1e-6);
    QVERIFY(printer.pageLayout().paintRect(QPageLayout::Millimeter).left() >= kPrintMarginMillimetres - 1e-6);
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    const QString text = PdfText(path);
    if (!text.isEmpty()) {
      QVERIFY2(text.contains(QStringLiteral("Student's unpaired t-test")), qPrintable(text));
      QVERIFY(text.contains(QStringLiteral("P-value:")) && text.contains(calc->valueBox(0)->text()));
      QCOMPARE(text.count(QChar('\f')), 1);  // one page
    }
    // A printed graph takes the page's width at a ratio between 1.25 and 1.8,
    // whatever the shape of its window.
    QCOMPARE(PrintedGraphAspect(QSize(200, 800)), kLeastPrintedGraphAspect);
    QCOMPARE(PrintedGraphAspect(QSize(900, 200)), kGreatestPrintedGraphAspect);
    QCOMPARE(PrintedGraphAspect(QSize(600, 400)), 1.5);

    // File > Print Preview... shows the table's one page.
    OpenRangeWindow<TableWindow>(*w, kRange);
    int pages = 0;
    auto previewed = HandleNextDialog<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* d) {
      QApplication::processEvents();
      pages = d->findChild<QPrintPreviewWidget*>()->pageCount();
      d->reject();
    });
    w->menus().printPreview->trigger();
    QVERIFY(previewed->seen);
    QCOMPARE(pages, 1);
    // Cancelling the print dialog prints nothing.
    auto cancel = RejectNextDialog();
    w->menus().print->trigger();
    QVERIFY2(cancel->title.contains(QStringLiteral("Print")), qPrintable(cancel->title));
  }

  void savingProposesTheNameAndOpeningAddsAWindow() {
    auto w = StartProgram();
    w->menus().newTable->trigger();  // Table 1, left empty
    TableWindow* table = OpenRangeWindow<TableWindow>(*w, kRange);
    QCOMPARE(table->parentWidget()->windowTitle(), QStringLiteral("Table 2 - Student's unpaired t-test"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.dim"));
    auto saver = AcceptNextFileDialog(path);
    w->menus().saveAs->trigger();
    QCOMPARE(QFileInfo(saver->proposed).fileName(), QStringLiteral("Table2.dim"));
    QCOMPARE(QFileInfo(path).size(), 1352);

    CalcWindow* first = UnpairedTTest(*w);
    Type(first->valueBox(3), QStringLiteral("0.35"));  // a changed value, solved again
    QTest::keyClick(first->valueBox(3), Qt::Key_Return);
    const QString solved = first->valueBox(0)->text();
    const QString calcPath = dir.filePath(QStringLiteral("Calc1.dim"));
    saver = AcceptNextFileDialog(calcPath);
    w->menus().saveAs->trigger();
    const std::vector<WindowSettings> before(w->session().records.begin(), w->session().records.end());

    auto opener = AcceptNextFileDialog(calcPath);
    w->menus().openFile->trigger();
    QCOMPARE(w->resultWindows().size(), std::size_t{4});
    auto* opened = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QVERIFY(opened != nullptr && opened != first);
    QCOMPARE(opened->parentWidget()->windowTitle(), QStringLiteral("Calculation 2 - Student's unpaired t-test - Calc1.dim"));
    QCOMPARE(opened->valueBox(3)->text(), QStringLiteral("0.35"));
    QCOMPARE(opened->valueBox(0)->text(), solved);
    // The windows that were open are as they were.
    for (std::size_t i = 1; i < before.size(); ++i)
      QVERIFY2(w->session().records[i].SameSettings(before[i]), qPrintable(QString::number(i)));
    QCOMPARE(first->valueBox(0)->text(), solved);
    // A table file reopens with its range.
    auto* reopened = qobject_cast<TableWindow*>(w->OpenSettings(path));
    QVERIFY(reopened != nullptr && reopened->hasResults());
    QCOMPARE(reopened->content().yValues, table->content().yValues);
    QCOMPARE(reopened->content().headings, table->content().headings);
    // Opening changed nothing that needs saving.
    auto asked = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(qobject_cast<QMdiSubWindow*>(opened->parentWidget())->close());
    QApplication::processEvents();
    QVERIFY(!asked->seen);
  }

  void aRefusedFileOpensNothingAndSaysWhy() {
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
    QCOMPARE(answer->title, QStringLiteral("Open File"));
    QVERIFY(answer->text.contains(QStringLiteral("short.dim")));
    QCOMPARE(w->resultWindows().size(), std::size_t{1});
    QCOMPARE(w->session().records.size(), records);
    QVERIFY(MainWindow::RecentFiles().indexOf(path) < 0);
  }
};

PELMORA_GUI_TEST(OutputAndFilesTest)

}  // namespace pelmora::gui_testing

#include "test_output_and_files.moc"
