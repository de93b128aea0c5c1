// StoredCodeComparer: the object lists of a kind (steps 1 to 7).
#include "source/stored_code_comparer.h"

#include <algorithm>
#include <stdexcept>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

// "stored procedures", "packages body": the kind as the run's error summary names it.
std::string lowerCaseKinds(const CodeKind& kind) {
  std::string text = kind.plural;
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

StoredCodeComparer::StoredCodeComparer(CodeRun& run, const CodeKind& kind)
    : run_(run), kind_(kind), diff_(run.out, &run.control) {}

bool StoredCodeComparer::isObjectIgnored(const std::string& name) const {
  const NameList* list = run_.options.ignoreListForKind(kind_.code);
  return list != nullptr && list->contains(name);
}

bool StoredCodeComparer::listsComplete() const {
  return complete1_ && (run_.scriptOfFirst() || complete2_);
}

void StoredCodeComparer::compareStoredCode() {
  const std::string plural = kind_.plural;
  run_.host.setTitle("Analyzing " + plural + " - Velmora for Oracle");
  run_.host.setStatus("Analyzing " + plural + " ...");
  run_.host.setProgressPosition(0);
  readLists();
  run_.host.setProgressRange(0, 3 * static_cast<int>(list1_.size() + list2_.size()));
  writeCounts();
  if (!run_.scriptOfFirst()) pairObjects();
  if (!run_.report()) beginScriptOrder();
  writeIncompleteNotice();
  writeOnlyInFirst();
  if (run_.options.*kind_.common) writeCommonObjects();
  if (run_.options.*kind_.skipped) {
    writeNotProcessed(run_.database1, list1_);
    if (!run_.scriptOfFirst()) writeNotProcessed(run_.database2, list2_);
  }
  compareCommonCode();
  if (!run_.report()) endScriptOrder();
}

void StoredCodeComparer::readLists() {
  const auto read = [&](CodeDatabase& database, std::vector<Entry>& list, bool& complete) {
    list.clear();
    complete = true;
    if (database.reader == nullptr) return;
    std::vector<std::string> names;
    complete = database.reader->listObjects(kind_.oracleType, names);
    for (std::string& name : names) list.push_back({std::move(name), false});
  };
  read(run_.database1, list1_, complete1_);
  if (!run_.scriptOfFirst()) read(run_.database2, list2_, complete2_);
  if (!complete1_ || (!run_.scriptOfFirst() && !complete2_))
    run_.recordError(lowerCaseKinds(kind_));
}

// The count of a list, or for a list cut short by an error (its block precedes) that it is
// incomplete: its count would be false.
void StoredCodeComparer::writeCount(const CodeDatabase& database, bool complete, size_t count,
                                    const std::string& lead, ReportColour wordsColour) {
  const ReportColour colour = database.colour();
  const std::string name = reportText(run_.options, database.displayName);
  if (!complete) {
    run_.out.write(lead + "The list of " + kind_.plural + " could not be read completely from ",
                   wordsColour);
    run_.out.write(name, colour);
    return;
  }
  if (run_.report()) {
    run_.out.write(lead + std::to_string(count), colour);
    run_.out.write(std::string(" ") + kind_.plural + " were found in ", wordsColour);
  } else {
    run_.out.write(lead, wordsColour);
    run_.out.write(std::to_string(count) + " ", colour);
    run_.out.write(std::string(kind_.plural) + " were found in ", wordsColour);
  }
  run_.out.write(name, colour);
}

// Database 2 is not read in "Script database 1" mode, so its count is not written there.
void StoredCodeComparer::writeCounts() {
  if (run_.report()) {
    writeCount(run_.database1, complete1_, list1_.size(), kSectionStart, kBlack);
    writeCount(run_.database2, complete2_, list2_.size(), "\r\n", kBlack);
    return;
  }
  run_.out.write(kSectionStart + bannerTop(), kGreen);
  writeCount(run_.database1, complete1_, list1_.size(),
             "*  " + std::string(kind_.plural) + "\r\n*\r\n*  ", kGreen);
  if (run_.upgrade()) writeCount(run_.database2, complete2_, list2_.size(), "\r\n*  ", kGreen);
  run_.out.write(bannerBottom(), kGreen);
}

// Objects found on one side only cannot be told from objects a failed list did not reach.
void StoredCodeComparer::writeIncompleteNotice() {
  if (listsComplete()) return;
  const std::string plural = kind_.plural;
  run_.out.write(
      kSectionStart + run_.options.s_DashComment +
          (run_.scriptOfFirst() ? "No " + plural +
                                      " are scripted, because their list could not be read "
                                      "completely from Database 1"
                                : plural + " that exist in one database only are not " +
                                      (run_.report() ? "listed" : "dropped or created") +
                                      ", because a list could not be read completely; the common " +
                                      plural + " read in both are compared"),
      kMaroon);
}

// Names match without regard to case (both in upper case), as the comparison always matched them; but an exact match
// comes first, and an entry already matched is not matched again, so that "proc_a" and "PROC_A"
// of Database 1 pair with their own namesakes in Database 2.
bool StoredCodeComparer::objectExistsInDatabase1(const std::string& name, size_t* index) {
  for (size_t i = 0; i < list1_.size(); ++i) {
    run_.checkpoint();
    if (list1_[i].name != name || list1_[i].inBoth) continue;
    list1_[i].inBoth = true;
    *index = i;
    return true;
  }
  const std::string upper = toUpperAscii(name);
  for (size_t i = 0; i < list1_.size(); ++i) {
    run_.checkpoint();
    if (list1_[i].inBoth || toUpperAscii(list1_[i].name) != upper) continue;
    list1_[i].inBoth = true;
    *index = i;
    return true;
  }
  return false;
}

void StoredCodeComparer::pairObjects() {
  bool first = true;
  std::vector<std::string> onlyInSecond;
  for (Entry& entry : list2_) {
    run_.checkpoint();
    if (isObjectIgnored(entry.name)) continue;
    size_t index = 0;
    if (objectExistsInDatabase1(entry.name, &index)) {
      entry.inBoth = true;
      common_.push_back({list1_[index].name, entry.name});
      const std::string label = std::string(kind_.code) + "." + list1_[index].name;
      run_.host.addObject(label);
      run_.host.selectObject(label);
      run_.host.stepProgress();
    } else if (listsComplete()) {
      onlyInSecond.push_back(entry.name);
    }
  }
  if (run_.upgrade() && std::string(kind_.oracleType) == "TYPE") orderTypeDrops(onlyInSecond);
  for (const std::string& name : onlyInSecond) writeOnlyInSecond(name, first);
}

// Oracle drops no type that another type still uses (ORA-02303): the types of Database 2 that go
// are dropped users first (Database 2's dependencies), else in name order.
void StoredCodeComparer::orderTypeDrops(std::vector<std::string>& names) {
  std::vector<Dependency> rows;
  std::string error;
  if (names.size() < 2 || run_.database2.reader->dependencies(rows, error) != DependencyRead::Read)
    return;
  std::vector<std::string> ordered, rest = names;
  while (!rest.empty()) {
    bool progressed = false;
    for (auto it = rest.begin(); it != rest.end(); ++it) {
      const bool used = std::any_of(rows.begin(), rows.end(), [&](const Dependency& row) {
        return row.type == "TYPE" && row.referencedType == "TYPE" && row.referencedName == *it &&
               row.name != *it && std::find(rest.begin(), rest.end(), row.name) != rest.end();
      });
      if (used) continue;
      ordered.push_back(*it);
      rest.erase(it);
      progressed = true;
      break;
    }
    if (!progressed) break;  // a cycle: the rest in name order
  }
  ordered.insert(ordered.end(), rest.begin(), rest.end());
  names = std::move(ordered);
}

void StoredCodeComparer::noteDifference() {
  run_.recordDifference(lowerCaseKinds(kind_));
}

void StoredCodeComparer::writeOnlyInSecond(const std::string& name, bool& first) {
  const std::string& star = run_.options.s_StarComment;
  noteDifference();
  if (run_.report()) {
    if (first) {
      run_.out.write(kSectionStart + star + "The following " + kind_.plural + " DO NOT exist in ",
                     kBlack);
      run_.out.write(reportText(run_.options, run_.database1.displayName) + "\r\n", kBlue);
    }
    first = false;
    run_.out.write(listLine(run_.options, name), kRed, false, kCounted);
    return;
  }
  if (first) {
    run_.out.write(kSectionStart + bannerTop() + star + "The following statements will drop " +
                       kind_.plural + " that DO NOT exist in ",
                   kGreen);
    run_.out.write(reportText(run_.options, run_.database1.displayName), kBlue);
    run_.out.write(bannerBottom(), kGreen);
  }
  first = false;
  writeDrop(name);
}

void StoredCodeComparer::writeOnlyInFirst() {
  if (!listsComplete()) return;
  const std::string& star = run_.options.s_StarComment;
  bool first = true;
  for (const Entry& entry : list1_) {
    run_.checkpoint();
    selectObject(entry.name);
    if (entry.inBoth || isObjectIgnored(entry.name)) continue;
    noteDifference();
    if (first) {
      if (run_.report()) {
        run_.out.write(kSectionStart + star + "The following " + kind_.plural + " DO NOT exist in ",
                       kBlack);
        run_.out.write(reportText(run_.options, run_.database2.displayName) + "\r\n", kRed);
      } else if (run_.scriptOfFirst()) {
        // A comment block, so that the script stays runnable.
        run_.out.write(kSectionStart + bannerTop() + star +
                           "The following statements will create the " + kind_.plural +
                           bannerBottom(),
                       kGreen);
      } else {
        run_.out.write(kSectionStart + bannerTop() + star +
                           "The following statements will create " + kind_.plural +
                           " that DO NOT exist in ",
                       kGreen);
        run_.out.write(reportText(run_.options, run_.database2.displayName), kRed);
        run_.out.write(bannerBottom(), kGreen);
      }
      first = false;
    }
    if (run_.report()) {
      run_.out.write(listLine(run_.options, entry.name), kBlue);
      continue;
    }
    std::string source;
    if (readSource(run_.database1, entry.name, source)) writeCreation(entry.name, source);
  }
}

// A heading of a name list: in the report "\r\n\r\n\r\n" + heading (black) and the database's
// name; in the scripts the opening of a comment block that the list closes.
void StoredCodeComparer::writeListHeading(const std::string& heading,
                                          const std::string& databaseName, ReportColour colour) {
  if (run_.report()) {
    run_.out.write(kSectionStart + heading, databaseName.empty() ? kBlack : kGreen, false,
                   kCounted);
  } else {
    run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment + heading, kGreen);
  }
  if (!databaseName.empty())
    run_.out.write(reportText(run_.options, databaseName) + "\r\n", colour, false, kCounted);
  if (!run_.report()) run_.out.write("*", kGreen);
}

