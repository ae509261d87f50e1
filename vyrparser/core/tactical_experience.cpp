#include "vyrparser/core/tactical_experience.h"

#include <array>
#include <cstdint>
#include <limits>

#include "platform/atomic_file.h"
#include "platform/read_file.h"

namespace vyr::parser {
namespace {

constexpr std::size_t kHeaderSize = 19;  // "[VYR tac info 0.XX]", no terminator
constexpr std::size_t kCountSize = 4;
constexpr std::size_t kRecordedOffset = 6;

std::string WithExtension(std::string_view partial, const char* extension) {
  std::string name(partial);
  name += '.';
  name += extension;
  return name;
}

// A little-endian 32-bit count; a short read keeps the bytes it got, the missing high bytes stay 0.
std::int32_t DecodeCount(const unsigned char* bytes, std::size_t available) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < available && i < kCountSize; ++i)
    value |= std::uint32_t{bytes[i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

// The game's files are regular files; anything else (a named pipe would block) is not read.
constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

// Reads up to `size` bytes; returns how many there were (fewer at the end of the file or on a fault).
std::size_t ReadUpTo(platform::FileReader& in, char* bytes, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::ptrdiff_t n = in.Read(bytes + got, size - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

// Reads up to four bytes as a count; returns whether all four were there.
bool ReadCount(platform::FileReader& in, std::int32_t& count) {
  std::array<unsigned char, kCountSize> bytes{};
  const std::size_t got = ReadUpTo(in, reinterpret_cast<char*>(bytes.data()), kCountSize);
  count = DecodeCount(bytes.data(), got);
  return got == kCountSize;
}

// The characters at offsets 14..17 with the point at 15 read as "0": "0.79" is 79. Stops at a non-digit.
int HeaderVersion(const char* header) {
  const char digits[4] = {header[14], '0', header[16], header[17]};
  int version = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    version = version * 10 + (c - '0');
  }
  return version;
}

std::int64_t AllowedBacklog(std::int32_t recorded) {
  if (recorded <= 50) return 10;
  if (recorded <= 200) return 25;
  if (recorded <= 400) return 50;
  return 100;
}

// Reads the recorded count of <partial>.exp; false when the file is missing or too short.
bool ReadMissionsRecorded(const std::string& exp_name, std::int32_t& recorded) {
  platform::FileReader exp;
  if (!exp.Open(exp_name, kAnySize)) return false;
  char skipped[kRecordedOffset];
  if (ReadUpTo(exp, skipped, kRecordedOffset) != kRecordedOffset) return false;
  return ReadCount(exp, recorded);
}

}  // namespace

ExperienceAdvice NeedToIncorporateMissionExperiences(std::string_view partial_file_name) {
  ExperienceAdvice result;
  const bool have_recorded =
      ReadMissionsRecorded(WithExtension(partial_file_name, "exp"), result.missions_recorded);
  if (!have_recorded) return result;

  platform::FileReader tac;
  if (!tac.Open(WithExtension(partial_file_name, "tac"), kAnySize)) return result;
  char header[kHeaderSize] = {};
  if (ReadUpTo(tac, header, kHeaderSize) != kHeaderSize) return result;
  if (HeaderVersion(header) < kLowestTacVersion) return result;

  // A supported file whose studied count cannot be read is advised for an update.
  result.advice = 1;
  if (!ReadCount(tac, result.missions_studied)) return result;

  // 64-bit arithmetic: extreme counts must not overflow the backlog difference.
  const std::int64_t recorded = result.missions_recorded;
  const std::int64_t studied = result.missions_studied;
  if (studied <= recorded && recorded - studied <= AllowedBacklog(result.missions_recorded))
    result.advice = 0;
  return result;
}

// The update works on the counts only: what follows them belongs to the game-side bot system, which
// studies the recorded experiences itself. Here the terrain file is marked as having studied every
// recorded mission, so the advice settles to 0. Header, version and the bytes after the studied count
// are copied unchanged; a short file gets its (partial) count replaced by a whole one. Anything missing
// or unsupported leaves the files untouched, and the new file replaces the old one only when complete.
IncorporateResult IncorporateMissionExperiences(std::string_view partial_file_name) {
  const std::string exp_name = WithExtension(partial_file_name, "exp");
  const std::string tac_name = WithExtension(partial_file_name, "tac");

  std::int32_t recorded = 0;
  if (!ReadMissionsRecorded(exp_name, recorded))
    return {IncorporateOutcome::kNotApplicable, exp_name + ": missing or too short; nothing changed"};

  std::string bytes;
  if (const platform::ReadResult read = platform::ReadFileBytes(tac_name, bytes, kAnySize); !read)
    return {IncorporateOutcome::kNotApplicable, tac_name + ": " + read.reason + "; nothing changed"};
  if (bytes.size() < kHeaderSize)
    return {IncorporateOutcome::kNotApplicable, tac_name + ": header too short; nothing changed"};
  const int version = HeaderVersion(bytes.data());
  if (version < kLowestTacVersion)
    return {IncorporateOutcome::kNotApplicable,
            tac_name + ": unsupported version " + std::to_string(version) + "; nothing changed"};

  const std::size_t after_count = kHeaderSize + kCountSize;
  if (bytes.size() >= after_count) {
    const auto* count_bytes = reinterpret_cast<const unsigned char*>(bytes.data() + kHeaderSize);
    if (DecodeCount(count_bytes, kCountSize) == recorded)
      return {IncorporateOutcome::kAlreadyCurrent, tac_name + ": already up to date"};
  }

  std::string updated = bytes.substr(0, kHeaderSize);
  const auto value = static_cast<std::uint32_t>(recorded);
  for (std::size_t i = 0; i < kCountSize; ++i)
    updated += static_cast<char>((value >> (8 * i)) & 0xFF);
  if (bytes.size() > after_count) updated.append(bytes, after_count, std::string::npos);

  if (platform::Status written = platform::WriteFileAtomically(tac_name, updated); !written)
    return {IncorporateOutcome::kWriteFailed, written.message};
  return {IncorporateOutcome::kUpdated, tac_name + ": " + std::to_string(recorded) + " missions studied"};
}

}  // namespace vyr::parser
