// StoredCodeComparer: the sources of the objects present in both databases
// (compareCommonCode): line differences in the report, CREATE OR REPLACE of what differs in the
// upgrade script.
#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/oracle_text.h"
#include "source/stored_code_comparer.h"

namespace velmora {

namespace {

// Skip is allowed while the common objects are compared, and not after (also on a stop).
class SkipAllowed {
 public:
  explicit SkipAllowed(RunControl& control) : control_(control) { control_.setSkipAllowed(true); }
  ~SkipAllowed() { control_.setSkipAllowed(false); }
  SkipAllowed(const SkipAllowed&) = delete;
  SkipAllowed& operator=(const SkipAllowed&) = delete;

 private:
  RunControl& control_;
};

}  // namespace

// The error block of a source that could not be read; the object is passed over.
void StoredCodeComparer::writeSourceError(const CodeDatabase& database, const std::string& name,
                                          const std::string& message) {
  const std::string& dash = run_.options.s_DashComment;
  const ReportColour colour = database.colour();
  run_.out.write(kSectionStart + dash + "The following error was received while processing " +
                     kind_.name + " ",
                 kMaroon);
  run_.out.write(reportText(run_.options, name), colour);
  run_.out.write(" in database ", kMaroon);
  run_.out.write(reportText(run_.options, database.displayName) + " :\r\n", colour);
  run_.out.write(dash + commentLines(dash, message) + "\r\n\r\n", kMaroon, false, kCounted);
  std::string kinds = kind_.plural;
  for (char& c : kinds) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  run_.recordError(kinds);
}

// The whole source, white space at both ends removed. An empty source (the object went away
// after the list was read) is an error too: it would give an empty statement.
bool StoredCodeComparer::readSource(const CodeDatabase& database, const std::string& name,
                                    std::string& text) {
  text.clear();
  std::string error = database.reader->sourceText(name, kind_.oracleType, text);
  text = trimLeadingSpace(trimTrailingSpace(std::move(text)));
  if (error.empty() && text.empty()) error = "the source of " + name + " could not be found";
  if (error.empty()) return true;
  writeSourceError(database, name, error);
  return false;
}

// Upgrade script: the whole sources of the common objects are compared before anything of the
// kind is written, so that the order of the script knows what it will create.
void StoredCodeComparer::compareTexts() {
  texts_.clear();
  for (const CommonObject& object : common_) {
    run_.checkpoint();
    TextComparison& result = texts_[object.name1];
    std::string text1, text2;
    // The error blocks come where the object is compared (compareCommonScript).
    const std::string error1 =
        run_.database1.reader->sourceText(object.name1, kind_.oracleType, text1);
    const std::string error2 =
        error1.empty() ? run_.database2.reader->sourceText(object.name2, kind_.oracleType, text2)
                       : "";
    text1 = trimLeadingSpace(trimTrailingSpace(std::move(text1)));
    text2 = trimLeadingSpace(trimTrailingSpace(std::move(text2)));
    if (!error1.empty() || (error2.empty() && text1.empty())) {
      result.failed = true;
      result.errorDatabase = 1;
      result.error =
          error1.empty() ? "the source of " + object.name1 + " could not be found" : error1;
      continue;
    }
    if (!error2.empty() || text2.empty()) {
      result.failed = true;
      result.errorDatabase = 2;
      result.error =
          error2.empty() ? "the source of " + object.name2 + " could not be found" : error2;
      continue;
    }
    // A name that differs in case is another object to Oracle: Database 2's goes, Database 1's
    // is created.
    result.differs = text1 != text2 || object.name1 != object.name2;
    if (result.differs) result.source1 = std::move(text1);
    if (result.differs && std::string(kind_.oracleType) == "TYPE")
      result.dependents = typeDependents(object.name2);
    if (!result.differs && std::string(kind_.oracleType) == "TRIGGER" &&
        !compareTriggerStatus(object, result))
      continue;
  }
}

// Triggers whose sources agree: whether one is enabled and the other disabled. False when a
// status could not be read (the result then says so).
bool StoredCodeComparer::compareTriggerStatus(const CommonObject& object, TextComparison& result) {
  TriggerBase base1, base2;
  std::string error = run_.database1.reader->triggerBase(object.name1, base1);
  if (error.empty()) error = run_.database2.reader->triggerBase(object.name2, base2);
  if (!error.empty()) {
    result.failed = true;
    result.errorDatabase = 1;
    result.error = error;
    return false;
  }
  result.enabled1 = base1.enabled;
  result.statusDiffers = base1.enabled != base2.enabled;
  return true;
}

// What in Database 2 uses a type (tables and other types): Oracle refuses to replace such a type
// (ORA-02303). "" when nothing does or the dependencies cannot be read.
std::string StoredCodeComparer::typeDependents(const std::string& name2) {
  if (!dependencies2Read_) {
    dependencies2Read_ = true;
    std::string error;
    if (run_.database2.reader->dependencies(dependencies2_, error) != DependencyRead::Read)
      dependencies2_.clear();
  }
  std::string users;
  for (const Dependency& row : dependencies2_) {
    if (row.referencedType != "TYPE" || row.referencedName != name2) continue;
    if (row.type != "TABLE" && row.type != "TYPE") continue;
    users += (users.empty() ? "" : ", ") + row.type + " " + row.name;
  }
  return users;
}

void StoredCodeComparer::writeReplaceHeading() {
  if (replaceHeadingWritten_) return;
  run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment +
                     "The following statements will replace " + kind_.plural +
                     " that are different in ",
                 kGreen);
  run_.out.write(reportText(run_.options, run_.database2.displayName), kRed, false, kCounted);
  run_.out.write(bannerBottom(), kGreen, false, kCounted);
  replaceHeadingWritten_ = true;
}

