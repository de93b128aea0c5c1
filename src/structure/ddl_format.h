// The DDL generator's formatting: CREATE TABLE, ALTER TABLE ... ADD ( CONSTRAINT ... ) and
// CREATE [UNIQUE] INDEX as printed lines (join them with ddlOutputText), from dictionary facts.
// A statement whose names or texts a line-based script cannot hold (unwritableNameReason,
// unwritableExpressionReason) gives one unwrittenStatementComment line instead. Pure functions of
// their arguments; tested without a database.
#pragma once

#include <string>
#include <vector>

#include "structure/ddl_facts.h"

namespace velmora {

// CREATE TABLE with its columns, then PCTFREE ... MAXTRANS and TABLESPACE / STORAGE as the
// switches allow, then ";". Columns longer than a line continue on the next line at the piece
// that overflows.
std::vector<std::string> formatCreateTable(const TableFacts& table,
                                           const std::vector<ColumnFacts>& columns,
                                           const DdlSwitches& switches);

// One constraint as ALTER TABLE table ADD ( ... ) and ";" on their own lines. A system-named NOT
// NULL check (written by the CREATE TABLE already) gives no lines; a constraint that cannot be
// written as a statement gives one "-- " comment line saying so.
std::vector<std::string> formatConstraint(const TableFacts& table,
                                          const ConstraintFacts& constraint,
                                          const DdlSwitches& switches);

// CREATE [UNIQUE] INDEX index ON table with its column block, PCTFREE, INITRANS, MAXTRANS,
// TABLESPACE as the switches allow, COMPRESS n when enabled, and ";".
std::vector<std::string> formatIndex(const std::string& table, const IndexFacts& index,
                                     const DdlSwitches& switches);

// True for an Oracle-named (SYS_C...) check of the form "COLUMN" IS NOT NULL: the column's NOT
// NULL in CREATE TABLE.
bool isSystemNotNullCheck(const ConstraintFacts& constraint);
bool isSystemConstraintName(const std::string& name);

// The order constraints are written in: primary key, unique keys, foreign keys, checks, others.
int constraintTypeRank(const std::string& type);

}  // namespace velmora
