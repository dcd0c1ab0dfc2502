// The appearance dialogs: "Edit Table" / "Edit Output" show the window's
// values, preview the font, split the title into heading lines and hand back
// what OK confirmed; "Edit Graph" checks the typed axis values on OK and keeps
// the dialog open on the rejected box.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include "widgets/number_box.h"
#include "gui/gui_test.h"
#include "views/appearance_dialogs.h"

namespace pelmora::gui_testing {

namespace {

TableAppearance SomeTable() {
  TableAppearance a;
  a.headings = {"Student's t-test", "Unknown: Sample Size 1"};
  a.fontName = "Arial";
  a.fontSize = 12;
  a.bold = true;
  a.columns = 4;
  a.decimals = 3;
  return a;
}

GraphTexts SomeGraph() {
  GraphTexts t;
  t.title = "Power curves";
  t.xLabel = "Sample Size";
  t.yLabel = "Power";
  t.zLabel = "Mean 2*";
  t.xAxis = {"0", "100", "10"};
  t.yAxis = {"0", "1", "0.1"};
  t.fontName = "Arial";
  t.fontSize = 10;
  t.bold = false;
  return t;
}

// The label bound to `control`.
QLabel* LabelOf(QWidget* dialog, QWidget* control) {
  for (QLabel* label : dialog->findChildren<QLabel*>())
    if (label->buddy() == control) return label;
  return nullptr;
}

QString LabelCaption(QWidget* dialog, QWidget* control) {
  QLabel* label = LabelOf(dialog, control);
  return label != nullptr ? label->text() : QStringLiteral("<no label>");
}

// Some family of the list other than the one shown.
int OtherFontIndex(QComboBox* fonts) { return fonts->currentIndex() == 0 ? 1 : 0; }

// Shows the dialog and waits until it is the active window.
bool ShowActive(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

// Replaces the text of a box as a user does: select everything and type.
void Retype(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// Runs the dialog modally; `user` plays the user's part once the dialog is up.
int ExecWith(QDialog& dialog, std::function<void()> user) {
  QTimer::singleShot(0, &dialog, std::move(user));
  return dialog.exec();
}

}  // namespace

class AppearanceDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  // ---- Heading lines -------------------------------------------------------

  void titleTextIsSplitAtItsLineBreaks() {
    QCOMPARE(SplitHeadingLines("one\ntwo"), (std::vector<std::string>{"one", "two"}));
    QCOMPARE(SplitHeadingLines("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    // An empty line between two lines is a heading line of its own.
    QCOMPARE(SplitHeadingLines("one\n\ntwo"), (std::vector<std::string>{"one", "", "two"}));
    // Line breaks at the end add no lines; an empty text has none.
    QCOMPARE(SplitHeadingLines("one\n\n"), (std::vector<std::string>{"one"}));
    QVERIFY(SplitHeadingLines("").empty());
    QVERIFY(SplitHeadingLines("\n").empty());
    // Blanks are kept as typed.
    QCOMPARE(SplitHeadingLines("  indented "), (std::vector<std::string>{"  indented "}));
    QCOMPARE(JoinHeadingLines({"one", "", "two"}), std::string("one\n\ntwo"));
    QCOMPARE(JoinHeadingLines({}), std::string());
    QCOMPARE(MaxHeadingLines(), 16);
    QCOMPARE(TooManyHeadingLinesMessage(), std::string("Maximum number of heading lines is 16"));
  }

  // ---- Edit Table ----------------------------------------------------------

  void editTableShowsTheWindowsValues() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QCOMPARE(dialog.objectName(), QStringLiteral("frmEditTable"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Table"));
    QCOMPARE(dialog.property("helpContext").toInt(), 122);
    QCOMPARE(dialog.helpContext(), 122);
    QCOMPARE(dialog.txtTitle()->toPlainText(), QStringLiteral("Student's t-test\nUnknown: Sample Size 1"));
    QCOMPARE(dialog.cmbFonts()->currentText(), QStringLiteral("Arial"));
    QCOMPARE(dialog.cmbSize()->currentText(), QStringLiteral("12"));
    QVERIFY(dialog.chkBold()->isChecked());
    QCOMPARE(dialog.cmbCol()->currentText(), QStringLiteral("4"));
    QCOMPARE(dialog.cmbDec()->currentText(), QStringLiteral("3"));
    QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("&OK"));
    QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("&Cancel"));
    QVERIFY(dialog.cmdOK()->isDefault());

    QCOMPARE(dialog.txtTitle()->objectName(), QStringLiteral("txtTitle"));
    QCOMPARE(dialog.cmbFonts()->objectName(), QStringLiteral("cmbFonts"));
    QCOMPARE(dialog.cmbSize()->objectName(), QStringLiteral("cmbSize"));
    QCOMPARE(dialog.chkBold()->objectName(), QStringLiteral("chkBold"));
    QCOMPARE(dialog.cmbCol()->objectName(), QStringLiteral("cmbCol"));
    QCOMPARE(dialog.cmbDec()->objectName(), QStringLiteral("cmbDec"));
    QCOMPARE(dialog.cmdOK()->objectName(), QStringLiteral("cmdOK"));
    QCOMPARE(dialog.cmdCancel()->objectName(), QStringLiteral("cmdCancel"));

    QCOMPARE(LabelCaption(&dialog, dialog.txtTitle()), QStringLiteral("&Title:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbFonts()), QStringLiteral("&Font Name:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbSize()), QStringLiteral("Font &Size:"));
    QCOMPARE(LabelCaption(&dialog, dialog.chkBold()), QStringLiteral("Font &Bold:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbCol()), QStringLiteral("&No Of Columns:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbDec()), QStringLiteral("No Of &Decimals:"));
  }

  void editTableListsHoldTheirChoices() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QComboBox* sizes = dialog.cmbSize();
    QCOMPARE(sizes->count(), 23);
    QCOMPARE(sizes->itemText(0), QStringLiteral("6"));
    QCOMPARE(sizes->itemText(22), QStringLiteral("28"));
    QCOMPARE(dialog.cmbCol()->count(), 10);
    QCOMPARE(dialog.cmbCol()->itemText(0), QStringLiteral("1"));
    QCOMPARE(dialog.cmbCol()->itemText(9), QStringLiteral("10"));
    QCOMPARE(dialog.cmbDec()->count(), 9);
    QCOMPARE(dialog.cmbDec()->itemText(0), QStringLiteral("0"));
    QCOMPARE(dialog.cmbDec()->itemText(8), QStringLiteral("8"));
    // Every family of the screen is offered.
    for (const QString& family : QFontDatabase::families())
      QVERIFY2(dialog.cmbFonts()->findText(family, Qt::MatchExactly) >= 0, qPrintable(family));
    for (auto* combo : {dialog.cmbFonts(), sizes, dialog.cmbCol(), dialog.cmbDec()})
      QVERIFY(!combo->isEditable());
  }

  void valuesTheListsLackAreShownAndKept() {
    TableAppearance a = SomeTable();
    a.fontName = "No Such Font Pelmora";
    a.fontSize = 36;
    a.columns = 0;
    a.decimals = -1;
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QCOMPARE(dialog.cmbFonts()->currentText(), QStringLiteral("No Such Font Pelmora"));
    QCOMPARE(dialog.cmbFonts()->count(), static_cast<int>(QFontDatabase::families().size()) + 1);
    QCOMPARE(dialog.cmbSize()->currentText(), QStringLiteral("36"));
    QCOMPARE(dialog.cmbSize()->itemText(dialog.cmbSize()->count() - 1), QStringLiteral("36"));
    // Automatic decimals and an unset column count: no choice shown.
    QCOMPARE(dialog.cmbCol()->currentIndex(), -1);
    QCOMPARE(dialog.cmbDec()->currentIndex(), -1);
    QCOMPARE(dialog.cmbDec()->count(), 9);
    QVERIFY(ShowActive(dialog));
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.appearance(), a);
  }

