// SQL*Plus's feedback line for each kind of statement, by Oracle's SQL command code.
#include <string>

#include "tool/script_runner.h"

namespace ocisim::tool {
namespace {

struct Feedback {
  int functionCode;
  const char* text;
};

constexpr Feedback kFeedback[] = {
    {1, "Table created."},         {6, "Role dropped."},
    {7, "View dropped."},          {8, "Table dropped."},
    {10, "View created."},         {11, "User dropped."},
    {12, "Role created."},         {13, "Sequence created."},
    {14, "Sequence altered."},     {16, "Sequence dropped."},
    {19, "User created."},         {20, "Index created."},
    {21, "Index dropped."},        {24, "Procedure created."},
    {26, "Table altered."},        {28, "Grant succeeded."},
    {29, "Revoke succeeded."},     {30, "Synonym created."},
    {31, "Synonym dropped."},      {41, "Index altered."},
    {49, "Tablespace created."},   {51, "Tablespace dropped."},
    {88, "View altered."},
    {34, "PL/SQL procedure successfully completed."},
    {37, "Table renamed."},
    {38, "Comment created."},      {52, "Session altered."},
    {53, "User altered."},         {54, "Commit complete."},
    {55, "Rollback complete."},    {56, "Savepoint created."},
    {59, "Trigger created."},      {60, "Trigger altered."},
    {61, "Trigger dropped."},
    {68, "Procedure dropped."},    {77, "Type created."},
    {78, "Type dropped."},         {81, "Type body created."},
    {83, "Type body dropped."},    {85, "Table truncated."},
    {91, "Function created."},     {93, "Function dropped."},
    {94, "Package created."},      {96, "Package dropped."},
    {97, "Package body created."}, {99, "Package body dropped."},
};

std::string rows(uint64_t n, const char* verb) {
  if (n == 0 && std::string(verb) == "selected") return "no rows selected";
  return std::to_string(n) + (n == 1 ? " row " : " rows ") + verb + ".";
}

}  // namespace

std::string feedbackText(const StatementOutcome& outcome) {
  if (outcome.warning == 24344) {
    // "View created." becomes "Warning: View created with compilation errors."
    StatementOutcome plain = outcome;
    plain.warning = 0;
    std::string text = feedbackText(plain);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return "Warning: " + text + " with compilation errors.";
  }
  if (outcome.isQuery) return rows(outcome.rowCount, "selected");
  switch (outcome.functionCode) {
    case 3: return rows(outcome.rowCount, "created");
    case 5: return rows(outcome.rowCount, "updated");
    case 9: return rows(outcome.rowCount, "deleted");
    default: break;
  }
  for (const Feedback& f : kFeedback) {
    if (f.functionCode == outcome.functionCode) return f.text;
  }
  return "Statement processed.";
}

}  // namespace ocisim::tool
