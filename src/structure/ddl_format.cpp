#include "structure/ddl_format.h"

#include "base/report_text.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

bool isNullOrZero(const std::string& number) {
  return number.empty() || number == "0";
}

// INITRANS and MAXTRANS of 0 (what some dictionaries show for "not set") are not valid values.
std::string transactions(const std::string& count) {
  return count == "0" ? "1" : count;
}

// The pieces of a column's type: "\t" + type, then its length or precision. An unconstrained
// NUMBER with scale 0 is how the dictionary shows INTEGER: written as INTEGER so that the scale
// survives.
void writeColumnType(DdlLineWriter& writer, const ColumnFacts& column) {
  const std::string& type = column.dataType;
  if (type == "NUMBER" && isNullOrZero(column.dataPrecision) && column.dataScale == "0") {
    writer.write("\tINTEGER", false);
    return;
  }
  writer.write("\t" + type, false);
  if (type == "CHAR" || type == "VARCHAR2" || type == "RAW") {
    writer.write("(" + column.dataLength + ")", false);
  } else if ((type == "NUMBER" || type == "FLOAT") && !isNullOrZero(column.dataPrecision)) {
    if (isNullOrZero(column.dataScale))
      writer.write("(" + column.dataPrecision + ")", false);
    else
      writer.write("(" + column.dataPrecision + "," + column.dataScale + ")", false);
  }
}

void writeColumn(DdlLineWriter& writer, const ColumnFacts& column, bool first) {
  writer.write(first ? "\t " : "\t,", false);
  writer.write("\"" + column.name + "\"", false);
  writeColumnType(writer, column);
  if (!column.defaultText.empty()) {
    writer.write(" DEFAULT ", false);
    writer.write(column.defaultText, false);
  }
  writer.write(column.nullable == "N" ? "\tNOT NULL" : "\t    NULL", true);
}

// A clause is left out when the dictionary has no value for it: "PCTUSED" alone is no statement.
void printIfSet(DdlLineWriter& writer, const std::string& label, const std::string& value) {
  if (!value.empty()) writer.print(label + value);
}

void writeTableStorage(DdlLineWriter& writer, const SegmentFacts& segment) {
  if (!segment.tablespace.empty()) writer.print("TABLESPACE " + ddlName(segment.tablespace));
  bool anyStorage = !segment.initialExtent.empty() || !segment.nextExtent.empty() ||
                    !segment.minExtents.empty() || !segment.maxExtents.empty() ||
                    !segment.pctIncrease.empty() || !segment.freelists.empty() ||
                    !segment.freelistGroups.empty();
  if (!anyStorage) return;
  writer.print("    STORAGE (");
  if (!segment.initialExtent.empty())
    writer.print("\tINITIAL " + ddlSizeText(segment.initialExtent));
  if (!segment.nextExtent.empty()) writer.print("\tNEXT " + ddlSizeText(segment.nextExtent));
  printIfSet(writer, "\tMINEXTENTS ", segment.minExtents);
  printIfSet(writer, "\tMAXEXTENTS ", segment.maxExtents);
  printIfSet(writer, "\tPCTINCREASE ", segment.pctIncrease);
  if (!segment.freelists.empty() && !segment.freelistGroups.empty()) {
    writer.write("\tFREELISTS " + segment.freelists, false);
    writer.write(" FREELIST GROUPS " + segment.freelistGroups, true);
  } else {
    printIfSet(writer, "\tFREELISTS ", segment.freelists);
    printIfSet(writer, "\tFREELIST GROUPS ", segment.freelistGroups);
  }
  writer.print("        )");
}

// PCTFREE, INITRANS, MAXTRANS and TABLESPACE of an index, behind a tab.
void writeIndexSegment(DdlLineWriter& writer, const SegmentFacts& segment,
                       const DdlSwitches& switches) {
  if (switches.pct) {
    printIfSet(writer, "\tPCTFREE    ", segment.pctFree);
    printIfSet(writer, "\tINITRANS   ", transactions(segment.iniTrans));
    printIfSet(writer, "\tMAXTRANS   ", transactions(segment.maxTrans));
  }
  if (switches.storage && !segment.tablespace.empty())
    writer.print("\tTABLESPACE " + ddlName(segment.tablespace));
}

// The column block of a key: "(", the columns with a comma before all but the first, ")", each
// on a line indented under the constraint's type word.
void writeKeyColumns(DdlLineWriter& writer, const std::string& typeWord,
                     const std::vector<std::string>& columns) {
  std::string indent = "\t" + std::string(typeWord.size() + 1, ' ');
  writer.print(indent + "(");
  for (size_t i = 0; i < columns.size(); ++i)
    writer.print(indent + (i == 0 ? "" : ",") + ddlName(columns[i]));
  writer.print(indent + ")");
}

