// AST of the SQL and PL/SQL subset that ocisim runs: plain structs with std::unique_ptr
// children and a kind enum, built by parseStatement (parser.h) and walked by the executor.
// A Statement owns its whole tree and a copy of its text; every Expr carries the byte range
// of its source in that text. Names: unquoted identifiers are upper-cased, quoted ones are kept
// as written (without the quotes). Literals stay text: the executor converts them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ocisim::sql {

struct Query;
struct Statement;
struct TypeSpec;
struct CreateIndexStmt;

// ---------------------------------------------------------------- expressions

enum class ExprKind : uint8_t {
  Literal,     // literal, text
  Column,      // names: 1-3 parts (col, t.col, s.t.col); also SYSDATE, USER, ROWNUM, LEVEL,
               // ROWID, seq.NEXTVAL, TRUE/FALSE and PL/SQL variables: the executor resolves them
  Star,        // names: the qualifier parts (empty for a bare *)
  Bind,        // text: the bind name (upper-cased unless quoted, without ':'; ":1" -> "1")
  Unary,       // op (Negate, Plus, Not, Prior), args[0]
  Binary,      // op, args[0] op args[1]
  IsNull,      // args[0] IS [NOT] NULL (negated for IS NOT NULL)
  Like,        // args[0] [NOT] LIKE args[1] [ESCAPE args[2]]
  Between,     // args[0] [NOT] BETWEEN args[1] AND args[2]
  InList,      // args[0] [NOT] IN (args[1], args[2], ...)
  InSubquery,  // args[0] [NOT] IN (query)
  Exists,      // [NOT] EXISTS (query)
  Subquery,    // (query) as a scalar value
  Case,        // CASE [caseOperand] WHEN args[0] THEN args[1] WHEN args[2] ... [ELSE elseExpr] END
  Function,    // names: the function name parts (NVL; DBMS_OUTPUT.PUT_LINE); args
};

enum class LiteralKind : uint8_t {
  Null,       // NULL
  Number,     // text as written: "1", "-" never (negative numbers are Unary Negate), "1.5e3"
  String,     // text: the value ('' turned into ')
  Date,       // DATE 'YYYY-MM-DD': text is the string
  Timestamp,  // TIMESTAMP 'YYYY-MM-DD HH24:MI:SS[.FF]': text is the string
};

enum class Op : uint8_t {
  None,
  Add, Subtract, Multiply, Divide, Concat,  // arithmetic and ||
  Eq, Ne, Lt, Le, Gt, Ge,                   // comparisons (<> != ^= ~= are all Ne)
  And, Or,                                  // logic
  Negate, Plus, Not, Prior,                 // unary
};

struct Expr {
  ExprKind kind = ExprKind::Literal;
  LiteralKind literal = LiteralKind::Null;  // Literal only
  Op op = Op::None;                         // Unary and Binary
  bool negated = false;    // NOT LIKE, NOT BETWEEN, NOT IN, NOT EXISTS, IS NOT NULL
  bool distinct = false;   // Function: COUNT(DISTINCT x)
  bool countStar = false;  // Function: COUNT(*) (args empty)
  bool outerJoin = false;  // Column: col(+)
  std::string text;                         // Literal and Bind
  std::vector<std::string> names;           // Column, Star, Function
  std::vector<std::unique_ptr<Expr>> args;  // operands, see ExprKind
  // Function: names of named arguments (name => value), "" for positional ones; empty when
  // every argument is positional.
  std::vector<std::string> argNames;
  std::unique_ptr<Query> query;        // InSubquery, Exists, Subquery
  std::unique_ptr<Expr> caseOperand;   // Case: the operand of a simple CASE, else null
  std::unique_ptr<Expr> elseExpr;      // Case: the ELSE branch, else null
  std::shared_ptr<const TypeSpec> castType;  // Function CAST(args[0] AS castType)
  uint32_t begin = 0;  // byte range of the expression in the statement text
  uint32_t end = 0;
};

