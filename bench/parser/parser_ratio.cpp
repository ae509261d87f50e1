// Times `vyr check` against the grammar-table parser (grammar_table_check) on every script layout, in
// one run so that both see the same machine: the processor time (user and system) of each process,
// which a busy machine disturbs far less than the wall clock, best of N interleaved runs of each, the
// spread, the ratio,
// and each program's peak resident memory above that of a tiny script, relative to the script's size.
// Both must accept every layout, and both must agree on scripts cut short at many points.
//
//   parser_ratio [--runs=9] [--mb=48] [--layouts=a,b] [--vyr=PATH] [--reference=PATH]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "bench/parser/script_layouts.h"

namespace {

namespace fs = std::filesystem;
using vyr::bench::kLayoutCount;
using vyr::bench::kLayoutNames;
using vyr::bench::Layout;

struct Run {
  int status = -1;
  double seconds = 0;
  long max_rss_kb = 0;
};

// Runs `program check? file` with standard error discarded.
Run Execute(const std::vector<std::string>& argv) {
  Run run;
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stderr);
    std::vector<char*> args;
    for (const std::string& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  run.seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.max_rss_kb = usage.ru_maxrss;
  return run;
}

struct Programs {
  std::string vyr, reference;
  std::vector<std::string> Vyr(const fs::path& file) const { return {vyr, "check", file.string()}; }
  std::vector<std::string> Reference(const fs::path& file) const { return {reference, file.string()}; }
};

const char kTiny[] =
    "mission \"m\" { author \"a\"; description \"d\"; rules { respawn = none; }; map \"city\" { location l1 "
    "= "
    "<0, 0, 0>; location l2 = <100, 0, 0> }; force \"blue\" { team \"alpha\" { npc \"bob\" \"terror/terror\" "
    "{ "
    "weapon \"Handcannon\"; skill = 3 } }; }; objectives { }; plan \"alpha\" { advance towards l2 using "
    "\"walk\" }; }\n";

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Scripts cut short at many points (most fail, some end where the grammar allows): both parsers
// must answer alike. Returns the number of disagreements.
int CheckAgreement(const Programs& programs, const fs::path& script, const fs::path& scratch) {
  const std::string text = Read(script);
  int disagreements = 0;
  for (int i = 1; i <= 24; ++i) {
    const std::size_t cut = text.size() * i / 25 + static_cast<std::size_t>(i * 7919) % 97;
    std::ofstream(scratch, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(std::min(cut, text.size())));
    const int a = Execute(programs.Vyr(scratch)).status;
    const int b = Execute(programs.Reference(scratch)).status;
    if (a != b) {
      std::cerr << "  disagreement at byte " << cut << ": vyr check " << a << ", grammar table " << b << '\n';
      ++disagreements;
    }
  }
  return disagreements;
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path here = fs::canonical("/proc/self/exe").parent_path();
  Programs programs{(here.parent_path() / "bin" / "vyr").string(), (here / "grammar_table_check").string()};
  int runs = 9;
  std::uint64_t mb = 48;
  std::vector<Layout> layouts;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--runs=")) {
      runs = std::max(1, std::atoi(argv[i] + 7));
    } else if (arg.starts_with("--mb=")) {
      mb = std::strtoull(argv[i] + 5, nullptr, 10);
    } else if (arg.starts_with("--vyr=")) {
      programs.vyr = std::string(arg.substr(6));
    } else if (arg.starts_with("--reference=")) {
      programs.reference = std::string(arg.substr(12));
    } else if (arg.starts_with("--layouts=")) {
      std::string_view list = arg.substr(10);
      while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const Layout layout = vyr::bench::LayoutNamed(list.substr(0, comma));
        if (layout == kLayoutCount) {
          std::cerr << "parser_ratio: no layout " << list.substr(0, comma) << '\n';
          return 64;
        }
        layouts.push_back(layout);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
      }
    } else {
      std::cerr
          << "usage: parser_ratio [--runs=N] [--mb=MB] [--layouts=a,b] [--vyr=PATH] [--reference=PATH]\n";
      return 64;
    }
  }
  if (layouts.empty()) {
    for (int l = 0; l < kLayoutCount; ++l)
      layouts.push_back(static_cast<Layout>(l));
  }

  const fs::path folder = fs::temp_directory_path() / ("vyr_parser_ratio_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path tiny = folder / "tiny.vyr";
  std::ofstream(tiny, std::ios::binary) << kTiny;
  long tiny_vyr = 1L << 40, tiny_reference = 1L << 40;
  for (int i = 0; i < 3; ++i) {
    const Run a = Execute(programs.Vyr(tiny));
    const Run b = Execute(programs.Reference(tiny));
    if (a.status != 0 || b.status != 0) {
      std::cerr << "parser_ratio: the tiny script does not parse (vyr check " << a.status
                << ", grammar table " << b.status << ")\n";
      return 1;
    }
    tiny_vyr = std::min(tiny_vyr, a.max_rss_kb);
    tiny_reference = std::min(tiny_reference, b.max_rss_kb);
  }

  std::cout << "| layout | MB | vyr check best CPU s (spread) | grammar table best CPU s (spread) | ratio | "
               "vyr check "
               "peak/script | grammar table peak/script | agree |\n|---|---|---|---|---|---|---|---|\n";
  int failures = 0;
  for (const Layout layout : layouts) {
    const fs::path script = folder / (std::string(kLayoutNames[layout]) + ".vyr");
    if (!vyr::bench::GenerateLayout(layout, script, mb * 1'000'000)) {
      std::cerr << "parser_ratio: cannot write " << script << '\n';
      return 1;
    }
    const double size = static_cast<double>(fs::file_size(script));
    std::vector<double> vyr_times, reference_times;
    long vyr_rss = 0, reference_rss = 0;
    bool accepted = true;
    for (int i = 0; i < runs; ++i) {
      const Run a = Execute(programs.Vyr(script));
      const Run b = Execute(programs.Reference(script));
      accepted = accepted && a.status == 0 && b.status == 0;
      vyr_times.push_back(a.seconds);
      reference_times.push_back(b.seconds);
      vyr_rss = std::max(vyr_rss, a.max_rss_kb);
      reference_rss = std::max(reference_rss, b.max_rss_kb);
    }
    const int disagreements = CheckAgreement(programs, script, folder / "cut.vyr");
    std::sort(vyr_times.begin(), vyr_times.end());
    std::sort(reference_times.begin(), reference_times.end());
    const auto per_byte = [&](long kb, long tiny_kb) {
      return Fixed(static_cast<double>(kb - tiny_kb) * 1024 / size, 2);
    };
    std::cout << "| " << kLayoutNames[layout] << " | " << Fixed(size / 1e6, 1) << " | "
              << Fixed(vyr_times.front(), 3) << " (" << Fixed(vyr_times.front(), 2) << "–"
              << Fixed(vyr_times.back(), 2) << ") | " << Fixed(reference_times.front(), 3) << " ("
              << Fixed(reference_times.front(), 2) << "–" << Fixed(reference_times.back(), 2) << ") | "
              << Fixed(reference_times.front() / vyr_times.front(), 1) << "x | "
              << per_byte(vyr_rss, tiny_vyr) << " | " << per_byte(reference_rss, tiny_reference) << " | "
              << (accepted && disagreements == 0 ? "yes" : "NO") << " |" << std::endl;
    if (!accepted || disagreements != 0) ++failures;
    fs::remove(script);
  }
  fs::remove_all(folder);
  return failures == 0 ? 0 : 1;
}
