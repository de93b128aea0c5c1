// Where OCIServerAttach finds a database: a connect string holding a '/' is the path of the
// database directory, used as it is; any other is an alias, the name of a directory under the
// directory named by the environment variable OCISIM_HOME (matched exactly first, then without
// regard to case, as Oracle's alias names are).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ocisim::oci {

// The database directory of a connect string, or nullopt when it names nothing (ORA-12154).
std::optional<std::string> resolveAlias(std::string_view connectString);

}  // namespace ocisim::oci
