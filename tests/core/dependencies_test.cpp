// Registering many formulas at once, row by row, against registering them
// one after another: the same cells, the same lists in the same order.
#include "core/dependencies.h"

#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "core/formula_code.h"
#include "test_support.h"

namespace tw::test {
namespace {

using Position = std::pair<int, int>;

// Every cell's position with the positions of its dependents, in list order.
std::map<Position, std::vector<Position>> dependentLists(Worksheet& ws) {
  std::map<Position, std::vector<Position>> lists;
  ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle h, Cell& c) {
    std::vector<Position>& list = lists[{c.row, c.column}];
    for (CellHandle d : DependentsOf(ws, h)) list.push_back({ws.cell(d).row, ws.cell(d).column});
    return true;
  });
  return lists;
}

// Formulas of one to four operands over a small area: single cells, ranges
// with their corners either way round, the same cell or range named twice,
// ranges that overlap and (when tall) some that reach far down a column.
std::vector<std::pair<Position, std::string>> randomFormulas(unsigned seed, int count, bool tall) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto address = [&](int row, int col) {
    return std::string(1, static_cast<char>('A' + col)) + std::to_string(row + 1);
  };
  std::set<Position> used;
  std::vector<std::pair<Position, std::string>> formulas;
  while (static_cast<int>(formulas.size()) < count) {
    Position at{pick(60), 8 + pick(4)};  // columns I..L hold the formulas
    if (!used.insert(at).second) continue;
    std::string text = "+0";
    std::string previous;
    for (int k = 1 + pick(4); k > 0; --k) {
      std::string operand;
      if (!previous.empty() && pick(5) == 0) {
        operand = previous;  // named again
      } else if (pick(3) == 0) {
        operand = address(pick(60), pick(12));
      } else {
        int r1 = pick(60), r2 = !tall ? r1 : pick(4) == 0 ? pick(400) : r1 + pick(5);
        int c1 = pick(8), c2 = std::min(11, c1 + pick(4));
        if (pick(2)) std::swap(r1, r2);
        operand = "@SUM(" + address(r1, c1) + ".." + address(r2, c2) + ")";
      }
      text += "+" + operand;
      previous = operand;
    }
    formulas.push_back({at, text});
  }
  return formulas;
}

TEST(RegisterDependenciesInOrder, MakesTheCellsAndListsOfOneAfterAnother) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    bool tall = seed != 6;  // the last: ranges of one row only
    SCOPED_TRACE(seed);
    HeadlessHost host;
    Session session(host);
    withLibrary(session);
    Worksheet& one = session.openWorksheet("ONE.WKS");
    Worksheet& batch = session.openWorksheet("BATCH.WKS");
    std::vector<std::pair<Position, std::string>> formulas = randomFormulas(seed, 150, tall);
    std::vector<CellHandle> order;
    for (const auto& [at, text] : formulas) {
      ASSERT_EQ(EnterCell(one, text, at.first, at.second), EntryResult::Stored) << text;
      ASSERT_EQ(EnterCell(batch, text, at.first, at.second), EntryResult::Stored) << text;
      order.push_back(batch.FindCell(at.first, at.second));
    }
    // The batch sheet loses its links and every blank that only carried
    // them; the cells the codes name by handle stay.
    for (CellHandle h : order) UnregisterDependencies(batch, h);
    std::set<CellHandle> named;
    for (CellHandle h : order) {
      uint8_t* code = batch.cell(h).content;
      auto keep = [&](size_t at) { named.insert(readWord(code + at) & kHandleMask); };
      forEachReferenceOperand(session.functionTable(), code, keep, [&](size_t at) {
        keep(at);
        keep(at + 4);
      });
    }
    std::vector<CellHandle> spare;
    batch.ForEachCell(CellRange::of(0, 0, batch.maxRow, batch.maxCol), [&](CellHandle h, Cell& c) {
      if (c.type() == CellType::Blank && !named.count(h)) spare.push_back(h);
      return true;
    });
    ASSERT_FALSE(spare.empty());
    for (CellHandle h : spare) batch.RemoveCell(h);
    EXPECT_EQ(batch.pool().liveLinks(), 0u);

    RegisterDependenciesInOrder(batch, order);
    EXPECT_EQ(batch.pool().liveLinks(), one.pool().liveLinks());
    EXPECT_EQ(dependentLists(batch), dependentLists(one));
  }
}

TEST(RegisterDependenciesInOrder, RegistersNothingWhileTheErrorFlagIsRaised) {
  HeadlessHost host;
  Session session(host);
  withLibrary(session);
  Worksheet& ws = session.openWorksheet("TEST.WKS");
  ASSERT_EQ(EnterCell(ws, "@SUM(A1..A20)", 0, 1), EntryResult::Stored);
  CellHandle f = ws.FindCell(0, 1);
  UnregisterDependencies(ws, f);
  session.error().raise(0, "Out of Memory");
  RegisterDependenciesInOrder(ws, {f});
  EXPECT_EQ(ws.pool().liveLinks(), 0u);
  session.error().clear();
  RegisterDependenciesInOrder(ws, {f});
  EXPECT_EQ(ws.pool().liveLinks(), 20u);
}

}  // namespace
}  // namespace tw::test
