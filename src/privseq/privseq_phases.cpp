#include "privseq/privseq_phases.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/catalog.h"
#include "oracle/database_connection.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "privseq/privilege_lines.h"
#include "privseq/sequence_lines.h"
#include "run/phase_table.h"
#include "run/run_context.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

ReportColour colourOf(int number) {
  return number == 1 ? kBlue : kRed;
}

// The error block of a list that could not be read: the lead text (maroon), " in database ",
// the database's name in its colour, then the message behind the comment prefix.
void writeListError(RunContext& context, const std::string& lead, int number,
                    const DatabaseConnection& database, const std::string& message) {
  ReportOutput& out = context.output();
  const std::string& dash = context.options().s_DashComment;
  out.write("\r\n\r\n\r\n" + dash + lead, kMaroon, false, kNotCounted);
  out.write(" in database ", kMaroon, false, kNotCounted);
  out.write(escapeControls(database.displayName()) + " :\r\n", colourOf(number), false,
            kNotCounted);
  out.write(dash + commentLines(dash, message) + "\r\n\r\n", kMaroon, false, kCounted);
}

void writeScriptBanner(RunContext& context, const std::string& kindName,
                       const std::string& purpose) {
  ReportOutput& out = context.output();
  out.write(kSectionStart + bannerTop(), kGreen, false, kCounted);
  out.write("*  " + kindName + "\r\n*\r\n", kGreen, false, kCounted);
  out.write("*  " + purpose, kGreen, false, kCounted);
  out.write(bannerBottom(), kGreen, false, kCounted);
}

// A comment line of the upgrade script (or a report note), on its own line.
void writeNote(RunContext& context, const std::string& text) {
  context.output().write(context.options().s_DashComment + escapeControls(text) + "\r\n", kMaroon,
                         false, kCounted);
}

// --- Sequences ---------------------------------------------------------------------------

const char* const kSequenceHeaderWithLast =
    "  SEQUENCE NAME                   LAST NUMBER                    MIN VALUE                  "
    "    MAX VALUE                      INCREMENT BY  CYCLE FLAG  ORDER FLAG  CACHE SIZE ";
const char* const kSequenceHeaderWithoutLast =
    "  SEQUENCE NAME                   MIN VALUE                      MAX VALUE                  "
    "    INCREMENT BY  CYCLE FLAG  ORDER FLAG  CACHE SIZE ";

// Database 2's last_number of one sequence, read when the lines do not carry it.
std::string lastNumberOf(OracleSession& session, const std::string& owner,
                         const std::string& name) {
  OracleStatement statement(session);
  statement.prepare(
      "select to_char(last_number) from all_sequences where sequence_owner = :bind1 and "
      "sequence_name = :bind2");
  statement.bindText(":bind1", owner);
  statement.bindText(":bind2", name);
  StringColumn value(40, 1);
  statement.defineArray(1, value);
  std::string last;
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row) last = value.value(row);
    } while (statement.fetchNext());
  }
  return statement.failed() ? "" : last;
}

class SequenceComparer {
 public:
  explicit SequenceComparer(RunContext& context)
      : context_(context),
        options_(context.options()),
        mode_(options_.i_DoingUpgradeScript),
        withLast_(options_.b_IgnoreSeqLastNum == 0) {}

  void run() {
    announce();
    DatabaseConnection* first = context_.database1();
    DatabaseConnection* second = context_.database2();
    if (first == nullptr || !first->connected()) return;
    std::vector<std::string> lines1, lines2;
    const SequenceTail tail1 = mode_ == 0 ? SequenceTail::None : SequenceTail::Create;
    std::string error =
        Catalog::queryLines(*first->session(), sequenceQuery(withLast_, tail1, first->owner()),
                            mode_ == 0 ? 200 : 400, lines1);
    if (!error.empty()) return fail(1, *first, error);
    if (mode_ != 2) {
      if (second == nullptr || !second->connected()) return;
      const SequenceTail tail2 = mode_ == 0 ? SequenceTail::None : SequenceTail::Drop;
      error =
          Catalog::queryLines(*second->session(), sequenceQuery(withLast_, tail2, second->owner()),
                              mode_ == 0 ? 200 : 260, lines2);
      if (!error.empty()) return fail(2, *second, error);
    }
    if (!merge(lines1, lines2)) return;
    if (mode_ != 0) writeStatements();
    context_.host().setProgressPosition(100);
  }

