// vyr-regsvr [-s] [-u] [--registry FILE] LIBRARY: loads an in-process server and calls its
// DllRegisterServer (or, with -u, DllUnregisterServer). Exit 0 on success.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com_runtime.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitLoadFailed = 3;
constexpr int kExitEntryMissing = 4;
constexpr int kExitCallFailed = 5;

void PrintUsage(std::FILE* to) {
  std::fputs(
      "Usage: vyr-regsvr [-s] [-u] [--registry FILE] LIBRARY\n"
      "Registers (or with -u unregisters) the in-process server LIBRARY in the user's registry.\n"
      "  -s               silent: print nothing\n"
      "  -u               call DllUnregisterServer instead of DllRegisterServer\n"
      "  --registry FILE  use FILE as the registry (default: $VYR_REGISTRY_FILE, else\n"
      "                   $XDG_DATA_HOME/vyr/registry.reg)\n",
      to);
}

}  // namespace

int main(int argc, char** argv) {
  bool silent = false;
  bool unregister = false;
  std::string library;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-s" || arg == "/s") {
      silent = true;
    } else if (arg == "-u" || arg == "/u") {
      unregister = true;
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(stdout);
      return 0;
    } else if (arg == "--registry") {
      if (++i == argc) {
        std::fputs("vyr-regsvr: --registry needs a file name\n", stderr);
        return kExitUsage;
      }
      ::setenv("VYR_REGISTRY_FILE", argv[i], 1);
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "vyr-regsvr: unknown option \"%s\"\n", arg.c_str());
      PrintUsage(stderr);
      return kExitUsage;
    } else if (library.empty()) {
      library = arg;
    } else {
      std::fputs("vyr-regsvr: give exactly one library\n", stderr);
      return kExitUsage;
    }
  }
  if (library.empty()) {
    PrintUsage(stderr);
    return kExitUsage;
  }

  std::string message;
  const platform::HRESULT hr = platform::RegisterServer(library, unregister, &message);
  if (platform::SUCCEEDED(hr)) {
    if (!silent) std::printf("%s\n", message.c_str());
    return 0;
  }
  if (!silent) std::fprintf(stderr, "vyr-regsvr: %s\n", message.c_str());
  if (hr == platform::CO_E_DLLNOTFOUND) return kExitLoadFailed;
  if (hr == platform::CO_E_ERRORINDLL) return kExitEntryMissing;
  return kExitCallFailed;
}