  void aWindowWithoutAFontShowsTheOutputFont() {
    TableAppearance a = SomeTable();
    a.fontName = "";
    a.fontSize = 0;
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QCOMPARE(dialog.cmbFonts()->currentText(), QStringLiteral("Arial"));
    QCOMPARE(dialog.cmbSize()->currentText(), QStringLiteral("9"));
    QCOMPARE(dialog.cmbSize()->count(), 23);
  }

  void automaticDecimalsChangeOnlyWhenPicked() {
    TableAppearance a = SomeTable();
    a.decimals = -1;
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    dialog.cmbDec()->setCurrentIndex(0);
    dialog.cmdOK()->click();
    QCOMPARE(dialog.appearance().decimals, std::int16_t{0});
  }

  void okStoresTitleFontColumnsAndDecimals() {
    const TableAppearance before = SomeTable();
    EditTableDialog dialog(before, EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    const int other = OtherFontIndex(dialog.cmbFonts());
    const QString family = dialog.cmbFonts()->itemText(other);
    dialog.cmbFonts()->setCurrentIndex(other);
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("14")));
    QTest::mouseClick(dialog.chkBold(), Qt::LeftButton);
    dialog.cmbCol()->setCurrentIndex(2);
    dialog.cmbDec()->setCurrentIndex(5);
    dialog.txtTitle()->setFocus();
    dialog.txtTitle()->selectAll();
    QTest::keyClicks(dialog.txtTitle(), QStringLiteral("First line"));
    QTest::keyClick(dialog.txtTitle(), Qt::Key_Return);
    QTest::keyClick(dialog.txtTitle(), Qt::Key_Return);
    QTest::keyClicks(dialog.txtTitle(), QStringLiteral("Third line"));
    // Before OK nothing is handed back.
    QCOMPARE(dialog.appearance(), before);
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    const TableAppearance after = dialog.appearance();
    QCOMPARE(after.headings, (std::vector<std::string>{"First line", "", "Third line"}));
    QCOMPARE(QString::fromStdString(after.fontName), family);
    QCOMPARE(after.fontSize, 14);
    QCOMPARE(after.bold, false);
    QCOMPARE(after.columns, std::int16_t{3});
    QCOMPARE(after.decimals, std::int16_t{5});
  }

