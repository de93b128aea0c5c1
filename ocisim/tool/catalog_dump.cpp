// `ocisim dump`: the whole catalog of a database as stable text, ordered by owner and name,
// without dates or object ids (which differ from run to run), so that tests can compare it.
#include "tool/catalog_dump.h"

#include <algorithm>
#include <mutex>
#include <sstream>

#include "engine/exec/catalog.h"
#include "engine/exec/database.h"
#include "engine/exec/row_store.h"
#include "engine/value/decimal.h"

namespace ocisim::tool {
namespace {

std::string storageText(const StorageAttributes& s, bool table) {
  std::ostringstream out;
  out << "PCTFREE " << s.pctFree;
  if (table) out << " PCTUSED " << s.pctUsed;
  out << " INITRANS " << s.iniTrans << " MAXTRANS " << s.maxTrans << " TABLESPACE "
      << s.tablespace << " INITIAL " << s.initialExtent << " NEXT " << s.nextExtent
      << " MINEXTENTS " << s.minExtents << " MAXEXTENTS " << s.maxExtents << " PCTINCREASE "
      << s.pctIncrease << " FREELISTS " << s.freelists << " FREELIST GROUPS "
      << s.freelistGroups;
  return out.str();
}

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

std::string constraintText(const Catalog& catalog, const Constraint& c) {
  std::ostringstream out;
  out << "CONSTRAINT " << c.name;
  switch (c.type) {
    case ConstraintType::PrimaryKey: out << " PRIMARY KEY (" << joined(c.columns) << ")"; break;
    case ConstraintType::Unique: out << " UNIQUE (" << joined(c.columns) << ")"; break;
    case ConstraintType::Check: out << " CHECK (" << c.searchCondition << ")"; break;
    case ConstraintType::ForeignKey: {
      out << " FOREIGN KEY (" << joined(c.columns) << ") REFERENCES " << c.rOwner << "."
          << c.rConstraintName;
      if (const Constraint* key = catalog.findConstraint(c.rOwner, c.rConstraintName)) {
        out << " (" << key->tableName << ")";
      }
      if (c.deleteRule != DeleteRule::NoAction) {
        out << " ON DELETE " << deleteRuleName(c.deleteRule);
      }
      break;
    }
    case ConstraintType::ViewCheckOption: out << " WITH CHECK OPTION"; break;
    case ConstraintType::ViewReadOnly: out << " WITH READ ONLY"; break;
  }
  if (!c.indexName.empty()) out << " USING INDEX " << c.indexOwner << "." << c.indexName;
  if (!c.enabled) out << " DISABLED";
  return out.str();
}

// Multi-line texts (view queries, source) are printed with a "| " margin.
void printText(std::ostream& out, const std::string& text) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out << "    | " << line << "\n";
}

void dumpSecurity(const Catalog& catalog, std::ostream& out) {
  for (const auto& [name, t] : catalog.tablespaces()) {
    out << "TABLESPACE " << name << " " << t->contents << "\n";
  }
  for (const auto& [name, user] : catalog.users()) {
    out << "USER " << name;
    Catalog::UserTablespaces t = catalog.userTablespaces(name);
    if (!(t == Catalog::UserTablespaces{})) {
      out << " DEFAULT TABLESPACE " << t.defaultTablespace << " TEMPORARY TABLESPACE "
          << t.temporaryTablespace;
    }
    out << "\n";
  }
  for (const auto& [name, role] : catalog.roles()) {
    out << "ROLE " << name << (role->password.empty() ? "" : " IDENTIFIED") << "\n";
  }
  std::vector<std::string> lines;
  for (const SystemPrivilegeGrant& g : catalog.systemGrants()) {
    lines.push_back("GRANT " + g.privilege + " TO " + g.grantee +
                    (g.adminOption ? " WITH ADMIN OPTION" : ""));
  }
  for (const RoleGrant& g : catalog.roleGrants()) {
    lines.push_back("GRANT " + g.role + " TO " + g.grantee +
                    (g.adminOption ? " WITH ADMIN OPTION" : "") +
                    (g.defaultRole ? "" : " (not default)"));
  }
  for (const ObjectPrivilegeGrant& g : catalog.objectGrants()) {
    std::string column = g.column.empty() ? "" : " (" + g.column + ")";
    lines.push_back("GRANT " + g.privilege + column + " ON " + g.owner + "." + g.objectName +
                    " TO " + g.grantee + " BY " + g.grantor +
                    (g.grantable ? " WITH GRANT OPTION" : ""));
  }
  std::sort(lines.begin(), lines.end());
  for (const std::string& l : lines) out << l << "\n";
}

void dumpTable(const Catalog& catalog, const Table& t, std::ostream& out) {
  out << "TABLE " << t.header.owner << "." << t.header.name << " ("
      << (t.data ? t.data->rowCount() : 0) << " rows)"
      << (t.organizationIndex ? " ORGANIZATION INDEX" : "")
      << (!t.temporary            ? ""
          : t.onCommitPreserve ? " GLOBAL TEMPORARY ON COMMIT PRESERVE ROWS"
                               : " GLOBAL TEMPORARY ON COMMIT DELETE ROWS")
      << "\n";
  for (const Column& c : t.columns) {
    out << "  " << c.name << " " << c.type.sqlText();
    if (!c.defaultText.empty()) out << " DEFAULT " << c.defaultText;
    if (!catalog.isNullable(t.header.owner, t.header.name, c.name)) out << " NOT NULL";
    out << "\n";
  }
  out << "  STORAGE " << storageText(t.storage, true) << "\n";
  for (const Constraint* c : catalog.constraintsOf(t.header.owner, t.header.name)) {
    out << "  " << constraintText(catalog, *c) << "\n";
  }
}

void dumpObjects(const Catalog& catalog, std::ostream& out) {
  for (const auto& [key, t] : catalog.tables()) dumpTable(catalog, *t, out);
  for (const auto& [key, i] : catalog.indexes()) {
    out << "INDEX " << key.first << "." << key.second << " ON " << i->tableOwner << "."
        << i->tableName << " (";
    for (size_t n = 0; n < i->columns.size(); ++n) {
      out << (n ? ", " : "") << i->columns[n].name << (i->columns[n].descending ? " DESC" : "");
    }
    out << ")" << (i->unique ? " UNIQUE" : "") << (i->bitmap ? " BITMAP" : "")
        << (i->iotTop ? " IOT - TOP" : "") << (i->unusable ? " UNUSABLE" : "");
    if (i->compressPrefix > 0) out << " COMPRESS " << i->compressPrefix;
    out << "\n  STORAGE " << storageText(i->storage, false) << "\n";
  }
  for (const auto& [key, s] : catalog.sequences()) {
    out << "SEQUENCE " << key.first << "." << key.second << " MINVALUE "
        << s->minValue.toString() << " MAXVALUE " << s->maxValue.toString() << " INCREMENT BY "
        << s->incrementBy.toString() << (s->cycle ? " CYCLE" : " NOCYCLE")
        << (s->order ? " ORDER" : " NOORDER") << " CACHE " << s->cacheSize << " LAST_NUMBER "
        << s->lastNumber.toString() << "\n";
  }
  for (const auto& [key, v] : catalog.views()) {
    out << "VIEW " << key.first << "." << key.second << (v->header.valid ? "" : " INVALID")
        << (v->readOnly ? " WITH READ ONLY" : "") << (v->checkOption ? " WITH CHECK OPTION" : "")
        << "\n";
    for (const ViewColumn& c : v->columns) out << "  " << c.name << " " << c.type.sqlText() << "\n";
    printText(out, v->text);
  }
  for (const auto& [key, code] : catalog.storedCode()) {
    out << objectTypeName(code->kind) << " " << code->header.owner << "." << code->header.name
        << (code->header.valid ? "" : " INVALID") << "\n";
    std::string source;
    for (const std::string& l : code->lines) source += l;
    printText(out, source);
  }
  for (const auto& [key, t] : catalog.triggers()) {
    out << "TRIGGER " << key.first << "." << key.second << " " << t->triggerType << " "
        << t->triggeringEvent << " ON " << t->tableOwner << "." << t->tableName
        << (t->enabled ? "" : " DISABLED") << "\n";
    if (!t->whenClause.empty()) out << "  WHEN " << t->whenClause << "\n";
    printText(out, t->body);
  }
  // As the statements that make them again.
  for (const auto& [key, s] : catalog.synonyms()) {
    if (key.first == "PUBLIC") {
      out << "CREATE PUBLIC SYNONYM " << key.second;
    } else {
      out << "CREATE SYNONYM " << key.first << "." << key.second;
    }
    out << " FOR " << s->tableOwner << "." << s->tableName << "\n";
  }
  // As COMMENT ON statements, quotes doubled.
  for (const auto& [key, text] : catalog.comments()) {
    const auto& [owner, object, column] = key;
    std::string quoted;
    for (char ch : text) quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
    if (column.empty()) {
      out << "COMMENT ON TABLE " << owner << "." << object;
    } else {
      out << "COMMENT ON COLUMN " << owner << "." << object << "." << column;
    }
    out << " IS '" << quoted << "'\n";
  }
}

}  // namespace

void dumpCatalog(Database& database, std::ostream& out) {
  std::lock_guard lock(database.mutex());
  const Catalog& catalog = database.catalog();
  out << "DATABASE " << database.globalName() << " RELEASE " << database.version() << "\n";
  dumpSecurity(catalog, out);
  dumpObjects(catalog, out);
}

}  // namespace ocisim::tool