// TRIM is parsed into a Function "TRIM" whose args are either [s] (TRIM(s)) or, for the
// forms with FROM, [mode, set, s]: mode a String literal "LEADING", "TRAILING" or "BOTH", set
// the trim character expression (a String literal " " when not given).
// EXTRACT(field FROM d) is a Function "EXTRACT" with args [field, d], field a String literal
// (YEAR, MONTH, DAY, HOUR, MINUTE, SECOND). CAST(x AS type) is a Function "CAST" with args [x]
// and castType. CURRENT_DATE, CURRENT_TIMESTAMP and LOCALTIMESTAMP are Column names.

// ---------------------------------------------------------------- queries

struct SelectItem {
  std::unique_ptr<Expr> expr;  // Star for * and t.*
  std::string alias;           // as written after [AS] (upper-cased unless quoted), or ""
  // The column name Oracle gives the item: the alias; else the last name of a column
  // reference; else the expression text with identifiers upper-cased and blanks and comments
  // outside quotes removed (e.g. '('||LINE||')'||TEXT, COUNT(*), '#^@@$#').
  std::string name;
};

enum class TableRefKind : uint8_t { Table, Subquery, Join };
enum class JoinKind : uint8_t { Inner, Left, Right, Full, Cross };

struct TableRef {
  TableRefKind kind = TableRefKind::Table;
  std::string schema;                // Table: owner as written, or ""
  std::string name;                  // Table: table or view name (or DUAL)
  std::unique_ptr<Query> subquery;   // Subquery
  std::string alias;                 // Table and Subquery: alias, or ""
  JoinKind join = JoinKind::Inner;   // Join: left JOIN right ON on | USING (usingColumns)
  bool natural = false;              // Join: NATURAL JOIN
  std::unique_ptr<TableRef> left;
  std::unique_ptr<TableRef> right;
  std::unique_ptr<Expr> on;
  std::vector<std::string> usingColumns;
  uint32_t begin = 0;
  uint32_t end = 0;
};

struct QueryBlock {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<std::unique_ptr<Expr>> into;  // PL/SQL SELECT ... INTO targets, else empty
  std::vector<std::unique_ptr<TableRef>> from;
  std::unique_ptr<Expr> where;
  std::unique_ptr<Expr> startWith;  // CONNECT BY ... START WITH (either order)
  std::unique_ptr<Expr> connectBy;
  bool noCycle = false;             // CONNECT BY NOCYCLE
  std::vector<std::unique_ptr<Expr>> groupBy;
  std::unique_ptr<Expr> having;
};

enum class SetOp : uint8_t { Union, UnionAll, Minus, Intersect };

struct OrderItem {
  std::unique_ptr<Expr> expr;  // a position is a Number literal; an alias a 1-part Column
  bool descending = false;
  enum class Nulls : uint8_t { Default, First, Last } nulls = Nulls::Default;
};

// WITH name [(columns)] AS (query): a named subquery of the query it precedes.
struct CommonTableExpr {
  std::string name;
  std::vector<std::string> columns;  // the column names given, or empty
  std::unique_ptr<Query> query;
};

// A query: either one block, or left SETOP right (left-associative; parentheses nest).
// ORDER BY and FOR UPDATE belong to the query they follow; WITH precedes it.
struct Query {
  std::vector<CommonTableExpr> with;  // WITH ... (release 9 on), in order
  std::unique_ptr<QueryBlock> block;  // set for a plain block
  SetOp setOp = SetOp::Union;         // used when block is null
  std::unique_ptr<Query> left;
  std::unique_ptr<Query> right;
  std::vector<OrderItem> orderBy;
  bool forUpdate = false;
  uint32_t begin = 0;
  uint32_t end = 0;
};

// ---------------------------------------------------------------- types and DDL pieces