  void theReturnKeyInTheTitleStartsANewLineAndDoesNotClose() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    dialog.txtTitle()->setFocus();
    dialog.txtTitle()->moveCursor(QTextCursor::End);
    QTest::keyClick(dialog.txtTitle(), Qt::Key_Return);
    QTest::keyClicks(dialog.txtTitle(), QStringLiteral("Third"));
    QVERIFY(dialog.isVisible());
    dialog.cmdOK()->click();
    QCOMPARE(dialog.appearance().headings,
             (std::vector<std::string>{"Student's t-test", "Unknown: Sample Size 1", "Third"}));
  }

  void cancelAndEscapeStoreNothing() {
    const TableAppearance before = SomeTable();
    {
      EditTableDialog dialog(before, EditTableDialog::Use::Table);
      const int code = ExecWith(dialog, [&dialog] {
        dialog.cmbFonts()->setCurrentIndex(OtherFontIndex(dialog.cmbFonts()));
        dialog.cmbCol()->setCurrentIndex(0);
        dialog.txtTitle()->setPlainText(QStringLiteral("changed"));
        dialog.cmdCancel()->click();
      });
      QCOMPARE(code, int(QDialog::Rejected));
      QCOMPARE(dialog.appearance(), before);
    }
    {
      EditTableDialog dialog(before, EditTableDialog::Use::Table);
      const int code = ExecWith(dialog, [&dialog] {
        dialog.cmbSize()->setCurrentIndex(0);
        QTest::keyClick(dialog.txtTitle(), Qt::Key_Escape);
      });
      QCOMPARE(code, int(QDialog::Rejected));
      QCOMPARE(dialog.appearance(), before);
    }
  }

  void okThroughExecAccepts() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    const int code = ExecWith(dialog, [&dialog] {
      dialog.cmbCol()->setCurrentIndex(6);
      QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);
    });
    QCOMPARE(code, int(QDialog::Accepted));
    QCOMPARE(dialog.appearance().columns, std::int16_t{7});
  }

  void moreThanSixteenHeadingLinesAreRefused() {
    TableAppearance a = SomeTable();
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    QStringList lines;
    for (int i = 1; i <= 17; ++i) lines << QStringLiteral("Line %1").arg(i);
    dialog.txtTitle()->setPlainText(lines.join('\n'));
    {
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      dialog.cmdOK()->click();
      QVERIFY(answer->seen);
      QCOMPARE(answer->text, QStringLiteral("Maximum number of heading lines is 16"));
      QCOMPARE(answer->title, QStringLiteral("Pelmora"));
      QCOMPARE(answer->icon, QMessageBox::Warning);
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.appearance(), a);
    QTRY_COMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.txtTitle()));
    // Sixteen lines (and a final line break) pass.
    lines.removeLast();
    dialog.txtTitle()->setPlainText(lines.join('\n') + '\n');
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.appearance().headings.size(), std::size_t{16});
    QCOMPARE(dialog.appearance().headings.back(), std::string("Line 16"));
  }

  void fontChoicesArePreviewedInTheTitle() {
    TableAppearance a = SomeTable();
    a.bold = false;
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QCOMPARE(dialog.txtTitle()->font().pointSize(), 12);
    QVERIFY(!dialog.txtTitle()->font().bold());
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("20")));
    QCOMPARE(dialog.txtTitle()->font().pointSize(), 20);
    dialog.chkBold()->click();
    QVERIFY(dialog.txtTitle()->font().bold());
    const int other = OtherFontIndex(dialog.cmbFonts());
    dialog.cmbFonts()->setCurrentIndex(other);
    QCOMPARE(dialog.txtTitle()->font().family(), dialog.cmbFonts()->itemText(other));
    QCOMPARE(dialog.txtTitle()->font().pointSize(), 20);
  }

  void theTitleIsSelectedWhenItGetsTheFocus() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    dialog.cmbSize()->setFocus();
    QTRY_VERIFY(dialog.cmbSize()->hasFocus());
    dialog.txtTitle()->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(dialog.txtTitle()->textCursor().selectedText(),
                 QStringLiteral("Student's t-test\u2029Unknown: Sample Size 1"));
  }

  void acceleratorsReachTheirControls() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
    QTRY_VERIFY(dialog.cmbCol()->hasFocus());
    QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(dialog.cmbDec()->hasFocus());
    QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(dialog.cmbFonts()->hasFocus());
  }

  void editOutputShowsOnlyTitleAndFont() {
    const TableAppearance before = SomeTable();
    EditTableDialog dialog(before, EditTableDialog::Use::Output);
    QCOMPARE(dialog.objectName(), QStringLiteral("frmEditTable"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Output"));
    QVERIFY(ShowActive(dialog));
    QVERIFY(dialog.txtTitle()->isVisible());
    QVERIFY(dialog.cmbFonts()->isVisible());
    QVERIFY(dialog.cmbSize()->isVisible());
    QVERIFY(dialog.chkBold()->isVisible());
    QVERIFY(!dialog.cmbCol()->isVisible());
    QVERIFY(!dialog.cmbDec()->isVisible());
    QVERIFY(!LabelOf(&dialog, dialog.cmbCol())->isVisible());
    QVERIFY(!LabelOf(&dialog, dialog.cmbDec())->isVisible());
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("8")));
    dialog.cmdOK()->click();
    TableAppearance expected = before;
    expected.fontSize = 8;
    QCOMPARE(dialog.appearance(), expected);
  }

  void theDialogIsCentredOnTheScreen() {
    EditTableDialog dialog(SomeTable(), EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    const QPoint screenCentre = dialog.screen()->availableGeometry().center();
    const QPoint centre = dialog.frameGeometry().center();
    QVERIFY2((centre - screenCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
  }

  // ---- Edit Graph ----------------------------------------------------------

  void editGraphShowsTheWindowsValues() {
    RecordingUserInterface ui;
    EditGraphDialog dialog(SomeGraph(), ui);
    QCOMPARE(dialog.objectName(), QStringLiteral("frmEditGraph"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Graph"));
    QCOMPARE(dialog.property("helpContext").toInt(), 122);
    QCOMPARE(dialog.txtTitle()->text(), QStringLiteral("Power curves"));
    QCOMPARE(dialog.txtXAxisLabel()->text(), QStringLiteral("Sample Size"));
    QCOMPARE(dialog.txtYAxisLabel()->text(), QStringLiteral("Power"));
    QCOMPARE(dialog.txtZaxisLabel()->text(), QStringLiteral("Mean 2*"));
    const char* const x[] = {"0", "100", "10"};
    const char* const y[] = {"0", "1", "0.1"};
    for (int i = 1; i <= 3; ++i) {
      QCOMPARE(dialog.txtXAxisValue(i)->text(), QString::fromLatin1(x[i - 1]));
      QCOMPARE(dialog.txtYAxisValue(i)->text(), QString::fromLatin1(y[i - 1]));
      QCOMPARE(dialog.txtXAxisValue(i)->objectName(), QStringLiteral("txtXAxisValue_%1").arg(i));
      QCOMPARE(dialog.txtYAxisValue(i)->objectName(), QStringLiteral("txtYAxisValue_%1").arg(i));
    }
    QCOMPARE(dialog.axisBox(AxisBox::XTick), dialog.txtXAxisValue(3));
    QCOMPARE(dialog.axisBox(AxisBox::YMin), dialog.txtYAxisValue(1));
    QCOMPARE(dialog.cmbFonts()->currentText(), QStringLiteral("Arial"));
    QCOMPARE(dialog.cmbSize()->currentText(), QStringLiteral("10"));
    QCOMPARE(dialog.cmbSize()->count(), 23);
    QVERIFY(!dialog.chkBold()->isChecked());
    QCOMPARE(dialog.chkBold()->text(), QStringLiteral("Font &Bold"));
    QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("&OK"));
    QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("&Cancel"));

    QCOMPARE(dialog.txtTitle()->objectName(), QStringLiteral("txtTitle"));
    QCOMPARE(dialog.txtXAxisLabel()->objectName(), QStringLiteral("txtXAxisLabel"));
    QCOMPARE(dialog.txtYAxisLabel()->objectName(), QStringLiteral("txtYAxisLabel"));
    QCOMPARE(dialog.txtZaxisLabel()->objectName(), QStringLiteral("txtZaxisLabel"));

    QCOMPARE(LabelCaption(&dialog, dialog.txtTitle()), QStringLiteral("&Title:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtXAxisLabel()), QStringLiteral("&Label:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtXAxisValue(1)), QStringLiteral("&Xmin:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtXAxisValue(2)), QStringLiteral("X&max:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtXAxisValue(3)), QStringLiteral("Xt&ick:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtYAxisLabel()), QStringLiteral("L&abel:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtYAxisValue(1)), QStringLiteral("&Ymin:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtYAxisValue(2)), QStringLiteral("Yma&x:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtYAxisValue(3)), QStringLiteral("Ytic&k:"));
    QCOMPARE(LabelCaption(&dialog, dialog.txtZaxisLabel()), QStringLiteral("&ZAxis:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbFonts()), QStringLiteral("&Font Name:"));
    QCOMPARE(LabelCaption(&dialog, dialog.cmbSize()), QStringLiteral("Font &Size:"));
    // The axis frames carry the captions "XAxis:" and "YAxis:".
    QStringList frames;
    for (QGroupBox* frame : dialog.findChildren<QGroupBox*>()) frames << frame->title();
    frames.sort();
    QCOMPARE(frames, (QStringList{"XAxis:", "YAxis:"}));
    QVERIFY(dialog.txtXAxisLabel()->parentWidget()->isAncestorOf(dialog.txtXAxisValue(3)));
    QCOMPARE(qobject_cast<QGroupBox*>(dialog.txtYAxisValue(2)->parentWidget())->title(),
             QStringLiteral("YAxis:"));
    QVERIFY(ui.messages.empty());
  }

  void aZeroTickIsRefusedAndKeepsTheDialogOpen() {
    RecordingUserInterface ui;
    GraphTexts t = SomeGraph();
    EditGraphDialog dialog(t, ui);
    QVERIFY(ShowActive(dialog));
    Retype(dialog.txtXAxisValue(3), QStringLiteral("0"));
    QVERIFY(ui.messages.empty());
    dialog.cmdOK()->click();
    QCOMPARE(ui.messages.size(), std::size_t{1});
    QCOMPARE(ui.LastText(), std::string("0  Is Not Allowed"));
    QCOMPARE(ui.messages[0].title, std::string("Can't Calculate"));
    QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.texts(), t);
    QTRY_VERIFY(dialog.txtXAxisValue(3)->hasFocus());
    QCOMPARE(dialog.txtXAxisValue(3)->selectedText(), QStringLiteral("0"));
  }

  void aZeroTickShowsTheProgramsMessageBox() {
    QDialog owner;
    QtUserInterface ui(&owner);
    GraphTexts t = SomeGraph();
    t.yAxis[2] = "0";
    EditGraphDialog dialog(t, ui, &owner);
    owner.show();
    QVERIFY(ShowActive(dialog));
    {
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      dialog.cmdOK()->click();
      QVERIFY(answer->seen);
      QCOMPARE(answer->text, QStringLiteral("0  Is Not Allowed"));
      QCOMPARE(answer->title, QStringLiteral("Can't Calculate"));
      QCOMPARE(answer->icon, QMessageBox::Warning);
      QCOMPARE(answer->buttons, (QList<QMessageBox::StandardButton>{QMessageBox::Ok}));
    }
    QVERIFY(dialog.isVisible());
    QTRY_COMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.txtYAxisValue(3)));
  }

  void aLetterInAnAxisBoxIsRefused() {
    RecordingUserInterface ui;
    EditGraphDialog dialog(SomeGraph(), ui);
    QVERIFY(ShowActive(dialog));
    Retype(dialog.txtYAxisValue(2), QStringLiteral("1a"));
    QCOMPARE(ui.messages.size(), std::size_t{1});
    QCOMPARE(ui.LastText(), std::string("a   is not allowed. Must be a digit."));
    QCOMPARE(ui.beeps, 1);
    QCOMPARE(dialog.txtYAxisValue(2)->text(), QStringLiteral("1"));
    // Digits, point, comma, minus and blank pass.
    Retype(dialog.txtXAxisValue(1), QStringLiteral("-0,5 "));
    QCOMPARE(dialog.txtXAxisValue(1)->text(), QStringLiteral("-0,5 "));
    QCOMPARE(ui.messages.size(), std::size_t{1});
    // The title boxes take any text.
    Retype(dialog.txtXAxisLabel(), QStringLiteral("Size (n)"));
    QCOMPARE(dialog.txtXAxisLabel()->text(), QStringLiteral("Size (n)"));
    QCOMPARE(ui.messages.size(), std::size_t{1});
  }

  void validValuesAreAcceptedAndHandedBack() {
    RecordingUserInterface ui;
    EditGraphDialog dialog(SomeGraph(), ui);
    QVERIFY(ShowActive(dialog));
    Retype(dialog.txtTitle(), QStringLiteral("New title"));
    Retype(dialog.txtXAxisLabel(), QStringLiteral("n"));
    Retype(dialog.txtYAxisLabel(), QStringLiteral("1 - beta"));
    Retype(dialog.txtZaxisLabel(), QStringLiteral("delta"));
    Retype(dialog.txtXAxisValue(1), QStringLiteral("10"));
    Retype(dialog.txtXAxisValue(2), QStringLiteral("50"));
    Retype(dialog.txtXAxisValue(3), QStringLiteral("5"));
    Retype(dialog.txtYAxisValue(1), QStringLiteral("0,5"));
    Retype(dialog.txtYAxisValue(2), QStringLiteral("1"));
    Retype(dialog.txtYAxisValue(3), QStringLiteral("0.05"));
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("11")));
    dialog.chkBold()->click();
    QVERIFY(dialog.txtTitle()->font().bold());
    QCOMPARE(dialog.txtTitle()->font().pointSize(), 11);
    // Return in a value box is the OK button.
    QTest::keyClick(dialog.txtYAxisValue(3), Qt::Key_Return);
    QVERIFY(ui.messages.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    GraphTexts expected = SomeGraph();
    expected.title = "New title";
    expected.xLabel = "n";
    expected.yLabel = "1 - beta";
    expected.zLabel = "delta";
    expected.xAxis = {"10", "50", "5"};
    expected.yAxis = {"0,5", "1", "0.05"};
    expected.fontSize = 11;
    expected.bold = true;
    QCOMPARE(dialog.texts(), expected);
  }

  void anAutomaticYAxisIsAccepted() {
    RecordingUserInterface ui;
    GraphTexts t = SomeGraph();
    t.yAxis = {"0", "0", "1"};
    EditGraphDialog dialog(t, ui);
    QVERIFY(ShowActive(dialog));
    dialog.cmdOK()->click();
    QVERIFY(ui.messages.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.texts(), t);
  }

  void eachCheckFocusesItsBox() {
    struct Case {
      std::array<std::string, 3> x, y;
      std::string message;
      AxisBox box;
    };
    const Case cases[] = {
        {{"0", "100", "10"}, {"0", " ", "0.1"}, "A Value Is Missing", AxisBox::YMax},
        {{"", "100", "10"}, {"0", "1", "0.1"}, "A Value Is Missing", AxisBox::XMin},
        {{"0", "100", "10"}, {"5", "1", "1"}, "Error In Relation: Min = 5 > Max = 1", AxisBox::YMin},
        {{"0", "1", "0.001"},
         {"0", "1", "0.1"},
         "Min = 0,  Max = 1  and  Tick = 0.001  Results In Too Many Intervals   (Maximum Number =  200)",
         AxisBox::XTick},
        {{"0", "100", "10"}, {"0", "1", "0,0"}, "0,0  Is Not Allowed", AxisBox::YTick},
    };
    for (const Case& c : cases) {
      RecordingUserInterface ui;
      GraphTexts t = SomeGraph();
      t.xAxis = c.x;
      t.yAxis = c.y;
      EditGraphDialog dialog(t, ui);
      QVERIFY(ShowActive(dialog));
      dialog.cmdOK()->click();
      QCOMPARE(ui.messages.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(ui.LastText()), QString::fromStdString(c.message));
      QVERIFY(dialog.isVisible());
      QTRY_VERIFY(dialog.axisBox(c.box)->hasFocus());
      QCOMPARE(dialog.axisBox(c.box)->selectedText(), dialog.axisBox(c.box)->text());
      dialog.reject();
    }
  }

  void cancellingTheGraphDialogStoresNothing() {
    RecordingUserInterface ui;
    const GraphTexts t = SomeGraph();
    EditGraphDialog dialog(t, ui);
    const int code = ExecWith(dialog, [&dialog] {
      dialog.cmbFonts()->setCurrentIndex(OtherFontIndex(dialog.cmbFonts()));
      Retype(dialog.txtTitle(), QStringLiteral("changed"));
      dialog.cmdCancel()->click();
    });
    QCOMPARE(code, int(QDialog::Rejected));
    QCOMPARE(dialog.texts(), t);
    QVERIFY(ui.messages.empty());
  }

  void theGraphTitleIsSelectedWhenItGetsTheFocus() {
    RecordingUserInterface ui;
    EditGraphDialog dialog(SomeGraph(), ui);
    QVERIFY(ShowActive(dialog));
    dialog.txtZaxisLabel()->setFocus();
    QTRY_VERIFY(dialog.txtZaxisLabel()->hasFocus());
    QTest::mouseClick(dialog.txtTitle(), Qt::LeftButton, {}, QPoint(4, dialog.txtTitle()->height() / 2));
    QTRY_COMPARE(dialog.txtTitle()->selectedText(), QStringLiteral("Power curves"));
  }
};

PELMORA_GUI_TEST(AppearanceDialogsTest)

}  // namespace pelmora::gui_testing

#include "test_appearance_dialogs.moc"
