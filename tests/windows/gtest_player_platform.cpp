// Contract of Win32PlayerPlatform under Wine: the real calls behave as the player and the
// macro commands expect. The platform is not exported by the library, so its source is
// compiled into this program.
#include <gtest/gtest.h>

#include "hooklib/player.h"
#include "hooklib/win32/win32_player_platform.cpp"  // NOLINT: see above

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessel {
namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  uint32_t lParam;
  bool operator==(const Received& o) const {
    return message == o.message && wParam == o.wParam && lParam == o.lParam;
  }
};

std::ostream& operator<<(std::ostream& out, const Received& r) {
  char text[64];
  std::snprintf(text, sizeof text, "{0x%X, %u, 0x%08X}", r.message, static_cast<unsigned>(r.wParam),
                r.lParam);
  return out << text;
}

// Keyboard messages received by windows of the recording class, per thread.
thread_local std::vector<Received>* t_received = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (t_received && message >= WM_KEYFIRST && message <= WM_KEYLAST)
    t_received->push_back({message, wParam, static_cast<uint32_t>(lParam)});
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* RecordingClass() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TesselPlayerRecorder";
    return RegisterClassA(&wc) != 0;
  }();
  return registered ? "TesselPlayerRecorder" : "STATIC";
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

HWND TopWindow(const char* title, bool visible = true) {
  HWND w = CreateWindowExA(0, RecordingClass(), title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                           50, 50, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  Pump();
  return w;
}

HWND Child(HWND parent, const char* cls, const char* text) {
  HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE, 5, 5, 200, 30, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  Pump();
  return w;
}

bool Contains(const std::vector<WindowHandle>& list, HWND w) {
  for (WindowHandle h : list)
    if (h == reinterpret_cast<WindowHandle>(w)) return true;
  return false;
}

WindowHandle H(HWND w) { return reinterpret_cast<WindowHandle>(w); }

class PlayerPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { t_received = &received_; }
  void TearDown() override {
    t_received = nullptr;
    for (HWND w : windows_) DestroyWindow(w);
    Pump();
  }
  HWND Own(HWND w) {
    windows_.push_back(w);
    return w;
  }

  Win32PlayerPlatform platform_{GetModuleHandleA(nullptr)};
  std::vector<Received> received_;
  std::vector<HWND> windows_;
};

TEST_F(PlayerPlatformTest, PostedMessagesArriveWithTheirKeyData) {
  HWND w = Own(TopWindow("Tessel Player Post"));
  platform_.Post(H(w), kMsgKeyDown, 17, 0x001D0001);
  platform_.Post(H(w), kMsgSysKeyDown, 96, 0x20520001);
  platform_.Post(H(w), kMsgSysKeyUp, 96, 0xE0520001);
  platform_.Post(H(w), kMsgKeyUp, 18, 0xC0380001);
  platform_.Post(H(w), kMsgChar, 233, 1);
  Pump();
  const std::vector<Received> expected = {{WM_KEYDOWN, 17, 0x001D0001},
                                          {WM_SYSKEYDOWN, 96, 0x20520001},
                                          {WM_SYSKEYUP, 96, 0xE0520001},
                                          {WM_KEYUP, 18, 0xC0380001},
                                          {WM_CHAR, 233, 1}};
  EXPECT_EQ(received_, expected);
}

TEST_F(PlayerPlatformTest, KeyboardStateRoundTrip) {
  uint8_t saved[256];
  platform_.ReadKeyboardState(saved);
  uint8_t state[256];
  std::memcpy(state, saved, sizeof state);
  state[VK_SHIFT] = 0x80;
  state[VK_LSHIFT] = 0x80;
  state[VK_CAPITAL] = 0x01;
  platform_.WriteKeyboardState(state);
  uint8_t back[256];
  platform_.ReadKeyboardState(back);
  EXPECT_EQ(back[VK_SHIFT] & 0x80, 0x80);
  EXPECT_EQ(back[VK_LSHIFT] & 0x80, 0x80);
  EXPECT_EQ(back[VK_CAPITAL] & 0x01, 0x01);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  state[VK_SHIFT] = 0;
  platform_.WriteKeyboardState(state);
  platform_.ReadKeyboardState(back);
  EXPECT_EQ(back[VK_SHIFT] & 0x80, 0);
  platform_.WriteKeyboardState(saved);
}

TEST_F(PlayerPlatformTest, MapKeyBothWays) {
  EXPECT_EQ(platform_.MapKey(0x1E, 3), static_cast<uint32_t>('A'));
  EXPECT_EQ(platform_.MapKey('A', 0), 0x1Eu);
  EXPECT_EQ(platform_.MapKey(VK_CONTROL, 0), 0x1Du);
  EXPECT_EQ(platform_.MapKey(VK_MENU, 0), 0x38u);
  EXPECT_EQ(platform_.MapKey(VK_RETURN, 0), 0x1Cu);
  EXPECT_EQ(platform_.MapKey(0x2A, 3), static_cast<uint32_t>(VK_LSHIFT));  // left and right apart
  EXPECT_EQ(platform_.MapKey(0x36, 3), static_cast<uint32_t>(VK_RSHIFT));
}

