// Random mission scripts that the grammar accepts and whose names all resolve, for round-trip tests.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vyr::testing {

struct GeneratorOptions {
  int max_locations = 8;
  int max_areas = 4;
  int max_forces = 3;
  int max_teams = 3;
  int max_members = 4;
  int max_objectives = 3;
  int max_plans = 4;
  int max_statements = 8;
  int max_on_depth = 3;
  int max_condition_depth = 4;
  bool vary_spacing = true;  // comments, tabs, CR LF and line breaks between tokens
};

// Every script is valid; values stay where the writer's text reads back unchanged: waits below
// 9999.9 (or "forever") and floats with at most six significant digits.
class ScriptGenerator {
 public:
  explicit ScriptGenerator(std::uint32_t seed, GeneratorOptions options = {});

  std::string Generate();

 private:
  int Uniform(int low, int high);
  bool Chance(int percent);
  template <typename T>
  const T& Pick(const std::vector<T>& values) {
    return values[static_cast<std::size_t>(Uniform(0, static_cast<int>(values.size()) - 1))];
  }
  char PickChar(std::string_view set);

  // Token output: words need a separator between them, punctuation and literals may touch.
  void Word(const std::string& text);
  void Punct(const std::string& text);
  void Literal(const std::string& text);
  void Separator(bool required);
  // Blank-separated fixed tokens: words and punctuation alike.
  void Emit(std::string_view tokens);
  // `count` items with `separator` between them.
  void Repeat(int count, const char* separator, const std::function<void()>& item);
  void OptionalSemicolon();

  std::string Identifier();
  std::string StringRun(int max_length = 10);
  std::string IntText(int low, int high);
  std::string FloatText(bool allow_negative);

  void Map();
  void Area();
  void Forces();
  void Member();
  void Objectives();
  void Condition(int depth);
  void Plans();
  void StatementList(int depth);
  void Statement(int depth);

  std::mt19937 random_;
  GeneratorOptions options_;
  std::string out_;
  bool last_was_word_ = false;

  std::vector<std::string> locations_;
  std::vector<std::string> areas_;
  std::vector<std::string> forces_;
  std::vector<std::string> teams_;
  std::vector<std::string> actors_;
};

}  // namespace vyr::testing
