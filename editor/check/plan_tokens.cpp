#include "editor/check/plan_tokens.h"

namespace vyr::editor {

namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::vector<PlanToken> ScanPlanTokens(std::string_view text) {
  std::vector<PlanToken> tokens;
  int line = 1;
  std::size_t i = 0;
  const auto count_lines = [&line](std::string_view skipped) {
    for (char c : skipped)
      if (c == '\n') ++line;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      i = text.find('\n', i);
      if (i == std::string_view::npos) i = text.size();
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      std::size_t end = text.find("*/", i + 2);
      end = end == std::string_view::npos ? text.size() : end + 2;
      count_lines(text.substr(i, end - i));
      i = end;
    } else if (c == '"') {
      std::size_t end = text.find('"', i + 1);
      if (end == std::string_view::npos) end = text.size();
      tokens.push_back({PlanToken::Kind::kString, text.substr(i + 1, end - i - 1), line});
      count_lines(text.substr(i, end - i));
      i = end + 1;
    } else if (IsLetter(c)) {
      std::size_t end = i + 1;
      while (end < text.size() &&
             (IsLetter(text[end]) || IsDigit(text[end]) || text[end] == '_' || text[end] == '.'))
        ++end;
      tokens.push_back({PlanToken::Kind::kWord, text.substr(i, end - i), line});
      i = end;
    } else if (IsDigit(c) || (c == '-' && i + 1 < text.size() && IsDigit(text[i + 1]))) {
      std::size_t end = i + 1;
      while (end < text.size() && (IsDigit(text[end]) || text[end] == '.'))
        ++end;
      tokens.push_back({PlanToken::Kind::kNumber, text.substr(i, end - i), line});
      i = end;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else {
      tokens.push_back({PlanToken::Kind::kSymbol, text.substr(i, 1), line});
      ++i;
    }
  }
  return tokens;
}

}  // namespace vyr::editor