TEST_F(PlayerPlatformTest, WindowsTextsAndVisibility) {
  HWND top = Own(TopWindow("Tessel Player Top"));
  HWND panel = Child(top, "STATIC", "Panel");
  HWND edit = Child(panel, "EDIT", "Next >");
  HWND hidden = Own(TopWindow("Tessel Player Hidden", false));
  HWND longTitle = Own(TopWindow(std::string(300, 'L').c_str()));

  const auto tops = platform_.TopLevelWindows();
  EXPECT_TRUE(Contains(tops, top));
  EXPECT_TRUE(Contains(tops, hidden));
  EXPECT_FALSE(Contains(tops, panel));
  const auto children = platform_.ChildWindows(H(top));
  EXPECT_TRUE(Contains(children, panel));
  EXPECT_TRUE(Contains(children, edit));  // descendants as well

  EXPECT_EQ(platform_.WindowText(H(top)), "Tessel Player Top");
  EXPECT_EQ(platform_.WindowText(H(edit)), "Next >");
  EXPECT_EQ(platform_.WindowText(H(longTitle)), std::string(253, 'L'));
  EXPECT_TRUE(platform_.Visible(H(top)));
  EXPECT_FALSE(platform_.Visible(H(hidden)));

  EXPECT_EQ(FindWindowBySpec(platform_, "Tessel Player Top,Next"), H(edit));
  EXPECT_EQ(FindWindowBySpec(platform_, "Tessel Player Top,Panel"), H(panel));
  EXPECT_EQ(FindWindowBySpec(platform_, "Tessel Player Hidden"), 0u);
  EXPECT_EQ(FindWindowBySpec(platform_, "tessel player top"), 0u);
}

TEST_F(PlayerPlatformTest, MinimisedAndRestored) {
  HWND top = Own(TopWindow("Tessel Player Iconic"));
  ShowWindow(top, SW_MINIMIZE);
  Pump();
  EXPECT_TRUE(platform_.Minimised(H(top)));
  platform_.Restore(H(top));
  Pump();
  EXPECT_FALSE(platform_.Minimised(H(top)));
  EXPECT_TRUE(platform_.Visible(H(top)));
}

TEST_F(PlayerPlatformTest, ThreadsAndFocus) {
  HWND top = Own(TopWindow("Tessel Player Threads"));
  EXPECT_EQ(platform_.CurrentThread(), GetCurrentThreadId());
  EXPECT_EQ(platform_.WindowThread(H(top)), GetCurrentThreadId());
  SetForegroundWindow(top);
  SetFocus(top);
  EXPECT_EQ(platform_.FocusWindow(), H(top));
  EXPECT_EQ(platform_.ForegroundWindow(), H(top));
}

TEST_F(PlayerPlatformTest, MissingProgramDoesNotStart) {
  EXPECT_LT(platform_.StartProgram("no_such_program_xyz"), 32u);
  EXPECT_LT(platform_.StartProgram("C:\\nodir\\x.exe"), 32u);
}

TEST_F(PlayerPlatformTest, FocusOnAChildOfThisThread) {
  Own(TopWindow("Tessel Player Other Top"));
  HWND top = Own(TopWindow("Tessel Player Focus"));
  HWND edit = Child(top, "EDIT", "Field two");
  SetForegroundWindow(FindWindowA(nullptr, "Tessel Player Other Top"));
  ASSERT_TRUE(FocusWindowBySpec(platform_, "Tessel Player Focus,two"));
  Pump();
  EXPECT_EQ(GetForegroundWindow(), top);  // a child cannot come forward: its top level does
  EXPECT_EQ(GetFocus(), edit);
}

// A window with an edit on a thread of its own, as another application would have.
class OtherThread {
 public:
  OtherThread() {
    thread_ = std::thread([this] {
      std::vector<Received> received;
      t_received = &received;
      top_ = TopWindow("Tessel Thread Window");
      edit_ = CreateWindowExA(0, RecordingClass(), "Other Edit", WS_CHILD | WS_VISIBLE, 5, 5, 200, 30,
                              top_, nullptr, GetModuleHandleA(nullptr), nullptr);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      while (!stop_) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(0, &info)) focus_ = info.hwndFocus;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          received_ = received;
        }
        Sleep(5);
      }
      DestroyWindow(top_);
      t_received = nullptr;
      done_ = true;
    });
    while (!ready_) Sleep(5);
  }
  // Destroying the other thread's windows activates windows of this thread, which is
  // sent messages meanwhile: keep pumping until the other thread is done.
  ~OtherThread() {
    stop_ = true;
    while (!done_) {
      Pump();
      Sleep(5);
    }
    thread_.join();
  }
  HWND Top() const { return top_; }
  HWND Edit() const { return edit_; }
  DWORD Id() const { return threadId_; }
  HWND Focus() const { return focus_; }
  std::vector<Received> ReceivedSoFar() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<HWND> focus_{nullptr};
  HWND top_ = nullptr;
  HWND edit_ = nullptr;
  DWORD threadId_ = 0;
  std::mutex mutex_;
  std::vector<Received> received_;
};

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    Pump();
    Sleep(10);
  }
  return condition();
}

