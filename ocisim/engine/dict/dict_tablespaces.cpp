// DBA_TABLESPACES and USER_TABLESPACES: the built-in tablespaces (SYSTEM, USERS, TEMP, and
// SYSAUX from release 10) and those made by CREATE TABLESPACE, with the columns of the release.
// There are no data files: sizes and space management show what a default Oracle installation
// of the release shows for such a tablespace.
#include <algorithm>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"
#include "engine/ora_error.h"

namespace ocisim::dict {
namespace {

std::vector<Tablespace> allTablespaces(const DictScan& s) {
  std::vector<Tablespace> out = builtinTablespaces(s.release / 100);
  for (const auto& [name, t] : s.catalog().tablespaces()) out.push_back(*t);
  std::sort(out.begin(), out.end(),
            [](const Tablespace& a, const Tablespace& b) { return a.name < b.name; });
  return out;
}

std::shared_ptr<DictView> tablespaces(bool dba) {
  std::vector<DictColumn> columns = {
      ident("TABLESPACE_NAME"),
      number("BLOCK_SIZE", 900),
      number("INITIAL_EXTENT"),
      number("NEXT_EXTENT"),
      number("MIN_EXTENTS"),
      number("MAX_EXTENTS"),
      number("PCT_INCREASE"),
      number("MIN_EXTLEN", 800),
      text("STATUS", 9),
      text("CONTENTS", 9),
      text("LOGGING", 9, 800),
      text("FORCE_LOGGING", 3, 902),
      text("EXTENT_MANAGEMENT", 10, 801),
      text("ALLOCATION_TYPE", 9, 801),
  };
  if (dba) columns.push_back(text("PLUGGED_IN", 3, 801));
  columns.push_back(text("SEGMENT_SPACE_MANAGEMENT", 6, 902));
  columns.push_back(text("DEF_TAB_COMPRESSION", 8, 902));
  columns.push_back(text("RETENTION", 11, 1000));
  columns.push_back(text("BIGFILE", 3, 1000));
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width, dba](const DictScan& s, const RowEmitter& emit) {
        if (dba && !s.ctx.dba && !s.catalog().hasSystemPrivilege(s.user(), "SELECT ANY DICTIONARY")) {
          throw OraError(942);
        }
        // Locally managed tablespaces from release 9 (the default then), dictionary managed
        // before.
        const bool localDefault = s.release >= 900;
        for (const Tablespace& t : allTablespaces(s)) {
          if (!s.admits("TABLESPACE_NAME", t.name)) continue;
          const bool temporary = t.contents == "TEMPORARY";
          const bool undo = t.contents == "UNDO";
          // A tablespace of temporary files is locally managed from 8.1 on.
          const bool local = localDefault || (temporary && s.release >= 801);
          RowBuilder r(width);
          r.text(t.name).number(8192);
          if (local) {
            r.number(temporary ? 1048576 : 65536);
            r.number(temporary ? std::optional<int64_t>(1048576) : std::nullopt);
            r.number(1).number(temporary ? std::nullopt : std::optional<int64_t>(2147483645));
            r.number(temporary ? std::optional<int64_t>(0) : std::nullopt);
          } else {
            r.number(40960).number(40960).number(1).number(505).number(50);
          }
          r.number(local ? (temporary ? 1048576 : 65536) : 0);
          r.text("ONLINE").text(t.contents).text(temporary ? "NOLOGGING" : "LOGGING");
          r.yesNo(false);
          r.text(local ? "LOCAL" : "DICTIONARY");
          r.text(!local ? "USER" : temporary ? "UNIFORM" : "SYSTEM");
          if (dba) r.yesNo(false);
          bool automatic = !temporary && !undo && t.name != "SYSTEM";
          r.text(automatic && s.release >= 1000 ? "AUTO" : "MANUAL");
          r.text("DISABLED");
          r.text(undo ? "NOGUARANTEE" : "NOT APPLY");
          r.yesNo(false);
          emit(r.take());
        }
      });
}

}  // namespace

void addTablespaceViews(VirtualTableRegistry& registry) {
  registry.add("DBA_TABLESPACES", tablespaces(true));
  registry.add("USER_TABLESPACES", tablespaces(false));
}

}  // namespace ocisim::dict