// A column or variable type as written. name is upper-cased: NUMBER, INTEGER, INT, SMALLINT,
// DECIMAL, NUMERIC, FLOAT, REAL, DOUBLE PRECISION, VARCHAR2, VARCHAR, CHAR, NCHAR, NVARCHAR2,
// DATE, TIMESTAMP, LONG, LONG RAW, RAW, CLOB, NCLOB, BLOB, ROWID, BOOLEAN, PLS_INTEGER,
// BINARY_INTEGER, or a user-defined type (schema possibly set). anchor names a %TYPE anchor.
struct TypeSpec {
  std::string schema;
  std::string name;
  std::optional<int> length;     // VARCHAR2(n), CHAR(n), RAW(n), NUMBER(p) as precision below
  std::optional<int> precision;  // NUMBER(p[,s]), FLOAT(p), TIMESTAMP(fractional digits)
  std::optional<int> scale;      // NUMBER(p,s)
  bool starPrecision = false;    // NUMBER(*[,s])
  bool charSemantics = false;    // VARCHAR2(n CHAR)
  bool byteSemantics = false;    // VARCHAR2(n BYTE)
  bool withTimeZone = false;     // TIMESTAMP [(f)] WITH TIME ZONE
  bool withLocalTimeZone = false;  // TIMESTAMP [(f)] WITH LOCAL TIME ZONE
  std::vector<std::string> anchor;  // x%TYPE: the name parts of x (name is then empty)
  bool rowType = false;             // x%ROWTYPE
};

// Physical attributes of a table or an index (USING INDEX included). Sizes are in bytes
// (K/M/G suffixes applied); MAXEXTENTS UNLIMITED reads as 2147483645.
struct StorageClause {
  std::optional<int64_t> pctFree, pctUsed, iniTrans, maxTrans;
  std::optional<std::string> tablespace;
  std::optional<int64_t> initial, next, minExtents, maxExtents, pctIncrease, freelists,
      freelistGroups;
  // Indexes: COMPRESS [n] gives a value (0 when n is not written); NOCOMPRESS or nothing gives
  // no value.
  std::optional<int> compress;
};

struct QualifiedName {
  std::string schema;  // "" when not written
  std::string name;
};

enum class ConstraintKind : uint8_t { NotNull, Null, PrimaryKey, Unique, ForeignKey, Check };
enum class DeleteRule : uint8_t { NoAction, Cascade, SetNull };

struct ConstraintDef {
  ConstraintKind kind = ConstraintKind::Check;
  std::string name;                  // CONSTRAINT name, or "" (the system names it)
  std::vector<std::string> columns;  // out-of-line: the key columns; inline: empty
  std::string refSchema;             // ForeignKey: REFERENCES [schema.]table [(columns)]
  std::string refTable;
  std::vector<std::string> refColumns;  // empty: the referenced table's primary key
  DeleteRule onDelete = DeleteRule::NoAction;
  std::unique_ptr<Expr> check;       // Check
  std::string checkText;             // Check: the condition's source text between the parens
  bool hasUsingIndex = false;        // PrimaryKey/Unique: USING INDEX given
  StorageClause usingIndex;
  bool disabled = false;             // DISABLE given
  bool enableGiven = false;          // ENABLE or DISABLE given
  std::optional<bool> validate;      // VALIDATE / NOVALIDATE, absent when not given
  std::optional<bool> deferrable;    // DEFERRABLE / NOT DEFERRABLE, absent when not given
  bool initiallyDeferred = false;    // INITIALLY DEFERRED
  bool initiallyGiven = false;       // INITIALLY IMMEDIATE or DEFERRED given
  std::optional<bool> keepIndex;     // KEEP INDEX / DROP INDEX (DISABLE or DROP of a key)
  // PrimaryKey/Unique: USING INDEX (CREATE [UNIQUE] INDEX ...) (release 9 on), else null.
  std::shared_ptr<const CreateIndexStmt> usingIndexCreate;
  QualifiedName usingIndexName;      // USING INDEX [schema.]index: an existing index, else ""
};

