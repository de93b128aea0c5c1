// SQL Compare: one free select run on Database 1 and another (or the same) on Database 2, and
// the rows that only one of the two results holds, merged as table rows are (compareRows). It
// only reports; it never writes statements. Runs on the run's worker thread (the driver's SQL
// Compare runner); reads the run's databases from the context.
#pragma once

#include <string>

namespace velmora {

class RunContext;

// The statements as the dialog (or the command line) hands them over: trailing white space and
// one trailing ";" removed. False with the message of the database when nothing is left:
// "Please enter a statement to be executed on the first database." (or "second").
bool prepareSqlCompareStatement(std::string& statement, int database, std::string* message);

// "@path": the file's lines, each followed by "\n". False when the file cannot be read (the
// statement is then left as it is). A statement without "@" is left as it is (true).
bool expandStatementFile(std::string& statement);

void runSqlCompare(RunContext& context, const std::string& statement1,
                   const std::string& statement2);

}  // namespace velmora
