// Generated mission scripts of several layouts, for the parser's benchmarks: the tidy one the editor
// writes, the uneven ones people write by hand (CR LF and LF), a packed one, one of long literals, one
// of deep nesting, and two text-heavy ones (short, mostly distinct literals between line breaks, tabs
// and comments; one of them with long runs of blanks).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vyr::bench {

enum Layout {
  kTidy,
  kUnevenCrLf,
  kUnevenLf,
  kPacked,
  kLongStrings,
  kDeep,
  kTextHeavy,
  kBlankRuns,
  kLayoutCount
};
inline constexpr const char* kLayoutNames[kLayoutCount] = {
    "tidy", "uneven_crlf", "uneven_lf", "packed", "long_strings", "deep_crlf", "text_heavy", "blank_runs"};
inline constexpr std::uint64_t kScriptBytes = 48'000'000;

// Writes a script of the layout of about `bytes` bytes (the tidy one has a fixed size); false when
// the file cannot be written.
bool GenerateLayout(Layout layout, const std::filesystem::path& path, std::uint64_t bytes = kScriptBytes);

// The layout of that name, or kLayoutCount.
Layout LayoutNamed(std::string_view name);

}  // namespace vyr::bench
