// The dictionary views of a database. This first version registers DUAL and GLOBAL_NAME; the
// ALL_ / USER_ views are added by the dictionary module, which takes this file over.
#include "engine/exec/database.h"
#include "engine/exec/virtual_table.h"

namespace ocisim {

void installDictionaryViews(Database& db, VirtualTableRegistry& registry) {
  (void)db;
  registry.add("DUAL", std::make_shared<LambdaVirtualTable>(
                           std::vector<VirtualColumn>{{"DUMMY", DataType::varchar2(1)}},
                           [](const VirtualScanContext&, const RowEmitter& emit) {
                             emit(Row{Value::text("X")});
                           }));
  registry.add("GLOBAL_NAME",
               std::make_shared<LambdaVirtualTable>(
                   std::vector<VirtualColumn>{{"GLOBAL_NAME", DataType::varchar2(4000)}},
                   [](const VirtualScanContext& ctx, const RowEmitter& emit) {
                     emit(Row{Value::text(ctx.database.globalName())});
                   }));
}

}  // namespace ocisim
