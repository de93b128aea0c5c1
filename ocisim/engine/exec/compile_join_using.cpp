// JOIN ... USING (columns) and NATURAL JOIN: the named (or all common) columns are joined on
// equality and appear once, first in the row, as Oracle shows them; they can no longer be
// qualified with a table name.
#include <algorithm>

#include "engine/exec/block_compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

// The one slot of a column among sources (ORA-00918 when twice, -1 when absent).
int slotOf(const std::vector<ScopeSource>& sources, const std::string& name, DataType* type) {
  int found = -1;
  for (const ScopeSource& s : sources) {
    for (size_t i = 0; i < s.columns.size(); ++i) {
      if (s.columns[i].name != name) continue;
      if (found >= 0) throw OraError(918);
      found = static_cast<int>(s.offset + i);
      if (type) *type = s.columns[i].type;
    }
  }
  return found;
}

std::unique_ptr<CExpr> columnAt(size_t slot, const DataType& type) {
  auto c = std::make_unique<CExpr>();
  c->kind = CKind::Column;
  c->slot = static_cast<int>(slot);
  c->type = type;
  return c;
}

}  // namespace

std::unique_ptr<RowSource> BlockCompiler::compileUsingJoin(
    const sql::TableRef& ref, JoinType type, std::unique_ptr<RowSource> left,
    std::unique_ptr<RowSource> right, const std::vector<ScopeSource>& leftSources,
    const std::vector<ScopeSource>& rightSources, std::vector<ScopeSource>& sources) {
  std::vector<std::string> names = ref.usingColumns;
  if (ref.natural) {
    for (const ScopeSource& s : leftSources) {
      for (const ScopeColumn& c : s.columns) {
        bool inRight = slotOf(rightSources, c.name, nullptr) >= 0;
        if (inRight && std::find(names.begin(), names.end(), c.name) == names.end()) {
          names.push_back(c.name);
        }
      }
    }
  }
  size_t leftWidth = left->width();
  std::vector<std::unique_ptr<CExpr>> leftKeys;
  std::vector<std::unique_ptr<CExpr>> rightKeys;
  std::vector<int> leftSlots;
  std::vector<int> rightSlots;
  std::vector<DataType> types;
  std::unique_ptr<CExpr> residual;
  for (const std::string& name : names) {
    DataType lt;
    DataType rt;
    int l = slotOf(leftSources, name, &lt);
    int r = slotOf(rightSources, name, &rt);
    if (l < 0 || r < 0) throw OraError(904, {quotedName({name})});
    leftSlots.push_back(l);
    rightSlots.push_back(r);
    types.push_back(lt);
    if (hashableKeys(lt, rt)) {
      leftKeys.push_back(columnAt(l, lt));
      rightKeys.push_back(columnAt(r, rt));
    } else {
      auto eq = std::make_unique<CExpr>();
      eq->kind = CKind::Compare;
      eq->cmp = CmpOp::Eq;
      eq->args.push_back(columnAt(l, lt));
      eq->args.push_back(columnAt(leftWidth + r, rt));
      if (residual) {
        auto both = std::make_unique<CExpr>();
        both->kind = CKind::And;
        both->args.push_back(std::move(residual));
        both->args.push_back(std::move(eq));
        eq = std::move(both);
      }
      residual = std::move(eq);
    }
  }
  std::unique_ptr<RowSource> joined;
  if (!leftKeys.empty()) {
    joined =
        std::make_unique<HashJoin>(ctx_, std::move(left), std::move(right), type,
                                   std::move(leftKeys), std::move(rightKeys), std::move(residual));
  } else {
    joined = std::make_unique<NestedLoopJoin>(ctx_, std::move(left), std::move(right), type,
                                              std::move(residual));
  }
  // The new row: the joined columns (the left value, else the right one), then each side's
  // other columns, source by source.
  std::vector<std::unique_ptr<CExpr>> out;
  ScopeSource merged;
  for (size_t i = 0; i < names.size(); ++i) {
    auto nvl = std::make_unique<CExpr>();
    nvl->kind = CKind::Function;
    nvl->name = "NVL";
    nvl->type = types[i];
    nvl->args.push_back(columnAt(leftSlots[i], types[i]));
    nvl->args.push_back(columnAt(leftWidth + rightSlots[i], types[i]));
    out.push_back(std::move(nvl));
    merged.columns.push_back({names[i], types[i], type == JoinType::Inner});
  }
  merged.offset = 0;
  sources.push_back(merged);
  auto keep = [&](const std::vector<ScopeSource>& side, size_t base, const std::vector<int>& used) {
    for (const ScopeSource& s : side) {
      ScopeSource copy = s;
      copy.columns.clear();
      copy.offset = out.size();
      for (size_t i = 0; i < s.columns.size(); ++i) {
        int slot = static_cast<int>(s.offset + i);
        if (std::find(used.begin(), used.end(), slot) != used.end()) continue;
        copy.columns.push_back(s.columns[i]);
        out.push_back(columnAt(base + slot, s.columns[i].type));
      }
      sources.push_back(std::move(copy));
    }
  };
  keep(leftSources, 0, leftSlots);
  keep(rightSources, leftWidth, rightSlots);
  return std::make_unique<Project>(ctx_, std::move(joined), std::move(out), nullptr);
}

}  // namespace ocisim
