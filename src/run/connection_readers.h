// ConnectionReaders: what the phases of one kind read Database 1 and Database 2 through, built
// from the run's DatabaseConnections when a phase begins. Each connected database gets a reader
// made by the phase's own function, which may keep the CatalogState the readers share (the
// longest-name widths, which the phases do not use); an absent or unconnected database has
// neither connection nor reader.
#pragma once

#include <memory>

#include "oracle/catalog.h"
#include "oracle/database_connection.h"
#include "run/run_context.h"

namespace velmora {

template <class Reader>
class ConnectionReaders {
 public:
  // makeReader(DatabaseConnection&, CatalogState&) returns a std::unique_ptr<Reader>; it is
  // called for Database 1, then Database 2.
  template <class MakeReader>
  ConnectionReaders(RunContext& context, MakeReader makeReader) {
    DatabaseConnection* connections[2] = {context.database1(), context.database2()};
    for (int i = 0; i < 2; ++i) {
      DatabaseConnection* connection = connections[i];
      if (connection == nullptr || !connection->connected()) continue;
      connections_[i] = connection;
      readers_[i] = makeReader(*connection, catalogState_);
    }
  }
  ConnectionReaders(const ConnectionReaders&) = delete;
  ConnectionReaders& operator=(const ConnectionReaders&) = delete;

  // Database 1, or Database 2 for any other number; null when it is not connected.
  DatabaseConnection* connection(int number) const { return connections_[index(number)]; }
  Reader* reader(int number) const { return readers_[index(number)].get(); }
  CatalogState& catalogState() { return catalogState_; }

  // The record a phase describes a database by, for the phases whose record has the fields
  // number, owner, displayName and reader: those of a connected database, only the number
  // otherwise.
  template <class Database>
  Database database(int number) const {
    Database database;
    database.number = number;
    if (const DatabaseConnection* connection = this->connection(number)) {
      database.owner = connection->owner();
      database.displayName = connection->displayName();
      database.reader = reader(number);
    }
    return database;
  }

 private:
  static int index(int number) { return number == 1 ? 0 : 1; }

  CatalogState catalogState_;  // first: the readers may keep it
  DatabaseConnection* connections_[2] = {nullptr, nullptr};
  std::unique_ptr<Reader> readers_[2];
};

}  // namespace velmora
