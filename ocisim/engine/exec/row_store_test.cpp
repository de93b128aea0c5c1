#include "engine/exec/row_store.h"

#include <gtest/gtest.h>

namespace ocisim {
namespace {

Row row(int64_t a, const char* b) {
  return {Value::integer(a), Value::text(b)};
}

std::vector<int64_t> keysInOrder(const TableData& data, const TableIndex& index) {
  std::vector<int64_t> out;
  for (RowId id : index) out.push_back(*data.row(id)[0].asNumber().toInt64());
  return out;
}

TEST(RowStore, InsertEraseUpdateKeepCountsAndReuseSlots) {
  TableData data(2);
  RowId a = data.insert(row(1, "a"));
  RowId b = data.insert(row(2, "b"));
  EXPECT_EQ(data.rowCount(), 2u);
  Row old = data.erase(a);
  EXPECT_EQ(old[1].asText(), "a");
  EXPECT_EQ(data.row(a), nullptr);
  RowId c = data.insert(row(3, "c"));
  EXPECT_EQ(c, a) << "a freed slot is reused";
  Row before = data.update(b, row(20, "bb"));
  EXPECT_EQ(before[1].asText(), "b");
  EXPECT_EQ(data.row(b)[1].asText(), "bb");
  EXPECT_EQ(data.rowCount(), 2u);
}

TEST(RowStore, IndexOrdersRowsAndFollowsUpdates) {
  TableData data(2);
  for (int64_t k : {5, 1, 9, 3}) data.insert(row(k, "x"));
  TableIndex& index = data.createIndex("IX", {0}, {false});
  EXPECT_EQ(keysInOrder(data, index), (std::vector<int64_t>{1, 3, 5, 9}));
  RowId id = *index.begin();  // key 1
  data.update(id, row(7, "y"));
  EXPECT_EQ(keysInOrder(data, index), (std::vector<int64_t>{3, 5, 7, 9}));
  std::vector<Value> probe = {Value::integer(7)};
  auto it = index.seek(probe, -1);
  ASSERT_NE(it, index.end());
  EXPECT_EQ(*it, id);
  EXPECT_EQ(index.seek(probe, +1) == index.end(), false);
  EXPECT_EQ(*data.row(*index.seek(probe, +1))[0].asNumber().toInt64(), 9);
}

TEST(RowStore, DescendingIndexAndEqualKeyCount) {
  TableData data(2);
  data.insert(row(1, "a"));
  RowId dup = data.insert(row(2, "a"));
  data.insert(row(2, "b"));
  data.insert({Value(), Value::text("n")});
  TableIndex& desc = data.createIndex("D", {0}, {true});
  std::vector<Value> first;
  for (RowId id : desc) first.push_back(data.row(id)[0]);
  EXPECT_TRUE(first[0].isNull()) << "NULL sorts high, so first when descending";
  EXPECT_EQ(*first[1].asNumber().toInt64(), 2);
  TableIndex& byKey = data.createIndex("K", {0}, {false});
  EXPECT_EQ(byKey.countEqualKeys(dup), 2u);
}

TEST(RowStore, AddAndDropColumnReshapeRows) {
  TableData data(2);
  RowId id = data.insert(row(1, "a"));
  data.addColumn(Value::text("fill"));
  ASSERT_EQ(data.columnCount(), 3u);
  EXPECT_EQ(data.row(id)[2].asText(), "fill");
  data.dropColumn(0);
  ASSERT_EQ(data.columnCount(), 2u);
  EXPECT_EQ(data.row(id)[0].asText(), "a");
  EXPECT_EQ(data.row(id)[1].asText(), "fill");
}

TEST(RowStore, ManyRowsSpanChunks) {
  TableData data(1);
  for (int i = 0; i < 5000; ++i) data.insert({Value::integer(i)});
  data.createIndex("IX", {0}, {false});
  EXPECT_EQ(data.rowCount(), 5000u);
  EXPECT_EQ(*data.row(4321)[0].asNumber().toInt64(), 4321);
  data.clear();
  EXPECT_EQ(data.rowCount(), 0u);
  EXPECT_EQ(data.findIndex("IX")->size(), 0u);
}

}  // namespace
}  // namespace ocisim
