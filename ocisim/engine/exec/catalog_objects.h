// The catalog model of an ocisim database: plain records for users, roles, grants and every
// schema object (tables with columns and storage, constraints, indexes, sequences, views, stored
// code, triggers, object types). The records hold what the data dictionary shows; the `Catalog`
// (catalog.h) owns them. Names are stored as Oracle stores them: upper case unless quoted.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/value/data_type.h"
#include "engine/value/datetime.h"
#include "engine/value/decimal.h"

namespace ocisim {

namespace sql {
struct Expr;  // a parsed expression (engine/sql/ast.h)
}
class TableData;  // rows and index structures of a table (row_store.h)

using ObjectId = int64_t;

// The kinds of schema objects, as ALL_OBJECTS.OBJECT_TYPE names them (objectTypeName).
enum class ObjectKind {
  Table,
  View,
  Index,
  Sequence,
  Procedure,
  Function,
  Package,
  PackageBody,
  Type,
  TypeBody,
  Trigger,
  Synonym,
};

// "TABLE", "VIEW", "INDEX", "SEQUENCE", "PROCEDURE", "FUNCTION", "PACKAGE", "PACKAGE BODY",
// "TYPE", "TYPE BODY", "TRIGGER", "SYNONYM".
const char* objectTypeName(ObjectKind kind);
// The inverse of objectTypeName (exact upper-case text); nullopt for anything else.
std::optional<ObjectKind> objectKindFromName(const std::string& upperName);
// True for the kinds kept as source text (procedure .. type body, trigger).
bool isStoredCodeKind(ObjectKind kind);

// What every schema object has (ALL_OBJECTS).
struct ObjectHeader {
  ObjectId objectId = 0;  // OBJECT_ID, unique per database, never reused
  std::string owner;
  std::string name;
  DateTime created;      // CREATED
  DateTime lastDdlTime;  // LAST_DDL_TIME
  bool valid = true;     // STATUS VALID / INVALID (a FORCE view with errors is INVALID)
};

// ---- users, roles and privileges -------------------------------------------------------------

struct User {
  int64_t userId = 0;    // ALL_USERS.USER_ID
  std::string name;      // upper case unless created with a quoted name
  std::string password;  // as given in IDENTIFIED BY (compared by Database::logon)
  DateTime created;
};

struct Role {
  std::string name;
  std::string password;  // empty: NOT IDENTIFIED
};

// A system privilege held by a user or a role ("CREATE TABLE", "SELECT ANY TABLE" ...).
struct SystemPrivilegeGrant {
  std::string grantee;    // user, role or PUBLIC
  std::string privilege;  // upper case, single blanks between words
  bool adminOption = false;
};

// A role granted to a user or to another role.
struct RoleGrant {
  std::string grantee;
  std::string role;
  bool adminOption = false;
  bool defaultRole = true;  // USER_ROLE_PRIVS.DEFAULT_ROLE
};

// An object privilege (ALL_TAB_PRIVS): SELECT, INSERT, UPDATE, DELETE, ALTER, INDEX,
// REFERENCES, EXECUTE on owner.objectName, given by grantor to grantee. A column privilege
// (ALL_COL_PRIVS: INSERT, UPDATE or REFERENCES on one column) names its column; a grant on the
// whole object has none.
struct ObjectPrivilegeGrant {
  ObjectPrivilegeGrant() = default;
  ObjectPrivilegeGrant(std::string grantee_, std::string owner_, std::string objectName_,
                       std::string privilege_, std::string grantor_, bool grantable_,
                       std::string column_ = {})
      : grantee(std::move(grantee_)),
        owner(std::move(owner_)),
        objectName(std::move(objectName_)),
        privilege(std::move(privilege_)),
        grantor(std::move(grantor_)),
        grantable(grantable_),
        column(std::move(column_)) {}

  std::string grantee;  // user, role or PUBLIC
  std::string owner;
  std::string objectName;
  std::string privilege;
  std::string grantor;
  bool grantable = false;  // WITH GRANT OPTION
  std::string column;      // empty: the whole object
};

// ---- storage attributes ----------------------------------------------------------------------

// Physical attributes of a table or index as the DDL gave them (K/M suffixes already applied)
// or Oracle's defaults. Kept only to be shown in ALL_TABLES / ALL_INDEXES / USER_SEGMENTS.
struct StorageAttributes {
  int64_t pctFree = 10;
  int64_t pctUsed = 40;  // tables only (ALL_INDEXES has no PCT_USED)
  int64_t iniTrans = 1;  // indexes default to 2 (defaultIndexStorage)
  int64_t maxTrans = 255;
  std::string tablespace = "USERS";
  int64_t initialExtent = 65536;
  int64_t nextExtent = 1048576;
  int64_t minExtents = 1;
  int64_t maxExtents = 2147483645;
  int64_t pctIncrease = 0;
  int64_t freelists = 1;
  int64_t freelistGroups = 1;

