#include "oracle/connection_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

void expectParts(const ConnectionText& text, const std::string& schema, const std::string& user,
                 const std::string& password, const std::string& database) {
  EXPECT_EQ(text.schema, schema);
  EXPECT_EQ(text.user, user);
  EXPECT_EQ(text.password, password);
  EXPECT_EQ(text.database, database);
}

TEST(ConnectionText, SplitsSchemaUserPasswordAndDatabase) {
  expectParts(parseConnectionText("HR:scott/tiger@orcl"), "HR", "scott", "tiger", "orcl");
  expectParts(parseConnectionText("scott@orcl"), "", "scott", "", "orcl");
  expectParts(parseConnectionText("scott/tiger"), "", "scott", "tiger", "");
  expectParts(parseConnectionText("hr:scott"), "hr", "scott", "", "");
  EXPECT_FALSE(parseConnectionText("scott/@orcl").hasPassword());
}

TEST(ConnectionText, SeparatorsThatDoNotSplit) {
  // A colon after the login belongs to the database (host:port/service).
  expectParts(parseConnectionText("scott/tiger@dbhost:1521/orcl"), "", "scott", "tiger",
              "dbhost:1521/orcl");
  expectParts(parseConnectionText("HR:scott/tiger@dbhost:1521/orcl"), "HR", "scott", "tiger",
              "dbhost:1521/orcl");
  // Neither ":" nor "@" counts as the first character.
  expectParts(parseConnectionText(":scott@orcl"), "", ":scott", "", "orcl");
  expectParts(parseConnectionText("@orcl"), "", "@orcl", "", "");
  // The first "@" ends the login; the database keeps any further one.
  expectParts(parseConnectionText("scott/tiger@orcl@x"), "", "scott", "tiger", "orcl@x");
}

TEST(ConnectionText, LoginFieldHasNoSchema) {
  expectParts(parseLoginField("scott/tiger@orcl"), "", "scott", "tiger", "orcl");
  expectParts(parseLoginField("hr:scott"), "", "hr:scott", "", "");
}

}  // namespace
}  // namespace velmora
