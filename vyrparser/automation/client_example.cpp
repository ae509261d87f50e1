// A C++ client of the mission script library: creates VYRMission through the user's registry (registering
// the installed library first when the class is not registered), parses a mission script and prints its
// title and how many actors it has. Exit 0 parsed, 1 the script did not parse, 2 no VYRMission.
// Built with:
//   c++ -std=c++20 client_example.cpp $(pkg-config --cflags --libs vyrparser)
//       -DVYR_MODULE="\"$(pkg-config --variable=module vyrparser)\"" -o client_example
#include <cstdio>
#include <string>
#include <string_view>

#include "vyrparser/automation/ivyrmission.h"

namespace {

// Mission texts are 8-bit characters carried in UTF-16 units; anything else prints as '?'.
std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text)
    out += unit < 0x100 ? static_cast<char>(unit) : '?';
  return out;
}

std::u16string Widen(std::string_view text) {
  std::u16string out;
  for (char c : text)
    out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: client_example SCRIPT.vyr\n", stderr);
    return 2;
  }
  platform::ComPtr<vyr::automation::IVYRMission> mission;
  std::string why;
  if (platform::FAILED(vyr::automation::CreateVYRMission(&mission, VYR_MODULE, &why))) {
    std::fprintf(stderr, "client_example: no VYRMission: %s\n", why.c_str());
    return 2;
  }
  std::int16_t result = -1;
  const platform::BStr file(Widen(argv[1]));
  mission->CloseMission();
  mission->TryParseMission(file.Get(), &result);
  if (result != 0) {
    std::fprintf(stderr, "client_example: %s did not parse (%d)\n", argv[1], result);
    return 1;
  }
  platform::BStr title;
  std::int16_t actors = 0;
  mission->MissionTitle(title.Put());
  mission->ActorCount(&actors);
  std::printf("%s: %d actors\n", Narrow(title.View()).c_str(), actors);
  mission->CloseMission();
  return 0;
}
