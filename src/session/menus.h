// The menus beside the procedures' (whose items are the rows of
// procedure_table.h): their headings, and the caption and help context of
// each item.
#pragma once

namespace pelmora {

// The menu headings, in menu-bar order.
inline constexpr const char* kFileHeading = "&File";
inline constexpr const char* kEditHeading = "&Edit";
inline constexpr const char* kTestsHeading = "&Test Procedures";
inline constexpr const char* kDistributionsHeading = "&Sample Distributions";
inline constexpr const char* kWindowHeading = "&Window";
inline constexpr const char* kHelpHeading = "&Help";

// A menu item: its caption with its "&", and its help context (0: none).
struct MenuItem {
  const char* caption;
  int helpContext = 0;
};

namespace menu_item {
// File, in menu order; separators follow New Monte Carlo Simulation, Open File, Save As and
// Print.
inline constexpr MenuItem NewCalculation{"New &Calculation", 101};
inline constexpr MenuItem NewTable{"New &Table", 102};
inline constexpr MenuItem NewGraph{"New &Graph", 103};
inline constexpr MenuItem NewMonteCarlo{"New &Monte Carlo Simulation", 104};
inline constexpr MenuItem OpenFile{"&Open File...", 105};
inline constexpr MenuItem Export{"&Export...", 109};
inline constexpr MenuItem SaveAs{"Save &As...", 108};
inline constexpr MenuItem Print{"&Print...", 110};
inline constexpr MenuItem Exit{"E&xit", 112};
// Edit.
inline constexpr MenuItem Copy{"&Copy"};
// Window.
inline constexpr MenuItem Cascade{"&Cascade"};
inline constexpr MenuItem Tile{"&Tile"};
inline constexpr MenuItem ArrangeIcons{"&Arrange Icons"};
// Help; a separator stands before About.
inline constexpr MenuItem Contents{"&Contents"};
inline constexpr MenuItem SearchForHelp{"&Search for Help on..."};
inline constexpr MenuItem HowToUseHelp{"&How to Use Help"};
inline constexpr MenuItem About{"&About..."};
}  // namespace menu_item

// Captions of the procedure option buttons by ProcedureKind.
inline constexpr const char* kProcedureCaptions[3] = {"Test", "Point Estimate", "Conf. Interval"};

}  // namespace pelmora
