// Costs of reaching the library the way the editor does: creating an object through the registry,
// parsing a script, and calling an operation early- and late-bound.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "platform/com_runtime.h"
#include "vyrparser/automation/ivyrmission.h"

namespace {

using namespace platform;
using vyr::automation::IVYRMission;

const std::string kScript = std::string(VYR_SOURCE_DIR) + "/tests/data/automation/raid.vyr";

// One registry file for the whole program, registered once.
struct Setup {
  Setup() {
    char pattern[] = "/tmp/vyr-bench-XXXXXX";
    folder = ::mkdtemp(pattern);
    ::setenv("VYR_REGISTRY_FILE", (folder + "/registry.reg").c_str(), 1);
    RegisterServer(vyr::automation::BuiltVYRMissionLibrary(), false);
  }
  ~Setup() { std::filesystem::remove_all(folder); }
  std::string folder;
};
Setup& Once() {
  static Setup setup;
  return setup;
}

ComPtr<IVYRMission> Create() {
  ComPtr<IVYRMission> mission;
  CoCreateInstance(vyr::automation::CLSID_VYRMission, vyr::automation::IID_IVYRMission, mission.PutVoid());
  return mission;
}

void BM_CreateAndRelease(benchmark::State& state) {
  Once();
  for (auto _ : state) {
    ComPtr<IVYRMission> mission = Create();
    benchmark::DoNotOptimize(mission.Get());
  }
}
BENCHMARK(BM_CreateAndRelease);

void BM_CloseAndParse(benchmark::State& state) {
  Once();
  ComPtr<IVYRMission> mission = Create();
  BStr file(Cp1252ToUtf16(kScript));
  for (auto _ : state) {
    std::int16_t result = 0;
    mission->CloseMission();
    mission->TryParseMission(file.Get(), &result);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_CloseAndParse);

// A fresh object over the benchmark script, parsed once.
ComPtr<IVYRMission> CreateParsed() {
  ComPtr<IVYRMission> mission = Create();
  BStr file(Cp1252ToUtf16(kScript));
  std::int16_t result = 0;
  mission->CloseMission();
  mission->TryParseMission(file.Get(), &result);
  return mission;
}

void BM_ActorInfoEarlyBound(benchmark::State& state) {
  Once();
  ComPtr<IVYRMission> mission = CreateParsed();
  for (auto _ : state) {
    BStr type, name, skin;
    float skill = 0;
    mission->ActorInfo(0, type.Put(), name.Put(), skin.Put(), &skill);
    benchmark::DoNotOptimize(skill);
  }
}
BENCHMARK(BM_ActorInfoEarlyBound);

void BM_ActorInfoLateBound(benchmark::State& state) {
  Once();
  ComPtr<IVYRMission> mission = CreateParsed();
  for (auto _ : state) {
    BStr type, name, skin;
    float skill = 0;
    VARIANT args[5];
    for (VARIANT& v : args)
      VariantInit(&v);
    args[4].vt = VT_I2;
    args[3].vt = VT_BYREF | VT_BSTR;
    args[3].pbstrVal = type.Put();
    args[2].vt = VT_BYREF | VT_BSTR;
    args[2].pbstrVal = name.Put();
    args[1].vt = VT_BYREF | VT_BSTR;
    args[1].pbstrVal = skin.Put();
    args[0].vt = VT_BYREF | VT_R4;
    args[0].pfltVal = &skill;
    DISPPARAMS params{args, nullptr, 5, 0};
    mission->Invoke(8, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(skill);
  }
}
BENCHMARK(BM_ActorInfoLateBound);

}  // namespace

BENCHMARK_MAIN();
