// OracleViewReader: the ViewReader of one connected database of a run, over its
// DatabaseConnection (view lists kept by the connection, errors written into the report by the
// Catalog). Borrows the connection, the catalog state and the report; worker thread only.
#pragma once

#include "oracle/catalog.h"
#include "views/view_reader.h"

namespace velmora {

class DatabaseConnection;
class ReportWriter;
struct ComparisonOptions;

class OracleViewReader : public ViewReader {
 public:
  OracleViewReader(DatabaseConnection& connection, CatalogState& state, ReportWriter& report,
                   const ComparisonOptions& options);

  std::string serverVersion() override;
  bool listViews(std::vector<std::string>& names) override;
  std::string columns(const std::string& queryText, const std::string& view,
                      std::vector<ViewColumnRow>& rows) override;

 private:
  DatabaseConnection& connection_;
  Catalog catalog_;
};

}  // namespace velmora
