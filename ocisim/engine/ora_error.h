// OraError: the one error type of the ocisim engine. Every failure of a statement is an OraError
// carrying Oracle's code and message text ("ORA-00942: table or view does not exist"); the
// engine throws it to abort the statement, and the OCI layer turns it into an error record.
// The codes and their message templates live in one table (kOraMessages below).
#pragma once

#include <stdexcept>
#include <string>

namespace ocisim {

// X-macro list: code, message template ("%s" placeholders are filled in order).
#define OCISIM_ORA_MESSAGES(X)                                                              \
  X(1, "unique constraint (%s) violated")                                                    \
  X(28, "your session has been killed")                                                      \
  X(96, "invalid value %s for parameter %s, must be from among %s")                          \
  X(900, "invalid SQL statement")                                                            \
  X(901, "invalid CREATE command")                                                           \
  X(902, "invalid datatype")                                                                 \
  X(903, "invalid table name")                                                               \
  X(904, "%s: invalid identifier")                                                           \
  X(905, "missing keyword")                                                                  \
  X(906, "missing left parenthesis")                                                         \
  X(907, "missing right parenthesis")                                                        \
  X(908, "missing NULL keyword")                                                             \
  X(909, "invalid number of arguments")                                                      \
  X(910, "specified length too long for its datatype")                                       \
  X(911, "invalid character")                                                                \
  X(913, "too many values")                                                                  \
  X(917, "missing comma")                                                                    \
  X(918, "column ambiguously defined")                                                       \
  X(920, "invalid relational operator")                                                      \
  X(921, "unexpected end of SQL command")                                                    \
  X(922, "missing or invalid option")                                                        \
  X(923, "FROM keyword not found where expected")                                            \
  X(924, "missing BY keyword")                                                               \
  X(925, "missing INTO keyword")                                                             \
  X(926, "missing VALUES keyword")                                                           \
  X(927, "missing equal sign")                                                               \
  X(928, "missing SELECT keyword")                                                           \
  X(931, "missing identifier")                                                               \
  X(932, "inconsistent datatypes: expected %s got %s")                                       \
  X(933, "SQL command not properly ended")                                                   \
  X(934, "group function is not allowed here")                                               \
  X(936, "missing expression")                                                               \
  X(937, "not a single-group group function")                                                \
  X(940, "invalid ALTER command")                                                            \
  X(942, "table or view does not exist")                                                     \
  X(946, "missing TO keyword")                                                               \
  X(947, "not enough values")                                                                \
  X(950, "invalid DROP option")                                                              \
  X(953, "missing or invalid index name")                                                    \
  X(955, "name is already used by an existing object")                                       \
  X(957, "duplicate column name")                                                            \
  X(959, "tablespace '%s' does not exist")                                                   \
  X(960, "ambiguous column naming in select list")                                           \
  X(969, "missing ON keyword")                                                               \
  X(971, "missing SET keyword")                                                              \
  X(972, "identifier is too long")                                                           \
  X(975, "date + date not allowed")                                                          \
  X(979, "not a GROUP BY expression")                                                        \
  X(980, "synonym translation is no longer valid")                                           \
  X(984, "column not allowed here")                                                          \
  X(987, "missing or invalid username(s)")                                                   \
  X(988, "missing or invalid password(s)")                                                   \
  X(990, "missing or invalid privilege")                                                     \
  X(997, "illegal use of LONG datatype")                                                     \
  X(998, "must name this expression with a column alias")                                    \
  X(1001, "invalid cursor")                                                                  \
  X(1002, "fetch out of sequence")                                                           \
  X(1008, "not all variables bound")                                                         \
  X(1013, "user requested cancel of current operation")                                      \
  X(1017, "invalid username/password; logon denied")                                         \
  X(1031, "insufficient privileges")                                                         \
  X(1034, "ORACLE not available")                                                            \
  X(1045, "user %s lacks CREATE SESSION privilege; logon denied")                            \
  X(1400, "cannot insert NULL into (%s)")                                                    \
  X(1401, "inserted value too large for column")                                             \
  X(1403, "no data found")                                                                   \
  X(1405, "fetched column value is NULL")                                                    \
  X(1406, "fetched column value was truncated")                                              \
  X(1407, "cannot update (%s) to NULL")                                                      \
  X(1408, "such column list already indexed")                                                \
  X(1418, "specified index does not exist")                                                  \
  X(1422, "exact fetch returns more than requested number of rows")                         \
  X(1424, "missing or illegal character following the escape character")                     \
  X(1425, "escape character must be character string of length 1")                           \
  X(1426, "numeric overflow")                                                                \
  X(1427, "single-row subquery returns more than one row")                                   \
  X(1428, "argument '%s' is out of range")                                                   \
  X(1430, "column being added already exists in table")                                      \
  X(1432, "public synonym to be dropped does not exist")                                     \
  X(1434, "private synonym to be dropped does not exist")                                    \
  X(1435, "user does not exist")                                                             \
  X(1436, "CONNECT BY loop in user data")                                                    \
  X(1438, "value larger than specified precision allowed for this column")                   \
  X(1439, "column to be modified must be empty to change datatype")                          \
  X(1440, "column to be modified must be empty to decrease precision or scale")              \
  X(1441, "cannot decrease column length because some value is too big")                     \
  X(1442, "column to be modified to NOT NULL is already NOT NULL")                           \
  X(1449, "column contains NULL values; cannot alter to NOT NULL")                           \
  X(1451, "column to be modified to NULL cannot be modified to NULL")                        \
  X(1452, "cannot CREATE UNIQUE INDEX; duplicate keys found")                                \
  X(1465, "invalid hex number")                                                              \
  X(1471, "cannot create a synonym with same name as object")                                \
  X(1476, "divisor is equal to zero")                                                        \
  X(1481, "invalid number format model")                                                     \
  X(1502, "index '%s' or partition of such index is in unusable state")                      \
  X(1543, "tablespace '%s' already exists")                                                  \
  X(1549, "tablespace not empty, use INCLUDING CONTENTS option")                             \
  X(1550, "cannot drop system tablespace")                                                   \
  X(1704, "string literal too long")                                                         \
  X(1722, "invalid number")                                                                  \
  X(1724, "floating point precision is out of range (1 to 126)")                             \
  X(1727, "numeric precision specifier is out of range (1 to 38)")                           \
  X(1728, "numeric scale specifier is out of range (-84 to 127)")                            \
  X(1730, "invalid number of column names specified")                                        \
  X(1731, "circular view definition encountered")                                            \
  X(1732, "data manipulation operation not legal on this view")                              \
  X(1735, "invalid ALTER TABLE option")                                                      \
  X(1740, "missing double quote in identifier")                                              \
  X(1741, "illegal zero-length identifier")                                                  \
  X(1742, "comment not properly terminated")                                                 \
  X(1749, "you may not GRANT/REVOKE privileges to/from yourself")                            \
  X(1750, "UPDATE/REFERENCES may only be REVOKEd from the whole table, not by column")       \
  X(1754, "a table may contain only one column of type LONG")                                \
  X(1756, "quoted string not properly terminated")                                           \
  X(1758, "table must be empty to add mandatory (NOT NULL) column")                          \
  X(1765, "specifying owner's name of the table is not allowed")                             \
  X(1775, "looping chain of synonyms")                                                       \
  X(1780, "string literal required")                                                         \
  X(1785, "ORDER BY item must be the number of a SELECT-list expression")                    \
  X(1788, "CONNECT BY clause required in this query block")                                  \
  X(1789, "query block has incorrect number of result columns")                              \
  X(1790, "expression must have same datatype as corresponding expression")                  \
  X(1791, "not a SELECTed expression")                                                       \
  X(1801, "date format is too long for internal buffer")                                     \
  X(1810, "format code appears twice")                                                       \
  X(1820, "format code cannot appear in date input format")                                  \
  X(1821, "date format not recognized")                                                      \
  X(1830, "date format picture ends before converting entire input string")                  \
  X(1839, "date not valid for month specified")                                              \
  X(1841, "(full) year must be between -4713 and +9999, and not be 0")                       \
  X(1843, "not a valid month")                                                               \
  X(1846, "not a valid day of the week")                                                     \
  X(1847, "day of month must be between 1 and last day of month")                            \
  X(1848, "day of year must be between 1 and 365 (366 for leap year)")                       \
  X(1849, "hour must be between 1 and 12")                                                   \
  X(1850, "hour must be between 0 and 23")                                                   \
  X(1851, "minutes must be between 0 and 59")                                                \
  X(1852, "seconds must be between 0 and 59")                                                \
  X(1853, "seconds in day must be between 0 and 86399")                                      \
  X(1854, "julian date must be between 1 and 5373484")                                       \
  X(1855, "AM/A.M. or PM/P.M. required")                                                     \
  X(1856, "BC/B.C. or AD/A.D. required")                                                     \
  X(1858, "a non-numeric character was found where a numeric was expected")                 \
  X(1861, "literal does not match format string")                                            \
  X(1862, "the numeric value does not match the length of the format item")                  \
  X(1898, "too many precision specifiers")                                                   \
  X(1917, "user or role '%s' does not exist")                                                \
  X(1918, "user '%s' does not exist")                                                        \
  X(1919, "role '%s' does not exist")                                                        \
  X(1920, "user name '%s' conflicts with another user or role name")                         \
  X(1921, "role name '%s' conflicts with another user or role name")                         \
  X(1922, "CASCADE must be specified to drop '%s'")                                          \
  X(1926, "cannot GRANT to a role WITH GRANT OPTION")                                        \
  X(1927, "cannot REVOKE privileges you did not grant")                                      \
  X(1932, "ADMIN option not granted for role '%s'")                                          \
  X(1934, "circular role grant detected")                                                    \
  X(1935, "missing user or role name")                                                       \
  X(1940, "cannot drop a user that is currently connected")                                  \
  X(1951, "ROLE '%s' not granted to '%s'")                                                   \
  X(1952, "system privileges not granted to '%s'")                                           \
  X(2000, "missing %s keyword")                                                              \
  X(2003, "invalid USERENV parameter")                                                       \
  X(2091, "transaction rolled back")                                                         \
  X(2143, "invalid STORAGE option")                                                          \
  X(2158, "invalid CREATE INDEX option")                                                     \
  X(2195, "Attempt to create PERMANENT object in a TEMPORARY tablespace")                    \
  X(2199, "missing DATAFILE/TEMPFILE clause")                                                \
  X(2201, "sequence not allowed here")                                                       \
  X(2216, "tablespace name expected")                                                        \
  X(2224, "EXECUTE privilege not allowed for tables")                                        \
  X(2225, "only EXECUTE and DEBUG privileges are valid for procedures")                      \
  X(2236, "invalid file name")                                                               \
  X(2243, "invalid ALTER INDEX or ALTER MATERIALIZED VIEW option")                           \
  X(2248, "invalid option for ALTER SESSION")                                                \
  X(2256, "number of referencing columns must match referenced columns")                     \
  X(2260, "table can have only one primary key")                                             \
  X(2261, "such unique or primary key already exists in the table")                          \
  X(2263, "need to specify the datatype for this column")                                    \
  X(2264, "name already used by an existing constraint")                                     \
  X(2266, "unique/primary keys in table referenced by enabled foreign keys")                 \
  X(2268, "referenced table does not have a primary key")                                    \
  X(2270, "no matching unique or primary key for this column-list")                          \
  X(2273, "this unique/primary key is referenced by some foreign keys")                     \
  X(2277, "invalid sequence name")                                                           \
  X(2283, "cannot alter starting sequence number")                                           \
  X(2287, "sequence number not allowed here")                                               \
  X(2289, "sequence does not exist")                                                         \
  X(2290, "check constraint (%s) violated")                                                  \
  X(2291, "integrity constraint (%s) violated - parent key not found")                       \
  X(2292, "integrity constraint (%s) violated - child record found")                         \
  X(2293, "cannot validate (%s) - check constraint violated")                                \
  X(2296, "cannot enable (%s) - null values found")                                          \
  X(2297, "cannot disable constraint (%s) - dependencies exist")                             \
  X(2298, "cannot validate (%s) - parent keys not found")                                    \
  X(2299, "cannot validate (%s) - duplicate keys found")                                     \
  X(2303, "cannot drop or replace a type with type or table dependents")                     \
  X(2429, "cannot drop index used for enforcement of unique/primary key")                    \
  X(2430, "cannot enable constraint (%s) - no such constraint")                              \
  X(2431, "cannot disable constraint (%s) - no such constraint")                             \
  X(2437, "cannot validate (%s) - primary key violated")                                     \
  X(2441, "Cannot drop nonexistent primary key")                                             \
  X(2442, "Cannot drop nonexistent unique key")                                              \
  X(2443, "Cannot drop constraint  - nonexistent constraint")                                \
  X(2447, "cannot defer a constraint that is not deferrable")                                \
  X(2449, "unique/primary keys in table referenced by foreign keys")                        \
  X(3001, "unimplemented feature")                                                           \
  X(3113, "end-of-file on communication channel")                                            \
  X(3114, "not connected to ORACLE")                                                         \
  X(3290, "Invalid truncate command - missing CLUSTER or TABLE keyword")                     \
  X(4002, "INCREMENT must be a non-zero integer")                                            \
  X(4004, "MINVALUE must be less than MAXVALUE")                                             \
  X(4006, "START WITH cannot be less than MINVALUE")                                         \
  X(4007, "MINVALUE cannot be made to exceed the current value")                             \
  X(4008, "START WITH cannot be more than MAXVALUE")                                         \
  X(4009, "MAXVALUE cannot be made to be less than the current value")                       \
  X(4010, "the number of values to CACHE must be greater than 1")                            \
  X(4013, "number to CACHE must be less than one cycle")                                     \
  X(4043, "object %s does not exist")                                                        \
  X(4050, "invalid or missing procedure, function, or package name")                         \
  X(4063, "%s has errors")                                                                   \
  X(4070, "invalid trigger name")                                                            \
  X(4077, "WHEN clause cannot be used with table level triggers")                            \
  X(4079, "invalid trigger specification")                                                   \
  X(4080, "trigger '%s' does not exist")                                                     \
  X(4081, "trigger '%s' already exists")                                                     \
  X(6502, "PL/SQL: numeric or value error")                                                  \
  X(6510, "PL/SQL: unhandled user-defined exception")                                        \
  X(6511, "PL/SQL: cursor already open")                                                     \
  X(6550, "line %s, column %s:\n%s")                                                          \
  X(8002, "sequence %s.CURRVAL is not yet defined in this session")                          \
  X(8004, "sequence %s.NEXTVAL %s and cannot be instantiated")                               \
  X(8103, "object no longer exists")                                                         \
  X(10615, "Invalid tablespace type for temporary tablespace")                               \
  X(12154, "TNS:could not resolve the connect identifier specified")                         \
  X(12541, "TNS:no listener")                                                                \
  X(12899, "value too large for column %s (actual: %s, maximum: %s)")                        \
  X(12906, "cannot drop default temporary tablespace")                                       \
  X(12910, "cannot specify temporary tablespace as default tablespace")                      \
  X(12919, "Can not drop the default permanent tablespace")                                  \
  X(12983, "cannot drop all columns in a table")                                             \
  X(12991, "column is referenced in a multi-column constraint")                              \
  X(12992, "cannot drop parent key column")                                                  \
  X(13501, "Cannot drop SYSAUX tablespace")                                                  \
  X(14047, "ALTER TABLE|INDEX RENAME may not be combined with other operations")             \
  X(14155, "missing PARTITION or SUBPARTITION keyword")                                      \
  X(14196, "Specified index cannot be used to enforce the constraint.")                      \
  X(14450, "attempt to access a transactional temp table already in use")                    \
  X(14451, "unsupported feature with temporary table")                                       \
  X(14452, "attempt to create, alter or drop an index on temporary table already in use")    \
  X(14455, "attempt to create referential integrity constraint on temporary table")          \
  X(14456, "cannot rebuild index on a temporary table")                                      \
  X(21000, "error number argument to raise_application_error of %s is out of range")         \
  X(23292, "The constraint does not exist")                                                  \
  X(24333, "zero iteration count")                                                           \
  X(24334, "no descriptor for this position")                                                \
  X(24338, "statement handle not executed")                                                  \
  X(24344, "success with compilation error")                                                 \
  X(24345, "A Truncation or null fetch error occurred")                                      \
  X(25128, "No insert/update/delete on table with constraint (%s) disabled and validated")   \
  X(25175, "no PRIMARY KEY constraint found")                                                \
  X(25188, "cannot drop/disable/defer the primary key constraint for index-organized tables or sorted hash cluster") \
  X(25194, "invalid COMPRESS prefix length value")                                           \
  X(28650, "Primary index on an IOT cannot be rebuilt")                                      \
  X(30001, "trim set should have only one character")                                        \
  X(30076, "invalid extract field for extract source")                                       \
  X(30088, "datetime/interval precision is out of range")                                    \
  X(32031, "illegal reference of a query name in WITH clause")                               \
  X(32039, "recursive WITH clause must have column alias list")                              \
  X(30022, "Cannot create segments in undo tablespace")

// Returns the message template of a code, or nullptr when the code is not in the table.
const char* oraMessageTemplate(int code);

class OraError : public std::runtime_error {
 public:
  // Builds "ORA-nnnnn: " + the template of code with its "%s" filled by args in order.
  // Codes 20000-20999 (raise_application_error) take their whole message from args[0].
  OraError(int code, std::initializer_list<std::string> args = {});
  // A code with a message text given whole (after "ORA-nnnnn: ").
  static OraError withText(int code, const std::string& text);

  int code() const { return code_; }
  // The text after "ORA-nnnnn: ".
  const std::string& text() const { return text_; }

 private:
  OraError(int code, std::string text, bool);
  int code_;
  std::string text_;
};

}  // namespace ocisim
