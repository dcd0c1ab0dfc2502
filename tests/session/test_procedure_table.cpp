#include <gtest/gtest.h>

#include "engine/dispatch.h"
#include "procedures/module_set.h"
#include "session/procedure_table.h"

namespace pelmora {
namespace {

// Each row stands at its procedure's place, its menu index leads back to it,
// a module serves it, and selecting it names and helps as the menu does.
TEST(ProcedureTable, EveryRowIsItsProcedure) {
  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  ASSERT_EQ(Procedures().size(), static_cast<std::size_t>(kProcedureCount));
  for (const ProcedureRow& row : Procedures()) {
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(&RowOf(row.procedure), &row);
    EXPECT_EQ(ProcedureAt(row.menu, row.index), row.procedure);
    EXPECT_NE(d.modules().For(row.procedure), nullptr);
    ASSERT_TRUE(d.Select(row.procedure));
    EXPECT_EQ(SelectedProcedure(s), row.procedure);
    EXPECT_EQ(row.menu == Menu::Tests ? s.TestName : s.DistributionName, ProcedureName(row.procedure));
    EXPECT_EQ(s.HelpContext, (row.menu == Menu::Tests ? 200 : 300) + row.index + 1);
    EXPECT_EQ(row.parameterChoices.empty(), row.menu == Menu::Tests);
  }
  // The separators of the two menus.
  for (int separator : {3, 8, 11, 15}) EXPECT_FALSE(ProcedureAt(Menu::Tests, separator));
  for (int separator : {3, 7, 9}) EXPECT_FALSE(ProcedureAt(Menu::Distributions, separator));
  EXPECT_EQ(MenuLength(Menu::Tests), 19);
  EXPECT_EQ(MenuLength(Menu::Distributions), 11);
}

}  // namespace
}  // namespace pelmora
