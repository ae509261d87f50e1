// The bot system's per-map experience (<partial>.exp) and terrain information (<partial>.tac) files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vyr::parser {

// The lowest terrain information format version this library understands ("[VYR tac info 0.79]").
inline constexpr int kLowestTacVersion = 79;

struct ExperienceAdvice {
  int advice = -1;  // -1 unsupported or a file missing, 0 no need, 1 advised
  std::int32_t missions_recorded = 0;
  std::int32_t missions_studied = 0;
};

// Reads the headers of <partial>.exp and <partial>.tac and advises whether the terrain information
// should be brought up to date. Never fails: a missing or short file gives advice -1 (or 1, see .cpp).
ExperienceAdvice NeedToIncorporateMissionExperiences(std::string_view partial_file_name);

enum class IncorporateOutcome {
  kUpdated,         // <partial>.tac now counts every recorded mission as studied
  kAlreadyCurrent,  // nothing to do: the counts already agree
  kNotApplicable,   // a file is missing, short or of an unsupported version: nothing was changed
  kWriteFailed,     // the new file could not be written: the old one is intact
};

struct IncorporateResult {
  IncorporateOutcome outcome = IncorporateOutcome::kNotApplicable;
  std::string message;  // readable, names the file concerned
};

// Brings <partial>.tac up to date with <partial>.exp: the studied count becomes the recorded count.
// The header (with its version) and every byte after the studied count are kept as they are.
IncorporateResult IncorporateMissionExperiences(std::string_view partial_file_name);

}  // namespace vyr::parser
