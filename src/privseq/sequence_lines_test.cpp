#include "privseq/sequence_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string pad(const std::string& text, size_t width) {
  std::string out = text + std::string(40, ' ');
  return out.substr(0, width);
}

// A line as the query with last numbers makes it.
std::string line(const std::string& name, const std::string& last, const std::string& min,
                 const std::string& max, const std::string& increment,
                 const std::string& cycle = "N", const std::string& order = "N",
                 const std::string& cache = "20") {
  return pad(name, 31) + " " + pad(last, 30) + " " + pad(min, 30) + " " + pad(max, 30) + " " +
         pad(increment, 13) + " " + pad(cycle, 11) + " " + pad(order, 11) + " " + pad(cache, 11);
}

SequenceAttributes parsed(const std::string& text) {
  auto attributes = parseSequenceLine(text, true);
  EXPECT_TRUE(attributes.has_value()) << text;
  return attributes.value_or(SequenceAttributes{});
}

TEST(SequenceQueryTest, TextsAreTheDictionaryQueriesWordForWord) {
  EXPECT_EQ(sequenceQuery(true, SequenceTail::None, "SCOTT"),
            "select substr(sequence_name||'                                        ',0,31) || ' ' "
            "|| substr(last_number||'                                        ',0,30) || ' ' || "
            "substr(min_value||'                              ',0,30) || ' ' || "
            "substr(max_value||'                              ',0,30) || ' ' || "
            "substr(increment_by||'               ',0,13) || ' ' || "
            "substr(cycle_flag||'             ',0,11) || ' ' || substr(order_flag||'             "
            "',0,11) || ' ' || substr(cache_size||'             ',0,11) from all_sequences where "
            "sequence_owner = 'SCOTT' order by sequence_name");
  const std::string create = sequenceQuery(false, SequenceTail::Create, "HR");
  EXPECT_NE(create.find("||'|CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' "
                        "START WITH '||min_value||decode(max_value,999999999999999999999999999,"
                        "' NOMAXVALUE', ' MAXVALUE ' || max_value) || ' MINVALUE ' || "
                        "min_value||decode(cycle_flag,'N',' NOCYCLE',' CYCLE')||decode(cache_size,"
                        "0,' NOCACHE',' CACHE '||cache_size)||decode(order_flag,'N',' NOORDER;',"
                        "' ORDER;') from all_sequences where sequence_owner = 'HR' order by "
                        "sequence_name"),
            std::string::npos)
      << create;
  EXPECT_EQ(sequenceQuery(false, SequenceTail::None, "HR").find("last_number"), std::string::npos);
  EXPECT_NE(sequenceQuery(true, SequenceTail::Drop, "HR").find("||'|DROP SEQUENCE '"),
            std::string::npos);
  // A quote in an owner cannot end the literal.
  EXPECT_NE(sequenceQuery(true, SequenceTail::None, "O'NEIL").find("= 'O''NEIL' order by"),
            std::string::npos);
}

TEST(SequenceLineTest, ParsesTheColumnsAndTheStatement) {
  const SequenceAttributes s =
      parsed(line("ORDERS_SEQ", "1041", "1", std::string(27, '9'), "1") + "|DROP SEQUENCE X;\r\n");
  EXPECT_EQ(s.name, "ORDERS_SEQ");
  EXPECT_EQ(s.lastNumber, "1041");
  EXPECT_EQ(s.minValue, "1");
  EXPECT_TRUE(isNoMaxValue(s.maxValue));
  EXPECT_EQ(s.cacheSize, "20");
  EXPECT_EQ(s.statement, "DROP SEQUENCE X;");
  EXPECT_FALSE(parseSequenceLine("ORDERS_SEQ   1", true).has_value());
}

TEST(SequenceLineTest, MergeOrderIsTheServersNameOrder) {
  const std::string a = line("A", "1", "1", "9", "1");
  const std::string ab = line("AB", "1", "1", "9", "1");
  EXPECT_EQ(compareSequenceLines(a, ab, false, false), -1);  // "A" sorts before "AB"
  EXPECT_EQ(compareSequenceLines(ab, a, false, false), 1);
  // The scripts compare up to the statement only; case is ignored when asked.
  EXPECT_EQ(
      compareSequenceLines(a + "|DROP SEQUENCE A;", a + "|CREATE SEQUENCE A ...", true, false), 0);
  EXPECT_NE(compareSequenceLines(a + "|x", a + "|y", false, false), 0);
  EXPECT_EQ(compareSequenceLines(line("s1", "1", "1", "9", "1"), line("S1", "1", "1", "9", "1"),
                                 false, true),
            0);
  EXPECT_EQ(compareSequenceLines("", a, false, false), -1);
}

