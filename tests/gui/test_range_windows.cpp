// The Table and Graph windows with their axis-parameter dialog: a run fills
// the table, Cancel stops a long run and leaves the window as it was, the
// roles exchange, and the appearance dialogs change what is shown.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include "engine/calculation.h"
#include "widgets/number_box.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"
#include "session/window_records.h"
#include "views/appearance_dialogs.h"
#include "views/axis_dialog.h"
#include "views/range_window.h"
#include "views/table_view.h"

namespace pelmora::gui_testing {
namespace {

void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

// Chooses the entry with `caption` in a role list, as a click would.
void Choose(QComboBox* list, const QString& caption) {
  const int i = list->findText(caption);
  QVERIFY2(i >= 0, qPrintable(caption));
  list->setCurrentIndex(i);
  emit list->activated(i);
}

// A New Table or New Graph with the unpaired t-test chosen and its options
// confirmed; in the axis-parameter dialog the sample size is calculated over
// the standard deviation for values of the second mean.
template <typename Window>
Window* OpenRangeWindow(MainWindow& w, int fileItem) {
  w.fileAction(fileItem)->trigger();
  w.testAction(0)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  AxisParameterDialog* dialog = w.axisDialog();
  Choose(dialog->roleList(0), QStringLiteral("Sample Size 1"));
  Choose(dialog->roleList(1), QStringLiteral("Standard Deviation*"));
  Choose(dialog->roleList(2), QStringLiteral("Mean 2*"));
  return qobject_cast<Window*>(w.activeResultWindow());
}

// The result of one point solved alone, as a Calculation window solves it.
Single SolvedAlone(const Session& shown, int xPosition, double x, int zPosition, double z) {
  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  d.SelectTest(0);
  d.ApplyOptions();
  for (int p = 0; p <= s.LastPosition; ++p) s.entryAt(p).ParamText = shown.entryAt(p).ParamText;
  s.entryAt(xPosition).ParamText = QString::number(x).toStdString();
  s.entryAt(zPosition).ParamText = QString::number(z).toStdString();
  s.UnknownPosition = shown.UnknownPosition;
  if (CalculateSingle(d) != SingleOutcome::Solved) return kNotCalculated;
  return ToSingle(s.value(s.UnknownPosition));
}

}  // namespace

class RangeWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void aTableRunFillsEveryCell() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, 1);
    QVERIFY(table != nullptr);
    AxisParameterDialog* dialog = w->axisDialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->roleList(0)->currentText(), QStringLiteral("Sample Size 1"));
    QCOMPARE(dialog->roleList(1)->currentText(), QStringLiteral("Standard Deviation*"));
    QCOMPARE(dialog->roleList(2)->currentText(), QStringLiteral("Mean 2*"));

    Type(dialog->xMinBox(), QStringLiteral("0.6"));
    Type(dialog->xMaxBox(), QStringLiteral("1,4"));  // a decimal comma
    Type(dialog->xStepBox(), QStringLiteral("0.2"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.6 0.7"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);

    const Session& s = w->session();
    QVERIFY(table->hasResults());
    const TableContent& c = table->content();
    QCOMPARE(c.xValues.size(), std::size_t{5});
    QCOMPARE(c.zValues, (std::vector<Single>{0.5f, 0.6f, 0.7f}));
    QCOMPARE(c.xValues.back(), 1.4f);
    for (std::size_t k = 0; k < 3; ++k)
      for (std::size_t i = 0; i < 5; ++i) {
        const Single alone = SolvedAlone(s, s.XPosition, c.xValues[i], s.ZPosition, c.zValues[k]);
        QVERIFY2(std::abs(c.yValues[k][i] - alone) <= 1e-3f * alone ||
                     (!IsCalculated(alone) && !IsCalculated(c.yValues[k][i])),
                 qPrintable(QStringLiteral("%1 %2: %3 vs %4").arg(k).arg(i).arg(c.yValues[k][i]).arg(alone)));
      }
    // The table shows them: one block of three columns, a line per x value.
    const TableModel& m = table->view()->table().model;
    QCOMPARE(m.blocks.size(), std::size_t{1});
    QCOMPARE(m.headingLines.size(), s.RangeHeadings.size());
    QCOMPARE(QString::fromStdString(m.headingLines[1].pieces[0].text),
             QStringLiteral("Sample Size 1 as a function of Standard Deviation* and Mean 2*."));
    // The fixed values as they were entered.
    QCOMPARE(QString::fromStdString(m.headingLines[2].pieces[0].text),
             QStringLiteral("P-value=.05    H0: Mean 2 - Mean 1=0    Mean 1*=.3"));
    // The record keeps the settings; the window is in front.
    const WindowSettings& r = s.records[static_cast<std::size_t>(table->tag())];
    QCOMPARE(r.xMin, std::string("0.6"));
    QCOMPARE(r.zValues, std::string("0.5 0.6 0.7"));
    QCOMPARE(w->activeResultWindow(), table);
    QVERIFY(!dialog->progressBar()->isVisible());
    QCOMPARE(dialog->okButton()->text(), QStringLiteral("OK"));
  }

  void rangeMessagesKeepTheDialogAndItsTexts() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, 1);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0"));
    Type(dialog->xMaxBox(), QStringLiteral("99"));
    Type(dialog->xStepBox(), QStringLiteral("0.99"));
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(answer->seen);
    QCOMPARE(answer->text, QStringLiteral("Maximum number of steps is 100"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->xStepBox()->text(), QStringLiteral("0.99"));
    QVERIFY(!table->hasResults());

    // A letter is refused as in every value box.
    auto refused = AnswerNextMessageBox(QMessageBox::Ok);
    Type(dialog->zBox(), QStringLiteral("0.5a"));
    QVERIFY(refused->seen);
    QCOMPARE(refused->text, QStringLiteral("a   is not allowed. Must be a digit."));
    QCOMPARE(dialog->zBox()->text(), QStringLiteral("0.5"));
  }

  void cancelStopsTheRunAndLeavesTheWindowAsItWas() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, 1);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.3"));
    Type(dialog->xMaxBox(), QStringLiteral("0.5"));
    Type(dialog->xStepBox(), QStringLiteral("0.1"));
    Type(dialog->zBox(), QStringLiteral("0.5"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(table->hasResults());
    const TableContent before = table->content();
    const std::size_t windows = w->resultWindows().size();

    // A long run: every clock reading two seconds on, so the display shows
    // after the first point; meanwhile the user tries the menus, tries to
    // close the table, and presses Cancel.
    double now = 0;
    dialog->setClock([&now] { return now += 2.0; });
    Type(dialog->xMaxBox(), QStringLiteral("1.2"));
    Type(dialog->xStepBox(), QStringLiteral("0.01"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.6 0.7"));
    bool shownWithCancel = false;
    bool closeRefused = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (!dialog->running()) return;
      user.stop();
      shownWithCancel = dialog->progressBar()->isVisible() && dialog->okButton()->text() == "Cancel";
      w->fileAction(1)->trigger();  // New Table does nothing meanwhile
      w->testAction(2)->trigger();  // nor does a test procedure
      closeRefused = !qobject_cast<QMdiSubWindow*>(table->parentWidget())->close();
      QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    user.start(0);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(shownWithCancel);
    QVERIFY(closeRefused);
    QCOMPARE(w->resultWindows().size(), windows);
    QCOMPARE(w->session().TestIndex, std::int16_t{0});
    QVERIFY(!w->session().Busy);
    QVERIFY(!dialog->progressBar()->isVisible());
    QCOMPARE(dialog->okButton()->text(), QStringLiteral("OK"));
    // The earlier results stay, in the window and in the session.
    QCOMPARE(table->content().yValues, before.yValues);
    QCOMPARE(w->session().XValues, before.xValues);
    QCOMPARE(table->view()->table().model.blocks.front().lines.size(),
             before.xValues.size() + 9);  // rules, headings, empty lines and three x values
  }

  void choosingARoleHeldByAnotherListExchangesThem() {
    auto w = StartProgram();
    OpenRangeWindow<TableWindow>(*w, 1);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.5"));  // remembered for the standard deviation
    Choose(dialog->roleList(1), QStringLiteral("Mean 2*"));
    QCOMPARE(dialog->roleList(1)->currentText(), QStringLiteral("Mean 2*"));
    QCOMPARE(dialog->roleList(2)->currentText(), QStringLiteral("Standard Deviation*"));
    // Neither is among the fixed rows.
    for (int i = 0; i < kAxisDialogRows; ++i) {
      if (!dialog->parLabel(i)->isVisible()) continue;
      QVERIFY(dialog->parLabel(i)->text() != QStringLiteral("Mean 2*"));
      QVERIFY(dialog->parLabel(i)->text() != QStringLiteral("Standard Deviation*"));
    }
    Choose(dialog->roleList(1), QStringLiteral("Standard Deviation*"));
    QCOMPARE(dialog->xMinBox()->text(), QStringLiteral("0.5"));
    QCOMPARE(dialog->roleList(2)->currentText(), QStringLiteral("Mean 2*"));

    // The unknown exchanged with a fixed parameter: it leaves the rows, the
    // sample size joins them.
    Choose(dialog->roleList(0), QStringLiteral("Mean 1*"));
    QStringList rows;
    for (int i = 0; i < kAxisDialogRows; ++i)
      if (dialog->parLabel(i)->isVisible()) rows << dialog->parLabel(i)->text();
    QVERIFY(rows.contains(QStringLiteral("Sample Size 1")));
    QVERIFY(!rows.contains(QStringLiteral("Mean 1*")));
  }

  void editTableChangesTheFontAndTheColumns() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, 1);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.5"));
    Type(dialog->xMaxBox(), QStringLiteral("1"));
    Type(dialog->xStepBox(), QStringLiteral("0.25"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.55 0.6 0.65 0.7"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(table->view()->table().model.blocks.size(), std::size_t{1});

    QString family;
    auto edit = HandleNextDialog<EditTableDialog>([&family](EditTableDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Edit Table"));
      d->cmbFonts()->setCurrentIndex(d->cmbFonts()->count() - 1);
      family = d->cmbFonts()->currentText();
      d->cmbSize()->setCurrentIndex(d->cmbSize()->findText(QStringLiteral("14")));
      d->cmbCol()->setCurrentIndex(d->cmbCol()->findText(QStringLiteral("2")));
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(table->editButton(), Qt::LeftButton);
    QVERIFY(edit->seen);
    const WindowSettings& r = w->session().records[static_cast<std::size_t>(table->tag())];
    QCOMPARE(QString::fromStdString(r.fontName), family);
    QCOMPARE(r.fontSize, std::string("14"));
    QCOMPARE(r.TableColumns, std::int16_t{2});
    QVERIFY(r.WindowChanged);
    // Five z values in blocks of two: 2, 2 and 1, drawn in the new font.
    const TableModel& m = table->view()->table().model;
    QCOMPARE(m.blocks.size(), std::size_t{3});
    QCOMPARE(m.blocks[2].columns.count, std::size_t{1});
    QCOMPARE(table->view()->picture()->font().family(), family);
    QCOMPARE(table->view()->picture()->font().pointSize(), 14);

    // Cancel leaves everything as it is.
    auto cancel = HandleNextDialog<EditTableDialog>([](EditTableDialog* d) {
      d->cmbCol()->setCurrentIndex(d->cmbCol()->findText(QStringLiteral("5")));
      QTest::mouseClick(d->cmdCancel(), Qt::LeftButton);
    });
    QTest::mouseClick(table->editButton(), Qt::LeftButton);
    QVERIFY(cancel->seen);
    QCOMPARE(r.TableColumns, std::int16_t{2});
  }

  void aGraphRunDrawsAndEditGraphRefusesATickOfZero() {
    auto w = StartProgram();
    auto* graph = OpenRangeWindow<GraphWindow>(*w, 2);
    QVERIFY(graph != nullptr);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.5"));
    Type(dialog->xMaxBox(), QStringLiteral("1.5"));
    Type(dialog->xStepBox(), QStringLiteral("0.1"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.6 0.7"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(graph->hasResults());
    // The axis titles follow the roles.
    const GraphAppearance a = graph->appearance();
    QCOMPARE(a.xTitle, std::string("Standard Deviation*"));
    QCOMPARE(a.yTitle, std::string("Sample Size 1"));
    QCOMPARE(a.zTitle, std::string("Mean 2*"));
    // The picture holds the three curve colours.
    const QImage picture = graph->Picture();
    for (int k = 0; k < 3; ++k) {
      int count = 0;
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) count += picture.pixelColor(x, y) == CurveColour(k);
      QVERIFY2(count > 50, qPrintable(QString::number(k)));
    }

    SeenMessage said;
    bool stayedOpen = false;
    auto edit = HandleNextDialog<EditGraphDialog>([&](EditGraphDialog* d) {
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      d->txtXAxisValue(3)->setText(QStringLiteral("0"));
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
      QTRY_VERIFY(answer->seen);
      said = *answer;
      stayedOpen = d->isVisible() && d->focusWidget() == d->txtXAxisValue(3);
      d->txtXAxisValue(3)->setText(QStringLiteral("0.2"));
      d->txtTitle()->setText(QStringLiteral("Sample sizes"));
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(graph->editButton(), Qt::LeftButton);
    QVERIFY(edit->seen);
    QCOMPARE(said.text, QStringLiteral("0  Is Not Allowed"));
    QCOMPARE(said.title, QStringLiteral("Can't Calculate"));
    QVERIFY(stayedOpen);
    QCOMPARE(graph->appearance().title, std::string("Sample sizes"));
  }

  void aSingleXValueGivesTheResolutionMessage() {
    auto w = StartProgram();
    OpenRangeWindow<GraphWindow>(*w, 2);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.4"));
    Type(dialog->xMaxBox(), QStringLiteral("0.4"));
    Type(dialog->xStepBox(), QStringLiteral("1"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.6"));
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QTRY_VERIFY(answer->seen);
    QCOMPARE(answer->text, QStringLiteral("Insufficient resolution in the X direction !"));
    QCOMPARE(answer->icon, QMessageBox::Information);
  }

  void exportWritesTheTableAndTheGraph() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, 1);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.5"));
    Type(dialog->xMaxBox(), QStringLiteral("1"));
    Type(dialog->xStepBox(), QStringLiteral("0.5"));
    Type(dialog->zBox(), QStringLiteral("0.5 0.6"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(table->hasResults());
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    auto answer = AcceptNextFileDialog(csv);
    w->fileAction(6)->trigger();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.startsWith(QStringLiteral("# Student's unpaired t-test")));
    QVERIFY(text.contains(QStringLiteral("Standard Deviation*,Mean 2* = 0.5,Mean 2* = 0.6\r\n")));
    // Four heading lines (the description, y over x and z, the fixed values
    // in two lines), the header row, two x values.
    QCOMPARE(text.count(QStringLiteral("\r\n")), 4 + 1 + 2);
    file.remove();
  }
};

PELMORA_GUI_TEST(RangeWindowsTest)

}  // namespace pelmora::gui_testing

#include "test_range_windows.moc"