 private:
  void announce() {
    const std::string step = mode_ == 2 ? "Analyzing Sequences" : "Comparing Sequences";
    context_.host().setStatus(step + " ...");
    context_.host().setTitle(step + " - Velmora for Oracle");
    context_.host().setProgressRange(0, 100);
    context_.host().setProgressPosition(0);
    context_.clearSkipRequest();
  }

  void fail(int number, const DatabaseConnection& database, const std::string& message) {
    context_.errors().record("sequences");
    writeListError(context_,
                   number == 1 ? "The following error was received while processing sequences"
                               : "The following error was received while processing sequences ",
                   number, database, message);
  }

  // The merge of the two sorted line lists; false when the user skipped the phase.
  bool merge(const std::vector<std::string>& lines1, const std::vector<std::string>& lines2) {
    size_t i = 0, j = 0;
    int progress = 0;
    while (i < lines1.size() || j < lines2.size()) {
      progress = progress >= 99 ? 0 : progress + 1;
      context_.host().setProgressPosition(progress);
      context_.checkpoint();
      if (context_.skipRequested()) {
        context_.clearSkipRequest();
        context_.output().write("\r\nSequences Skipped ...", kMaroon, false, kCounted);
        return false;
      }
      const std::string line1 = i < lines1.size() ? chomp(lines1[i]) : "";
      const std::string line2 = j < lines2.size() ? chomp(lines2[j]) : "";
      const int order = compareSequenceLines(line1, line2, mode_ != 0, options_.b_CompDatCase != 0);
      if (order == 0) {
        ++i;
        ++j;
      } else if ((order > 0 && !line2.empty()) || (order < 0 && line1.empty())) {
        onlyIn(2, line2);
        ++j;
      } else {
        onlyIn(1, line1);
        ++i;
      }
    }
    return true;
  }

