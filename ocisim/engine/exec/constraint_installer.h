// ConstraintInstaller: turns constraint definitions of CREATE TABLE / ALTER TABLE into catalog
// constraints of one table: system names for unnamed ones, the NOT NULL check "COL" IS NOT NULL,
// foreign keys resolved to their referenced primary or unique key, key indexes. validate()
// checks everything (names, references, and the table's existing rows) without changing
// anything; apply() then installs. Internal to the executor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/exec/exec_context.h"
#include "engine/sql/ast.h"

namespace ocisim {

class ConstraintInstaller {
 public:
  ConstraintInstaller(ExecContext& ctx, Table& table);
  ~ConstraintInstaller();

  // A constraint definition; `column` names the column of an inline constraint ("" for
  // out-of-line ones). NULL definitions are ignored.
  void add(const sql::ConstraintDef& def, const std::string& column);
  // A NOT NULL constraint on a column (MODIFY ... NOT NULL, inline NOT NULL); `state` gives
  // its ENABLE / VALIDATE / DEFERRABLE clauses when there are any.
  void addNotNull(const std::string& column, const std::string& name,
                  const sql::ConstraintDef* state = nullptr);
  // The state clauses of a definition: ENABLE / DISABLE, [NO]VALIDATE, [NOT] DEFERRABLE,
  // INITIALLY DEFERRED (which makes a constraint deferrable unless said otherwise).
  static void setState(Constraint& c, const sql::ConstraintDef& def);
  bool empty() const { return pending_.empty(); }

  void validate();
  void apply();
  // Checks the table's rows against one (enabled, validated) constraint: ORA-01449, ORA-02437,
  // ORA-02299, ORA-02298, ORA-02293.
  void validateRows(const Constraint& c);

 private:
  struct Pending;
  void resolveForeignKey(Pending& p);
  std::string nameFor(const std::string& given, bool& generated);

  ExecContext& ctx_;
  Table& table_;
  std::vector<std::unique_ptr<Pending>> pending_;
};

}  // namespace ocisim
