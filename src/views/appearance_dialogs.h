// The appearance dialogs of the result windows: "Edit Table" (also captioned
// "Edit Output" for the output preview) sets the heading lines, the font, the
// columns per block and the decimals of a table; "Edit Graph" sets the titles,
// the user-fixed axes and the font of a graph.  Both work on plain values and
// know nothing of the session: the caller passes the window's settings in and
// stores what the dialog returns when it was confirmed.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/qt_user_interface.h"
#include "output/axis_scale.h"
#include "session/user_interface.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pelmora {

class DialogPlace;
class NumberBox;

// The help topic of both dialogs.
inline constexpr int kAppearanceHelpContext = 122;

// The font sizes offered, in points.
inline constexpr int kSmallestFontSize = 6;
inline constexpr int kLargestFontSize = 28;
// The choices of columns per block and of decimals.
inline constexpr std::int16_t kMaxTableColumns = 10;
inline constexpr std::int16_t kMaxTableDecimals = 8;
// Decimals chosen from the results themselves.
inline constexpr std::int16_t kAutomaticDecimals = -1;

// What "Edit Table" and "Edit Output" edit.
struct TableAppearance {
  std::vector<std::string> headings;  // the heading lines
  std::string fontName = "Arial";
  int fontSize = 9;  // points
  bool bold = false;
  std::int16_t columns = 10;                   // columns per block, 1..10
  std::int16_t decimals = kAutomaticDecimals;  // 0..8, or automatic
  bool wholeSizes = false;                     // sample sizes whole, with their totals

  bool operator==(const TableAppearance&) const = default;
};

// A font size kept as text, in whole points for the dialogs: 9 when it is
// unreadable or outside the sizes they offer.
int DialogFontSize(const std::string& size);

// What "Edit Graph" edits.  The axis values are kept as typed.
struct GraphTexts {
  std::string title, xLabel, yLabel, zLabel;
  std::array<std::string, 3> xAxis;  // x minimum, maximum and tick as typed
  std::array<std::string, 3> yAxis;  // y minimum, maximum and tick as typed
  std::string fontName = "Arial";
  int fontSize = 9;
  bool bold = false;

  bool operator==(const GraphTexts&) const = default;
};

// The heading lines of a title text: split at its line breaks ("\n", a
// "\r\n" pair counting as one); empty lines at the end are dropped, so an
// empty text has no lines.
std::vector<std::string> SplitHeadingLines(const std::string& text);
// The title text of heading lines: the lines joined by line breaks.
std::string JoinHeadingLines(const std::vector<std::string>& lines);

// The most heading lines a table keeps, and the message when a title has more.
int MaxHeadingLines();
std::string TooManyHeadingLinesMessage();

// "Edit Table": the heading text, the font, the columns per block and the
// decimals of a table; as "Edit Output" only the heading text and the font.
// A value that the lists do not hold (decimals -1, automatic, before a table
// has fixed them; columns outside 1..10) is shown as no choice and kept
// unless the user picks one.
class EditTableDialog : public QDialog {
  Q_OBJECT
 public:
  enum class Use { Table, Output };

  EditTableDialog(const TableAppearance& a, Use use, QWidget* parent = nullptr);

  // The values as confirmed by OK; the values passed in until then.
  TableAppearance appearance() const { return confirmed_; }
  int helpContext() const { return kAppearanceHelpContext; }

  QPlainTextEdit* txtTitle() const { return txtTitle_; }
  QComboBox* cmbFonts() const { return cmbFonts_; }
  QComboBox* cmbSize() const { return cmbSize_; }
  QCheckBox* chkBold() const { return chkBold_; }
  QComboBox* cmbCol() const { return cmbCol_; }
  QComboBox* cmbDec() const { return cmbDec_; }
  // "&Whole Sample Sizes": a table of sample sizes shows them rounded up,
  // with the subjects in all.
  QCheckBox* chkWhole() const { return chkWhole_; }
  QPushButton* cmdOK() const { return cmdOK_; }
  QPushButton* cmdCancel() const { return cmdCancel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OkClicked();
  void ShowPreview();
  // Refuses the characters of the title that a settings file cannot keep.
  void CheckTitle();

  TableAppearance confirmed_;
  QtUserInterface ui_;
  DialogPlace* place_;
  bool checkingTitle_ = false;

  QPlainTextEdit* txtTitle_;
  QComboBox* cmbFonts_;
  QComboBox* cmbSize_;
  QCheckBox* chkBold_;
  QLabel* lblCol_;
  QComboBox* cmbCol_;
  QLabel* lblDec_;
  QComboBox* cmbDec_;
  QCheckBox* chkWhole_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

// "Edit Graph": the plot title, the axis titles, the user-fixed axes (y
// minimum = y maximum = 0 leaves the axes automatic) and the font of a graph.
// OK checks the axis values; a rejected value keeps the dialog open with its
// box focused and its text selected.  The titles refuse, as they are typed,
// the characters a settings file cannot keep, as the heading text of "Edit
// Table" does.
class EditGraphDialog : public QDialog {
  Q_OBJECT
 public:
  EditGraphDialog(const GraphTexts& t, UserInterface& ui, QWidget* parent = nullptr);

  // The values as confirmed by OK; the values passed in until then.
  GraphTexts texts() const { return confirmed_; }
  int helpContext() const { return kAppearanceHelpContext; }

  QLineEdit* txtTitle() const { return txtTitle_; }
  QLineEdit* txtXAxisLabel() const { return txtXAxisLabel_; }
  QLineEdit* txtYAxisLabel() const { return txtYAxisLabel_; }
  QLineEdit* txtZaxisLabel() const { return txtZaxisLabel_; }
  // Boxes 1..3: minimum, maximum, tick.
  NumberBox* txtXAxisValue(int i) const;
  NumberBox* txtYAxisValue(int i) const;
  // The box of one of the six axis values.
  NumberBox* axisBox(AxisBox box) const;
  QComboBox* cmbFonts() const { return cmbFonts_; }
  QComboBox* cmbSize() const { return cmbSize_; }
  QCheckBox* chkBold() const { return chkBold_; }
  QPushButton* cmdOK() const { return cmdOK_; }
  QPushButton* cmdCancel() const { return cmdCancel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OkClicked();
  void ShowPreview();
  GraphTexts Shown() const;

  GraphTexts confirmed_;
  UserInterface& ui_;
  DialogPlace* place_;

  QLineEdit* txtTitle_;
  QLineEdit* txtXAxisLabel_;
  std::array<NumberBox*, 3> txtXAxisValue_{};
  QLineEdit* txtYAxisLabel_;
  std::array<NumberBox*, 3> txtYAxisValue_{};
  QLineEdit* txtZaxisLabel_;
  QComboBox* cmbFonts_;
  QComboBox* cmbSize_;
  QCheckBox* chkBold_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

}  // namespace pelmora