  static StorageAttributes defaultTableStorage() { return {}; }
  static StorageAttributes defaultIndexStorage() {
    StorageAttributes s;
    s.iniTrans = 2;
    return s;
  }
};

// ---- tablespaces ----

// A tablespace: the built-in ones (builtinTablespaces) and those made by CREATE TABLESPACE. Only
// the name and the kind are kept: there are no data files.
struct Tablespace {
  std::string name;
  std::string contents = "PERMANENT";  // DBA_TABLESPACES.CONTENTS: PERMANENT, TEMPORARY, UNDO
};

// The tablespaces every database has: SYSTEM, USERS and TEMP, and SYSAUX from release 10.
std::vector<Tablespace> builtinTablespaces(int majorVersion);

// ---- tables ----------------------------------------------------------------------------------

struct Column {
  std::string name;
  DataType type;
  std::string defaultText;                       // DATA_DEFAULT exactly as written; empty: none
  std::shared_ptr<const sql::Expr> defaultExpr;  // parsed defaultText (null when none)
};

enum class ConstraintType : char {
  PrimaryKey = 'P',
  Unique = 'U',
  ForeignKey = 'R',
  Check = 'C',
  ViewCheckOption = 'V',
  ViewReadOnly = 'O',
};

enum class DeleteRule { NoAction, Cascade, SetNull };
// "NO ACTION", "CASCADE", "SET NULL".
const char* deleteRuleName(DeleteRule rule);

struct Constraint {
  std::string owner;  // the table's owner (constraint names are unique per owner)
  std::string name;   // SYS_Cnnnnnn when the DDL gave none (generatedName)
  ConstraintType type = ConstraintType::Check;
  std::string tableName;
  // P/U/R: the key columns in POSITION order. C: the columns the condition names (in table
  // column order; ALL_CONS_COLUMNS shows them with POSITION NULL).
  std::vector<std::string> columns;
  std::string searchCondition;                   // C: text as written, or "\"COL\" IS NOT NULL"
  std::shared_ptr<const sql::Expr> condition;    // C: parsed searchCondition
  std::string notNullColumn;                     // C created by NOT NULL: the column; else empty
  std::string rOwner;                            // R: owner of the referenced key
  std::string rConstraintName;                   // R: name of the referenced P/U constraint
  DeleteRule deleteRule = DeleteRule::NoAction;  // R only
  bool generatedName = false;                    // GENERATED "GENERATED NAME" / "USER NAME"
  bool enabled = true;                           // STATUS ENABLED / DISABLED
  bool validated = true;    // VALIDATED / NOT VALIDATED: the rows were checked when enabled
  bool deferrable = false;  // DEFERRABLE / NOT DEFERRABLE (fixed when the constraint is made)
  bool deferred = false;    // INITIALLY DEFERRED / IMMEDIATE (only when deferrable)
  // P/U: the index was created for the key (dropped with it, and when it is disabled); false
  // when the key uses an index that existed before it.
  bool ownsIndex = false;
  std::string indexOwner;  // P/U: the index enforcing the key; empty while disabled
  std::string indexName;
  DateTime lastChange;

  bool isKey() const {
    return type == ConstraintType::PrimaryKey || type == ConstraintType::Unique;
  }
};

struct Table {
  ObjectHeader header;
  std::vector<Column> columns;  // COLUMN_ID = position + 1 (renumbered after DROP COLUMN)
  StorageAttributes storage;
  std::shared_ptr<TableData> data;  // the rows and index structures; shared with open cursors
  bool organizationIndex = false;   // ORGANIZATION INDEX: ALL_TABLES.IOT_TYPE 'IOT'
  bool temporary = false;           // GLOBAL TEMPORARY: ALL_TABLES.TEMPORARY 'Y'
  bool onCommitPreserve = false;    // temporary: ON COMMIT PRESERVE ROWS (else DELETE ROWS)

