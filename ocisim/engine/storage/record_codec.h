// The records the storage writes, as frames: what one committed statement changed (its
// CommitRecord: catalog image, rewritten tables, row operations, sequence states, commit
// mark) and a whole-database snapshot; and the applier that replays such frames into a
// Database (loading a snapshot, replaying a journal, catching up with another process).
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/exec/database.h"
#include "engine/storage/catalog_delta.h"
#include "engine/storage/frame_io.h"

namespace ocisim::storage {

// What a journal holds since its snapshot, to decide when to compact it.
struct JournalStats {
  uint64_t rowRecords = 0;    // row operations (inserts, updates, deletes, rewritten rows)
  uint64_t catalogBytes = 0;  // bytes of catalog images and deltas
  uint64_t statements = 0;    // commit marks
};

// Writes the frames of one committed statement, ending with its commit mark (not synced).
// `catalog`: the statement's catalog changes (required when record.catalogChanged).
void writeStatement(FrameWriter& out, const Database& db, const CommitRecord& record,
                    const CatalogDelta* catalog, uint64_t statementNumber, JournalStats& stats);
// Writes a whole database: identity, catalog, every table's rows, end mark (not synced).
void writeSnapshot(FrameWriter& out, const Database& db);

// Applies frames in file order. Throws CorruptData when a frame does not fit the database
// (an unknown table, a row slot in the wrong state). A valid `shadow` follows the catalog
// deltas applied; a whole catalog image makes it invalid (the caller rebuilds it).
class FrameApplier {
 public:
  explicit FrameApplier(Database& db, JournalStats* stats = nullptr,
                        CatalogShadow* shadow = nullptr);
  ~FrameApplier();
  FrameApplier(const FrameApplier&) = delete;
  FrameApplier& operator=(const FrameApplier&) = delete;

  void apply(const FrameReader::Frame& frame);
  // True after a SnapshotEnd frame.
  bool sawSnapshotEnd() const { return sawSnapshotEnd_; }

 private:
  struct Loader;
  void applyRowChanges(ByteReader& in);
  void applySequences(ByteReader& in);
  void resetTable(ByteReader& in);
  void finishLoad();
  Table& tableById(ObjectId id);

  Database& db_;
  JournalStats* stats_;
  CatalogShadow* shadow_;
  std::unordered_map<ObjectId, Table*> tables_;
  std::unique_ptr<Loader> loader_;
  bool sawSnapshotEnd_ = false;
};

}  // namespace ocisim::storage
