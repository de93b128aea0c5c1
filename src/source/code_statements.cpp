// StoredCodeComparer: the statements of the scripts (DROP, CREATE OR REPLACE, ALTER TRIGGER) and
// the order that keeps them applicable.
#include "source/code_statements.h"

#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/oracle_text.h"
#include "source/stored_code_comparer.h"
#include "structure/ddl_text.h"
#include "structure/script_dependencies.h"

namespace velmora {

namespace {

std::string joined(const std::vector<std::string>& keys) {
  std::string text;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i > 0) text += i + 1 == keys.size() ? " and " : ", ";
    text += keys[i];
  }
  return text;
}

}  // namespace

// "VIEW A": an object as the notes of the script name it, escaped for a comment line.
std::string StoredCodeComparer::scriptLabel(const std::string& name) const {
  return escapeControls(ScriptOrder::key(kind_.oracleType, name));
}

void StoredCodeComparer::writeStatementRefused(const std::string& what, const std::string& reason) {
  run_.out.write("\r\n" + unwrittenStatementComment(what, reason), kMaroon);
  std::string kinds = kind_.plural;
  for (char& c : kinds) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  run_.recordError(kinds);
}

// What an earlier statement of this script already removed is not dropped again: a body goes
// with its package or type, a trigger with its table.
bool StoredCodeComparer::dropGoesWithEarlierStatement(const std::string& name) {
  const std::string type = kind_.oracleType;
  const std::string& dash = run_.options.s_DashComment;
  if (type == "PACKAGE BODY" || type == "TYPE BODY") {
    const std::string spec = type == "PACKAGE BODY" ? "PACKAGE" : "TYPE";
    if (run_.state.droppedSpecs.count(ScriptOrder::key(spec, name)) == 0) return false;
    run_.out.write("\r\n" + dash + "The " + kind_.name + " " + escapeControls(name) +
                       " is not dropped: it went with its " +
                       (spec == "PACKAGE" ? "package" : "type") + ", dropped above",
                   kGreen);
    return true;
  }
  if (type != "TRIGGER" || run_.tableScript == nullptr || run_.database2.reader == nullptr)
    return false;
  TriggerBase base;
  if (!run_.database2.reader->triggerBase(name, base).empty()) return false;
  if (!run_.tableScript->isTableDropped(base.table)) return false;
  run_.out.write("\r\n" + dash + "The trigger " + escapeControls(name) +
                     " is not dropped: it went with its table " + escapeControls(base.table) +
                     ", dropped above",
                 kGreen);
  return true;
}

void StoredCodeComparer::writeDrop(const std::string& name) {
  if (dropGoesWithEarlierStatement(name)) return;
  const std::string reason = unwritableNameReason(name);
  if (!reason.empty()) {
    writeStatementRefused("the drop of " + std::string(kind_.name) + " " + name, reason);
    return;
  }
  run_.out.write("\r\nDROP " + std::string(kind_.oracleType) + " " + sqlName(name) + ";", kRed);
  const std::string type = kind_.oracleType;
  if (type == "PACKAGE" || type == "TYPE")
    run_.state.droppedSpecs.insert(ScriptOrder::key(type, name));
}

// The pieces of a creation: the name in a comment, CREATE OR REPLACE with the source, and for a
// trigger disabled in Database 1 the ALTER TRIGGER that keeps it so. Also notes what the object
// must wait for beyond ALL_DEPENDENCIES (a trigger's view, a body's specification). False when
// nothing may be written (the reason is in the script, the run records it).
bool StoredCodeComparer::creationPieces(const std::string& name, const std::string& source,
                                        std::vector<ScriptOrder::Piece>& pieces) {
  const std::string type = kind_.oracleType;
  const std::string what = std::string(kind_.name) + " " + name;
  const SourceCheck check = checkScriptSource(source, type == "VIEW");
  if (!check.reason.empty()) {
    writeStatementRefused(what, check.reason);
    return false;
  }
  const std::string key = ScriptOrder::key(type, name);
  TriggerBase base;
  if (type == "TRIGGER") {
    const std::string error = run_.database1.reader->triggerBase(name, base);
    if (!error.empty()) {
      writeSourceError(run_.database1, name, error);
      return false;
    }
    // Without BASE_OBJECT_TYPE (7, 8.0) the table may be a view as well.
    if (base.objectType != "TABLE") run_.state.order.addDependency(key, "VIEW " + base.table);
  } else if (type == "PACKAGE BODY") {
    run_.state.order.addDependency(key, ScriptOrder::key("PACKAGE", name));
  } else if (type == "TYPE BODY") {
    run_.state.order.addDependency(key, ScriptOrder::key("TYPE", name));
  }
  pieces.push_back({"\r\n/*  " + escapeForBlockComment(name) + "  */", kBlue});
  if (check.hasBlankLines && !run_.state.blankLinesAllowed) {
    // SQL*Plus would end the view's statement at its first blank line.
    pieces.push_back({"\r\nSET SQLBLANKLINES ON", kBlue});
    run_.state.blankLinesAllowed = true;
  }
  pieces.push_back({"\r\nCREATE OR REPLACE " + source + "\r\n/\r\n", kBlue});
  if (type == "TRIGGER" && !base.enabled)
    pieces.push_back({"ALTER TRIGGER " + sqlName(name) + " DISABLE;\r\n", kBlue});
  return true;
}