TEST_F(PlayerPlatformTest, FocusOnAWindowOfAnotherThread) {
  HWND mine = Own(TopWindow("Tessel Player Mine"));
  SetForegroundWindow(mine);
  OtherThread other;
  ASSERT_TRUE(FocusWindowBySpec(platform_, "Tessel Thread Window,Other Edit"));
  EXPECT_TRUE(WaitFor([&] { return other.Focus() == other.Edit(); }));
  EXPECT_EQ(GetForegroundWindow(), other.Top());
  // The attachment lasted only for the call: this thread does not see the other's focus.
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(PlayerPlatformTest, GiveFocusKeepsThePlayersAttachment) {
  OtherThread other;
  SetForegroundWindow(other.Top());
  ASSERT_TRUE(platform_.AttachInput(GetCurrentThreadId(), other.Id(), true));
  platform_.GiveFocus(H(other.Edit()));
  EXPECT_EQ(GetFocus(), other.Edit());  // still attached: the shared focus is visible here
  EXPECT_EQ(platform_.FocusWindow(), H(other.Edit()));
  // Messages posted to the focus reach the other thread.
  platform_.Post(platform_.FocusWindow(), kMsgChar, 'q', 1);
  EXPECT_TRUE(WaitFor([&] { return !other.ReceivedSoFar().empty(); }));
  EXPECT_EQ(other.ReceivedSoFar().front(), (Received{WM_CHAR, 'q', 1}));
  EXPECT_TRUE(platform_.AttachInput(GetCurrentThreadId(), other.Id(), false));
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(PlayerPlatformTest, ShowInformationBlocksForItsDuration) {
  HMODULE library = LoadLibraryA("TESSHOOK32.DLL");
  Win32PlayerPlatform platform(library ? library : GetModuleHandleA(nullptr));
  platform.ShowInformation("shown for nothing", 0);
  const DWORD start = GetTickCount();
  platform.ShowInformation("Player platform test", 300);
  EXPECT_GE(GetTickCount() - start, 290u);
  if (library) FreeLibrary(library);
}

TEST_F(PlayerPlatformTest, PlayerDrivesTheFocusWindow) {
  HWND top = Own(TopWindow("Tessel Player Typing"));
  SetForegroundWindow(top);
  SetFocus(top);
  std::vector<uint8_t> block(1024);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Initialise(static_cast<int32_t>(block.size()));
  const char text[] = "{+a}b\x01";
  std::memcpy(block.data() + 400, text, sizeof text);

  ReplacementPlayer player(platform_);
  ASSERT_TRUE(player.Compile(view, 400));
  for (int tick = 0; tick < 20 && !player.Idle(); ++tick) {
    player.Play(view);
    Pump();
  }
  EXPECT_TRUE(player.Idle());
  const std::vector<Received> expected = {{WM_KEYDOWN, VK_SHIFT, 0x002A0001},
                                          {WM_KEYDOWN, 'A', 0x001E0001},
                                          {WM_KEYUP, 'A', 0xC01E0001},
                                          {WM_KEYUP, VK_SHIFT, 0xC02A0001},
                                          {WM_CHAR, 'b', 1}};
  EXPECT_EQ(received_, expected);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

// Another process's window, started by the end-to-end script (target_app.exe): Focus moves
// the typing there. The edit's text is read with WM_GETTEXT: GetWindowTextA does not see an
// edit control's text across processes.
TEST_F(PlayerPlatformTest, PlayerFocusesAWindowOfAnotherProcess) {
  const char* title = std::getenv("TESSEL_OTHER_TITLE");
  if (title == nullptr || *title == 0) GTEST_SKIP() << "TESSEL_OTHER_TITLE not set";
  HWND mine = Own(TopWindow("Tessel Player Typing Source"));
  SetForegroundWindow(mine);
  SetFocus(mine);

  std::vector<uint8_t> block(1024);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Initialise(static_cast<int32_t>(block.size()));
  const std::string text = std::string("{!Focus ") + title + "}moved\x01";
  std::memcpy(block.data() + 400, text.data(), text.size());

  ReplacementPlayer player(platform_);
  ASSERT_TRUE(player.Compile(view, 400));
  for (int tick = 0; tick < 50 && !player.Idle(); ++tick) {
    player.Play(view);
    Pump();
    Sleep(10);
  }
  EXPECT_TRUE(player.Idle());
  HWND other = FindWindowA(nullptr, title);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(GetForegroundWindow(), other);
  HWND edit = FindWindowExA(other, nullptr, "EDIT", nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(WaitFor([&] {
    char buffer[64] = "";
    SendMessageTimeoutA(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        1000, nullptr);
    return std::string(buffer) == "moved";
  }));
  EXPECT_EQ(GetFocus(), nullptr);  // the player's attachment ended with the text
  SetForegroundWindow(mine);
}

}  // namespace
}  // namespace tessel
