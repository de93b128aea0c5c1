// StoredCodeComparer: the phase of one kind of stored code: reads the kind's names from
// both databases, reports or scripts the objects found on one side only (DROP for Database 2's,
// CREATE OR REPLACE for Database 1's), lists the common and the unselected objects, and compares
// the sources of the common ones: line differences in the report, CREATE OR REPLACE of
// Database 1's source in the upgrade script. In "Script database 1" every object of Database 1 is
// created. Scripts keep the order in which they apply (ScriptOrder) and never drop what an
// earlier statement of the script already removed. Runs on the worker thread, one object a time.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "source/code_kinds.h"
#include "source/code_run.h"
#include "source/source_diff.h"

namespace velmora {

class StoredCodeComparer {
 public:
  StoredCodeComparer(CodeRun& run, const CodeKind& kind);

  // The whole phase of the kind.
  void compareStoredCode();

  // True when the name is in the kind's ignore list (any letter case).
  bool isObjectIgnored(const std::string& name) const;

 private:
  // One object of a database's list of the kind.
  struct Entry {
    std::string name;
    bool inBoth = false;
  };
  struct CommonObject {
    std::string name1;  // the name in Database 1 (written in statements and lines)
    std::string name2;  // the name in Database 2
  };
  // The outcome of comparing the whole sources of a common object (upgrade script).
  struct TextComparison {
    bool failed = false;         // a source could not be read: no statement
    int errorDatabase = 1;       // whose read failed
    std::string error;           // its message
    bool differs = false;        // the sources differ, or the names differ in case
    std::string source1;         // Database 1's source, trimmed, when it differs
    std::string dependents;      // types: what in Database 2 depends on it (no replacement)
    bool statusDiffers = false;  // triggers: enabled in one database, disabled in the other
    bool enabled1 = true;        // triggers: the status in Database 1
  };

  // stored_code_comparer.cpp: the lists.
  void readLists();
  void writeCounts();
  void writeCount(const CodeDatabase& database, bool complete, size_t count,
                  const std::string& lead, ReportColour wordsColour);
  void writeIncompleteNotice();
  bool objectExistsInDatabase1(const std::string& name, size_t* index);
  void pairObjects();
  void orderTypeDrops(std::vector<std::string>& names);
  void writeOnlyInSecond(const std::string& name, bool& first);
  void writeOnlyInFirst();
  void writeListHeading(const std::string& heading, const std::string& databaseName,
                        ReportColour colour);
  void writeCommonObjects();
  void writeNotProcessed(const CodeDatabase& database, const std::vector<Entry>& list);
  void selectObject(const std::string& name);
  void noteDifference();
  bool listsComplete() const;

  // common_code.cpp: the sources.
  void compareTexts();
  void compareCommonCode();
  void compareCommonReport(const CommonObject& object);
  void compareCommonScript(const CommonObject& object);
  void writeSourceError(const CodeDatabase& database, const std::string& name,
                        const std::string& message);
  bool compareTriggerStatus(const CommonObject& object, TextComparison& result);
  std::string typeDependents(const std::string& name2);
  void writeReplaceHeading();
  bool writeTriggerStatus(const CommonObject& object);
  bool readSource(const CodeDatabase& database, const std::string& name, std::string& text);

  // code_statements.cpp: the statements of the scripts.
  void writeDrop(const std::string& name);
  bool dropGoesWithEarlierStatement(const std::string& name);
  void writeCreation(const std::string& name, const std::string& source);
  bool creationPieces(const std::string& name, const std::string& source,
                      std::vector<ScriptOrder::Piece>& pieces);
  void writeStatementRefused(const std::string& what, const std::string& reason);
  void beginScriptOrder();
  void endScriptOrder();
  void writeReady();
  void writeDeferred(const ScriptOrder::Deferred& deferred, const std::string& note);
  std::string scriptLabel(const std::string& name) const;

  CodeRun& run_;
  const CodeKind& kind_;
  SourceDiff diff_;
  std::vector<Entry> list1_, list2_;
  bool complete1_ = true, complete2_ = true;
  std::vector<CommonObject> common_;
  std::map<std::string, TextComparison> texts_;  // by Database 1's name (upgrade script)
  bool replaceHeadingWritten_ = false;
  bool dependencies2Read_ = false;
  std::vector<Dependency> dependencies2_;  // Database 2's, read for the types that differ
};

// The phase of a kind code ("TRIG" ... "TYPEB") over a CodeRun.
void compareStoredCode(CodeRun& run, const std::string& kindCode);

}  // namespace velmora