  static std::string chomp(const std::string& line) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
  }

  void writeHeader() {
    if (headerWritten_) return;
    headerWritten_ = true;
    ReportOutput& out = context_.output();
    if (mode_ == 0) {
      out.write("\r\n\r\n\r\nDifferences found in sequences\r\n\r\n", kBlack);
      out.write(withLast_ ? kSequenceHeaderWithLast : kSequenceHeaderWithoutLast, kGreen, true);
      out.write("_\r\n\r\n", ReportColour::White, false);
      return;
    }
    writeScriptBanner(context_, "sequences",
                      mode_ == 1 ? "The following statements will upgrade the sequences"
                                 : "The following statements will create the sequences");
  }

  void onlyIn(int number, const std::string& line) {
    if (mode_ == 0) {
      writeHeader();
      context_.output().write(number == 1 ? "< " : "> ", kBlack, false, kNotCounted);
      context_.output().write(escapeControls(line) + "\r\n", colourOf(number), false, kCounted);
      return;
    }
    // The scripts pair the two lines of a sequence both databases have after the merge.
    auto parsed = parseSequenceLine(line, withLast_);
    if (!parsed) return;
    (number == 1 ? firstOnly_ : secondOnly_).push_back(*parsed);
  }

  bool writable(const SequenceAttributes& sequence) {
    const std::string reason = unwritableNameReason(sequence.name);
    if (reason.empty()) return true;
    writeHeader();
    context_.output().write(unwrittenStatementComment("sequence " + sequence.name, reason) + "\r\n",
                            kMaroon, false, kCounted);
    return false;
  }

  void writeStatements() {
    std::set<std::string> inBoth;
    for (const SequenceAttributes& a : firstOnly_) {
      for (const SequenceAttributes& b : secondOnly_) {
        if (a.name == b.name) inBoth.insert(a.name);
      }
    }
    ReportOutput& out = context_.output();
    // Every DROP before every CREATE, as the merge found them.
    for (const SequenceAttributes& sequence : secondOnly_) {
      if (inBoth.count(sequence.name) != 0 || !writable(sequence)) continue;
      writeHeader();
      out.write("DROP SEQUENCE " + ddlName(sequence.name) + ";\r\n", kRed, false, kCounted);
    }
    for (const SequenceAttributes& second : secondOnly_) {
      if (inBoth.count(second.name) == 0 || !writable(second)) continue;
      for (const SequenceAttributes& first : firstOnly_) {
        if (first.name == second.name) writeChange(first, second);
      }
    }
    for (const SequenceAttributes& sequence : firstOnly_) {
      if (inBoth.count(sequence.name) != 0 || !writable(sequence)) continue;
      writeHeader();
      out.write(createSequenceStatement(sequence, sequenceStart(sequence)) + "\r\n", kBlue, false,
                kCounted);
    }
  }

  // A sequence both databases have, whose attributes differ: changed in place where Oracle
  // allows it, never set back below a number Database 2 may have handed out.
  void writeChange(const SequenceAttributes& first, const SequenceAttributes& second) {
    std::string last2 = second.lastNumber;
    if (last2.empty()) {
      last2 = lastNumberOf(*context_.database2()->session(), context_.database2()->owner(),
                           second.name);
    }
    writeHeader();
    if (last2.empty()) {
      context_.errors().record("sequences");
      writeNote(context_, "Sequence " + second.name +
                              ": its last number in Database 2 could not be read; no "
                              "statement is written for it");
      return;
    }
    const SequenceChange change = planSequenceChange(first, second, last2);
    const std::string name = "Sequence " + first.name + ": ";
    switch (change.kind) {
      case SequenceChange::Kind::None:
        if (!change.reason.empty()) writeNote(context_, name + change.reason);
        break;
      case SequenceChange::Kind::Alter:
        context_.output().write(change.statements, kBlue, false, kCounted);
        break;
      case SequenceChange::Kind::Recreate:
        writeNote(context_, name + change.reason);
        context_.output().write(change.statements, kBlue, false, kCounted);
        break;
      case SequenceChange::Kind::Refused:
        writeNote(context_, name + "no statement is written: " + change.reason);
        break;
    }
  }

  RunContext& context_;
  ComparisonOptions& options_;
  const int mode_;
  const bool withLast_;
  bool headerWritten_ = false;
  std::vector<SequenceAttributes> firstOnly_, secondOnly_;
};

// --- Privileges --------------------------------------------------------------------------

const char* columnHeader(PrivilegeKind kind) {
  switch (kind) {
    case PrivilegeKind::System:
      return "  PRIVILEGE                                 ADMIN OPTION ";
    case PrivilegeKind::Role:
      return "  GRANTED ROLE                              ADMIN OPTION  DEFAULT ROLE  OS GRANTED ";
    case PrivilegeKind::Object:
      return "  PRIVILEGE                                 TABLE NAME                      OWNER  "
             "                         GRANTEE                         GRANTOR                 "
             "        GRANTABLE ";
  }
  return "";
}