void writeCheck(DdlLineWriter& writer, const ConstraintFacts& constraint) {
  if (isSystemConstraintName(constraint.name)) {
    writer.print("\tCHECK");
    writer.print("-- original system constraint name was " + escapeControls(constraint.name));
  } else {
    writer.print("\tCONSTRAINT " + ddlName(constraint.name));
    writer.print("\tCHECK");
  }
  writer.print("\t(");
  // The condition goes on one line as it stands: Oracle keeps a check condition's text as
  // written, so a line break put into it would make the two databases differ for good.
  writer.print("\t" + constraint.condition);
  writer.print("\t)");
}

std::string typeWordOf(const std::string& type) {
  if (type == "P") return "PRIMARY KEY";
  if (type == "U") return "UNIQUE";
  if (type == "R") return "FOREIGN KEY";
  return "CHECK";
}

void writeKey(DdlLineWriter& writer, const TableFacts& table, const ConstraintFacts& constraint,
              const DdlSwitches& switches) {
  std::string typeWord = typeWordOf(constraint.type);
  // Like a check, a system-named key gets a new system name: the target may already use its
  // old one for another constraint.
  if (isSystemConstraintName(constraint.name)) {
    writer.print("\t" + typeWord);
    writer.print("-- original system constraint name was " + escapeControls(constraint.name));
  } else {
    writer.print("\tCONSTRAINT " + ddlName(constraint.name));
    writer.print("\t" + typeWord);
  }
  writeKeyColumns(writer, typeWord, constraint.columns);
  if (constraint.index) {
    writer.print("\tUSING INDEX");
    writeIndexSegment(writer, constraint.index->segment, switches);
  }
  if (constraint.type != "R") return;
  // A key of another schema is named with its owner, so the statement finds it.
  std::string referenced = ddlName(constraint.referencedTable);
  if (!constraint.referencedOwner.empty() && constraint.referencedOwner != table.owner)
    referenced = ddlName(constraint.referencedOwner) + "." + referenced;
  writer.print("\tREFERENCES " + referenced);
  writeKeyColumns(writer, typeWord, constraint.referencedColumns);
  if (constraint.deleteRule == "CASCADE") writer.print("ON DELETE CASCADE");
  if (constraint.deleteRule == "SET NULL") writer.print("ON DELETE SET NULL");
}

// Why a constraint cannot be written as ALTER TABLE ... ADD; "" when it can.
std::string unscriptableReason(const ConstraintFacts& constraint) {
  const std::string& type = constraint.type;
  if (type == "C" && constraint.condition.empty()) return "its condition cannot be read";
  if (type != "P" && type != "U" && type != "R" && type != "C")
    return "constraints of type " + type + " are not scripted";
  if (type != "C" && constraint.columns.empty()) return "its columns cannot be read";
  if (type == "R" && (constraint.referencedTable.empty() || constraint.referencedColumns.empty()))
    return "the key it references (" + constraint.referencedOwner + "." +
           constraint.referencedConstraint + ") cannot be read";
  return "";
}

// Why a name or text of the table cannot stand in its CREATE TABLE; "" when all can.
std::string unwritableTableReason(const TableFacts& table,
                                  const std::vector<ColumnFacts>& columns) {
  std::string reason = unwritableNamesReason({table.name, table.segment.tablespace});
  for (size_t i = 0; reason.empty() && i < columns.size(); ++i) {
    const ColumnFacts& column = columns[i];
    reason = unwritableNameReason(column.name);
    if (!reason.empty()) reason = "column " + column.name + ": " + reason;
    if (reason.empty() && holdsControlCharacter(column.dataType))
      reason = "the type of column " + column.name + " holds a control character";
    if (reason.empty() && !unwritableExpressionReason(column.defaultText).empty())
      reason = "the default of column " + column.name + ": " +
               unwritableExpressionReason(column.defaultText);
  }
  return reason;
}

std::string unwritableConstraintReason(const TableFacts& table, const ConstraintFacts& constraint) {
  std::string reason =
      unwritableNamesReason({table.name, table.owner, constraint.name, constraint.referencedOwner,
                             constraint.referencedTable});
  for (const std::vector<std::string>* names : {&constraint.columns, &constraint.referencedColumns})
    for (size_t i = 0; reason.empty() && i < names->size(); ++i)
      reason = unwritableNameReason((*names)[i]);
  if (reason.empty() && constraint.index)
    reason = unwritableNameReason(constraint.index->segment.tablespace);
  if (reason.empty() && constraint.type == "C") {
    reason = unwritableExpressionReason(constraint.condition);
    if (!reason.empty()) reason = "its condition: " + reason;
  }
  return reason;
}

}  // namespace

