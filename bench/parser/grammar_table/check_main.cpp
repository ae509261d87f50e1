// grammar_table_check FILE: parses a mission script with the grammar-table parser; exits 0 when it
// parses, 1 when the file cannot be read, 2 on a parse problem. The model is left for the system to
// take back at exit, as `vyr check` does.
#include <cstdio>

#include "mission_model.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: grammar_table_check FILE\n");
    return 64;
  }
  auto* mission = new grammar_table::Mission;
  const int result = grammar_table::ParseFile(argv[1], *mission);
  if (result == 1) std::fprintf(stderr, "grammar_table_check: cannot read %s\n", argv[1]);
  return result;
}