struct ColumnDef {
  std::string name;
  std::optional<TypeSpec> type;      // absent in MODIFY without a type
  std::unique_ptr<Expr> defaultExpr;  // DEFAULT expr, else null
  // The default's source text exactly as Oracle keeps it in DATA_DEFAULT: from the start of
  // the expression to the start of the next token (trailing blanks and line breaks included).
  std::string defaultText;
  std::vector<ConstraintDef> constraints;  // inline constraints in order (NOT NULL, NULL, ...)
};

// ---------------------------------------------------------------- PL/SQL

struct PlsqlStmt;
using PlsqlStmtList = std::vector<std::unique_ptr<PlsqlStmt>>;

struct VarDecl {
  std::string name;
  TypeSpec type;
  bool constant = false;
  bool notNull = false;
  std::unique_ptr<Expr> init;  // := expr or DEFAULT expr, else null
};

struct ExceptionHandler {
  std::vector<std::string> names;  // exception names; {"OTHERS"} for WHEN OTHERS
  PlsqlStmtList body;
};

struct PlsqlBlock {
  std::vector<VarDecl> declarations;
  PlsqlStmtList body;
  std::vector<ExceptionHandler> handlers;
};

enum class PlsqlStmtKind : uint8_t {
  Null,    // NULL;
  Assign,  // target := value
  Call,    // call: a Function expr (RAISE_APPLICATION_ERROR included) or a Column expr for a
           // call without parentheses (DBMS_OUTPUT.DISABLE)
  If,      // branches (IF and ELSIF in order), elseBody
  ForLoop, // FOR loopVar IN [REVERSE] lower..upper LOOP body END LOOP
  WhileLoop,  // WHILE condition LOOP body END LOOP
  Loop,    // LOOP body END LOOP
  Exit,    // EXIT [WHEN condition]
  Raise,   // RAISE [exceptionName]
  Return,  // RETURN
  Block,   // nested [DECLARE ...] BEGIN ... END
  Sql,     // an SQL statement: SELECT ... INTO, INSERT, UPDATE, DELETE, COMMIT, ROLLBACK
};

struct IfBranch {
  std::unique_ptr<Expr> condition;
  PlsqlStmtList body;
};

struct PlsqlStmt {
  PlsqlStmtKind kind = PlsqlStmtKind::Null;
  std::unique_ptr<Expr> target;     // Assign: a Column (variable) or Bind
  std::unique_ptr<Expr> value;      // Assign: value; Call: the call; Exit/WhileLoop: condition
  std::vector<IfBranch> branches;   // If
  PlsqlStmtList elseBody;           // If: ELSE
  std::string loopVar;              // ForLoop
  bool reverse = false;             // ForLoop
  std::unique_ptr<Expr> lower;      // ForLoop
  std::unique_ptr<Expr> upper;      // ForLoop
  PlsqlStmtList body;               // loops
  std::string exceptionName;        // Raise
  std::unique_ptr<PlsqlBlock> block;     // Block
  std::unique_ptr<Statement> sql;        // Sql
  uint32_t begin = 0;
  uint32_t end = 0;
  int line = 1;  // line of the statement in the block text (for ORA-06550-style messages)
};

// ---------------------------------------------------------------- statements