bool isSystemConstraintName(const std::string& name) {
  return name.rfind("SYS_C", 0) == 0;
}

bool isSystemNotNullCheck(const ConstraintFacts& constraint) {
  static const std::string kSuffix = "\" IS NOT NULL";
  const std::string& condition = constraint.condition;
  if (constraint.type != "C" || !isSystemConstraintName(constraint.name)) return false;
  if (condition.size() <= kSuffix.size() + 1 || condition[0] != '"') return false;
  if (condition.compare(condition.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
    return false;
  // Exactly one quoted column name before the suffix.
  return condition.find('"', 1) == condition.size() - kSuffix.size();
}

int constraintTypeRank(const std::string& type) {
  if (type == "P") return 1;
  if (type == "U") return 2;
  if (type == "R") return 3;
  if (type == "C") return 4;
  return 5;
}

std::vector<std::string> formatCreateTable(const TableFacts& table,
                                           const std::vector<ColumnFacts>& columns,
                                           const DdlSwitches& switches) {
  const std::string reason = unwritableTableReason(table, columns);
  if (!reason.empty()) return {unwrittenStatementComment("table " + table.name, reason)};
  DdlLineWriter writer;
  writer.write("CREATE TABLE ", false);
  writer.write(ddlName(table.name), false);
  writer.write(" (", true);
  for (size_t i = 0; i < columns.size(); ++i) writeColumn(writer, columns[i], i == 0);
  writer.write(")", true);
  const SegmentFacts& segment = table.segment;
  if (switches.pct) {
    printIfSet(writer, "PCTFREE  ", segment.pctFree);
    printIfSet(writer, "PCTUSED  ", segment.pctUsed);
    printIfSet(writer, "INITRANS ", transactions(segment.iniTrans));
    printIfSet(writer, "MAXTRANS ", transactions(segment.maxTrans));
  }
  if (switches.storage) writeTableStorage(writer, segment);
  writer.write(";", true);
  return writer.take();
}

std::vector<std::string> formatConstraint(const TableFacts& table,
                                          const ConstraintFacts& constraint,
                                          const DdlSwitches& switches) {
  if (isSystemNotNullCheck(constraint)) return {};
  std::string reason = unscriptableReason(constraint);
  if (!reason.empty())
    return {escapeControls("-- constraint " + constraint.name + " of table " + table.name +
                           " is not scripted: " + reason)};
  reason = unwritableConstraintReason(table, constraint);
  if (!reason.empty())
    return {unwrittenStatementComment("constraint " + constraint.name + " of table " + table.name,
                                      reason)};
  DdlLineWriter writer;
  writer.print("ALTER TABLE " + ddlName(table.name) + " ADD (");
  if (constraint.type == "C")
    writeCheck(writer, constraint);
  else
    writeKey(writer, table, constraint, switches);
  writer.print(")");
  writer.print(";");
  return writer.take();
}

std::vector<std::string> formatIndex(const std::string& table, const IndexFacts& index,
                                     const DdlSwitches& switches) {
  std::string reason = unwritableNamesReason({table, index.name, index.segment.tablespace});
  auto isExpression = [&](size_t i) {
    return i < index.expressions.size() && index.expressions[i];
  };
  for (size_t i = 0; reason.empty() && i < index.columns.size(); ++i) {
    if (isExpression(i))
      reason = unwritableExpressionReason(index.columns[i]);
    else if (isSystemIndexColumn(index.columns[i]))
      reason = "the expression of its column " + index.columns[i] + " cannot be read";
    else
      reason = unwritableNameReason(index.columns[i]);
  }
  if (!reason.empty())
    return {unwrittenStatementComment("index " + index.name + " of table " + table, reason)};
  DdlLineWriter writer;
  writer.print(std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " +
               ddlName(index.name) + " ON " + ddlName(table));
  writer.print("\t(");
  for (size_t i = 0; i < index.columns.size(); ++i)
    writer.print(std::string("\t ") + (i == 0 ? "" : ",") +
                 (isExpression(i) ? index.columns[i] : ddlName(index.columns[i])));
  writer.print("\t)");
  writeIndexSegment(writer, index.segment, switches);
  if (index.compression == "ENABLED") writer.print("\tCOMPRESS " + index.prefixLength);
  writer.print(";");
  return writer.take();
}

}  // namespace velmora
