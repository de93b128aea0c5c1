// Durability of the sequence numbers a streaming query draws with NEXTVAL. A query holds the
// database lock only while it fetches, so every number handed out must be covered by a durable
// write before each fetch returns (another process, or a reload after a crash, must never hand it
// out again). Writing the sequence after every row cost one journal sync per row; instead the
// first fetch writes the sequence as it is, and later fetches write a reservation ahead of the
// numbers drawn (the state another process would start from), growing geometrically, so a
// query of n rows makes O(log n) writes. When the query ends, the unused part of a reservation
// is given back if nobody else drew from the sequence meanwhile. A cursor closed early leaves
// its reservation: other processes and a reopened database continue after it, as Oracle's
// cached sequence numbers are lost. Owned by one QueryCursor; runs under the database lock.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "engine/exec/catalog_objects.h"
#include "engine/value/decimal.h"

namespace ocisim {

class Database;

class QuerySequenceWriter {
 public:
  explicit QuerySequenceWriter(Database& db) : db_(db) {}

  // At the start of a fetch, after the storage applied what others committed: a reservation
  // whose sequence moved in the meantime (another session or process drew from it and wrote
  // its own state) no longer covers anything.
  void beforeFetch();
  // At the end of a fetch (or of the query's start): `touched` are the sequences NEXTVAL
  // advanced since the last call; `finished` when the query has no more rows. Makes the
  // numbers drawn durable with at most one write.
  void afterFetch(const std::vector<ObjectId>& touched, bool finished);

  // Largest block of numbers reserved by one write.
  static constexpr int64_t kMaxBlock = 65536;

 private:
  struct Reservation {
    Decimal reservedTo;    // the durable next value this query wrote
    Decimal expectedNext;  // the in-memory next value when this query last looked
    int64_t block = 0;     // size of the last reservation (0: the last write was the real state)
    bool valid = false;    // reservedTo is still the durable state
  };
  bool covers(const Sequence& s, const Reservation& r) const;

  Database& db_;
  std::map<ObjectId, Reservation> reservations_;
};

}  // namespace ocisim