void StoredCodeComparer::writeCreation(const std::string& name, const std::string& source) {
  std::vector<ScriptOrder::Piece> pieces;
  if (!creationPieces(name, source, pieces)) return;
  ScriptOrder& order = run_.state.order;
  const std::string key = ScriptOrder::key(kind_.oracleType, name);
  if (ScriptOrder::orderMatters(kind_.oracleType)) {
    const std::vector<std::string> waits = order.waitsFor(key);
    if (!waits.empty()) {
      // Written where it would stand, so that a reader of the script finds it.
      run_.out.write("\r\n" + run_.options.s_DashComment + scriptLabel(name) +
                         " is created further below, after " + escapeControls(joined(waits)) +
                         ", on which it depends",
                     kGreen);
      order.defer({key, joined(waits), std::move(pieces)});
      return;
    }
  }
  for (const ScriptOrder::Piece& piece : pieces) run_.out.write(piece.text, piece.colour);
  order.written(key);
  writeReady();
}

void StoredCodeComparer::writeDeferred(const ScriptOrder::Deferred& deferred,
                                       const std::string& note) {
  run_.out.write("\r\n\r\n" + run_.options.s_DashComment + escapeControls(deferred.key) + note,
                 kGreen);
  for (const ScriptOrder::Piece& piece : deferred.pieces) run_.out.write(piece.text, piece.colour);
}

// The statements that waited only for what has now been written.
void StoredCodeComparer::writeReady() {
  for (const ScriptOrder::Deferred& deferred : run_.state.order.takeReady())
    writeDeferred(deferred, " is created here, out of the order of its kind: it depends on " +
                                escapeControls(deferred.waits));
}

// Before the first statement of the kind: the dependencies of Database 1 (once per run), and what
// this phase will create.
void StoredCodeComparer::beginScriptOrder() {
  ScriptOrder& order = run_.state.order;
  const std::string& dash = run_.options.s_DashComment;
  if (ScriptOrder::orderMatters(kind_.oracleType) && !order.dependenciesRead() &&
      run_.database1.reader != nullptr) {
    std::vector<Dependency> rows;
    std::string error;
    const DependencyRead read = run_.database1.reader->dependencies(rows, error);
    order.setDependencies(rows, read);
    if (read == DependencyRead::Unavailable && !run_.state.orderNoteWritten) {
      run_.out.write(kSectionStart + dash +
                         "Database 1 has no ALL_DEPENDENCIES: views and types are created in the "
                         "order of their names, triggers after their view",
                     kMaroon);
      run_.state.orderNoteWritten = true;
    } else if (read == DependencyRead::Failed) {
      run_.out.write(kSectionStart + dash +
                         "The following error ocurred when trying to process dependencies in "
                         "database ",
                     kMaroon);
      run_.out.write(reportText(run_.options, run_.database1.displayName), kBlue);
      run_.out.write("\r\n" + dash + commentLines(dash, error), kMaroon, false, kCounted);
      run_.recordError("dependencies");
    }
  }
  std::set<std::string> willWrite;
  if (listsComplete()) {
    for (const Entry& entry : list1_) {
      if (!entry.inBoth && !isObjectIgnored(entry.name)) willWrite.insert(entry.name);
    }
  }
  if (run_.upgrade()) {
    compareTexts();
    for (const auto& [name, result] : texts_) {
      if (result.differs && result.dependents.empty()) willWrite.insert(name);
    }
  }
  order.phaseBegins(kind_.oracleType, std::move(willWrite));
}

void StoredCodeComparer::endScriptOrder() {
  ScriptOrder& order = run_.state.order;
  order.phaseEnded(kind_.oracleType);
  writeReady();
  if (!order.isLastPlanned(kind_.oracleType)) return;
  for (const ScriptOrder::Deferred& deferred : order.takeAll())
    writeDeferred(deferred, " is created last: it waits for " + escapeControls(deferred.waits) +
                                ", which this script does not create");
}

}  // namespace velmora
