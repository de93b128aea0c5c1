// CodeReader: what the stored-code phases read from one database: the names of each kind, the
// source of an object (whole, or as numbered lines), a trigger's table and status, and the
// dependencies between the schema's objects. OracleCodeReader reads them through the Catalog
//; tests use FakeCodeReader. Used by the run's worker thread only.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// What a trigger is on, and whether it fires.
struct TriggerBase {
  std::string table;       // TABLE_NAME: the table or view the trigger is on
  std::string objectType;  // "TABLE", "VIEW", or "" when the server does not say (7, 8.0)
  bool enabled = true;     // STATUS ENABLED
};

// One row of ALL_DEPENDENCIES between two objects of the compared schema: NAME of TYPE
// references REFERENCED_NAME of REFERENCED_TYPE.
struct Dependency {
  std::string name;
  std::string type;
  std::string referencedName;
  std::string referencedType;
  bool operator==(const Dependency&) const = default;
};

enum class DependencyRead {
  Read,         // the rows are complete
  Unavailable,  // the server has no ALL_DEPENDENCIES (ORA-00942)
  Failed,       // the query failed: the rows are incomplete
};

class CodeReader {
 public:
  virtual ~CodeReader() = default;

  // The names of the schema's objects of an Oracle type ("PROCEDURE" ...), in name order. A
  // failing query writes its error block into the report and returns false: the names
  // read are kept, but the list is incomplete.
  [[nodiscard]] virtual bool listObjects(const std::string& oracleType,
                                         std::vector<std::string>& names) = 0;

  // The source of an object as one text, or as numbered lines "(n) text\r\n". Returns
  // "" or the Oracle message of a read that failed; a source that could not be read completely
  // must not be used.
  virtual std::string sourceText(const std::string& name, const std::string& oracleType,
                                 std::string& text) = 0;
  virtual std::string sourceLines(const std::string& name, const std::string& oracleType,
                                  std::vector<std::string>& lines) = 0;

  // The table or view of a trigger and its status; "" or the Oracle message.
  virtual std::string triggerBase(const std::string& name, TriggerBase& base) = 0;

  // Every dependency among the schema's own objects; the message of a failed read in `error`.
  virtual DependencyRead dependencies(std::vector<Dependency>& out, std::string& error) = 0;
};

}  // namespace velmora
