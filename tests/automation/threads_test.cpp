// Many client threads at once. The library runs their calls one at a time, so nothing corrupts memory
// whatever the interleaving (this program runs under ASan and ThreadSanitizer too); a client that holds its
// own lock across each close, parse and queries sees exactly what one thread would.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "automation_fixture.h"

namespace vyr::automation::testing {
namespace {

using namespace platform;

constexpr int kThreads = 8;
constexpr int kCycles = 200;

// What one close, parse and its queries answer.
struct Answers {
  std::int16_t parsed = -1;
  std::string title;
  std::int16_t actors = -1;
  std::vector<std::string> actor_names;
  std::int16_t locations = -1;
  std::string plan;
  std::string late_bound_title;

  friend bool operator==(const Answers&, const Answers&) = default;
};

// Script `n` differs from the others in its title and in how many locations and actors it has.
std::string ScriptText(int n) {
  std::ostringstream text;
  text << "mission \"Thread " << n
       << "\"\n{\n  author \"T\";\n  description \"d\";\n  rules { respawn = team };\n  map \"m" << n
       << "\"\n  {\n";
  for (int i = 0; i <= n; ++i)
    text << "    location l" << i << " = <" << i << ", 0, 0>;\n";
  text << "    area a { style = open; locations = l0; radius = 10 }\n  };\n";
  text << "  force \"f" << n << "\"\n  {\n    team \"t\"\n    {\n";
  for (int i = 0; i <= n; ++i)
    text << "      npc \"n" << n << '_' << i << "\" \"male/grunt\" { skill = 2 };\n";
  text << "    };\n  };\n  objectives { success (\"t\", \"won\") = timeout(30) -> { \"m\" } };\n  plan \"t\" "
          "{ wait "
       << 10 + n << "; join };\n}\n";
  return text.str();
}

class Threads : public AutomationTest {
 protected:
  void SetUp() override {
    AutomationTest::SetUp();
    for (int n = 0; n < kThreads; ++n)
      scripts_.push_back(WriteTempFile("thread" + std::to_string(n) + ".vyr", ScriptText(n)));
  }

  // Close, parse and query on one object, early-bound and through Invoke.
  static Answers Sequence(IVYRMission* mission, const std::string& path) {
    Answers a;
    mission->CloseMission();
    BStr file(Cp1252ToUtf16(path));
    mission->TryParseMission(file.Get(), &a.parsed);
    BStr title;
    mission->MissionTitle(title.Put());
    a.title = Text(title);
    mission->ActorCount(&a.actors);
    for (std::int16_t i = 0; i < a.actors; ++i) {
      BStr type, name, skin;
      float skill = 0;
      mission->ActorInfo(i, type.Put(), name.Put(), skin.Put(), &skill);
      a.actor_names.push_back(Text(name));
    }
    mission->GetLocationCount(&a.locations);
    BStr team(u"t"), plan;
    mission->GetTeamPlan(team.Get(), plan.Put());
    a.plan = Text(plan);

    std::u16string member = u"MissionTitle";
    LPOLESTR names[] = {member.data()};
    DISPID id = 0;
    if (mission->GetIDsOfNames(GUID_NULL, names, 1, 0, &id) == S_OK) {
      VARIANT result;
      VariantInit(&result);
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      if (mission->Invoke(id, GUID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr) == S_OK &&
          result.vt == VT_BSTR) {
        a.late_bound_title = Text(BStr::Adopt(result.bstrVal));
      }
    }
    return a;
  }

  // Each thread creates, uses and releases its own object per cycle, on its own script.
  template <typename Body>
  static void RunThreads(Body body) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&body, t] {
        for (int cycle = 0; cycle < kCycles; ++cycle)
          body(t, cycle);
      });
    for (std::thread& thread : threads)
      thread.join();
  }

  std::vector<std::string> scripts_;
};

TEST_F(Threads, UnguardedClientsNeverCrashAndGetWellFormedAnswers) {
  std::set<std::string> titles{"incorrect mission"};
  for (int n = 0; n < kThreads; ++n)
    titles.insert("Thread " + std::to_string(n));
  std::atomic<int> bad{0}, created{0};
  RunThreads([&](int t, int) {
    ComPtr<IVYRMission> mission;
    if (CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission.PutVoid()) != S_OK) {
      ++bad;
      return;
    }
    ++created;
    const Answers a = Sequence(mission.Get(), scripts_[static_cast<std::size_t>(t)]);
    // Other threads' closes and parses land between these calls: every answer is still one the
    // library can give, never garbage.
    if (a.parsed < 0 || a.parsed > 2 || titles.count(a.title) == 0 || a.actors < 0 ||
        a.actor_names.size() != static_cast<std::size_t>(a.actors) || a.locations < 0) {
      ++bad;
    }
  });
  EXPECT_EQ(bad.load(), 0);
  EXPECT_EQ(created.load(), kThreads * kCycles);
  // Every object was released: the module may unload again, and a new object parses as it should.
  mission_.Reset();
  EXPECT_EQ(Sequence(NewMission().Get(), scripts_[3]).title, "Thread 3");
}

TEST_F(Threads, ClientHoldingItsOwnLockGetsTheSingleThreadedAnswers) {
  std::vector<Answers> expected;
  for (const std::string& path : scripts_)
    expected.push_back(Sequence(mission_.Get(), path));
  for (int n = 0; n < kThreads; ++n) {
    const Answers& a = expected[static_cast<std::size_t>(n)];
    ASSERT_EQ(a.parsed, 0) << n;
    ASSERT_EQ(a.title, "Thread " + std::to_string(n));
    ASSERT_EQ(a.late_bound_title, a.title);
    ASSERT_EQ(a.actors, n + 1);
    ASSERT_EQ(a.locations, n + 1);
    ASSERT_EQ(a.actor_names.back(), (std::ostringstream() << 'n' << n << '_' << n).str());
    ASSERT_NE(a.plan.find(std::to_string(10 + n)), std::string::npos) << a.plan;
  }

  std::mutex client_lock;
  std::atomic<int> differing{0};
  RunThreads([&](int t, int) {
    // Creation and release stay outside the client's lock, so they interleave with other sequences.
    ComPtr<IVYRMission> mission;
    if (CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission.PutVoid()) != S_OK) {
      ++differing;
      return;
    }
    Answers got;
    {
      const std::lock_guard<std::mutex> hold(client_lock);
      got = Sequence(mission.Get(), scripts_[static_cast<std::size_t>(t)]);
    }
    if (!(got == expected[static_cast<std::size_t>(t)])) ++differing;
  });
  EXPECT_EQ(differing.load(), 0);
}

}  // namespace
}  // namespace vyr::automation::testing
