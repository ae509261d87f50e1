// vyr: the mission script library from the command line, for people and scripts.
#include <iostream>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"
#include "tools/vyr/standard_output.h"
#include "tools/vyr/subcommands.h"

namespace vyr::tool {
namespace {

void PrintUsageLine(std::ostream& out, const Subcommand& command) {
  out << "usage: vyr " << command.name << ' ' << command.operands << '\n';
}

void PrintHelp(std::ostream& out) {
  out << "usage: vyr [--help | --version] COMMAND OPERANDS...\n\n"
         "Checks, dumps and rewrites VYR mission scripts and advises on tactical experience files.\n\n"
         "commands:\n";
  for (const Subcommand& command : Subcommands()) {
    std::string head = std::string(command.name) + ' ' + std::string(command.operands);
    if (head.size() < 22) head.resize(22, ' ');
    out << "  " << head << "  " << command.summary << '\n';
  }
  out << "\nexit status: 0 success, 1 failure (a file could not be read or written), 2 the script does not\n"
         "parse, 64 usage error.\n";
}

int Usage(std::string_view problem) {
  std::cerr << "vyr: " << problem << "\nTry 'vyr --help' for more information.\n";
  return kExitUsage;
}

int Main(int argc, char** argv) {
  if (argc < 2) return Usage("missing command");
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp(std::cout);
    return kExitOk;
  }
  if (first == "--version") {
    std::cout << "vyr " << VYR_VERSION << '\n';
    return kExitOk;
  }
  if (first.starts_with('-')) return Usage("unknown option '" + std::string(first) + "'");

  for (const Subcommand& command : Subcommands()) {
    if (command.name != first) continue;
    Arguments operands(argv + 2, argv + argc);
    if (!operands.empty() && (operands[0] == "--help" || operands[0] == "-h")) {
      PrintUsageLine(std::cout, command);
      std::cout << command.summary << '\n';
      return kExitOk;
    }
    // "--" ends options, so file names that start with "-" can be given.
    if (!operands.empty() && operands[0] == "--") operands.erase(operands.begin());
    if (operands.size() < command.min_operands || operands.size() > command.max_operands) {
      std::cerr << "vyr " << command.name << ": expected " << command.operands << '\n';
      PrintUsageLine(std::cerr, command);
      return kExitUsage;
    }
    return command.run(operands);
  }
  return Usage("unknown command '" + std::string(first) + "'");
}

}  // namespace
}  // namespace vyr::tool

int main(int argc, char** argv) {
  // A command interrupted while it writes must not leave its temporary file beside the target.
  platform::RemoveTemporaryFilesOnSignals();
  vyr::tool::CheckedStandardOutput out;
  const int status = vyr::tool::Main(argc, argv);
  // Output that did not arrive is a failure, whatever the command itself concluded.
  if (const std::string reason = out.Finish(); !reason.empty()) {
    std::cerr << "vyr: cannot write the standard output: " << reason << '\n';
    return vyr::tool::kExitFailure;
  }
  return status;
}
