#include "data/read_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace velmora {
namespace {

// Rows "1", "2", ... up to `rows`, then the end, an error or an exception.
class CountingSource : public RowSource {
 public:
  enum class End { Rows, Error, Throw, Never };
  CountingSource(long rows, End end) : rows_(rows), end_(end) {}
  bool next(DataRow& row) override {
    if (read_ >= rows_ && end_ != End::Never) {
      if (end_ == End::Throw) throw std::runtime_error("stopped");
      if (end_ == End::Error) error_ = "ORA-01013: user requested cancel of current operation";
      return false;
    }
    ++read_;
    row.resize(2);
    row[0] = {std::to_string(read_.load()), false, FieldKind::Number};
    row[1] = {std::string(static_cast<size_t>(read_ % 7), 'x'), read_ % 5 == 0, FieldKind::Text};
    return true;
  }
  const std::string& error() const override { return error_; }
  long read() const { return read_.load(); }

 private:
  long rows_;
  End end_;
  std::atomic<long> read_{0};
  std::string error_;
};

// Reads everything through a ReadAhead: the keys in order, and whether it threw.
std::vector<long> drain(RowSource& source, size_t batchRows, bool* threw, std::string* error) {
  std::vector<long> keys;
  ReadAhead ahead(source, batchRows);
  DataRow row;
  *threw = false;
  try {
    while (ahead.next(row)) {
      keys.push_back(std::stol(row[0].text));
      EXPECT_EQ(row[1].null, keys.back() % 5 == 0);
      EXPECT_EQ(row[1].text.size(), static_cast<size_t>(keys.back() % 7));
    }
    EXPECT_FALSE(ahead.next(row));  // the end stays the end
  } catch (const std::runtime_error& e) {
    *threw = true;
    EXPECT_STREQ(e.what(), "stopped");
  }
  *error = ahead.error();
  return keys;
}

TEST(ReadAheadTest, HandsOverEveryRowInOrderThenTheSourcesEnd) {
  for (size_t batch : {size_t{1}, size_t{3}, size_t{256}}) {
    for (long rows : {0L, 1L, 3L, 4L, 1000L}) {
      for (auto end :
           {CountingSource::End::Rows, CountingSource::End::Error, CountingSource::End::Throw}) {
        SCOPED_TRACE("batch " + std::to_string(batch) + ", rows " + std::to_string(rows) +
                     ", end " + std::to_string(static_cast<int>(end)));
        CountingSource source(rows, end);
        bool threw = false;
        std::string error;
        const std::vector<long> keys = drain(source, batch, &threw, &error);
        ASSERT_EQ(keys.size(), static_cast<size_t>(rows));
        for (long i = 0; i < rows; ++i) ASSERT_EQ(keys[static_cast<size_t>(i)], i + 1);
        // An error or an exception comes after every row read before it, never in their place.
        EXPECT_EQ(threw, end == CountingSource::End::Throw);
        EXPECT_EQ(!error.empty(), end == CountingSource::End::Error);
      }
    }
  }
}

TEST(ReadAheadTest, LeavingEarlyStopsTheReaderWithoutReadingOn) {
  CountingSource endless(0, CountingSource::End::Never);
  {
    ReadAhead ahead(endless, 16);
    DataRow row;
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(ahead.next(row));
    EXPECT_EQ(row[0].text, "100");
  }
  // At most the batch being read, one ready and one handed out: the reader did not run on.
  const long read = endless.read();
  EXPECT_LE(read, 100 + 3 * 16);
  EXPECT_EQ(endless.read(), read);

  CountingSource untouched(0, CountingSource::End::Never);
  { ReadAhead unused(untouched, 4); }  // destroyed before a row was asked for
  EXPECT_LE(untouched.read(), 3 * 4);
}

}  // namespace
}  // namespace velmora
