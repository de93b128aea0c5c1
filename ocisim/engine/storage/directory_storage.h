// DirectoryStorage: keeps an ocisim database durable in a directory (the PersistenceHook the
// executor calls around every statement). The directory holds `snapshot` (the whole database
// at one generation), `journal` (the statements committed since, appended and synced before
// each statement returns) and `lock` (flock: shared for a reading statement, exclusive for a
// writing one, so writers of several processes take turns). At the start of each statement
// the storage applies what other processes committed since its last look: the new tail of the
// journal, or, when the journal was compacted meanwhile, the rest of the old journal and the
// new one. The file format is described in README.md in this folder.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/exec/database.h"
#include "engine/exec/persistence.h"
#include "engine/storage/file_util.h"
#include "engine/storage/record_codec.h"

namespace ocisim::storage {

// When the journal is folded into a new snapshot (checked after each commit).
struct CompactionPolicy {
  // Row operations in the journal beyond which it is compacted once they also exceed
  // rowFactor times the rows the database holds: a journal of inserts alone is as quick to
  // read as a snapshot and is left alone; one full of updates and deletes is not.
  uint64_t minRowRecords = 200000;
  double rowFactor = 2.0;
  // Catalog changes in the journal beyond which it is compacted once they also exceed the size
  // of the snapshot (so that the work of compacting stays in proportion to the statements).
  uint64_t maxCatalogBytes = 8u << 20;
};

class DirectoryStorage : public PersistenceHook {
 public:
  // A new database in `directory` (created when missing) holding db's current state. Throws
  // ORA-01501 when the directory already holds one.
  static std::unique_ptr<DirectoryStorage> create(Database& db, const std::string& directory);
  // Loads the database kept in `directory` into the empty `db`. ORA-01034 when there is none.
  static std::unique_ptr<DirectoryStorage> open(Database& db, const std::string& directory);
  ~DirectoryStorage() override;

  void beginStatement(Database& db, bool writes) override;
  void commit(Database& db, const CommitRecord& record) override;
  void endStatement(Database& db) noexcept override;

  // Writes a new snapshot of db and starts an empty journal. Takes the exclusive lock unless a
  // writing statement holds it. Throws ORA- errors (the database stays as it was).
  void compact(Database& db);
  void setCompactionPolicy(const CompactionPolicy& policy) { policy_ = policy; }

  // Checks every statement that declares the tables its catalog change is confined to
  // (CommitRecord::catalogTables) against a diff of the whole catalog, and writes the whole
  // diff when the declaration missed something. On in builds with assertions, and in tests.
  void setVerifyCatalogScopes(bool on) { verifyScopes_ = on; }

  // For tests and diagnostics.
  uint64_t generation() const { return stateGen_; }
  uint64_t journalBytes() const { return applied_; }
  const JournalStats& journalStats() const { return stats_; }
  // Statements whose declared catalog scope missed a change (found by the verification).
  uint64_t catalogScopeMisses() const { return scopeMisses_; }

 private:
  explicit DirectoryStorage(const std::string& directory);
  void openLockFile();
  void catchUp(Database& db);
  bool followReplacedFiles(Database& db, bool snapshotChanged, bool journalChanged,
                           bool journalExists);
  void fullReload(Database& db);
  uint64_t loadSnapshot(Database& db);
  void adoptJournal(Fd fd, const FileHeader& header);
  CatalogDelta catalogDelta(const Database& db, const CommitRecord& record);
  void applyTail(Database& db);
  void prepareForWrite();
  void createJournal(uint64_t generation);
  void writeSnapshotFile(Database& db, uint64_t generation);
  bool shouldCompact(const Database& db) const;
  void unlock() noexcept;

  std::string directory_;
  std::string lockPath_;
  std::string snapshotPath_;
  std::string journalPath_;
  pid_t pid_;  // the process that opened the lock file (a forked child opens its own)
  Fd lock_;
  int held_ = 0;  // LOCK_SH, LOCK_EX or 0

  uint64_t stateGen_ = 0;  // the snapshot generation the in-memory state derives from
  FileId snapshotId_;
  Fd journal_;  // the journal file read so far (its generation: journalGen_)
  FileId journalId_;
  uint64_t journalGen_ = 0;
  uint32_t journalVersion_ = kFormatVersion;
  bool journalWritable_ = false;
  uint64_t snapshotBytes_ = 0;
  uint64_t applied_ = 0;  // end of the last committed statement of journal_ applied
  JournalStats stats_;
  bool needsReload_ = false;  // memory may differ from the files: reload before going on
  CompactionPolicy policy_;
  CatalogShadow shadow_;  // the catalog as the files hold it
#ifdef NDEBUG
  bool verifyScopes_ = false;
#else
  bool verifyScopes_ = true;
#endif
  uint64_t scopeMisses_ = 0;
};

}  // namespace ocisim::storage

namespace ocisim {

// The storage hook of DatabaseHooks (database.h): when `create`, a new DirectoryStorage holding
// db's bootstrapped state (DirectoryStorage::create); otherwise db loaded from the directory
// (DirectoryStorage::open).
std::unique_ptr<PersistenceHook> attachStorage(Database& db, const std::string& directory,
                                               bool create);

}  // namespace ocisim
