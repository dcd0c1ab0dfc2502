// The Table and Graph windows with their axis-parameter dialog: a run fills
// the table, Cancel stops a long run and leaves the window as it was, the
// roles exchange, the appearance dialogs change what is shown, and the dialog
// stays beside the window and where the user put it.
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "engine/calculation.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "gui/gui_test.h"
#include "session/window_records.h"
#include "app/picture_size_dialog.h"
#include "views/appearance_dialogs.h"
#include "views/plot_xyz.h"
#include "views/result_output.h"
#include "views/table_view.h"
#include "widgets/number_box.h"

namespace pelmora::gui_testing {
namespace {

// The result of one point solved alone, as a Calculation window solves it.
Single SolvedAlone(const Session& shown, int xPosition, double x, int zPosition, double z) {
  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  d.Select(Procedure::UnpairedT);
  d.ApplyOptions();
  for (int p = 0; p <= s.LastPosition; ++p) s.entryAt(p).ParamText = shown.entryAt(p).ParamText;
  s.entryAt(xPosition).ParamText = QString::number(x).toStdString();
  s.entryAt(zPosition).ParamText = QString::number(z).toStdString();
  s.UnknownPosition = shown.UnknownPosition;
  if (CalculateSingle(d) != SingleOutcome::Solved) return kNotCalculated;
  return ToSingle(s.value(s.UnknownPosition));
}

QStringList ShownRows(AxisParameterDialog* dialog) {
  QStringList rows;
  for (int i = 0; i < kAxisDialogRows; ++i)
    if (!dialog->parLabel(i)->isHidden()) rows << dialog->parLabel(i)->text();
  return rows;
}

// A New Table or New Graph of the unpaired t-test, planned by power or not,
// with its roles and range, calculated.
template <typename Window>
Window* PlannedRange(MainWindow& w, bool byPower, const char* y, const char* x, const char* z,
                     const QStringList& range) {
  (std::is_same_v<Window, TableWindow> ? w.menus().newTable : w.menus().newGraph)->trigger();
  w.menus().procedure(Procedure::UnpairedT)->trigger();
  QCheckBox* power = w.optionsDialog()->planByPowerBox();
  if (power->isChecked() != byPower) QTest::mouseClick(power, Qt::LeftButton, {}, QPoint(6, power->height() / 2));
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  AxisParameterDialog* dialog = w.axisDialog();
  const char* roles[] = {y, x, z};
  for (int i = 0; i < 3; ++i) Choose(dialog->roleList(i), QString::fromLatin1(roles[i]));
  QLineEdit* boxes[] = {dialog->xMinBox(), dialog->xMaxBox(), dialog->xStepBox(), dialog->zBox()};
  for (int i = 0; i < 4; ++i) Type(boxes[i], range[i]);
  QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  return qobject_cast<Window*>(w.activeResultWindow());
}

void Activate(MainWindow& w, QWidget* window) {
  w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
}

}  // namespace

class RangeWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void thePowerCurveOpensInOneStep() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QTest::mouseClick(w->optionsDialog()->rowButton(1, 2), Qt::LeftButton, {}, QPoint(6, 6));
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(2), QStringLiteral("0"));
    Type(calc->valueBox(3), QStringLiteral("0.5"));
    Type(calc->valueBox(6), QStringLiteral("1"));
    QTest::mouseClick(calc->label(5), Qt::LeftButton);
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("45.482"));
    QVERIFY(calc->powerCurveButton()->isVisible());
    w->menus().editMenu->aboutToShow();
    QVERIFY(w->menus().powerCurve->isEnabled());

    w->menus().powerCurve->trigger();
    auto* graph = qobject_cast<GraphWindow*>(w->activeResultWindow());
    QVERIFY(graph != nullptr && graph->hasResults());
    const Session& s = w->session();
    // The power, planned by power, over Sample Size 1 from 45.482 / 2 to 2 x 45.482, for
    // Mean 2* at 0.75, 1 and 1.25 times its distance to Mean 1* = 0.
    QCOMPARE(s.ParameterList[static_cast<std::size_t>(s.UnknownPosition)], param::Power);
    QCOMPARE(s.YValues.size(), std::size_t{3});
    QCOMPARE(s.ZValues, (std::vector<Single>{0.375f, 0.5f, 0.625f}));
    QCOMPARE(s.XValues.size(), std::size_t{21});
    QVERIFY(std::abs(s.XValues.front() - 22.741) < 1e-4 && std::abs(s.XValues.back() - 90.964) < 1e-3);
    // power(n, d) = nct.sf(c, 2n - 2, d / (1.2 sqrt(2 / n))) + nct.cdf(-c, ...), c = t.isf(0.025, 2n - 2):
    // power(22.741, 0.375) = 0.177741, power(90.964, 0.5) = 0.798148, power(90.964, 0.625) = 0.937454
    QVERIFY(std::abs(s.YValues[0].front() - 0.177741) < 1e-4);
    QVERIFY(std::abs(s.YValues[1].back() - 0.798148) < 1e-4);
    QVERIFY(std::abs(s.YValues[2].back() - 0.937454) < 1e-4);
    // The axis-parameter dialog holds the settings, for changes.
    AxisParameterDialog* dialog = w->axisDialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->roleList(0)->currentText(), QStringLiteral("Power"));
    QCOMPARE(dialog->xMinBox()->text(), QStringLiteral("22.741"));
    QCOMPARE(dialog->xMaxBox()->text(), QStringLiteral("90.964"));
    QCOMPARE(dialog->zBox()->text(), QStringLiteral("0.375 0.5 0.625"));
    // The Calculation window's button opens another one.
    Activate(*w, calc);
    QTest::mouseClick(calc->powerCurveButton(), Qt::LeftButton);
    QVERIFY(qobject_cast<GraphWindow*>(w->activeResultWindow()) != graph);
    QCOMPARE(w->resultWindows().size(), std::size_t{3});
  }

  void aTableRunFillsEveryCell() {
    auto w = StartProgram();
    // A decimal comma in the maximum.
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.6", "1,4", "0.2", "0.5 0.6 0.7"});
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
    // The table shows them under its heading lines, the fixed values as entered.
    const TableModel& m = table->view()->table().model;
    QCOMPARE(m.blocks.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m.headingLines[1].pieces[0].text),
             QStringLiteral("Sample Size 1 as a function of Standard Deviation* and Mean 2*."));
    QCOMPARE(QString::fromStdString(m.headingLines[2].pieces[0].text),
             QStringLiteral("P-value=.05    H0: Mean 2 - Mean 1=0    Mean 1*=.3"));
    // The record keeps the settings; the window is in front.
    const WindowSettings& r = s.records[static_cast<std::size_t>(table->tag())];
    QCOMPARE(r.xMin, std::string("0.6"));
    QCOMPARE(r.zValues, std::string("0.5 0.6 0.7"));
    QCOMPARE(w->activeResultWindow(), table);
    QCOMPARE(w->axisDialog()->okButton()->text(), QStringLiteral("OK"));
    // The captions of the fixed values tell their meaning.
    QVERIFY(w->axisDialog()->parLabel(0)->toolTip().startsWith(QStringLiteral("P-value: The P-value")));
  }

  void rangeMessagesKeepTheDialogAndItsTexts() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0"));
    Type(dialog->xMaxBox(), QStringLiteral("99"));
    Type(dialog->xStepBox(), QStringLiteral("0.99"));
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(answer->text, QStringLiteral("Maximum number of steps is 100"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->xStepBox()->text(), QStringLiteral("0.99"));
    QVERIFY(!table->hasResults());
    // A letter is refused as in every value box.
    auto refused = AnswerNextMessageBox(QMessageBox::Ok);
    Type(dialog->zBox(), QStringLiteral("0.5a"));
    QCOMPARE(refused->text, QStringLiteral("a   is not allowed. Must be a digit."));
    QCOMPARE(dialog->zBox()->text(), QStringLiteral("0.5"));
  }

  void cancelStopsTheRunAndLeavesTheWindowAsItWas() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.3", "0.5", "0.1", "0.5"});
    AxisParameterDialog* dialog = w->axisDialog();
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
    bool greyed = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (!dialog->running()) return;
      user.stop();
      shownWithCancel = dialog->progressBar()->isVisible() && dialog->okButton()->text() == "Cancel";
      greyed = !w->menus().copy->isEnabled() && !w->menus().saveAs->isEnabled();
      w->menus().newTable->trigger();  // New Table does nothing meanwhile
      w->menus().procedure(Procedure::Anova)->trigger();  // nor does a test procedure
      closeRefused = !qobject_cast<QMdiSubWindow*>(table->parentWidget())->close();
      QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    user.start(0);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(shownWithCancel && closeRefused && greyed);
    QCOMPARE(w->resultWindows().size(), windows);
    QCOMPARE(w->session().TestIndex, std::int16_t{0});
    QVERIFY(!w->session().Busy);
    QVERIFY(!dialog->progressBar()->isVisible());
    QVERIFY(w->menus().copy->isEnabled());
    // The earlier results stay, in the window and in the session.
    QCOMPARE(table->content().yValues, before.yValues);
    QCOMPARE(w->session().XValues, before.xValues);
  }

  void choosingARoleHeldByAnotherListExchangesThem() {
    auto w = StartProgram();
    OpenRangeWindow<TableWindow>(*w);
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.5"));  // remembered for the standard deviation
    Choose(dialog->roleList(1), QStringLiteral("Mean 2*"));
    QCOMPARE(dialog->roleList(2)->currentText(), QStringLiteral("Standard Deviation*"));
    QVERIFY(!ShownRows(dialog).contains(QStringLiteral("Mean 2*")));
    QVERIFY(!ShownRows(dialog).contains(QStringLiteral("Standard Deviation*")));
    Choose(dialog->roleList(1), QStringLiteral("Standard Deviation*"));
    QCOMPARE(dialog->xMinBox()->text(), QStringLiteral("0.5"));
    QCOMPARE(dialog->roleList(2)->currentText(), QStringLiteral("Mean 2*"));
    // The unknown exchanged with a fixed parameter: it leaves the rows, the
    // sample size joins them.
    Choose(dialog->roleList(0), QStringLiteral("Mean 1*"));
    QVERIFY(ShownRows(dialog).contains(QStringLiteral("Sample Size 1")));
    QVERIFY(!ShownRows(dialog).contains(QStringLiteral("Mean 1*")));
  }

  // Cancel puts back the roles, the range and the values the dialog
  // showed before its first change; the table keeps its results.
  void cancelLeavesTheRolesAndTheRange() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.6", "1.4", "0.2", "0.5 0.6"});
    const Session& s = w->session();
    const std::vector<std::string> heading = table->content().headings;
    const int unknown = s.UnknownPosition, x = s.XPosition, z = s.ZPosition;
    w->ShowAxisDialog();
    AxisParameterDialog* dialog = w->axisDialog();
    Type(dialog->xMinBox(), QStringLiteral("0.8"));
    Choose(dialog->roleList(0), QStringLiteral("Mean 1*"));
    Type(dialog->parBox(0), QStringLiteral("0.01"));
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE((std::vector<int>{s.UnknownPosition, s.XPosition, s.ZPosition}), (std::vector<int>{unknown, x, z}));
    w->ShowAxisDialog();
    QCOMPARE(dialog->xMinBox()->text(), QStringLiteral("0.6"));
    QCOMPARE(dialog->roleList(0)->currentText(), QStringLiteral("Sample Size 1"));
    QCOMPARE(dialog->parBox(0)->text(), QStringLiteral("0.05"));
    QVERIFY(table->hasResults());
    QCOMPARE(table->content().headings, heading);
  }

  // A graph of the power over the sample size, the curves for differences
  // of means: the legend has room for its title, no axis goes past what its
  // parameter can take, and Edit Graph shows the axes as drawn (automatic
  // still when they are left as shown).
  void graphAxesStayWithinTheirParametersAndTheLegendKeepsItsTitle() {
    auto w = StartProgram();
    w->menus().newGraph->trigger();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QTest::mouseClick(o->rowButton(0, 1), Qt::LeftButton);
    QTest::mouseClick(o->rowButton(1, 2), Qt::LeftButton);
    QCheckBox* box = o->planByPowerBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    AxisParameterDialog* dialog = w->axisDialog();
    Choose(dialog->roleList(0), QStringLiteral("Power"));
    Choose(dialog->roleList(1), QStringLiteral("Sample Size 1"));
    Choose(dialog->roleList(2), QStringLiteral("Mean 2* - Mean 1*"));
    QLineEdit* boxes[] = {dialog->xMinBox(), dialog->xMaxBox(), dialog->xStepBox(), dialog->zBox()};
    const QStringList range = {"4", "40", "4", "0.5 0.8 1.2"};
    for (int i = 0; i < 4; ++i) Type(boxes[i], range[i]);
    for (int i = 0; i < kAxisDialogRows; ++i)
      if (dialog->parLabel(i)->text() == QStringLiteral("P-value")) Type(dialog->parBox(i), QStringLiteral("0.05"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    auto* graph = qobject_cast<GraphWindow*>(w->activeResultWindow());
    QVERIFY(graph != nullptr && graph->hasResults());

    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    const GraphAppearance a = graph->appearance();
    const PlotGeometry g = ArrangePlot(painter, PlotTarget{QRectF(graph->picture()->rect()), 0}, a, graph->content());
    const QFontMetricsF fm(GraphFont(a), &scratch);
    painter.end();
    QCOMPARE(QString::fromStdString(a.zTitle), QStringLiteral("Mean 2* - Mean 1*"));
    // The title, a digit's space before it and more than one after it.
    QVERIFY(g.region.right() - g.plot.right() >
            fm.horizontalAdvance(QStringLiteral("Mean 2* - Mean 1*")) + 2.5 * fm.horizontalAdvance(QStringLiteral("0")));
    QVERIFY2(g.xMin >= 0 && g.yMin >= 0 && g.yMax <= 1 + 1e-9,
             qPrintable(QStringLiteral("x %1..%2, y %3..%4").arg(g.xMin).arg(g.xMax).arg(g.yMin).arg(g.yMax)));

    QStringList shown;
    auto edit = HandleNextDialog<EditGraphDialog>([&shown](EditGraphDialog* d) {
      for (int i = 1; i <= 3; ++i) shown << d->txtXAxisValue(i)->text() << d->txtYAxisValue(i)->text();
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(graph->editButton(), Qt::LeftButton);
    QVERIFY(edit->seen);
    QStringList drawn;
    for (double v : {g.xMin, g.yMin, g.xMax, g.yMax, g.xTick, g.yTick}) drawn << QString::fromStdString(ShortestGeneral(v));
    QCOMPARE(shown, drawn);
    const WindowSettings& r = w->session().records[static_cast<std::size_t>(graph->tag())];
    QVERIFY(ParseNumber(r.axisTexts[0]) == 0 && ParseNumber(r.axisTexts[1]) == 0);
    QVERIFY(ParseNumber(r.axisTexts[2]) == 0 && ParseNumber(r.axisTexts[3]) == 0);
  }

  // Beside the window, inside the main window; a run does not move it, and
  // where the user put it, it stays.
  void theDialogStaysBesideTheWindow() {
    auto w = StartProgram();
    w->resize(1400, 950);
    QApplication::processEvents();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.25", "0.5 0.6"});
    AxisParameterDialog* dialog = w->axisDialog();
    const QWidget* sub = table->parentWidget();
    QVERIFY(!dialog->frameGeometry().intersects(QRect(sub->mapToGlobal(QPoint(0, 0)), sub->size())));
    QVERIFY(w->geometry().contains(dialog->frameGeometry()));
    // Nor over the options dialog, beside the same window.
    QVERIFY(w->optionsDialog()->isVisible());
    QVERIFY(!dialog->frameGeometry().intersects(w->optionsDialog()->frameGeometry()));
    const QPoint placed = dialog->pos();
    for (const char* step : {"0.1", "0.5"}) {
      Type(dialog->xStepBox(), QString::fromLatin1(step));
      QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
      QCOMPARE(dialog->pos(), placed);
    }
    QTest::qWait(450);
    dialog->move(placed + QPoint(40, 30));
    auto* graph = OpenRangeWindow<GraphWindow>(*w);
    QCOMPARE(dialog->pos(), placed + QPoint(40, 30));
    // Coming back from the dialog to a main window whose keyboard had no
    // place activates no other window.
    QApplication::setActiveWindow(dialog);
    if (QWidget* focus = w->focusWidget()) focus->clearFocus();
    QApplication::setActiveWindow(w.get());
    QCOMPARE(w->activeResultWindow(), graph);
  }

  void editTableChangesTheFontAndTheColumns() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.25", "0.5 0.55 0.6 0.65 0.7"});
    QCOMPARE(table->view()->table().model.blocks.size(), std::size_t{1});
    QString family;
    auto edit = HandleNextDialog<EditTableDialog>([&family](EditTableDialog* d) {
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

  // "Whole Sample Sizes" shows each size of a table rounded up with the
  // subjects in all; the choice belongs to the window's settings.
  void editTableShowsWholeSampleSizes() {
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.25", "0.5 0.6"});
    const auto cells = [table] {
      QStringList texts;
      for (const TableBlock& b : table->view()->table().model.blocks)
        for (const TableLine& line : b.lines)
          for (const TablePiece& p : line.pieces) texts << QString::fromStdString(p.text).trimmed();
      return texts;
    };
    QVERIFY(!cells().join(' ').contains('('));
    bool offered = false;
    auto edit = HandleNextDialog<EditTableDialog>([&offered](EditTableDialog* d) {
      offered = d->chkWhole()->isVisible() && !d->chkWhole()->isChecked();
      d->chkWhole()->setChecked(true);
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(table->editButton(), Qt::LeftButton);
    QVERIFY(edit->seen);
    QVERIFY(offered);
    const WindowSettings& r = w->session().records[static_cast<std::size_t>(table->tag())];
    QCOMPARE(r.planning.TableWholeSizes, kTrue);
    QVERIFY(r.WindowChanged);
    // The whole first size with the second one's 30: each cell "n (n + 30)".
    const TableContent& c = table->content();
    QVERIFY(c.ShowsWholeSizes());
    const QString first = QStringLiteral("%1 (%2)").arg(c.yWhole[0][0]).arg(c.yTotals[0][0]);
    QCOMPARE(c.yTotals[0][0], c.yWhole[0][0] + 30);
    QVERIFY(c.yWhole[0][0] >= c.yValues[0][0] && c.yWhole[0][0] < c.yValues[0][0] + 1);
    QVERIFY2(cells().contains(first), qPrintable(cells().join('|')));
    // Unticked again: the results as they were.
    auto off = HandleNextDialog<EditTableDialog>([](EditTableDialog* d) {
      d->chkWhole()->setChecked(false);
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(table->editButton(), Qt::LeftButton);
    QVERIFY(off->seen);
    QCOMPARE(r.planning.TableWholeSizes, kFalse);
    QVERIFY(!cells().join(' ').contains('('));
  }

  void aWindowWithoutARecordDoesNothing() {
    // A tag that names no record (none, or one beyond the records): the
    // window opens no dialog, draws nothing and leaves every record as it was.
    auto w = StartProgram();
    auto* table = OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.25", "0.5 0.6"});
    const std::vector<WindowSettings> before = w->session().records;
    for (int tag : {0, static_cast<int>(before.size()) + 3}) {
      TableWindow stale(w->dispatcher(), tag, *w);
      GraphWindow staleGraph(w->dispatcher(), tag, *w);
      QVERIFY(stale.record() == nullptr);
      auto edit = RejectNextDialog();
      stale.EditAppearance();
      staleGraph.EditAppearance();
      QApplication::processEvents();
      QVERIFY(edit->name.isEmpty());
      stale.ShowRange(true);
      staleGraph.ShowRange(true);
      QVERIFY(TablePlainText(w->session(), stale).empty());
    }
    QVERIFY(w->session().records == before);
    QVERIFY(!TablePlainText(w->session(), *table).empty());
  }

  void aGraphRunDrawsItsCurvesAndTakesItsTitles() {
    auto w = StartProgram();
    auto* graph = OpenRangeWindow<GraphWindow>(*w, {"0.5", "1.5", "0.1", "0.5 0.6 0.7"});
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
    auto edit = HandleNextDialog<EditGraphDialog>([](EditGraphDialog* d) {
      d->txtXAxisValue(3)->setText(QStringLiteral("0.2"));
      d->txtTitle()->setText(QStringLiteral("Sample sizes"));
      QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    });
    QTest::mouseClick(graph->editButton(), Qt::LeftButton);
    QVERIFY(edit->seen);
    QCOMPARE(graph->appearance().title, std::string("Sample sizes"));
    QVERIFY(w->session().records[static_cast<std::size_t>(graph->tag())].WindowChanged);

    // A single x value gives the resolution message.
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    OpenRangeWindow<GraphWindow>(*w, {"0.4", "0.4", "1", "0.5 0.6"});
    QTRY_VERIFY(answer->seen);
    QCOMPARE(answer->text, QStringLiteral("Insufficient resolution in the X direction !"));
    QCOMPARE(answer->icon, QMessageBox::Information);
  }

  void exportWritesTheTable() {
    auto w = StartProgram();
    OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.5", "0.5 0.6"});
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    auto answer = AcceptNextFileDialog(csv);
    w->menus().exportFile->trigger();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.startsWith(QStringLiteral("# Student's unpaired t-test")));
    QVERIFY(text.contains(QStringLiteral("Standard Deviation*,Mean 2* = 0.5,Mean 2* = 0.6\r\n")));
    // Four heading lines (the description, y over x and z, the fixed values
    // in two lines), the header row, two x values.
    QCOMPARE(text.count(QStringLiteral("\r\n")), 4 + 1 + 2);
  }

  // A graph exported as a picture at the width of a printed page, 300 dots
  // per inch, in the shape of its window.
  void exportWritesAGraphForPrint() {
    auto w = StartProgram();
    auto* graph = OpenRangeWindow<GraphWindow>(*w, {"0.5", "1", "0.25", "0.5 0.6"});
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("graph.png"));
    auto answer = AcceptNextFileDialog(png);
    QSize offered;
    auto sized = HandleNextDialog<PictureSizeDialog>([&offered](PictureSizeDialog* d) {
      offered = d->pictureSize();
      QTest::mouseClick(d->pageWidthButton(), Qt::LeftButton);
      d->accept();
    });
    w->menus().exportFile->trigger();
    QVERIFY(sized->seen);
    QCOMPARE(offered, graph->picture()->size());
    const QImage image(png);
    QCOMPARE(image.width(), 2126);  // round(18 / 2.54 * 300)
    QVERIFY(std::abs(image.height() - 2126.0 * offered.height() / offered.width()) <= 1);
    QVERIFY(std::abs(image.dotsPerMeterX() * 0.0254 - 300) < 0.5);
  }

  // Windows of one procedure in which the requested power has other roles
  // (the unknown of a graph, a fixed value of a table, a parameter without a
  // box where the test is not planned by power) keep their own values when
  // another comes to the front, also after the procedure was chosen again
  // from the menu and not confirmed.
  void windowsOfOneProcedureKeepTheirValues() {
    auto w = StartProgram();
    MessageWatch messages;
    auto* graph = PlannedRange<GraphWindow>(*w, true, "Power", "Sample Size 1", "Mean 2*", {"10", "50", "10", "0.5 0.6"});
    auto* table = PlannedRange<TableWindow>(*w, true, "P-value", "Standard Deviation*", "Mean 2*",
                                            {"0.5", "1", "0.25", "0.5 0.6"});
    QVERIFY(graph->hasResults() && table->hasResults());
    const auto cells = table->content().yValues;
    w->menus().procedure(Procedure::UnpairedT)->trigger();  // not confirmed
    for (QWidget* window : {static_cast<QWidget*>(graph), static_cast<QWidget*>(table), static_cast<QWidget*>(graph),
                            static_cast<QWidget*>(table)}) {
      Activate(*w, window);
      QTest::qWait(20);
    }
    QCOMPARE(messages.texts, QStringList());
    QCOMPARE(table->content().yValues, cells);
    QCOMPARE(w->session().entry(1).ParamText, std::string("0.80"));

    // A Calculation window whose power was refused leaves "-" for it: a
    // table that is not planned by power shows no power and asks for none.
    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QVERIFY(w->optionsDialog()->planByPowerBox()->isChecked());
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(6), QStringLiteral("1"));
    QTest::mouseClick(calc->label(1), Qt::LeftButton);
    QCOMPARE(messages.texts, QStringList{"Sample Size 1 has to be greater than or equal to 3"});
    QCOMPARE(calc->valueBox(1)->text(), QStringLiteral("-"));
    PlannedRange<TableWindow>(*w, false, "Sample Size 1", "Standard Deviation*", "Mean 2*", {"0.5", "1", "0.25", "0.9"});
    QCOMPARE(messages.texts, QStringList{"Sample Size 1 has to be greater than or equal to 3"});
    QVERIFY(qobject_cast<TableWindow*>(w->activeResultWindow())->hasResults());
  }
};

PELMORA_GUI_TEST(RangeWindowsTest)

}  // namespace pelmora::gui_testing

#include "test_range_windows.moc"
