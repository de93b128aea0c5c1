#include "engine/storage/directory_storage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <tuple>

namespace ocisim::storage {
namespace {

OraError serializeError() {
  return OraError::withText(8177, "can't serialize access for this transaction");
}

// Applies frames, turning a frame that does not fit the database into ORA-01578. Any failure
// leaves memory half-updated: the caller must reload before the next statement.
template <class Fn>
void guarded(const std::string& path, const FrameReader::Frame& frame, bool& needsReload, Fn fn) {
  needsReload = true;
  try {
    fn();
  } catch (const CorruptData& e) {
    throw corruptError(path, frame.offset, e.what());
  } catch (const std::logic_error& e) {
    throw corruptError(path, frame.offset, e.what());
  }
  needsReload = false;
}

}  // namespace

DirectoryStorage::DirectoryStorage(const std::string& directory)
    : directory_(directory),
      lockPath_(directory + "/lock"),
      snapshotPath_(directory + "/snapshot"),
      journalPath_(directory + "/journal"),
      pid_(::getpid()) {}

DirectoryStorage::~DirectoryStorage() {
  unlock();
}

std::unique_ptr<DirectoryStorage> DirectoryStorage::create(Database& db,
                                                           const std::string& directory) {
  std::error_code ec;
  bool existed = std::filesystem::exists(directory, ec);
  std::filesystem::create_directories(directory, ec);
  // The files hold the users' passwords: a directory made here is its owner's alone.
  if (!ec && !existed) ::chmod(directory.c_str(), kDirectoryMode);
  if (ec) {
    throw OraError::withText(27040, "file create error, unable to create file " + directory +
                                        "\nLinux-x86_64 Error: " + std::to_string(ec.value()) +
                                        ": " + ec.message());
  }
  std::unique_ptr<DirectoryStorage> s(new DirectoryStorage(directory));
  s->openLockFile();
  lockFile(s->lock_.get(), LOCK_EX, s->lockPath_);
  s->held_ = LOCK_EX;
  try {
    if (pathExists(s->snapshotPath_)) {
      throw OraError::withText(
          1501, "CREATE DATABASE failed\nORA-01100: database already mounted (" + directory +
                    " holds a database)");
    }
    s->writeSnapshotFile(db, 1);
    s->createJournal(1);
    s->shadow_.rebuild(db.catalog());
  } catch (...) {
    s->unlock();
    throw;
  }
  s->unlock();
  return s;
}

std::unique_ptr<DirectoryStorage> DirectoryStorage::open(Database& db,
                                                         const std::string& directory) {
  std::unique_ptr<DirectoryStorage> s(new DirectoryStorage(directory));
  if (!pathExists(s->snapshotPath_)) {
    throw OraError::withText(1034, "ORACLE not available\nno database in directory " + directory);
  }
  s->openLockFile();
  lockFile(s->lock_.get(), LOCK_SH, s->lockPath_);
  s->held_ = LOCK_SH;
  try {
    s->fullReload(db);
  } catch (...) {
    s->unlock();
    throw;
  }
  s->unlock();
  return s;
}

void DirectoryStorage::openLockFile() {
  pid_ = ::getpid();
  held_ = 0;
  lock_ = openFile(lockPath_, O_RDWR | O_CREAT);
  if (!lock_.valid()) lock_ = openFile(lockPath_, O_RDONLY);  // a read-only directory
  if (!lock_.valid()) throw openError(lockPath_, errno);
}

void DirectoryStorage::unlock() noexcept {
  if (held_ != 0 && lock_.valid()) ::flock(lock_.get(), LOCK_UN);
  held_ = 0;
}

// ---- statements ----

void DirectoryStorage::beginStatement(Database& db, bool writes) {
  // flock belongs to the open file description, which a forked child shares with its parent:
  // the child needs its own or the two would not exclude each other.
  if (::getpid() != pid_) openLockFile();
  int operation = writes ? LOCK_EX : LOCK_SH;
  lockFile(lock_.get(), operation, lockPath_);
  held_ = operation;
  try {
    catchUp(db);
    // A journal of an older format takes no new frames (an older program could misread
    // them): fold it into a snapshot and go on with a journal of this format.
    if (writes && journal_.valid() && journalGen_ == stateGen_ &&
        journalVersion_ < kFormatVersion && journalWritable_) {
      compact(db);
    }
  } catch (...) {
    unlock();
    throw;
  }
}

void DirectoryStorage::endStatement(Database&) noexcept {
  unlock();
}

void DirectoryStorage::commit(Database& db, const CommitRecord& record) {
  if (held_ != LOCK_EX) {
    // NEXTVAL in a query commits under the shared lock. Converting it to an exclusive one
    // lets another writer in for a moment; if one got in, the numbers this statement drew
    // may clash with its own, so the statement fails instead of handing them out.
    uint64_t gen = stateGen_;
    uint64_t at = applied_;
    FileId id = journalId_;
    lockFile(lock_.get(), LOCK_EX, lockPath_);
    held_ = LOCK_EX;
    catchUp(db);
    if (stateGen_ != gen || applied_ != at || !(journalId_ == id)) throw serializeError();
  }
  prepareForWrite();
  std::optional<CatalogDelta> delta;
  if (record.catalogChanged) delta = catalogDelta(db, record);
  FrameWriter out(journal_.get(), journalPath_, applied_);
  JournalStats stats = stats_;
  try {
    writeStatement(out, db, record, delta ? &*delta : nullptr, stats.statements + 1, stats);
    out.sync();
  } catch (...) {
    // Take the partial statement off the journal; if that fails too, the next writer cuts it
    // (readers never apply a statement without its commit mark).
    try {
      truncateFile(journal_.get(), applied_, journalPath_);
    } catch (const std::exception&) {
      // Other processes could read the statement if its commit mark reached the file: follow
      // the files rather than the executor's undo.
      needsReload_ = true;
    }
    // The executor undoes row changes; a catalog change or rewritten table is undone by
    // reloading the files before the next statement.
    if (record.catalogChanged || !record.rewrittenTables.empty()) needsReload_ = true;
    throw;
  }
  applied_ = out.offset();
  stats_ = stats;
  if (delta) shadow_.apply(*delta);
  if (shouldCompact(db)) {
    try {
      compact(db);
    } catch (const std::exception&) {
      // The statement is committed; compaction is tried again after the next one.
    }
  }
}

// What the statement changed in the catalog: the records of the tables it declared, or
// (declaring nothing) every record that differs from what the files hold.
CatalogDelta DirectoryStorage::catalogDelta(const Database& db, const CommitRecord& record) {
  if (!shadow_.valid()) shadow_.rebuild(db.catalog());  // not expected: memory follows the files
  std::vector<NameKey> tables(record.catalogTables.begin(), record.catalogTables.end());
  std::optional<CatalogDelta> scoped;
  if (!tables.empty()) scoped = shadow_.diffTables(db.catalog(), tables);
  if (!scoped) return shadow_.diff(db.catalog());
  if (verifyScopes_) {
    CatalogDelta all = shadow_.diff(db.catalog());
    auto entryKey = [](const DeltaEntry& e) {
      return std::make_tuple(static_cast<int>(e.kind), e.put, e.key, e.record);
    };
    std::set<std::tuple<int, bool, std::string, std::string>> a;
    std::set<std::tuple<int, bool, std::string, std::string>> b;
    for (const DeltaEntry& e : scoped->entries) a.insert(entryKey(e));
    for (const DeltaEntry& e : all.entries) b.insert(entryKey(e));
    if (a != b) {
      ++scopeMisses_;
      return all;
    }
  }
  return std::move(*scoped);
}

// ---- following other processes ----

void DirectoryStorage::catchUp(Database& db) {
  if (needsReload_) {
    fullReload(db);
    return;
  }
  FileId snapshotId;
  FileId journalId;
  if (!fileIdOfPath(snapshotPath_, snapshotId)) {
    throw corruptError(snapshotPath_, 0, "the snapshot file is missing");
  }
  bool journalExists = fileIdOfPath(journalPath_, journalId);
  bool snapshotChanged = !(snapshotId == snapshotId_);
  bool journalChanged =
      journal_.valid() ? !journalExists || !(journalId == journalId_) : journalExists;
  bool ours = journal_.valid() && journalGen_ == stateGen_;
  if (ours) applyTail(db);  // once replaced, the journal we hold is final: finish it first
  if (snapshotChanged || journalChanged) {
    if (!followReplacedFiles(db, snapshotChanged, journalChanged, journalExists)) fullReload(db);
  }
}

// Moves to the files another process put in place: a compaction (new snapshot one generation
// on, new journal) or a journal replacing a stale one. False when this process missed a
// generation and must reload everything.
bool DirectoryStorage::followReplacedFiles(Database& db, bool snapshotChanged, bool journalChanged,
                                           bool journalExists) {
  if (snapshotChanged) {
    Fd fd = openFile(snapshotPath_, O_RDONLY);
    if (!fd.valid()) throw openError(snapshotPath_, errno);
    FileHeader header = readFileHeader(fd.get(), snapshotPath_, FileKind::Snapshot);
    bool finishedOurs = journal_.valid() && journalGen_ == stateGen_;
    if (!finishedOurs || header.generation != stateGen_ + 1) return false;
    stateGen_ = header.generation;  // the new snapshot is exactly what we hold now
    snapshotId_ = fileIdOf(fd.get());
    snapshotBytes_ = fileSize(fd.get(), snapshotPath_);
  }
  if (!journalChanged) return true;
  if (!journalExists) {
    journal_.reset();
    journalGen_ = 0;
    return true;
  }
  bool writable = true;
  Fd fd = openFile(journalPath_, O_RDWR);
  if (!fd.valid() && (errno == EACCES || errno == EROFS)) {
    writable = false;
    fd = openFile(journalPath_, O_RDONLY);
  }
  if (!fd.valid()) throw openError(journalPath_, errno);
  FileHeader header = readFileHeader(fd.get(), journalPath_, FileKind::Journal);
  if (header.generation > stateGen_) return false;
  adoptJournal(std::move(fd), header);
  journalWritable_ = writable;
  if (journalGen_ == stateGen_) applyTail(db);
  return true;
}

void DirectoryStorage::fullReload(Database& db) {
  needsReload_ = true;
  journal_.reset();
  journalGen_ = 0;
  applied_ = 0;
  stats_ = {};
  shadow_.clear();
  loadSnapshot(db);
  bool writable = true;
  Fd fd = openFile(journalPath_, O_RDWR);
  if (!fd.valid() && (errno == EACCES || errno == EROFS)) {
    writable = false;
    fd = openFile(journalPath_, O_RDONLY);
  }
  if (fd.valid()) {
    FileHeader header = readFileHeader(fd.get(), journalPath_, FileKind::Journal);
    if (header.generation > stateGen_) {
      throw corruptError(journalPath_, 0, "journal newer than the snapshot");
    }
    adoptJournal(std::move(fd), header);
    journalWritable_ = writable;
    if (journalGen_ == stateGen_) applyTail(db);
  } else if (errno != ENOENT) {
    throw openError(journalPath_, errno);
  }
  if (!shadow_.valid()) shadow_.rebuild(db.catalog());
  needsReload_ = false;
}

uint64_t DirectoryStorage::loadSnapshot(Database& db) {
  Fd fd = openFile(snapshotPath_, O_RDONLY);
  if (!fd.valid()) throw openError(snapshotPath_, errno);
  FileHeader header = readFileHeader(fd.get(), snapshotPath_, FileKind::Snapshot);
  uint64_t size = fileSize(fd.get(), snapshotPath_);
  FrameReader reader(fd.get(), snapshotPath_, kFileHeaderSize, size);
  FrameApplier applier(db);
  FrameReader::Frame frame;
  guarded(snapshotPath_, frame, needsReload_, [&] {
    while (reader.next(frame)) applier.apply(frame);
  });
  if (reader.damaged() || !applier.sawSnapshotEnd()) {
    needsReload_ = true;
    throw corruptError(snapshotPath_, reader.position(), "the snapshot is incomplete");
  }
  needsReload_ = true;  // the journal is still to come
  stateGen_ = header.generation;
  snapshotId_ = fileIdOf(fd.get());
  snapshotBytes_ = size;
  return size;
}

void DirectoryStorage::adoptJournal(Fd fd, const FileHeader& header) {
  journal_ = std::move(fd);
  journalId_ = fileIdOf(journal_.get());
  journalGen_ = header.generation;
  journalVersion_ = header.version;
  journalWritable_ = true;
  applied_ = kFileHeaderSize;
  stats_ = {};
}

// Applies the statements committed to our journal since we last read it. A tail without its
// commit mark (a writer still at work cannot exist under our lock, so: a writer that died)
// is left alone. A damaged frame followed by a committed statement is no torn tail but
// damage in the middle: ORA-01578, and the journal is left as it is (the next writer would
// otherwise cut the statements after the damage off for good).
void DirectoryStorage::applyTail(Database& db) {
  uint64_t size = fileSize(journal_.get(), journalPath_);
  if (size < applied_) {
    needsReload_ = true;
    throw corruptError(journalPath_, size, "the journal lost committed statements");
  }
  if (size == applied_) return;
  uint64_t lastCommit = applied_;
  uint64_t lastNumber = stats_.statements;
  FrameReader::Frame frame;
  {
    FrameReader scan(journal_.get(), journalPath_, applied_, size);
    while (scan.next(frame)) {
      if (frame.type != FrameType::Commit) continue;
      lastCommit = frame.end;
      ByteReader in(frame.body);
      if (in.remaining() == 8) lastNumber = in.u64();
    }
    if (scan.damaged()) {
      // The statement the damage is in may be the last one, its commit mark intact (a crash
      // while its pages were being written): that is a torn tail. A statement committed after
      // it is not.
      uint64_t damage = scan.position();
      uint64_t number = 0;
      uint64_t commit = scan.findCommit(damage + 1, lastNumber, number);
      if (commit < size && scan.findCommit(commit + 1, number, number) < size) {
        needsReload_ = true;
        throw corruptError(journalPath_, damage,
                           "damaged record at offset " + std::to_string(damage) +
                               " followed by committed statements; the journal was left as it is");
      }
    }
  }
  if (lastCommit == applied_) return;
  FrameReader reader(journal_.get(), journalPath_, applied_, lastCommit);
  FrameApplier applier(db, &stats_, shadow_.valid() ? &shadow_ : nullptr);
  guarded(journalPath_, frame, needsReload_, [&] {
    while (reader.next(frame)) applier.apply(frame);
    if (reader.position() != lastCommit) throw CorruptData("the journal changed while read");
  });
  applied_ = lastCommit;
  if (!shadow_.valid() && !needsReload_) shadow_.rebuild(db.catalog());
}

// ---- writing ----

void DirectoryStorage::prepareForWrite() {
  // A missing journal (a creation cut short) or a stale one (a compaction cut short between
  // its two renames) is replaced by an empty journal of the current generation.
  if (!journal_.valid() || journalGen_ != stateGen_) createJournal(stateGen_);
  if (!journalWritable_) throw openError(journalPath_, EACCES);
  // Bytes after the last commit mark are what a killed writer left: cut them off, or they
  // would be read as the start of the next statement.
  if (fileSize(journal_.get(), journalPath_) > applied_) {
    truncateFile(journal_.get(), applied_, journalPath_);
    syncFile(journal_.get(), journalPath_);
  }
}

void DirectoryStorage::createJournal(uint64_t generation) {
  std::string tmp = journalPath_ + ".tmp";
  Fd fd = openFile(tmp, O_RDWR | O_CREAT | O_TRUNC);
  if (!fd.valid()) throw openError(tmp, errno);
  ::fchmod(fd.get(), kFileMode);  // a leftover file keeps its mode through O_TRUNC
  try {
    std::string header = encodeFileHeader({FileKind::Journal, kFormatVersion, generation});
    writeAt(fd.get(), header.data(), header.size(), 0, tmp);
    syncFile(fd.get(), tmp);
    renameFile(tmp, journalPath_);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  adoptJournal(std::move(fd), {FileKind::Journal, kFormatVersion, generation});
  syncDirectory(directory_);
}

void DirectoryStorage::writeSnapshotFile(Database& db, uint64_t generation) {
  std::string tmp = snapshotPath_ + ".tmp";
  Fd fd = openFile(tmp, O_RDWR | O_CREAT | O_TRUNC);
  if (!fd.valid()) throw openError(tmp, errno);
  ::fchmod(fd.get(), kFileMode);
  uint64_t size = 0;
  try {
    std::string header = encodeFileHeader({FileKind::Snapshot, kFormatVersion, generation});
    writeAt(fd.get(), header.data(), header.size(), 0, tmp);
    FrameWriter out(fd.get(), tmp, header.size());
    writeSnapshot(out, db);
    out.sync();
    size = out.offset();
    renameFile(tmp, snapshotPath_);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  // From here on the directory holds the new generation; the journal we hold is stale.
  stateGen_ = generation;
  snapshotId_ = fileIdOf(fd.get());
  snapshotBytes_ = size;
  syncDirectory(directory_);
}

void DirectoryStorage::compact(Database& db) {
  std::lock_guard guard(db.mutex());
  bool own = held_ != LOCK_EX;
  if (own) beginStatement(db, true);
  try {
    writeSnapshotFile(db, stateGen_ + 1);
    createJournal(stateGen_);
  } catch (...) {
    if (own) unlock();
    throw;
  }
  if (own) unlock();
}

bool DirectoryStorage::shouldCompact(const Database& db) const {
  if (stats_.catalogBytes > std::max(policy_.maxCatalogBytes, snapshotBytes_)) return true;
  if (stats_.rowRecords < policy_.minRowRecords) return false;
  uint64_t live = 0;
  for (const auto& [key, t] : db.catalog().tables()) live += t->data->rowCount();
  return static_cast<double>(stats_.rowRecords) > policy_.rowFactor * static_cast<double>(live);
}

}  // namespace ocisim::storage

namespace ocisim {

std::unique_ptr<PersistenceHook> attachStorage(Database& db, const std::string& directory,
                                               bool create) {
  if (create) return storage::DirectoryStorage::create(db, directory);
  return storage::DirectoryStorage::open(db, directory);
}

}  // namespace ocisim