std::string trimmedBothSides(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

class PrivilegeComparer {
 public:
  explicit PrivilegeComparer(RunContext& context)
      : context_(context), options_(context.options()), mode_(options_.i_DoingUpgradeScript) {}

  void run() {
    const PrivilegeKind kinds[] = {PrivilegeKind::System, PrivilegeKind::Role,
                                   PrivilegeKind::Object};
    const int enabled[] = {options_.b_DoSysPrivs, options_.b_DoRolePrivs, options_.b_DoObjPrivs};
    context_.clearSkipRequest();
    for (int k = 0; k < 3; ++k) {
      if (enabled[k] == 0) continue;
      if (!compareKind(kinds[k])) return;
    }
  }

 private:
  // One database's lines of a kind. System and role privileges come from the logged-on user's
  // own views when the schema compared is that user, else from the DBA views of the schema;
  // `unreadable` is set (no error) when the session may not read those.
  std::string readLines(PrivilegeKind kind, DatabaseConnection& database,
                        std::vector<std::string>& lines, bool& unreadable) {
    unreadable = false;
    OracleSession& session = *database.session();
    const bool ownSchema = database.owner() == database.loginOwner();
    if (kind == PrivilegeKind::Object || ownSchema)
      return Catalog::queryLines(session, privilegeQuery(kind, database.owner()),
                                 privilegeRowWidth(kind), lines);
    std::string error = Catalog::queryLines(session, schemaPrivilegeQuery(kind, database.owner()),
                                            privilegeRowWidth(kind), lines);
    if (!error.empty() && error.find("ORA-00942") != std::string::npos) {
      lines.clear();
      unreadable = true;
      return "";
    }
    return error;
  }

  // False when the phase ends (an error, a skip).
  bool compareKind(PrivilegeKind kind) {
    kind_ = kind;
    headerPending_ = true;
    const std::string step =
        std::string(mode_ == 2 ? "Analyzing " : "Comparing ") + privilegeKindTitle(kind);
    context_.host().setStatus(step + " ...");
    context_.host().setTitle(step + " - Velmora for Oracle");
    DatabaseConnection* first = context_.database1();
    DatabaseConnection* second = context_.database2();
    if (first == nullptr || !first->connected()) return false;
    std::vector<std::string> list1, list2;
    bool unreadable1 = false, unreadable2 = false;
    std::string error = readLines(kind, *first, list1, unreadable1);
    if (!error.empty()) return fail(1, *first, error);
    context_.host().setProgressPosition(60);
    if (mode_ != 2) {
      if (second == nullptr || !second->connected()) return false;
      error = readLines(kind, *second, list2, unreadable2);
      if (!error.empty()) return fail(2, *second, error);
    }
    context_.host().setProgressPosition(80);
    if (unreadable1 || unreadable2) {
      // Comparing the logged-on user's privileges in place of the schema's would grant the
      // schema what a DBA holds: nothing is compared for this kind.
      writeHeader();
      writeNote(context_, std::string("The ") + privilegeKindName(kind) + " of schema " +
                              (unreadable1 ? first : second)->owner() + " in Database " +
                              (unreadable1 ? "1" : "2") +
                              " could not be read: the session needs the DBA role or SELECT ANY "
                              "DICTIONARY to read another schema's privileges. They are not "
                              "compared.");
      context_.errors().record(privilegeKindName(kind));
      context_.host().setProgressPosition(100);
      return true;
    }
    if (mode_ == 1 && kind != PrivilegeKind::Object) readDirectGrants(kind, *second);
    const std::string grantee = (mode_ == 2 ? first : second)->owner();
    bool skipped = false;
    mergePrivilegeLines(
        list1, list2,
        [this](const std::string& a, const std::string& b) {
          if (options_.b_IgnoreSourceSpaces != 0) return trimmedBothSides(a) == trimmedBothSides(b);
          return a == b;
        },
        [&](int side, const std::string& line) { writeLine(side, line, grantee); },
        [&] {
          context_.checkpoint();
          if (!context_.skipRequested()) return true;
          context_.clearSkipRequest();
          context_.output().write(std::string("\r\n") + privilegeKindTitle(kind) + "  Skipped ...",
                                  kMaroon, false, kCounted);
          skipped = true;
          return false;
        });
    context_.host().setProgressPosition(100);
    return !skipped;
  }

  // The privileges or roles Database 2's schema holds directly (a REVOKE of one held through
  // PUBLIC cannot succeed). Only used by the scripts; unread, every REVOKE is written.
  void readDirectGrants(PrivilegeKind kind, DatabaseConnection& database) {
    direct_.clear();
    directKnown_ = false;
    if (database.session() == nullptr) return;
    const bool own = database.owner() == database.loginOwner();
    const std::string owner = database.owner();
    std::string quoted;
    for (char c : owner) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    const std::string sql =
        kind == PrivilegeKind::System
            ? (own ? "select privilege from user_sys_privs where username = '" + quoted + "'"
                   : "select privilege from dba_sys_privs where grantee = '" + quoted + "'")
            : (own ? "select granted_role from user_role_privs where username = '" + quoted + "'"
                   : "select granted_role from dba_role_privs where grantee = '" + quoted + "'");
    std::vector<std::string> rows;
    if (!Catalog::queryLines(*database.session(), sql, 128, rows).empty()) return;
    for (const std::string& row : rows) direct_.insert(trimmedBothSides(row));
    directKnown_ = true;
  }

  bool fail(int number, const DatabaseConnection& database, const std::string& message) {
    context_.errors().record("privileges");
    writeListError(context_, "The following error was received while analyzing privileges", number,
                   database, message);
    return false;
  }

  void writeHeader() {
    if (!headerPending_) return;
    headerPending_ = false;
    ReportOutput& out = context_.output();
    const std::string name = privilegeKindName(kind_);
    if (mode_ == 0) {
      out.write("\r\n\r\n\r\nDifferences found in " + name + " ", kBlack);
      out.write("\r\n\r\n", kGreen);
      out.write(columnHeader(kind_), kGreen, true);
      out.write("_\r\n\r\n", ReportColour::White, false);
      return;
    }
    std::string purpose = std::string(mode_ == 1 ? "The following statements will upgrade the "
                                                 : "The following statements will create the ") +
                          name + " and should be executed as 'system' or 'sys'";
    if (kind_ == PrivilegeKind::Object)
      purpose += ". You may have to execute them as the appropriate object owner.";
    writeScriptBanner(context_, name, purpose);
  }

  void writeLine(int side, const std::string& line, const std::string& grantee) {
    writeHeader();
    ReportOutput& out = context_.output();
    if (mode_ == 0) {
      out.write(side == 1 ? "< " : "> ", kBlack, false, kNotCounted);
      std::string text = line;
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      out.write(escapeControls(text) + "\r\n", colourOf(side), false, kCounted);
      return;
    }
    const PrivilegeLine parsed = parsePrivilegeLine(kind_, line);
    const std::string reason = kind_ == PrivilegeKind::Object
                                   ? unwritableNamesReason({parsed.schema, parsed.table, grantee})
                                   : unwritableNamesReason({parsed.privilege, grantee});
    if (!reason.empty()) {
      out.write(unwrittenStatementComment(
                    (side == 1 ? "the grant of " : "the revoke of ") + parsed.privilege, reason) +
                    "\r\n",
                kMaroon, false, kCounted);
      return;
    }
    if (side == 1) {
      out.write(grantStatement(kind_, parsed, grantee), kBlue, false, kCounted);
    } else if (kind_ != PrivilegeKind::Object && directKnown_ &&
               direct_.count(parsed.privilege) == 0) {
      writeNote(context_, "No REVOKE of " + parsed.privilege + " from " + grantee +
                              ": it is not granted to " + grantee +
                              " directly (it comes through PUBLIC or a role), so a REVOKE "
                              "would fail");
    } else {
      out.write(revokeStatement(kind_, parsed, grantee), kRed, false, kCounted);
    }
  }

  RunContext& context_;
  ComparisonOptions& options_;
  const int mode_;
  PrivilegeKind kind_ = PrivilegeKind::System;
  bool headerPending_ = true;
  std::set<std::string> direct_;
  bool directKnown_ = false;
};

}  // namespace

void runPrivilegePhase(RunContext& context) {
  PrivilegeComparer(context).run();
}

void runSequencePhase(RunContext& context) {
  SequenceComparer(context).run();
}

void registerPrivilegeAndSequencePhases(PhaseTable& phases) {
  phases.setRunner(PhaseId::Privileges, runPrivilegePhase);
  phases.setRunner(PhaseId::Sequences, runSequencePhase);
}

void unregisterPrivilegeAndSequencePhases(PhaseTable& phases) {
  phases.setRunner(PhaseId::Privileges, nullptr);
  phases.setRunner(PhaseId::Sequences, nullptr);
}

}  // namespace velmora
