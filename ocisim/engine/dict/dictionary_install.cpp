// installDictionaryViews: registers every data dictionary view of a database (DUAL, GLOBAL_NAME,
// the ALL_ and USER_ views). Each family lives in its own file of this folder.
#include "engine/dict/dictionary_install.h"

#include "engine/dict/views.h"

namespace ocisim {

void installDictionaryViews(Database& db, VirtualTableRegistry& registry) {
  (void)db;  // the views read the release at plan and scan time, not here
  dict::addObjectViews(registry);
  dict::addSourceViews(registry);
  dict::addDependencyViews(registry);
  dict::addTableViews(registry);
  dict::addIndexViews(registry);
  dict::addTablespaceViews(registry);
  dict::addCommentViews(registry);
  dict::addConstraintViews(registry);
  dict::addPrivilegeViews(registry);
  dict::addUserViews(registry);
}

}  // namespace ocisim
