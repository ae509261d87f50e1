// The vyr tool's subcommands: one file each, listed in one table (subcommands.cpp).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vyr::tool {

// Exit codes shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitParseProblem = 2;
inline constexpr int kExitUsage = 64;

using Arguments = std::vector<std::string>;

struct Subcommand {
  std::string_view name;
  std::string_view operands;  // as shown in usage lines, e.g. "IN OUT"
  std::string_view summary;   // one line for --help
  std::size_t min_operands;
  std::size_t max_operands;
  int (*run)(const Arguments& operands);
};

// Every subcommand, in the order --help lists them.
std::span<const Subcommand> Subcommands();

// Takes `option` off the front of `operands`; true when it was there.
bool TakeOption(Arguments& operands, std::string_view option);

int RunCheck(const Arguments& operands);
int RunDump(const Arguments& operands);
int RunRewrite(const Arguments& operands);
int RunPlan(const Arguments& operands);
int RunAdvise(const Arguments& operands);
int RunIncorporate(const Arguments& operands);
int RunBuild(const Arguments& operands);
int RunImport(const Arguments& operands);
int RunMap(const Arguments& operands);
int RunProblems(const Arguments& operands);

}  // namespace vyr::tool
