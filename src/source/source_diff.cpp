#include "source/source_diff.h"

#include <cstdint>
#include <unordered_map>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "base/run_control.h"

namespace velmora {

namespace {

bool isSourceSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where each key of both lists occurs, for finding the next occurrence in constant time. Every
// line gets the number of its key (the same number in both lists for the same key); per list
// and key the positions of that key are kept in ascending order, and a head marks the first
// position not consumed yet. Lines are consumed from the front only, so the line consumed is
// always the head of its key's queue.
class KeyIndex {
 public:
  KeyIndex(const std::vector<std::string>& lines1, const std::vector<std::string>& lines2,
           const LineKeyRules& rules) {
    std::unordered_map<std::string_view, uint32_t> numbers;
    numbers.reserve(lines1.size() + lines2.size());
    const auto number = [&](const std::string& line) {
      auto [it, added] = numbers.try_emplace(lineKey(line, rules), keyCount_);
      if (added) ++keyCount_;
      return it->second;
    };
    sides_[0].ids.reserve(lines1.size());
    for (const std::string& line : lines1) sides_[0].ids.push_back(number(line));
    sides_[1].ids.reserve(lines2.size());
    for (const std::string& line : lines2) sides_[1].ids.push_back(number(line));
    sides_[0].build(keyCount_);
    sides_[1].build(keyCount_);
  }

  // Distance from `head` of `side` to the next line whose key is the key of line `at` of the
  // other side; -1 when the rest of `side` has no such line.
  int next(int side, size_t at, size_t head) const {
    const Side& other = sides_[1 - side];
    const Side& own = sides_[side];
    const uint32_t id = other.ids[at];
    const uint32_t first = own.heads[id];
    if (first == own.starts[id + 1]) return -1;
    return static_cast<int>(own.positions[first] - head);
  }

  // Line `at` of `side` is consumed (it is the head of its key's queue).
  void consume(int side, size_t at) { ++sides_[side].heads[sides_[side].ids[at]]; }

 private:
  struct Side {
    std::vector<uint32_t> ids;        // key number per line
    std::vector<uint32_t> starts;     // per key: where its positions begin (keys + 1 entries)
    std::vector<uint32_t> heads;      // per key: its first position not consumed
    std::vector<uint32_t> positions;  // line positions grouped by key, ascending within a key

    void build(uint32_t keys) {
      starts.assign(keys + 1, 0);
      for (uint32_t id : ids) ++starts[id + 1];
      for (uint32_t k = 0; k < keys; ++k) starts[k + 1] += starts[k];
      heads.assign(starts.begin(), starts.end() - 1);
      positions.resize(ids.size());
      std::vector<uint32_t> fill(heads);
      for (uint32_t at = 0; at < ids.size(); ++at) positions[fill[ids[at]]++] = at;
    }
  };

  Side sides_[2];
  uint32_t keyCount_ = 0;
};

}  // namespace

std::string_view lineKey(std::string_view line, const LineKeyRules& rules) {
  if (rules.numbered) {
    const size_t blank = line.find(' ');
    line = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  }
  if (rules.ignoreSpaces) {
    while (!line.empty() && isSourceSpace(line.front())) line.remove_prefix(1);
    while (!line.empty() && isSourceSpace(line.back())) line.remove_suffix(1);
  }
  return line;
}

int findLine(std::string_view line, const std::vector<std::string>& lines,
             const LineKeyRules& rules, size_t from) {
  const std::string_view key = lineKey(line, rules);
  for (size_t at = from; at < lines.size(); ++at) {
    if (lineKey(lines[at], rules) == key) return static_cast<int>(at - from);
  }
  return -1;
}

void SourceDiff::writeSourceLine(const std::string& line, ReportColour colour) {
  out_.write(colour == kBlue ? "< " : "> ", kBlack, false, kNotCounted);
  std::string_view body = line;
  std::string end;
  if (body.size() >= 2 && body.substr(body.size() - 2) == "\r\n") {
    body.remove_suffix(2);
    end = "\r\n";
  }
  out_.write(escapeControls(body, "\t") + end, colour, false, kCounted);
}

void SourceDiff::writeSourceDifferenceHeader() {
  out_.write(std::string(kSectionStart) + "Differences found in " + names_.kind + " ", kBlack,
             false, kNotCounted);
  out_.write(escapeControls(names_.object) + "\r\n\r\n", kGreen, false, kCounted);
  if (headingExtra_) headingExtra_();
}

bool SourceDiff::diffLines(std::vector<std::string>& lines1, std::vector<std::string>& lines2,
                           bool headerPending) {
  skipped_ = false;
  KeyIndex keys(lines1, lines2, rules_);
  const size_t n1 = lines1.size(), n2 = lines2.size();
  size_t h1 = 0, h2 = 0;
  const auto header = [&] {
    if (!headerPending) return;
    writeSourceDifferenceHeader();
    headerPending = false;
  };
  const auto take1 = [&](bool write) {
    if (write) writeSourceLine(lines1[h1], kBlue);
    keys.consume(0, h1++);
  };
  const auto take2 = [&](bool write) {
    if (write) writeSourceLine(lines2[h2], kRed);
    keys.consume(1, h2++);
  };
  const auto finish = [&] {
    lines1.clear();
    lines2.clear();
  };
  for (;;) {
    if (control_ != nullptr) {
      control_->checkpoint();
      if (control_->skipRequested() && control_->takeSkipRequest()) {
        out_.write(
            "\r\n" + names_.capitalisedKind + " " + escapeControls(names_.object) + " Skipped ...",
            kMaroon, false, kCounted);
        skipped_ = true;
        finish();
        return headerPending;
      }
    }
    if (h1 < n1 && h2 < n2) {
      const int i = keys.next(1, h1, h2);  // Database 1's first line in Database 2's rest
      if (i == 0) {
        take1(false);
        take2(false);
        continue;
      }
      const int j = keys.next(0, h2, h1);  // Database 2's first line in Database 1's rest
      header();
      if (i < 0 && j < 0) {
        take2(true);
        take1(true);
        continue;
      }
      const long long di = i < 0 ? 1000000000LL : i;
      const long long dj = j < 0 ? 1000000000LL : j;
      if (di >= dj) {
        for (int k = 0; k < j; ++k) take1(true);
      } else {
        for (int k = 0; k < i; ++k) take2(true);
      }
      continue;
    }
    if (h1 < n1) {
      header();
      while (h1 < n1) take1(true);
      finish();
      return false;
    }
    if (h2 < n2) {
      header();
      while (h2 < n2) take2(true);
      finish();
      return false;
    }
    finish();
    return headerPending;
  }
}

}  // namespace velmora