enum class StatementKind : uint8_t {
  Select, Insert, Update, Delete,
  CreateTable, AlterTable, TruncateTable,
  CreateIndex,
  CreateSequence, AlterSequence,
  CreateView,
  CreateCode,   // PROCEDURE, FUNCTION, PACKAGE [BODY], TYPE [BODY], TRIGGER
  AlterTrigger,  // ALTER TRIGGER name ENABLE | DISABLE | COMPILE
  Drop,         // DROP of any object kind (DropStmt::object)
  CreateUser, AlterUser, CreateRole,
  Grant, Revoke,
  AlterSession,
  Comment,
  Commit, Rollback, Savepoint,
  PlsqlBlock,   // anonymous block (BEGIN ... or DECLARE ...)
  AlterIndex,   // ALTER INDEX name RENAME TO | REBUILD | UNUSABLE
  AlterView,    // ALTER VIEW name COMPILE
  CreateTablespace,  // CREATE [TEMPORARY] TABLESPACE name DATAFILE | TEMPFILE '...' SIZE n ...
  CreateSynonym,     // CREATE [OR REPLACE] [PUBLIC] SYNONYM [schema.]name FOR [schema.]object
};

struct Statement {
  explicit Statement(StatementKind k) : kind(k) {}
  virtual ~Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  StatementKind kind;
  std::string text;  // the statement text as given to the parser
  // Bind names in order of first appearance, upper-cased unless quoted, without ':'. Empty for
  // CREATE of stored code (":new" in a trigger body is not a bind).
  std::vector<std::string> bindNames;

  // OCI_ATTR_STMT_TYPE: 1 SELECT, 2 UPDATE, 3 DELETE, 4 INSERT, 5 CREATE, 6 DROP, 7 ALTER,
  // 8 BEGIN, 9 DECLARE; 17 ROLLBACK and 21 COMMIT as newer clients report them; 0 for the
  // others (GRANT, REVOKE, TRUNCATE, COMMENT, SAVEPOINT).
  int ociStatementType() const;
  // OCI_ATTR_SQLFNCODE: Oracle's SQL command code (1 CREATE TABLE, 3 INSERT, 4 SELECT,
  // 5 UPDATE, 9 DELETE, 26 ALTER TABLE, 34 PL/SQL EXECUTE ...).
  int sqlFunctionCode() const;

  template <class T>
  const T& as() const {
    return static_cast<const T&>(*this);
  }
  template <class T>
  T& as() {
    return static_cast<T&>(*this);
  }
};

struct SelectStmt : Statement {
  SelectStmt() : Statement(StatementKind::Select) {}
  std::unique_ptr<Query> query;
};

struct InsertStmt : Statement {
  InsertStmt() : Statement(StatementKind::Insert) {}
  QualifiedName table;
  std::string alias;
  std::vector<std::string> columns;  // empty: all columns in order
  std::vector<std::unique_ptr<Expr>> values;  // VALUES (...), or empty when query is set
  std::unique_ptr<Query> query;
};

struct Assignment {
  std::string column;
  std::unique_ptr<Expr> value;
};

struct UpdateStmt : Statement {
  UpdateStmt() : Statement(StatementKind::Update) {}
  QualifiedName table;
  std::string alias;
  std::vector<Assignment> assignments;
  std::unique_ptr<Expr> where;
};

struct DeleteStmt : Statement {
  DeleteStmt() : Statement(StatementKind::Delete) {}
  QualifiedName table;
  std::string alias;
  std::unique_ptr<Expr> where;
};

struct CreateTableStmt : Statement {
  CreateTableStmt() : Statement(StatementKind::CreateTable) {}
  QualifiedName table;
  std::vector<ColumnDef> columns;          // in order; for AS query only names may be given
  std::vector<ConstraintDef> constraints;  // out-of-line constraints in order
  StorageClause storage;
  std::unique_ptr<Query> asQuery;          // CREATE TABLE ... AS query
  bool organizationIndex = false;          // ORGANIZATION INDEX (HEAP: false)
  bool globalTemporary = false;            // CREATE GLOBAL TEMPORARY TABLE
  bool onCommitPreserve = false;           // ON COMMIT PRESERVE ROWS (else DELETE ROWS)
};