  // Position of a column (exact name), or -1.
  int columnIndex(const std::string& columnName) const;
};

// ---- indexes ---------------------------------------------------------------------------------

struct IndexColumn {
  std::string name;
  bool descending = false;  // ALL_IND_COLUMNS.DESCEND
  // A DESC column (release 8.1 on) is indexed through a hidden column SYS_NCnnnnn$: its
  // internal column number, fixed when the index is made (0: not known, an older database).
  int hiddenColumn = 0;
};

struct Index {
  ObjectHeader header;  // owner = the index's owner (normally the table's)
  std::string tableOwner;
  std::string tableName;
  bool unique = false;
  bool bitmap = false;               // CREATE BITMAP INDEX
  std::vector<IndexColumn> columns;  // COLUMN_POSITION = position + 1
  StorageAttributes storage = StorageAttributes::defaultIndexStorage();
  int compressPrefix = 0;      // COMPRESS n: PREFIX_LENGTH n, COMPRESSION ENABLED; 0 DISABLED
  bool generatedName = false;  // ALL_INDEXES.GENERATED (an index named SYS_Cnnnnnn)
  bool unusable = false;       // STATUS UNUSABLE (ALTER TABLE MOVE, ALTER INDEX UNUSABLE) until
                               // ALTER INDEX ... REBUILD
  bool iotTop = false;         // the primary key index of an index-organized table (IOT - TOP)
};

// ---- sequences -------------------------------------------------------------------------------

struct Sequence {
  ObjectHeader header;
  Decimal minValue;
  Decimal maxValue;  // NOMAXVALUE: 1e27 - 1 (ascending); NOMINVALUE: -(1e26 - 1)
  Decimal incrementBy;
  bool cycle = false;
  bool order = false;
  int64_t cacheSize = 20;  // 0 = NOCACHE
  Decimal lastNumber;      // LAST_NUMBER: the high-water mark Oracle writes to disk
  Decimal nextValue;       // the value NEXTVAL hands out next
  bool exhausted = false;  // NOCYCLE sequence past its limit: NEXTVAL raises ORA-08004
};

// ---- views -----------------------------------------------------------------------------------

struct ViewColumn {
  std::string name;
  DataType type;
  bool nullable = true;
};

struct View {
  ObjectHeader header;
  std::string text;                 // ALL_VIEWS.TEXT: the query exactly as written after AS
  std::vector<ViewColumn> columns;  // derived from the query (or the column list); empty when
                                    // the view is invalid (created with FORCE and errors)
  bool readOnly = false;            // WITH READ ONLY
  bool checkOption = false;         // WITH CHECK OPTION
};

// ---- stored code, triggers, object types -----------------------------------------------------

// A procedure, function, package, package body, type or type body: kept as source, never run.
struct StoredCode {
  ObjectHeader header;
  ObjectKind kind = ObjectKind::Procedure;
  // ALL_SOURCE rows: the text from the kind keyword on ("PROCEDURE P IS ..."), one entry per
  // line, each ending with its "\n".
  std::vector<std::string> lines;
};

struct ObjectTypeAttribute {
  std::string name;
  DataType type;
};

// A TYPE (spec). Its source lives in the StoredCode of kind Type with the same owner and name;
// this record adds what makes it usable as a column type.
struct ObjectType {
  ObjectId codeObjectId = 0;  // the StoredCode's object id
  std::string owner;
  std::string name;
  std::vector<ObjectTypeAttribute> attributes;  // empty for types that are not AS OBJECT
};

// A synonym: another name for owner.object (ALL_SYNONYMS). A PUBLIC synonym has the owner
// "PUBLIC"; a private one lives in its owner's schema and shares the namespace of its tables,
// views, sequences and code. The object named need not exist (the synonym is kept when it is
// dropped); using such a synonym fails with ORA-00980.
struct Synonym {
  ObjectHeader header;
  std::string tableOwner;  // TABLE_OWNER: the schema of the object it stands for
  std::string tableName;   // TABLE_NAME
};

struct Trigger {
  ObjectHeader header;
  std::string triggerType;      // "BEFORE EACH ROW", "AFTER STATEMENT", "INSTEAD OF" ...
  std::string triggeringEvent;  // "INSERT", "INSERT OR UPDATE OR DELETE" ...
  std::string tableOwner;
  std::string tableName;
  std::string baseObjectType = "TABLE";  // TABLE or VIEW
  std::string columnName;                // UPDATE OF a, b: "A, B"; empty otherwise (NULL)
  std::string referencingNames = "REFERENCING NEW AS NEW OLD AS OLD";
  std::string whenClause;  // condition text without WHEN and parentheses; empty: NULL
  bool enabled = true;
  std::string description;  // ALL_TRIGGERS.DESCRIPTION: the header as written
  std::string actionType = "PL/SQL";
  std::string body;                // TRIGGER_BODY: from DECLARE/BEGIN to the end
  std::vector<std::string> lines;  // ALL_SOURCE rows (type TRIGGER), as for StoredCode
};

}  // namespace ocisim
