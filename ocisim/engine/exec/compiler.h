// The query compiler: turns the parser's AST into operator trees and compiled expressions,
// resolving names against the catalog with the session user's privileges. One Compiler per
// execution (plans hold the execution's ExecContext). Internal to the executor.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/exec/cexpr.h"
#include "engine/exec/operators.h"
#include "engine/exec/operators_rel.h"
#include "engine/exec/statement.h"
#include "engine/sql/ast.h"

namespace ocisim {

class ExecContext;

struct ScopeColumn {
  std::string name;
  DataType type;
  bool nullable = true;
};

// One FROM item as names see it.
struct ScopeSource {
  std::string alias;     // the alias; else the table's name ("" for an unaliased subquery)
  bool aliased = false;  // an alias was written (OWNER.TABLE.COL then does not match)
  std::string owner;     // the table's owner ("" for subqueries)
  std::vector<ScopeColumn> columns;
  size_t offset = 0;  // first slot of its columns in the block's row
};

// The names visible in one query block.
struct Scope {
  Scope* parent = nullptr;
  std::vector<ScopeSource> sources;
  size_t width = 0;
  int levelSlot = -1;       // CONNECT BY: the slot holding LEVEL
  bool usesPrior = false;   // CONNECT BY condition used PRIOR
  bool correlated = false;  // a name of an enclosing block was used inside this block
  // Aggregation: while `grouped`, a column must be a GROUP BY key (ORA-00979) and aggregate
  // calls become slots after the group keys.
  bool aggregating = false;  // the block groups (GROUP BY or an aggregate in its lists)
  bool grouped = false;
  std::vector<const sql::Expr*> groupExprs;
  std::vector<int> groupSlots;  // the input slot of a group key that is a plain column, or -1
  std::vector<DataType> groupTypes;
  std::vector<bool> groupNotNull;
  // ORDER BY: select-list aliases usable inside ORDER BY expressions (alias -> item).
  const std::map<std::string, const sql::Expr*>* orderAliases = nullptr;
  std::vector<AggregateSpec>* aggregates = nullptr;
  std::vector<DataType> aggregateTypes;

  void addSource(ScopeSource source);
};

struct CompiledQuery {
  std::unique_ptr<RowSource> root;
  std::vector<ColumnInfo> columns;
  bool correlated = false;
};

// What a FROM name or DML target resolves to.
struct Relation {
  enum class Kind { Table, View, Virtual } kind = Kind::Table;
  std::string owner;
  std::string name;
  Table* table = nullptr;
  View* view = nullptr;
  const VirtualTable* virtualTable = nullptr;
};

class Compiler {
 public:
  explicit Compiler(ExecContext& ctx);

  // A whole query (set operations and ORDER BY included). parent: the enclosing block for
  // subqueries, null at the top.
  CompiledQuery compileQuery(const sql::Query& query, Scope* parent);

  std::unique_ptr<CExpr> compileValue(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileCondition(const sql::Expr& e, Scope& scope);

  // Resolves [schema.]name for an operation ("SELECT", "INSERT", "UPDATE", "DELETE") with the
  // privilege rules: ORA-00942 when the user may not see it, ORA-01031 when it may see it but
  // not do this.
  Relation resolveRelation(const std::string& schema, const std::string& name,
                           const std::string& privilege);
  // Columns of a relation for the scope (table columns with nullability, view columns, ...).
  std::vector<ScopeColumn> relationColumns(const Relation& r);

  // The schema unqualified names resolve in (the session user; a view's owner inside it).
  const std::string& schema() const { return schema_; }
  // The database's release as major * 100 + minor: 703, 800, 801, 902, 1903.
  int release() const;
  // Inside a view or for its owner's DDL: names resolve in, and privileges are the owner's.
  void setSchema(const std::string& schema) {
    schema_ = schema;
    authUser_ = schema;
  }

 private:
  friend class BlockCompiler;
  CompiledQuery compileSetOperation(const sql::Query& query, Scope* parent);
  CompiledQuery compileQueryBody(const sql::Query& query, Scope* parent);
  // A WITH name visible where a FROM item names `name` without a schema: its position in
  // ctes_ (the innermost match), or -1.
  int findCte(const std::string& name) const;
  // Compiles WITH query `index` as a FROM item, seeing only the names defined before it.
  CompiledQuery compileCte(int index);
  std::unique_ptr<CExpr> compileExpr(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileColumn(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileFunction(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileCast(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileSessionValue(const std::string& name,
                                             const std::vector<const sql::Expr*>& args);
  std::unique_ptr<CExpr> compileAggregate(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileSubquery(const sql::Expr& e, Scope& scope, CKind kind);
  std::unique_ptr<CExpr> compileGroupedMatch(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compilePseudoColumn(const sql::Expr& e, Scope& scope);
  std::unique_ptr<CExpr> compileLiteral(const sql::Expr& e);

  ExecContext& ctx_;
  std::string schema_;
  std::string authUser_;  // whose privileges apply: the session user, a view's owner inside it
  int viewDepth_ = 0;
  // NEXTVAL and CURRVAL may appear in the select list of a top-level query (no DISTINCT,
  // GROUP BY, ORDER BY or set operation), in INSERT values, UPDATE SET and PL/SQL; anywhere
  // else (conditions, subqueries, views, ORDER BY ...) Oracle refuses them with ORA-02287.
  bool sequencesAllowed_ = true;
  bool selectListSequences_ = false;  // the block being compiled may use them in its list
  // The WITH queries in scope, outermost first, and those being compiled (a name may not be
  // used inside its own query).
  std::vector<const sql::CommonTableExpr*> ctes_;
  std::vector<const sql::CommonTableExpr*> ctesDefining_;
};

// LONG and LONG RAW may be selected, inserted and updated but not computed with. ORA-00997
// when a query's column is one (CREATE TABLE AS SELECT, INSERT ... SELECT, set operations,
// DISTINCT, scalar and IN subqueries).
void refuseLongColumns(const std::vector<ColumnInfo>& columns);
// ORA-01754 when the columns of a table hold more than one LONG or LONG RAW.
void refuseSecondLong(const std::vector<Column>& columns);

// Structural equality of two parsed expressions (GROUP BY matching).
bool sameExpr(const sql::Expr& a, const sql::Expr& b);
// True when the expression calls an aggregate function outside any subquery.
bool containsAggregate(const sql::Expr& e);
bool isAggregateName(const std::vector<std::string>& names);
// "\"A\".\"B\"" as ORA-00904 shows a name.
std::string quotedName(const std::vector<std::string>& parts);

}  // namespace ocisim
