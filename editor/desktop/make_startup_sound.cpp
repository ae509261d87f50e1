// make_startup_sound OUT.wav: synthesises the editor's start-up sound, a short "load and ready" cue
// (two clicks of a slide, then a rising three-note chime), as 16-bit mono PCM. The output is
// deterministic, so every build makes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

namespace {

constexpr int kSampleRate = 22050;
constexpr double kSeconds = 0.9;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A burst of decaying noise with a simple one-pole low-pass, for the metallic clicks.
void AddClick(std::vector<double>& samples, double at, double loudness, std::uint32_t seed) {
  const int start = static_cast<int>(at * kSampleRate);
  const int length = kSampleRate * 45 / 1000;
  double smoothed = 0.0;
  for (int i = 0; i < length && start + i < static_cast<int>(samples.size()); ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    smoothed += 0.45 * (noise - smoothed);
    const double envelope = std::exp(-static_cast<double>(i) / (kSampleRate * 0.008));
    samples[static_cast<std::size_t>(start + i)] += loudness * envelope * smoothed;
  }
}

// A bell-like note: the fundamental, a softer octave and a fast attack with an exponential decay.
void AddNote(std::vector<double>& samples, double at, double frequency, double loudness) {
  const int start = static_cast<int>(at * kSampleRate);
  for (int i = 0; start + i < static_cast<int>(samples.size()); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double attack = std::min(1.0, t / 0.004);
    const double envelope = attack * std::exp(-t / 0.16);
    const double phase = 2.0 * std::numbers::pi * frequency * t;
    samples[static_cast<std::size_t>(start + i)] +=
        loudness * envelope * (std::sin(phase) + 0.35 * std::sin(2.0 * phase) + 0.1 * std::sin(3.0 * phase));
  }
}

std::string Wave(const std::vector<double>& samples) {
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  PutLe(out, 36 + data_bytes, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kSampleRate, 4);
  PutLe(out, kSampleRate * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out += "data";
  PutLe(out, data_bytes, 4);
  for (double sample : samples) {
    const auto value = static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0));
    PutLe(out, static_cast<std::uint16_t>(value), 2);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_startup_sound OUT.wav\n";
    return 2;
  }
  std::vector<double> samples(static_cast<std::size_t>(kSeconds * kSampleRate), 0.0);
  AddClick(samples, 0.0, 0.55, 17);
  AddClick(samples, 0.11, 0.45, 91);
  AddNote(samples, 0.24, 659.26, 0.22);  // E5
  AddNote(samples, 0.33, 880.00, 0.22);  // A5
  AddNote(samples, 0.42, 1318.5, 0.20);  // E6
  // Fade out over the last 60 ms so the cue never ends with a click.
  const std::size_t fade = kSampleRate * 60 / 1000;
  for (std::size_t i = 0; i < fade; ++i)
    samples[samples.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
  const platform::Status written = platform::WriteFileAtomically(argv[1], Wave(samples));
  if (!written) {
    std::cerr << "make_startup_sound: " << written.message << '\n';
    return 1;
  }
  return 0;
}
