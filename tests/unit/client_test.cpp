// Install, Uninstall and GetFront over an in-memory store and settings file, with the
// hook owner mutex modelled across several client processes: who holds the hook, what
// happens when its holder dies, and which failures reach GetLastErrorText.
#include "common/memory_profile.h"
#include "hooklib/client.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tessel {
namespace {

// The named owner mutex as the system keeps it: one owner thread, a hold count, and
// whether its last owner ended while holding it.
struct OwnerMutex {
  uint32_t owner = 0;
  int holds = 0;
  bool abandoned = false;

  void ThreadEnds(uint32_t thread) {
    if (owner != thread) return;
    owner = 0;
    holds = 0;
    abandoned = true;
  }
};

// One client process: its own per-process state, a thread, and the system calls.
class Client : public ClientPlatform {
 public:
  Client(OwnerMutex& mutex, uint32_t thread)
      : nextHook(static_cast<int32_t>(0x100 * thread)), mutex_(mutex), thread_(thread) {}

  uint32_t CurrentThread() override { return thread_; }
  OwnerProbe ProbeOwner() override {
    if (mutex_.owner != 0 && mutex_.owner != thread_) return OwnerProbe::Busy;
    mutex_.owner = thread_;
    ++mutex_.holds;
    const bool abandoned = mutex_.abandoned;
    mutex_.abandoned = false;
    return abandoned ? OwnerProbe::Abandoned : OwnerProbe::Taken;
  }
  void ReleaseOwner() override {
    if (mutex_.owner == thread_ && --mutex_.holds == 0) mutex_.owner = 0;
  }
  int32_t SetHook(uint32_t& systemError) override {
    systemError = hookError;
    return hookError ? 0 : nextHook++;
  }
  void Unhook(int32_t hook) override { unhooked.push_back(hook); }
  bool WriteSelected(const std::string& path, int32_t selected) override {
    written[path] = selected;
    return writable;
  }
  uint32_t CurrentProcess() override { return thread_; }
  Program ProgramInFront() override { return front; }
  void WatchForeground(bool on) override { watching = on; }

  ClientState state;
  Program front;
  bool watching = false;
  uint32_t hookError = 0;
  int32_t nextHook;  // handles differ between clients
  bool writable = true;
  std::vector<int32_t> unhooked;
  std::map<std::string, int32_t> written;

 private:
  OwnerMutex& mutex_;
  uint32_t thread_;
};

const char* const kSettings = "[TESSEL32]\nSelected=2\n[MAPS]\nOne=\nTwo=\n[One]\n30_N=1\n[Two]\n30_N=2\n";

class Clients : public ::testing::Test {
 protected:
  InstallResult Install(Client& client, int32_t front, const std::string& settings = kSettings) {
    MemoryProfile profile("C:\\tessel\\t.ini", settings);
    return InstallLocked(view_, client.state, client, profile, front);
  }
  std::string Uninstall(Client& client) { return UninstallLocked(view_, client.state, client); }
  int32_t Front(Client& client) { return FrontLocked(view_, client.state, client); }
  int32_t Field(store::Field field) { return view_.Get(field); }

  std::vector<uint8_t> block_ = std::vector<uint8_t>(20480);
  store::StoreView view_{block_.data(), static_cast<uint32_t>(block_.size())};
  OwnerMutex mutex_;
  Client host_{mutex_, 11};
  Client front_{mutex_, 22};
  Client other_{mutex_, 33};