void StoredCodeComparer::writeCommonObjects() {
  if (common_.empty()) return;
  writeListHeading("The following " + std::string(kind_.plural) + " exist in both databases\r\n",
                   "", kBlack);
  for (const CommonObject& object : common_)
    run_.out.write(listLine(run_.options, object.name1), kGreen, false, kCounted);
  if (!run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void StoredCodeComparer::writeNotProcessed(const CodeDatabase& database,
                                           const std::vector<Entry>& list) {
  bool written = false;
  for (const Entry& entry : list) {
    run_.checkpoint();
    if (!isObjectIgnored(entry.name)) continue;
    if (!written) {
      writeListHeading("The following " + std::string(kind_.plural) + " were not processed in ",
                       database.displayName, database.colour());
      written = true;
    }
    run_.out.write(listLine(run_.options, entry.name), kGreen, false, kCounted);
  }
  if (written && !run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void StoredCodeComparer::selectObject(const std::string& name) {
  run_.host.selectObject(std::string(kind_.code) + "." + name);
  run_.host.stepProgress();
}

void compareStoredCode(CodeRun& run, const std::string& kindCode) {
  const CodeKind* kind = codeKindByCode(kindCode);
  if (kind == nullptr) throw std::invalid_argument("not a stored-code kind: " + kindCode);
  StoredCodeComparer comparer(run, *kind);
  comparer.compareStoredCode();
}

}  // namespace velmora
