// The grid dialog: typing two groups into the unpaired t-test's grid from the
// box of the pooled standard deviation, the arrow keys, a click on a cell,
// and Cancel.
#include <QLineEdit>
#include <QPushButton>

#include "app/grid_dialog.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"

namespace pelmora::gui_testing {

namespace {

// Plays the user in the next grid dialog.
struct GridPlayer {
  QTimer timer;
  bool seen = false;
  QString title;
};

std::unique_ptr<GridPlayer> PlayNextGrid(std::function<void(GridDialog*)> play) {
  auto player = std::make_unique<GridPlayer>();
  GridPlayer* p = player.get();
  QObject::connect(&p->timer, &QTimer::timeout, [p, play] {
    auto* dialog = qobject_cast<GridDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    p->timer.stop();
    p->seen = true;
    p->title = dialog->windowTitle();
    play(dialog);
  });
  p->timer.start(10);
  return player;
}

void TypeInto(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClicks(box, text);
}

CalcWindow* UnpairedTTest(MainWindow& w) {
  w.testAction(0)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  return qobject_cast<CalcWindow*>(w.activeResultWindow());
}

}  // namespace

class GridDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void twoGroupsGiveThePooledSdAndBothSizes() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    auto player = PlayNextGrid([](GridDialog* g) {
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
      QTest::mouseClick(g->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(calc->valueBox(4), Qt::LeftButton);
    QTRY_VERIFY(player->seen);
    QCOMPARE(player->title, QStringLiteral("Calculation of Standard Deviation*"));
    // math.sqrt((9 * 1 + 19 * 4) / 28) = 1.742330
    QTRY_COMPARE(calc->valueBox(4)->text(), QStringLiteral("1.74233"));
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("10.0"));
    QCOMPARE(calc->valueBox(6)->text(), QStringLiteral("20.0"));
    QVERIFY(w->session().records[1].WindowChanged);
  }

  void cancelLeavesTheBoxes() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    auto player = PlayNextGrid([](GridDialog* g) {
      TypeInto(g->entryBox(), QStringLiteral("4"));
      QTest::mouseClick(g->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(calc->valueBox(4), Qt::LeftButton);
    QTRY_VERIFY(player->seen);
    QApplication::processEvents();
    QCOMPARE(calc->valueBox(4)->text(), QStringLiteral("1.2"));
    QCOMPARE(w->session().grid.cell(1, 1), std::string("4"));
    QVERIFY(!w->session().CalcStopped);
  }

  void otherBoxesOpenNoGrid() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    auto player = PlayNextGrid([](GridDialog* g) { g->cancelButton()->click(); });
    QTest::mouseClick(calc->valueBox(5), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!player->seen);
  }
};

PELMORA_GUI_TEST(GridDialogTest)

}  // namespace pelmora::gui_testing

#include "test_grid_dialog.moc"
