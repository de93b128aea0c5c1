#include "data/data_merge.h"

#include <gtest/gtest.h>

#include "base/recording_host.h"

namespace velmora {
namespace {

class ListSource : public RowSource {
 public:
  ListSource(std::vector<DataRow> rows, std::string failAtEnd = "")
      : rows_(std::move(rows)), failAtEnd_(std::move(failAtEnd)) {}
  bool next(DataRow& row) override {
    if (next_ >= rows_.size()) {
      error_ = failAtEnd_;
      return false;
    }
    row = rows_[next_++];
    return true;
  }
  const std::string& error() const override { return error_; }

 private:
  std::vector<DataRow> rows_;
  std::string failAtEnd_, error_;
  size_t next_ = 0;
};

DataRow row(const std::string& key, const std::string& value) {
  return {{key, false, FieldKind::Number}, {value, false, FieldKind::Text}};
}

// The differences as "<1 a" / ">2 b" / "~1 a/b" for easy reading.
class Recorder {
 public:
  explicit Recorder(int keyCount, int mode = 1) : key_(keyCount) {
    options_.i_DoingUpgradeScript = mode;
    options_.setDerivedValues();
    DataObject object;
    object.name = "T";
    object.columnNames = {"K", "V"};
    object.keyCount = keyCount;
    writer_ = std::make_unique<DataDifferenceWriter>(out_, options_, object);
  }
  MergeEnd merge(std::vector<DataRow> one, std::vector<DataRow> two, std::string fail2 = "") {
    ListSource first(std::move(one)), second(std::move(two), std::move(fail2));
    MergeHooks hooks;
    hooks.skipRequested = [this] { return ++rows_ > skipAfter; };
    return mergeRows(first, second, key_, options_, *writer_, hooks, &failed);
  }
  std::string text() const { return out_.text(); }
  int count(const std::string& word) const {
    int n = 0;
    for (size_t at = text().find(word); at != std::string::npos; at = text().find(word, at + 1))
      ++n;
    return n;
  }

  int skipAfter = 1000;
  int failed = 0;

 private:
  int key_;
  ComparisonOptions options_;
  RecordingWriter out_;
  std::unique_ptr<DataDifferenceWriter> writer_;
  int rows_ = 0;
};

TEST(MergeRows, KeyedRowsBecomeInsertsUpdatesAndDeletes) {
  Recorder r(1);
  EXPECT_EQ(r.merge({row("1", "a"), row("2", "b"), row("9", "x"), row("10", "y")},
                    {row("2", "B"), row("3", "c"), row("10", "y")}),
            MergeEnd::Finished);
  EXPECT_EQ(r.count("INSERT"), 2);  // 1 and 9
  EXPECT_EQ(r.count("UPDATE"), 1);  // 2
  EXPECT_EQ(r.count("DELETE"), 1);  // 3
  EXPECT_NE(r.text().find("VALUES (9, 'x')"), std::string::npos) << "9 sorts before 10";
}

TEST(MergeRows, DuplicateRowsWithoutKeyComeOutAsAMultiset) {
  Recorder r(0);
  EXPECT_EQ(r.merge({row("1", "a"), row("1", "a"), row("1", "a")}, {row("1", "a"), row("2", "b")}),
            MergeEnd::Finished);
  EXPECT_EQ(r.count("INSERT INTO T"), 2);
  EXPECT_EQ(r.count("DELETE FROM T\r\nWHERE \"K\" = 2 and \"V\" = 'b' and ROWNUM = 1;"), 1);
  EXPECT_EQ(r.count("UPDATE"), 0);
}

// A stream cut short is not the end of the rows: nothing more is written from the other one.
TEST(MergeRows, AFailedStreamWritesNothingAfterTheFailure) {
  Recorder r(1);
  EXPECT_EQ(r.merge({row("1", "a"), row("2", "b"), row("3", "c")}, {row("1", "a")}, "ORA-03113"),
            MergeEnd::Failed);
  EXPECT_EQ(r.failed, 2);
  EXPECT_EQ(r.text(), "");
}

TEST(MergeRows, SkipEndsTheMerge) {
  Recorder r(0, 0);
  r.skipAfter = 1;
  EXPECT_EQ(r.merge({row("1", "a"), row("2", "b"), row("3", "c")}, {}), MergeEnd::Skipped);
  EXPECT_EQ(r.count("< "), 1);
}

}  // namespace
}  // namespace velmora
