// OracleCodeReader: the CodeReader of one connected database of a run, over its
// DatabaseConnection: object lists through the Catalog (kept by the connection, errors written
// into the report), sources through Catalog::sourceText/sourceLines, trigger bases and
// dependencies by queries of their own. Borrows the connection, the catalog state and the
// report; used by the run's worker thread only.
#pragma once

#include "oracle/catalog.h"
#include "source/code_reader.h"

namespace velmora {

class DatabaseConnection;
class ReportWriter;
struct ComparisonOptions;

class OracleCodeReader : public CodeReader {
 public:
  OracleCodeReader(DatabaseConnection& connection, CatalogState& state, ReportWriter& report,
                   const ComparisonOptions& options);

  bool listObjects(const std::string& oracleType, std::vector<std::string>& names) override;
  std::string sourceText(const std::string& name, const std::string& oracleType,
                         std::string& text) override;
  std::string sourceLines(const std::string& name, const std::string& oracleType,
                          std::vector<std::string>& lines) override;
  std::string triggerBase(const std::string& name, TriggerBase& base) override;
  DependencyRead dependencies(std::vector<Dependency>& out, std::string& error) override;

 private:
  DatabaseConnection& connection_;
  Catalog catalog_;
};

}  // namespace velmora
