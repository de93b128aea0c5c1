// Column texts of the structure phase: the column query chosen by output mode, "Ignore
// differences in length" and server version; the type text a column is compared by; its display
// width and the orderable/selectable rules of the data comparison; the type written by MODIFY.
// Pure functions, no state.
#pragma once

#include <string>

#include "structure/dictionary_reader.h"

namespace velmora {

// The column query text. mode is i_DoingUpgradeScript, compareLength b_CompColLen,
// serverVersion the database's ("7" means a dictionary without data_type_owner).
std::string columnQueryText(int mode, bool ignoreLengths, const std::string& serverVersion);

// The type text columns are compared by: type, " DEFAULT " + default when there is one, " ",
// nullability. "NUMBER(10,2)" + " " + "    NULL " for a nullable column without default; a
// default of NULL (what remains of a default removed with DEFAULT NULL) counts as none; an
// unconstrained NUMBER of scale 0 is written INTEGER, as it was declared. A
// FLOAT, which the query formats with its byte length, is written with its binary precision,
// as a statement must declare it: FLOAT(126), not FLOAT(22).
std::string columnTypeText(const ColumnRow& row);

// Whether a type text ends with the NOT NULL word; the same text with the other word.
bool isNotNullType(const std::string& typeText);
std::string withNullability(const std::string& typeText, bool notNull);

// What a row of the column query tells the data comparison.
struct ColumnTraits {
  int rawWidth = 0;        // the length item, or 500 for a long value without length
  bool orderable = true;   // may stand in an ORDER BY
  bool selectable = true;  // may be selected as text
};
ColumnTraits columnTraits(const ColumnRow& row, const std::string& typeText);

// The display width of a new entry of Database 1: 24 for DATE, else the raw width; a name at
// least that long widens it to the name's length + 1.
int columnDisplayWidth(const std::string& name, const std::string& typeText, int rawWidth);

// The type written after the column name in MODIFY ( ... ): the source type without its
// nullability word when both sides have the same nullability, else the whole source type. When
// Database 2 has a default that Database 1 lacks, " DEFAULT NULL" is added, since MODIFY keeps
// a default it is not told about.
//   ("VARCHAR2(10) NULL ", "VARCHAR2(10) NOT NULL ") -> "VARCHAR2(10) NULL "
//   ("NUMBER(5) NOT NULL ", "NUMBER(4) NOT NULL ")   -> "NUMBER(5) "
//   ("NUMBER NULL ", "NUMBER DEFAULT 0 NULL ")        -> "NUMBER DEFAULT NULL "
std::string modifyTypeText(const std::string& sourceType, const std::string& targetType);

}  // namespace velmora