TEST(SequenceStatementTest, CreateStatementAsTheServerWritesIt) {
  SequenceAttributes s =
      parsed(line("PLAIN_SEQ", "1", "1", std::string(27, '9'), "1", "N", "N", "0"));
  EXPECT_EQ(createSequenceStatement(s, "1"),
            "CREATE SEQUENCE PLAIN_SEQ INCREMENT BY 1 START WITH 1 NOMAXVALUE MINVALUE 1 NOCYCLE "
            "NOCACHE NOORDER;");
  s = parsed(line("odd seq", "5", "-10", "100", "-5", "Y", "Y", "4"));
  EXPECT_EQ(createSequenceStatement(s, sequenceStart(s)),
            "CREATE SEQUENCE \"odd seq\" INCREMENT BY -5 START WITH 0 MAXVALUE 100 MINVALUE -10 "
            "CYCLE CACHE 4 ORDER;");
}

TEST(SequenceStatementTest, StartIsExactBeyondDoublePrecision) {
  SequenceAttributes s =
      parsed(line("BIG", "99999999999999999999999999", "1", std::string(28, '9'), "7"));
  EXPECT_EQ(sequenceStart(s), "100000000000000000000000006");
  s = parsed(line("DOWN", "-3", "-100", "-1", "-5"));
  EXPECT_EQ(sequenceStart(s), "-8");
  // Without last numbers an ascending sequence starts at its MINVALUE, a descending one at its
  // MAXVALUE (at its MINVALUE it would have nothing left to give).
  s.lastNumber.clear();
  EXPECT_EQ(sequenceStart(s), "-1");
  s = parsed(line("UP", "", "5", "9", "1"));
  s.lastNumber.clear();
  EXPECT_EQ(sequenceStart(s), "5");
}

TEST(SequenceChangeTest, AttributesChangeInPlaceAndNeverBackwards) {
  const SequenceAttributes second = parsed(line("S", "500", "1", "1000", "1", "N", "N", "20"));

  // Only the increment and the cache differ: ALTER with those clauses alone.
  SequenceChange change =
      planSequenceChange(parsed(line("S", "10", "1", "1000", "2", "N", "N", "0")), second, "500");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Alter);
  EXPECT_EQ(change.statements, "ALTER SEQUENCE S INCREMENT BY 2 NOCACHE;\r\n");

  // A MINVALUE above where Database 2 is: created again, from Database 1's start, which is past
  // both Database 2's position and the new MINVALUE.
  change = planSequenceChange(parsed(line("S", "600", "600", "1000", "1")), second, "550");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Recreate);
  EXPECT_EQ(change.statements,
            "DROP SEQUENCE S;\r\nCREATE SEQUENCE S INCREMENT BY 1 START WITH 601 MAXVALUE 1000 "
            "MINVALUE 600 NOCYCLE CACHE 20 NOORDER;\r\n");
  EXPECT_NE(change.reason.find("grants on it must be given again"), std::string::npos);

  // A MAXVALUE below where Database 2 is cannot be had without going back: no statement.
  change = planSequenceChange(parsed(line("S", "10", "1", "400", "1")), second, "500");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Refused);
  EXPECT_TRUE(change.statements.empty());

  // Counting the other way is a change for a person to make.
  change = planSequenceChange(parsed(line("S", "10", "1", "1000", "-1")), second, "500");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Refused);

  // Only the last number differs: nothing is moved, and the note says so.
  change = planSequenceChange(parsed(line("S", "900", "1", "1000", "1")), second, "500");
  EXPECT_EQ(change.kind, SequenceChange::Kind::None);
  EXPECT_NE(change.reason.find("never moved"), std::string::npos);
}

TEST(SequenceChangeTest, DescendingSequencesMirrorTheRules) {
  const SequenceAttributes second = parsed(line("D", "-50", "-1000", "-1", "-1"));
  // A MAXVALUE below Database 2's position is on the side it comes from: created again there.
  SequenceChange change =
      planSequenceChange(parsed(line("D", "-70", "-1000", "-60", "-1")), second, "-50");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Recreate);
  EXPECT_NE(change.statements.find("START WITH -71 "), std::string::npos) << change.statements;
  // A MINVALUE above it is where it counts to: refused.
  change = planSequenceChange(parsed(line("D", "-10", "-40", "-1", "-1")), second, "-50");
  EXPECT_EQ(change.kind, SequenceChange::Kind::Refused);
}

}  // namespace
}  // namespace velmora