enum class AlterTableActionKind : uint8_t {
  Add,             // ADD col | ADD (col, ..., constraint, ...) | ADD [CONSTRAINT n] ...
  Modify,          // MODIFY col ... | MODIFY (col ..., ...)
  DropColumns,     // DROP COLUMN c | DROP (c, ...)  [CASCADE CONSTRAINTS]
  DropConstraint,  // DROP CONSTRAINT name [CASCADE]
  DropPrimaryKey,  // DROP PRIMARY KEY [CASCADE]
  DropUnique,      // DROP UNIQUE (cols) [CASCADE]
  RenameColumn,    // RENAME COLUMN a TO b
  RenameTable,     // RENAME TO b
  EnableConstraint,    // ENABLE [VALIDATE | NOVALIDATE] CONSTRAINT name (or PRIMARY KEY ...)
  DisableConstraint,   // DISABLE [VALIDATE | NOVALIDATE] CONSTRAINT name [CASCADE] [KEEP INDEX]
  ModifyConstraint,    // MODIFY CONSTRAINT name | PRIMARY KEY | UNIQUE (cols) state
  EnableAllTriggers,   // ENABLE ALL TRIGGERS
  DisableAllTriggers,  // DISABLE ALL TRIGGERS
  RenameConstraint,    // RENAME CONSTRAINT a TO b: names {a, b}
  Move,                // MOVE [ONLINE] (attributes such as TABLESPACE go to the statement's storage)
};

struct AlterTableAction {
  AlterTableActionKind kind = AlterTableActionKind::Add;
  std::vector<ColumnDef> columns;          // Add, Modify
  std::vector<ConstraintDef> constraints;  // Add
  std::vector<std::string> names;          // DropColumns, DropUnique: columns;
                                           // DropConstraint, Enable/Disable: {name};
                                           // RenameColumn: {old, new}; RenameTable: {new}
  bool cascade = false;                    // CASCADE [CONSTRAINTS]
  // Enable/Disable/ModifyConstraint: the constraint is named by PRIMARY KEY (primaryKey) or
  // UNIQUE (names) instead of CONSTRAINT name.
  bool primaryKey = false;
  bool uniqueColumns = false;
  // Enable/Disable/ModifyConstraint: the state clauses given ([NO]VALIDATE, INITIALLY, ...);
  // the DROP of a key and DISABLE: KEEP INDEX / DROP INDEX in state.keepIndex.
  ConstraintDef state;
};

struct AlterTableStmt : Statement {
  AlterTableStmt() : Statement(StatementKind::AlterTable) {}
  bool renameStatement = false;  // RENAME old TO new (one RenameTable action)
  QualifiedName table;
  std::vector<AlterTableAction> actions;
  StorageClause storage;  // physical attributes changed (PCTFREE ...), rarely used
};

struct TruncateTableStmt : Statement {
  TruncateTableStmt() : Statement(StatementKind::TruncateTable) {}
  QualifiedName table;
};

struct IndexColumn {
  std::string name;            // a plain column, else ""
  std::unique_ptr<Expr> expr;  // a function-based key (the plain column too, for convenience)
  std::string text;            // the key's source text
  bool descending = false;
};

struct CreateIndexStmt : Statement {
  CreateIndexStmt() : Statement(StatementKind::CreateIndex) {}
  bool unique = false;
  bool bitmap = false;
  QualifiedName index;
  QualifiedName table;
  std::vector<IndexColumn> columns;
  StorageClause storage;  // compress included
};

// Sequence options; numbers stay text ("-1", "999999999999999999999999999").
struct SequenceOptions {
  std::optional<std::string> incrementBy, startWith, minValue, maxValue, cache;
  bool noMinValue = false, noMaxValue = false, noCache = false;
  std::optional<bool> cycle;  // CYCLE / NOCYCLE
  std::optional<bool> order;  // ORDER / NOORDER
};

struct SequenceStmt : Statement {  // CreateSequence and AlterSequence
  explicit SequenceStmt(StatementKind k) : Statement(k) {}
  QualifiedName sequence;
  SequenceOptions options;
};