void StoredCodeComparer::compareCommonCode() {
  if (common_.empty()) return;
  const std::string plural = kind_.plural;
  SkipAllowed skipAllowed(run_.control);
  for (const CommonObject& object : common_) {
    run_.checkpoint();
    run_.host.setStatus("Comparing " + plural + " ...");
    run_.host.setTitle("Comparing " + plural + " Code - Velmora for Oracle");
    selectObject(object.name1);
    diff_.setNames({kind_.name, kind_.capitalised, object.name1});
    if (run_.report()) {
      compareCommonReport(object);
    } else {
      compareCommonScript(object);
    }
  }
}

void StoredCodeComparer::compareCommonReport(const CommonObject& object) {
  std::vector<std::string> lines1, lines2;
  std::string error = run_.database1.reader->sourceLines(object.name1, kind_.oracleType, lines1);
  if (!error.empty()) {
    writeSourceError(run_.database1, object.name1, error);
    return;
  }
  error = run_.database2.reader->sourceLines(object.name2, kind_.oracleType, lines2);
  if (!error.empty()) {
    writeSourceError(run_.database2, object.name2, error);
    return;
  }
  diff_.setRules({true, run_.options.b_IgnoreSourceSpaces != 0});
  bool nothingPrinted = diff_.diffLines(lines1, lines2, true);
  if (!diff_.skipped() && std::string(kind_.oracleType) == "TRIGGER")
    nothingPrinted = !writeTriggerStatus(object) && nothingPrinted;
  if (!nothingPrinted) noteDifference();
  if (nothingPrinted && !diff_.skipped() && run_.options.*kind_.noDiff) {
    run_.out.write(kSectionStart + run_.options.s_StarComment + "No differences were found in " +
                       kind_.name + " ",
                   kMaroon, false, kCounted);
    run_.out.write(reportText(run_.options, object.name1), kGreen, false, kCounted);
  }
}

// The report's line for a trigger enabled in one database and disabled in the other; true when
// written. A status that cannot be read gives the error block.
bool StoredCodeComparer::writeTriggerStatus(const CommonObject& object) {
  TriggerBase base1, base2;
  std::string error = run_.database1.reader->triggerBase(object.name1, base1);
  if (!error.empty()) {
    writeSourceError(run_.database1, object.name1, error);
    return true;
  }
  error = run_.database2.reader->triggerBase(object.name2, base2);
  if (!error.empty()) {
    writeSourceError(run_.database2, object.name2, error);
    return true;
  }
  if (base1.enabled == base2.enabled) return false;
  const auto status = [](bool enabled) { return enabled ? "ENABLED" : "DISABLED"; };
  run_.out.write(std::string(kSectionStart) + "The status of trigger ", kBlack);
  run_.out.write(reportText(run_.options, object.name1), kGreen);
  run_.out.write(" differs: ", kBlack);
  run_.out.write(std::string(status(base1.enabled)) + " in " +
                     reportText(run_.options, run_.database1.displayName),
                 kBlue);
  run_.out.write(", ", kBlack);
  run_.out.write(std::string(status(base2.enabled)) + " in " +
                     reportText(run_.options, run_.database2.displayName),
                 kRed, false, kCounted);
  return true;
}

void StoredCodeComparer::compareCommonScript(const CommonObject& object) {
  const std::string& star = run_.options.s_StarComment;
  if (run_.control.skipRequested() && run_.control.takeSkipRequest()) {
    run_.out.write("\r\n" + run_.options.s_DashComment + kind_.capitalised + " " +
                       reportText(run_.options, object.name1) + " Skipped ...",
                   kMaroon, false, kCounted);
    return;
  }
  const TextComparison& result = texts_[object.name1];
  if (result.failed) {
    if (result.errorDatabase == 1) {
      writeSourceError(run_.database1, object.name1, result.error);
    } else {
      writeSourceError(run_.database2, object.name2, result.error);
    }
    return;
  }
  if (result.differs) {
    noteDifference();
    writeReplaceHeading();
    if (!result.dependents.empty()) {
      writeStatementRefused("type " + object.name1,
                            "Database 2 has " + result.dependents +
                                ", which use it, and Oracle replaces no type that tables or "
                                "types use (ORA-02303): change it with ALTER TYPE ... CASCADE");
      return;
    }
    if (object.name1 != object.name2) {
      run_.out.write("\r\n" + run_.options.s_DashComment + "The " + kind_.name + " " +
                         escapeControls(object.name2) + " of Database 2 is named " +
                         escapeControls(object.name1) +
                         " in Database 1: it is dropped and created again",
                     kGreen);
      writeDrop(object.name2);
    }
    writeCreation(object.name1, result.source1);
    return;
  }
  if (result.statusDiffers) {
    noteDifference();
    writeReplaceHeading();
    run_.out.write("\r\n" + run_.options.s_DashComment + "The status of trigger " +
                       escapeControls(object.name1) + " differs",
                   kGreen);
    run_.out.write(
        "\r\nALTER TRIGGER " + sqlName(object.name1) + (result.enabled1 ? " ENABLE;" : " DISABLE;"),
        kBlue);
    return;
  }
  if (run_.options.*kind_.noDiff) {
    run_.out.write(kSectionStart + bannerTop() + star + "No differences were found in " +
                       kind_.name + " " + reportText(run_.options, object.name1) + bannerBottom(),
                   kGreen);
  }
}

}  // namespace velmora
