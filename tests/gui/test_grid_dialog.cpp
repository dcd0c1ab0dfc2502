// The grid dialog: typing two groups into the unpaired t-test's grid from the
// box of the pooled standard deviation, the arrow keys, a click on a cell,
// Enter and Cancel; every label whole inside the dialog at any font size.
#include <QPushButton>

#include "app/grid_dialog.h"
#include "gui/gui_test.h"

namespace pelmora::gui_testing {

namespace {

// Plays the user in the next grid dialog; notes its caption.
std::unique_ptr<DialogHandler<GridDialog>> PlayNextGrid(std::function<void(GridDialog*)> play, QString* title) {
  return HandleNextDialog<GridDialog>([play, title](GridDialog* g) {
    *title = g->windowTitle();
    play(g);
  });
}

void TypeInto(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClicks(box, text);
}

// A rectangle that holds `text` whole in the font of `w`, inside `w`.
void ExpectHolds(const QWidget* w, const QRect& r, const QString& text, const char* what) {
  const QFontMetrics fm = w->fontMetrics();
  QVERIFY2(r.width() >= fm.horizontalAdvance(text) && r.height() >= fm.height(), what);
  QVERIFY2(w->rect().contains(r), what);
}

}  // namespace

class GridDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void twoGroupsGiveThePooledSdAndBothSizes() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QString title;
    auto player = PlayNextGrid(
        [](GridDialog* g) {
          QLineEdit* box = g->entryBox();
          TypeInto(box, QStringLiteral("1"));
          QTest::keyClick(box, Qt::Key_Right);
          TypeInto(box, QStringLiteral("10"));
          QTest::keyClick(box, Qt::Key_Right);  // wraps to the second group
          QCOMPARE(box->geometry().topLeft(), g->CellRect(2, 1).topLeft() + QPoint(1, 1));
          TypeInto(box, QStringLiteral("2"));
          // A click on the last cell moves the box there.
          QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(2, 2).center());
          TypeInto(box, QStringLiteral("20"));
          QTest::keyClick(box, Qt::Key_Return);  // Enter confirms as OK does
        },
        &title);
    QTest::mouseClick(calc->valueBox(4), Qt::LeftButton);
    QTRY_VERIFY(player->seen);
    QCOMPARE(title, QStringLiteral("Calculation of Standard Deviation*"));
    // math.sqrt((9 * 1 + 19 * 4) / 28) = 1.742330
    QTRY_COMPARE(calc->valueBox(4)->text(), QStringLiteral("1.74233"));
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("10.0"));
    QCOMPARE(calc->valueBox(6)->text(), QStringLiteral("20.0"));
    QVERIFY(w->session().records[1].WindowChanged);
  }

  void cancelLeavesTheBoxesAndOtherBoxesOpenNoGrid() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QString title;
    auto player = PlayNextGrid(
        [](GridDialog* g) {
          TypeInto(g->entryBox(), QStringLiteral("4"));
          QTest::mouseClick(g->cancelButton(), Qt::LeftButton);
        },
        &title);
    QTest::mouseClick(calc->valueBox(4), Qt::LeftButton);
    QTRY_VERIFY(player->seen);
    QApplication::processEvents();
    QCOMPARE(calc->valueBox(4)->text(), QStringLiteral("1.2"));
    QCOMPARE(w->session().grid.cell(1, 1), std::string("4"));
    QVERIFY(!w->session().CalcStopped);

    auto none = PlayNextGrid([](GridDialog* g) { g->cancelButton()->click(); }, &title);
    QTest::mouseClick(calc->valueBox(5), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!none->seen);
  }

  // The labels of an entry like the analysis of variance's, measured in the
  // dialog's font and in one twice as large (the font of 192 dots per inch).
  void everyLabelIsWholeInsideTheDialog() {
    RecordingUserInterface ui;
    Session s(ui);
    GridTable& g = s.grid;
    g.rows = 3;
    g.columns = 4;
    g.GridCells.assign(3, std::vector<std::string>(4, "12.5"));
    g.rowLabels = "Mean StDev Numbers";
    g.sideLabel = "Group Numbers";
    g.headings = {"Factor A", "Group No", "2", "Numbers in Category"};
    g.headingCaption = "Numbers in Category of Factor A";
    GridEditing editing(g, {});
    GridDialog dialog(editing, ui);
    for (int scale : {1, 2}) {
      QFont font = dialog.font();
      font.setPointSizeF(QApplication::font().pointSizeF() * scale);
      dialog.setFont(font);
      ExpectHolds(&dialog, dialog.HeadingCaptionRect(), QString::fromStdString(g.headingCaption), "caption");
      for (int c = 1; c <= g.columns; ++c)
        ExpectHolds(&dialog, dialog.HeadingRect(c), QString::fromStdString(g.headings[c - 1]), "heading");
      const QStringList words = QString::fromStdString(g.rowLabels).split(' ');
      for (int r = 1; r <= g.rows; ++r) ExpectHolds(&dialog, dialog.RowLabelRect(r), words[r - 1], "row label");
      const QRect side = dialog.SideLabelRect();
      QVERIFY(dialog.rect().contains(side));
      QVERIFY(side.height() >= static_cast<int>(g.sideLabel.size()) * dialog.fontMetrics().height());
      for (QChar ch : QString::fromStdString(g.sideLabel))
        QVERIFY(side.width() >= dialog.fontMetrics().horizontalAdvance(ch));
      // Nothing overlaps: labels left of the cells and above them, the
      // buttons below.
      QVERIFY(side.right() < dialog.RowLabelRect(1).left());
      QVERIFY(dialog.RowLabelRect(1).right() < dialog.CellRect(1, 1).left());
      QVERIFY(dialog.HeadingRect(1).bottom() < dialog.CellRect(1, 1).top());
      QVERIFY(dialog.HeadingCaptionRect().bottom() < dialog.HeadingRect(1).top());
      QVERIFY(dialog.okButton()->geometry().top() > std::max(side.bottom(), dialog.CellRect(3, 1).bottom()));
      QVERIFY(dialog.rect().contains(dialog.cancelButton()->geometry()));
    }
  }
};

PELMORA_GUI_TEST(GridDialogTest)

}  // namespace pelmora::gui_testing

#include "test_grid_dialog.moc"
