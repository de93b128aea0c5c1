// Deterministic fault injection for tests, set by the environment variable OCISIM_FAULTS: items
// separated by ';' (blanks around them ignored):
//   lose_connection_at=N[,M...]   the Nth (Mth ...) OCIStmtExecute or OCIStmtFetch call of the
//                                 process fails with ORA-03113 and its connection is lost: every
//                                 later call over it fails with ORA-03114 until a new logon
//   refuse_logon                  OCIServerAttach fails with ORA-12541 (TNS:no listener)
//   fetch_delay_ms=N              every round trip of a fetch (rows the client does not hold
//                                 yet, see statement.h) waits N ms before reading rows; OCIBreak
//                                 ends the wait and the fetch fails with ORA-01013
//   fail_statement=ORA-nnnnn:PATTERN
//                                 OCIStmtExecute of a text matching PATTERN (case-insensitive,
//                                 '*' any run of characters, '?' one character, the whole text)
//                                 fails with that error (ORA-03113 also loses the connection);
//                                 may be given several times
//   count_calls_to=PATH           at exit the process writes the number of execute and fetch
//                                 calls it counted (since the value was last set) to PATH, so a
//                                 test can lose the connection at every call of a run
// The variable is read at every call; the call counting restarts whenever its value changes, so
// a test may set it after logging on and count from there. Unknown items are reported once on
// standard error and ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ocisim::oci {

struct FaultSettings {
  std::vector<long> loseConnectionAt;
  bool refuseLogon = false;
  int fetchDelayMs = 0;
  struct Failure {
    int code = 0;
    std::string pattern;
  };
  std::vector<Failure> failures;
  std::string countCallsTo;  // "" when not asked
  std::vector<std::string> problems;  // items that could not be read
};

// Parses the value of OCISIM_FAULTS.
FaultSettings parseFaultSettings(std::string_view text);

// Case-insensitive match of a whole text against a pattern with '*' and '?'.
bool wildcardMatch(std::string_view pattern, std::string_view text);

// The process-wide state: the settings of the variable's current value and the call count.
class Faults {
 public:
  // Counts an execute or fetch call; true when it is one that loses its connection.
  static bool countCallLosesConnection();
  static bool refuseLogon();
  static int fetchDelayMs();
  // The ORA code an execute of this text fails with, or 0.
  static int statementFailure(std::string_view text);
};

}  // namespace ocisim::oci
