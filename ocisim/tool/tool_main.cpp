#include "tool/tool_main.h"

#include <sstream>
#include <stdexcept>

#include "engine/ora_error.h"
#include "tool/cli.h"
#include "tool/engine_commands.h"
#include "tool/script_runner.h"

namespace ocisim::tool {
namespace {

int runScripts(const RunArgs& args, std::istream& in, std::ostream& out) {
  std::unique_ptr<Connection> connection = openConnection(args);
  RunnerOptions options;
  options.echo = args.echo;
  ScriptRunner runner(*connection, out, options);
  if (args.hasCommandText) {
    runner.runScript(commandTextAsScript(args.commandText), "");
  } else if (!args.scriptPath.empty()) {
    runner.runFile(args.scriptPath, 0);
  } else {
    std::ostringstream text;
    text << in.rdbuf();
    runner.runScript(text.str(), "");
  }
  return runner.failures() > 0 ? 1 : 0;
}

}  // namespace

int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err) {
  ToolArgs parsed;
  try {
    parsed = parseArgs(args);
  } catch (const UsageError& e) {
    err << "ocisim: " << e.what() << "\n" << usageText();
    return 2;
  }
  try {
    switch (parsed.command) {
      case ToolArgs::Command::Help:
        out << usageText();
        return 0;
      case ToolArgs::Command::Create:
        createDatabase(parsed.create);
        out << "Database " << parsed.create.name << " (release " << parsed.create.version
            << ") created in " << parsed.create.directory << ".\n";
        return 0;
      case ToolArgs::Command::Run:
        return runScripts(parsed.run, in, out);
      case ToolArgs::Command::Dump:
        dumpDatabase(parsed.dump, out);
        return 0;
    }
  } catch (const OraError& e) {
    err << "ocisim: " << e.what() << "\n";
  } catch (const std::exception& e) {
    err << "ocisim: " << e.what() << "\n";
  }
  return 1;
}

}  // namespace ocisim::tool