  void SetUp() override { view_.Initialise(20480); }
};

TEST_F(Clients, TheInstallingThreadHoldsTheHookAndASecondInstallOnlyWritesFront) {
  EXPECT_EQ(Install(host_, -1).error, "");
  EXPECT_EQ(Field(store::kHookHandle), 0xB00);
  EXPECT_EQ(Field(store::kSelectedMap), 2);
  EXPECT_EQ(mutex_.owner, 11u);
  EXPECT_EQ(Install(front_, 0x4242).error, "");
  EXPECT_EQ(Field(store::kFront), 0x4242);
  EXPECT_EQ(Field(store::kHookHandle), 0xB00);
  EXPECT_EQ(mutex_.owner, 11u);
  EXPECT_EQ(Front(other_), 0x4242);  // a live holder is left alone
  // The holder's Uninstall gives everything back.
  EXPECT_EQ(Uninstall(host_), "");
  EXPECT_EQ(host_.unhooked, std::vector<int32_t>{0xB00});
  EXPECT_EQ(host_.written["C:\\tessel\\t.ini"], 2);
  EXPECT_EQ(mutex_.owner, 0u);
  // A front value that SetFront wrote, with nobody holding the owner mutex, is no death.
  view_.Set(store::kFront, 7);
  EXPECT_EQ(Front(other_), 7);
  EXPECT_EQ(mutex_.owner, 0u);
}

// A program with a rule in front at Install switches at once; Uninstall saves the map the
// user had, and the holder's thread watches the front in between.
TEST_F(Clients, ProgramRulesStartWithTheProgramInFront) {
  host_.front = {77, "C:\\Programs\\WINWORD.EXE"};
  EXPECT_EQ(Install(host_, -1, std::string(kSettings) + "[Programs]\nwinword.exe=One\n").error, "");
  EXPECT_EQ(Field(store::kSelectedMap), 1);
  EXPECT_TRUE(host_.watching);
  EXPECT_EQ(Uninstall(host_), "");
  EXPECT_EQ(host_.written["C:\\tessel\\t.ini"], 2);
  EXPECT_FALSE(host_.watching);
}

struct DeathCase {
  const char* what;
  int32_t front;          // the dead holder's front value
  const char* settings;   // its maps (too large: no hook)
  bool viaInstall;        // the survivor calls Install (else GetFront first)
};

// A holder that dies (killed host, killed front end) leaves Front and HookHandle behind.
// The next GetFront or Install takes over: Front 0, the old selection saved, a fresh load
// and a hook of its own, without unhooking the handle that is gone.
TEST_F(Clients, ASurvivorTakesOverFromADeadHolder) {
  std::string tooLarge = "[TESSEL32]\nAllocate=0\n[MAPS]\nBig=\n[Big]\n";
  for (int code = 1; code < 120; ++code) tooLarge += std::to_string(code) + "_N=" + std::string(40, 'x') + "\n";
  const DeathCase cases[] = {
      {"host killed, restarted host asks GetFront first", -1, kSettings, false},
      {"front end killed, host started", 0x7777, kSettings, false},
      {"host killed, a front end installs at once", -1, kSettings, true},
      {"host whose maps did not fit, killed", -1, tooLarge.c_str(), false},
  };
  for (const DeathCase& c : cases) {
    SCOPED_TRACE(c.what);
    view_.Initialise(20480);
    mutex_ = OwnerMutex{};
    Client dead(mutex_, 44), survivor(mutex_, 55);
    const InstallResult first = Install(dead, c.front, c.settings);
    const bool hooked = first.error.empty();
    view_.Set(store::kSelectedMap, hooked ? 1 : 0);  // the user switched maps meanwhile
    mutex_.ThreadEnds(44);

    if (!c.viaInstall) {
      EXPECT_EQ(Front(survivor), 0);
      EXPECT_EQ(Field(store::kHookHandle), 0);
      EXPECT_EQ(mutex_.owner, 0u);  // GetFront does not keep it
    }
    EXPECT_EQ(Install(survivor, -1).error, "");
    EXPECT_EQ(Field(store::kFront), -1);
    EXPECT_EQ(Field(store::kHookHandle), survivor.nextHook - 1);
    EXPECT_EQ(mutex_.owner, 55u);
    EXPECT_TRUE(survivor.unhooked.empty());
    if (hooked) {
      EXPECT_EQ(survivor.written["C:\\tessel\\t.ini"], 1);
    }
    EXPECT_EQ(Front(other_), -1);
  }
}

TEST_F(Clients, FailuresAreReported) {
  host_.hookError = 1428;
  InstallResult result = Install(host_, -1);
  EXPECT_EQ(result.error, "Could not set the keyboard hook (error 1428)");
  EXPECT_TRUE(result.loaded);
  EXPECT_EQ(Field(store::kHookHandle), 0);
  EXPECT_EQ(Field(store::kFront), -1);

  host_.hookError = 0;
  std::string big = "[TESSEL32]\nAllocate=0\n[MAPS]\nBig=\n[Big]\n";
  for (int code = 1; code < 200; ++code) big += std::to_string(code) + "_N=" + std::string(100, 'x') + "\n";
  result = Install(host_, -1, big);
  EXPECT_EQ(result.error, "The allocated memory is too small for the maps.");
  EXPECT_TRUE(result.mapsTooLarge);
  EXPECT_EQ(Field(store::kHookHandle), 0);

  EXPECT_EQ(Install(host_, -1).error, "");
  host_.writable = false;
  EXPECT_EQ(Uninstall(host_), "Unable to write to C:\\tessel\\t.ini");
  EXPECT_EQ(Field(store::kSelectedMap), 0);
  EXPECT_EQ(Field(store::kHookHandle), 0);
  EXPECT_EQ(NoMutexError(2), "Could not open the mutex TESSEL32MUTEX (error 2)");
}

// Another client's Uninstall removes the holder's hook: the holder gives the owner mutex
// back at its next call, and a thread that set its hook while the mutex was still held
// takes it then, so that its own death is noticed later.
TEST_F(Clients, OwnershipFollowsTheHookAcrossClients) {
  EXPECT_EQ(Install(host_, -1).error, "");
  EXPECT_EQ(Uninstall(other_), "");
  EXPECT_EQ(other_.unhooked, std::vector<int32_t>{0xB00});
  EXPECT_EQ(Install(front_, 0x4242).error, "");  // sets its hook, mutex still the host's
  EXPECT_EQ(mutex_.owner, 11u);
  EXPECT_EQ(Front(host_), 0x4242);
  EXPECT_EQ(mutex_.owner, 0u);
  EXPECT_EQ(Front(front_), 0x4242);
  EXPECT_EQ(mutex_.owner, 22u);
  mutex_.ThreadEnds(22);
  EXPECT_EQ(Front(other_), 0);
}

}  // namespace
}  // namespace tessel