struct CreateViewStmt : Statement {
  CreateViewStmt() : Statement(StatementKind::CreateView) {}
  bool orReplace = false;
  bool force = false;
  QualifiedName view;
  std::vector<std::string> columns;  // (c1, c2) after the name, or empty
  std::unique_ptr<Query> query;
  std::string queryText;  // the text after AS as written, up to the end of the statement
  uint32_t queryBegin = 0;  // where queryText starts in the statement text
  bool readOnly = false;
  bool checkOption = false;
  std::string checkConstraintName;  // WITH CHECK OPTION | READ ONLY CONSTRAINT n
};

enum class CodeKind : uint8_t {
  Procedure, Function, Package, PackageBody, Type, TypeBody, Trigger
};

struct TypeAttribute {
  std::string name;
  TypeSpec type;
};

enum class TriggerTiming : uint8_t { Before, After, InsteadOf };

struct TriggerHeader {
  TriggerTiming timing = TriggerTiming::Before;
  // The events in the order written, upper-cased: "INSERT", "UPDATE", "DELETE".
  std::vector<std::string> events;
  std::vector<std::string> updateColumns;  // UPDATE OF c1, c2
  QualifiedName table;
  std::string referencingNew;   // REFERENCING NEW AS x: "x" upper-cased (or as quoted), or ""
  std::string referencingOld;
  std::string referencingParent;
  std::string referencingText;  // the REFERENCING clause as written, or ""
  bool forEachRow = false;
  bool disabled = false;        // DISABLE
  std::string whenText;         // the WHEN condition text between its parentheses, or ""
  std::string descriptionText;  // source text from the trigger name up to WHEN or the body
  std::string bodyText;         // from DECLARE/BEGIN (or CALL) to the end of the statement
};

struct CreateCodeStmt : Statement {
  CreateCodeStmt() : Statement(StatementKind::CreateCode) {}
  CodeKind code = CodeKind::Procedure;
  bool orReplace = false;
  bool force = false;  // CREATE OR REPLACE FORCE TYPE ... (accepted)
  QualifiedName name;
  // The source as ALL_SOURCE keeps it: from the kind keyword (PROCEDURE, PACKAGE, ...) to the
  // end of the statement text, trailing blanks removed; the owner is not part of the name.
  std::string source;
  // TYPE: AS OBJECT (attributes); isCollection for AS TABLE OF / VARRAY (attributes empty).
  std::vector<TypeAttribute> attributes;
  bool isObjectType = false;
  bool isCollection = false;
  TriggerHeader trigger;  // TRIGGER only
};

struct AlterTriggerStmt : Statement {
  AlterTriggerStmt() : Statement(StatementKind::AlterTrigger) {}
  enum class Action : uint8_t { Enable, Disable, Compile };
  QualifiedName trigger;
  Action action = Action::Compile;
};

enum class ObjectKind : uint8_t {
  Table, View, Index, Sequence, Synonym,
  Procedure, Function, Package, PackageBody, Type, TypeBody, Trigger,
  User, Role, Tablespace,
};

struct AlterIndexStmt : Statement {
  AlterIndexStmt() : Statement(StatementKind::AlterIndex) {}
  enum class Action : uint8_t { Rename, Rebuild, Unusable };
  QualifiedName index;
  Action action = Action::Rebuild;
  std::string newName;    // Rename
  StorageClause storage;  // Rebuild: TABLESPACE and other attributes
};

struct AlterViewStmt : Statement {
  AlterViewStmt() : Statement(StatementKind::AlterView) {}
  QualifiedName view;  // ALTER VIEW name COMPILE
};

