#include "views/view_lists.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"

namespace velmora {

bool ViewListComparer::listsComplete() const {
  return run_.state.complete1 && (run_.mode() == 2 || run_.state.complete2);
}

void ViewListComparer::compareViewLists() {
  run_.host.setStatus("Retrieving Views ...");
  run_.host.setTitle("Retrieving Views - Velmora for Oracle");
  readLists();
  run_.views.clear();
  inBoth1_.assign(run_.state.views1.size(), false);
  inBoth2_.assign(run_.state.views2.size(), false);
  writeCounts();
  const int total = 3 * static_cast<int>(run_.state.views1.size() + run_.state.views2.size());
  run_.host.setProgressRange(0, total);
  run_.host.setProgressPosition(0);
  if (run_.mode() != 2) pairViews();
  if (!run_.options.b_DoViewStruct) return;
  writeIncompleteNotice();
  if (run_.mode() != 2) writeOnlyInFirst();
  if (run_.options.b_DoViewCommon) writeCommonViews();
  if (run_.options.b_DoViewSkipped) {
    writeNotProcessed(run_.database1, run_.state.views1);
    if (run_.mode() != 2) writeNotProcessed(run_.database2, run_.state.views2);
  }
}

// Read again by every run; Database 2 is not read in "Script database 1" mode.
void ViewListComparer::readLists() {
  ViewRunState& state = run_.state;
  const auto read = [](ViewDatabase& database, std::vector<std::string>& views, bool& complete) {
    views.clear();
    complete = true;
    if (database.reader != nullptr) complete = database.reader->listViews(views);
  };
  read(run_.database1, state.views1, state.complete1);
  if (run_.mode() != 2) {
    read(run_.database2, state.views2, state.complete2);
  } else {
    state.views2.clear();
    state.complete2 = true;
  }
  if (!listsComplete()) run_.recordError("views");
  state.nameWidth = 0;
  for (const auto* list : {&state.views1, &state.views2}) {
    for (const std::string& name : *list)
      state.nameWidth = std::max(state.nameWidth, static_cast<int>(escapeControls(name).size()));
  }
}

void ViewListComparer::writeCount(const ViewDatabase& database, bool complete, size_t count,
                                  const std::string& lead, ReportColour wordsColour) {
  const ReportColour colour = database.colour();
  if (!complete) {
    run_.out.write(lead + "The list of views could not be read completely from ", wordsColour);
    run_.out.write(reportText(run_.options, database.displayName), colour, false, kCounted);
    return;
  }
  const int n = static_cast<int>(count);
  run_.out.write(lead + std::to_string(n), colour);
  run_.out.write(countWords(n, "view", "views"), wordsColour);
  run_.out.write(reportText(run_.options, database.displayName), colour, false, kCounted);
}

// In the scripts the counts stand in a comment block, as the table counts do.
void ViewListComparer::writeCounts() {
  const ViewRunState& state = run_.state;
  if (run_.report()) {
    writeCount(run_.database1, state.complete1, state.views1.size(), kSectionStart, kBlack);
    writeCount(run_.database2, state.complete2, state.views2.size(), "\r\n", kBlack);
    return;
  }
  run_.out.write(kSectionStart + bannerTop() + "*  views\r\n*\r\n*  ", kGreen);
  writeCount(run_.database1, state.complete1, state.views1.size(), "", kGreen);
  if (run_.mode() == 1) {
    run_.out.write("\r\n*  ", kGreen);
    writeCount(run_.database2, state.complete2, state.views2.size(), "", kGreen);
  }
  run_.out.write(bannerBottom(), kGreen);
}

void ViewListComparer::writeIncompleteNotice() {
  if (listsComplete()) return;
  run_.out.write(kSectionStart + run_.options.s_DashComment +
                     "Views that exist in one database only are not listed, because a list of "
                     "views could not be read completely; the common views read in both are "
                     "compared",
                 kMaroon);
}

// The heading of a name list: "\r\n\r\n\r\n" + heading and the database's name in its colour; in
// the scripts the opening of a comment block (closeHeading ends it).
void ViewListComparer::writeHeading(const std::string& heading, const ViewDatabase* database) {
  if (run_.report()) {
    run_.out.write(kSectionStart + heading, kBlack);
  } else {
    run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment + heading, kGreen);
  }
  if (database != nullptr)
    run_.out.write(reportText(run_.options, database->displayName) + "\r\n", database->colour());
  if (!run_.report()) run_.out.write("*", kGreen);
}

void ViewListComparer::closeHeading() {
  if (!run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void ViewListComparer::pairViews() {
  const std::vector<std::string>& views1 = run_.state.views1;
  const std::vector<std::string>& views2 = run_.state.views2;
  const bool listMissing = run_.options.b_DoViewStruct && listsComplete();
  bool first = true;
  for (size_t i = 0; i < views2.size(); ++i) {
    run_.checkpoint();
    const std::string& name = views2[i];
    if (run_.options.IgnoreViews.contains(name)) continue;
    auto partner = std::find(views1.begin(), views1.end(), name);
    if (partner != views1.end()) {
      inBoth1_[static_cast<size_t>(partner - views1.begin())] = true;
      inBoth2_[i] = true;
      CommonTable view;
      view.firstName = *partner;
      view.secondName = name;
      run_.views.push_back(std::move(view));
      run_.host.addObject("VIEW." + name);
      run_.host.selectObject("VIEW." + name);
      run_.host.stepProgress();
      continue;
    }
    if (!listMissing) continue;
    run_.recordDifference("views");
    if (first) writeHeading("The following views DO NOT exist in ", &run_.database1);
    first = false;
    run_.out.write(listLine(run_.options, name), kRed);
  }
  if (!first) closeHeading();
}

void ViewListComparer::writeOnlyInFirst() {
  if (!listsComplete()) return;
  const std::vector<std::string>& views1 = run_.state.views1;
  bool first = true;
  for (size_t i = 0; i < views1.size(); ++i) {
    run_.checkpoint();
    const std::string& name = views1[i];
    if (inBoth1_[i] || run_.options.IgnoreViews.contains(name)) continue;
    run_.recordDifference("views");
    if (first) writeHeading("The following views DO NOT exist in ", &run_.database2);
    first = false;
    run_.out.write(listLine(run_.options, name), kBlue);
  }
  if (!first) closeHeading();
}

void ViewListComparer::writeCommonViews() {
  if (run_.views.empty()) return;
  writeHeading("The following views exist in both databases\r\n", nullptr);
  for (const CommonTable& view : run_.views)
    run_.out.write(listLine(run_.options, view.firstName), kGreen);
  closeHeading();
}

void ViewListComparer::writeNotProcessed(const ViewDatabase& database,
                                         const std::vector<std::string>& views) {
  bool written = false;
  for (const std::string& name : views) {
    run_.checkpoint();
    if (!run_.options.IgnoreViews.contains(name)) continue;
    if (!written) writeHeading("The following views were not processed in ", &database);
    written = true;
    run_.out.write(listLine(run_.options, name), database.colour());
  }
  if (written) closeHeading();
}

}  // namespace velmora
