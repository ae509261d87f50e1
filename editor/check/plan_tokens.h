// The words and symbols of a plan or condition text, read as the script's scanner reads them (comments
// skipped, a string literal one token) but never failing: a text that does not scan still has tokens.
#pragma once

#include <string_view>
#include <vector>

namespace vyr::editor {

struct PlanToken {
  enum class Kind : unsigned char { kWord, kNumber, kString, kSymbol };
  Kind kind = Kind::kSymbol;
  std::string_view text;  // a string without its quotes
  int line = 1;           // 1-based line of the text where the token starts
};

std::vector<PlanToken> ScanPlanTokens(std::string_view text);

}  // namespace vyr::editor