// CREATE [TEMPORARY] TABLESPACE name DATAFILE | TEMPFILE 'file' [SIZE n] [REUSE] [AUTOEXTEND ...]
// [other attributes]: only the name and the kind are kept.
struct CreateTablespaceStmt : Statement {
  CreateTablespaceStmt() : Statement(StatementKind::CreateTablespace) {}
  std::string name;
  bool temporary = false;  // TEMPORARY TABLESPACE ... TEMPFILE
  bool undo = false;       // UNDO TABLESPACE
};

// CREATE [OR REPLACE] [PUBLIC] SYNONYM [schema.]name FOR [schema.]object (no database link).
struct CreateSynonymStmt : Statement {
  CreateSynonymStmt() : Statement(StatementKind::CreateSynonym) {}
  bool orReplace = false;
  bool isPublic = false;
  QualifiedName synonym;
  QualifiedName target;
};

struct DropStmt : Statement {
  DropStmt() : Statement(StatementKind::Drop) {}
  ObjectKind object = ObjectKind::Table;
  QualifiedName name;
  bool cascade = false;  // TABLE: CASCADE CONSTRAINTS; USER: CASCADE
  bool force = false;    // TYPE: FORCE
  bool isPublic = false;  // DROP PUBLIC SYNONYM
  bool includingContents = false;  // TABLESPACE: INCLUDING CONTENTS [AND DATAFILES]
};

// CREATE USER / ALTER USER.
struct UserStmt : Statement {
  explicit UserStmt(StatementKind k) : Statement(k) {}
  std::string user;
  std::optional<std::string> password;  // IDENTIFIED BY p (as written, case kept)
  std::optional<std::string> defaultTablespace;
  std::optional<std::string> temporaryTablespace;
  std::optional<bool> accountLocked;    // ACCOUNT LOCK / UNLOCK
};

struct CreateRoleStmt : Statement {
  CreateRoleStmt() : Statement(StatementKind::CreateRole) {}
  std::string role;
  std::optional<std::string> password;  // IDENTIFIED BY p
};

// GRANT and REVOKE. privileges are upper-cased words joined by one blank ("CREATE TABLE",
// "SELECT ANY TABLE", "DBA", "SELECT", "ALL" for ALL [PRIVILEGES]); whether a name is a system
// privilege or a role is the executor's business. object is set for object privileges.
struct GrantStmt : Statement {
  explicit GrantStmt(StatementKind k) : Statement(k) {}
  std::vector<std::string> privileges;
  std::vector<std::vector<std::string>> privilegeColumns;  // per privilege: (cols) or empty
  std::optional<QualifiedName> object;
  std::vector<std::string> grantees;  // user or role names; "PUBLIC"
  bool withAdminOption = false;
  bool withGrantOption = false;
  bool cascadeConstraints = false;  // REVOKE ... CASCADE CONSTRAINTS
};

struct SessionSetting {
  std::string name;   // upper-cased parameter name (NLS_DATE_FORMAT)
  std::string value;  // string literal value, or the identifier upper-cased, or number text
  bool quoted = false;  // the value was a string literal
};

struct AlterSessionStmt : Statement {
  AlterSessionStmt() : Statement(StatementKind::AlterSession) {}
  std::vector<SessionSetting> settings;
};

struct CommentStmt : Statement {
  CommentStmt() : Statement(StatementKind::Comment) {}
  bool onColumn = false;   // COMMENT ON COLUMN [schema.]table.column, else ON TABLE
  QualifiedName table;
  std::string column;
  std::string comment;
};

// COMMIT, ROLLBACK, SAVEPOINT.
struct TransactionStmt : Statement {
  explicit TransactionStmt(StatementKind k) : Statement(k) {}
  std::string savepoint;  // ROLLBACK TO [SAVEPOINT] s; SAVEPOINT s
};

struct PlsqlBlockStmt : Statement {
  PlsqlBlockStmt() : Statement(StatementKind::PlsqlBlock) {}
  bool startsWithDeclare = false;  // OCI statement type 9 instead of 8
  PlsqlBlock block;
};

}  // namespace ocisim::sql
