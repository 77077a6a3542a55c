// Test double of the player's operating-system interface. Every call with an effect is
// written to a log as one readable line; focus, foreground, keyboard state, tick count and
// a small window tree are plain fields that tests set up and inspect.
//
// Log lines:
//   KEYDOWN 17 001D0001      posted key message (also SYSKEYDOWN, KEYUP, SYSKEYUP)
//   CHAR 97 00000001         posted character message
//   GetKeyState / SetKeyState 16,18   keyboard state read / written (virtual keys held down)
//   Attach 1->77 on|off      AttachThreadInput
//   Run notepad              StartProgram
//   Info -2000 text          ShowInformation
//   Restore 11 / Foreground 13 / Focus 13
#pragma once
#include "hooklib/player_platform.h"
#include "hooklib/store_layout.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tessel::testing {

struct FakeWindow {
  WindowHandle handle = 0;
  WindowHandle parent = 0;  // 0 for a top-level window
  std::string text;
  bool visible = true;
  bool minimised = false;
  uint32_t thread = 1;
};

struct PostedMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  uint32_t lParam;
};

class RecordingPlatform : public PlayerPlatform {
 public:
  RecordingPlatform() {
    // A small US keyboard: virtual key <-> scan code.
    const std::pair<uint32_t, uint32_t> keys[] = {
        {8, 0x0E},  {9, 0x0F},  {13, 0x1C}, {16, 0x2A}, {17, 0x1D}, {18, 0x38}, {27, 0x01},
        {32, 0x39}, {37, 0x4B}, {38, 0x48}, {39, 0x4D}, {40, 0x50}, {46, 0x53}, {65, 0x1E},
        {66, 0x30}, {67, 0x2E}, {88, 0x2D}, {89, 0x15}, {112, 0x3B}, {123, 0x58},
        {160, 0x2A}, {161, 0x36}, {162, 0x1D}, {164, 0x38}, {20, 0x3A},  {96, 0x52},
        {97, 0x4F}, {98, 0x50}, {99, 0x51}};
    for (const auto& [vk, scan] : keys) {
      scanOf[vk] = scan;
      if (!virtualOf.count(scan)) virtualOf[scan] = vk;
    }
  }

  // --- what the tests set up ---
  WindowHandle focus = 0;        // focus window of the player's own thread
  WindowHandle foreground = 0;
  uint32_t thread = 1;           // the player's thread
  std::map<uint32_t, WindowHandle> threadFocus;  // focus windows of other threads
  std::map<WindowHandle, uint32_t> windowThreads;
  uint8_t keyboard[256] = {};    // the thread's keyboard state (GetKeyboardState)
  uint32_t now = 1000;           // GetTickCount
  uint32_t startResult = 33;     // WinExec result
  bool advanceClockOnInfo = false;  // ShowInformation blocks: add |duration| to now
  std::vector<FakeWindow> windows;  // in enumeration order; children after their parent
  std::map<uint32_t, uint32_t> scanOf;     // MapKey type 0
  std::map<uint32_t, uint32_t> virtualOf;  // MapKey type 3
  std::function<void()> onInformation;     // runs inside ShowInformation
  bool silent = false;                     // keep no log (fuzzing)

  // --- what the tests inspect ---
  std::vector<std::string> log;
  std::vector<PostedMessage> posts;
  uint32_t attachedTo = 0;

  static std::string MessageName(uint32_t message) {
    switch (message) {
      case kMsgKeyDown: return "KEYDOWN";
      case kMsgKeyUp: return "KEYUP";
      case kMsgChar: return "CHAR";
      case kMsgSysKeyDown: return "SYSKEYDOWN";
      case kMsgSysKeyUp: return "SYSKEYUP";
      default: return "MSG" + std::to_string(message);
    }
  }

  static std::string DownKeys(const uint8_t state[256]) {
    std::string keys;
    for (int vk = 0; vk < 256; ++vk) {
      if (!(state[vk] & 0x80)) continue;
      if (!keys.empty()) keys += ',';
      keys += std::to_string(vk);
    }
    return keys.empty() ? "none" : keys;
  }

  // Another thread's focus is visible while attached to it and it is the foreground thread.
  WindowHandle FocusWindow() override {
    if (focus != 0) return focus;
    if (attachedTo != 0 && attachedTo == WindowThread(foreground)) {
      const auto it = threadFocus.find(attachedTo);
      if (it != threadFocus.end()) return it->second;
    }
    return 0;
  }
  WindowHandle ForegroundWindow() override { return foreground; }
  uint32_t WindowThread(WindowHandle window) override {
    const auto it = windowThreads.find(window);
    if (it != windowThreads.end()) return it->second;
    for (const FakeWindow& w : windows)
      if (w.handle == window) return w.thread;
    return 0;
  }
  uint32_t CurrentThread() override { return thread; }
  bool AttachInput(uint32_t from, uint32_t to, bool attach) override {
    Write("Attach " + std::to_string(from) + "->" + std::to_string(to) + (attach ? " on" : " off"));
    if (attach) attachedTo = to;
    else if (attachedTo == to) attachedTo = 0;
    return from != to;
  }
  void ReadKeyboardState(uint8_t state[256]) override {
    Write("GetKeyState");
    std::memcpy(state, keyboard, 256);
  }
  void WriteKeyboardState(const uint8_t state[256]) override {
    Write("SetKeyState " + DownKeys(state));
    std::memcpy(keyboard, state, 256);
  }
  uint32_t MapKey(uint32_t code, uint32_t mapType) override {
    const auto& table = mapType == 3 ? virtualOf : scanOf;
    const auto it = table.find(code);
    return it == table.end() ? 0 : it->second;
  }
  void Post(WindowHandle window, uint32_t message, uintptr_t wParam, uint32_t lParam) override {
    posts.push_back({window, message, wParam, lParam});
    if (silent) return;
    char data[16];
    std::snprintf(data, sizeof data, "%08X", lParam);
    Write(MessageName(message) + " " + std::to_string(wParam) + " " + data);
  }
  uint32_t TickCount() override { return now; }
  uint32_t StartProgram(const std::string& commandLine) override {
    Write("Run " + commandLine);
    return startResult;
  }
  void ShowInformation(const std::string& text, int32_t duration) override {
    Write("Info " + std::to_string(duration) + " " + text);
    if (advanceClockOnInfo) now += static_cast<uint32_t>(duration < 0 ? -duration : duration);
    if (onInformation) onInformation();
  }
  std::vector<WindowHandle> TopLevelWindows() override {
    std::vector<WindowHandle> list;
    for (const FakeWindow& w : windows)
      if (w.parent == 0) list.push_back(w.handle);
    return list;
  }
  // All descendants, each parent before its children, as EnumChildWindows reports them.
  std::vector<WindowHandle> ChildWindows(WindowHandle parent) override {
    std::vector<WindowHandle> list;
    AddDescendants(parent, list, 0);
    return list;
  }
  bool Visible(WindowHandle window) override {
    const FakeWindow* w = Find(window);
    return w && w->visible;
  }
  std::string WindowText(WindowHandle window) override {
    const FakeWindow* w = Find(window);
    if (!w) return {};
    return w->text.substr(0, 253);
  }
  bool Minimised(WindowHandle window) override {
    const FakeWindow* w = Find(window);
    return w && w->minimised;
  }
  void Restore(WindowHandle window) override {
    Write("Restore " + std::to_string(window));
    if (FakeWindow* w = Find(window)) w->minimised = false;
  }
  bool BringToForeground(WindowHandle window) override {
    Write("Foreground " + std::to_string(window));
    foreground = window;
    if (WindowThread(window) != thread) focus = 0;
    return true;
  }
  // Focus moves to the window's thread; the player's own thread keeps none unless the
  // window is its own.
  void GiveFocus(WindowHandle window) override {
    Write("Focus " + std::to_string(window));
    const uint32_t owner = WindowThread(window);
    if (owner == thread || owner == 0) {
      focus = window;
    } else {
      focus = 0;
      threadFocus[owner] = window;
    }
  }

  // Log lines since the last call, joined by blanks; lines starting with a prefix in
  // skip are left out.
  std::string Take(const std::vector<std::string>& skip = {"GetKeyState"}) {
    std::string joined;
    for (const std::string& line : log) {
      bool skipped = false;
      for (const std::string& prefix : skip) skipped = skipped || line.rfind(prefix, 0) == 0;
      if (skipped) continue;
      if (!joined.empty()) joined += ' ';
      joined += line;
    }
    log.clear();
    return joined;
  }

  FakeWindow* Find(WindowHandle window) {
    for (FakeWindow& w : windows)
      if (w.handle == window) return &w;
    return nullptr;
  }

 private:
  void Write(std::string line) {
    if (!silent) log.push_back(std::move(line));
  }
  void AddDescendants(WindowHandle parent, std::vector<WindowHandle>& list, int depth) {
    if (depth > 64) return;
    for (const FakeWindow& w : windows) {
      if (w.parent != parent || w.handle == parent) continue;
      list.push_back(w.handle);
      AddDescendants(w.handle, list, depth + 1);
    }
  }
};

// A store block for tests: the header, then texts written at chosen offsets, each
// followed by the entry mark unless asked otherwise.
class TestStore {
 public:
  explicit TestStore(uint32_t size = 4096) : bytes_(size, 0), view_(bytes_.data(), size) {
    view_.Initialise(static_cast<int32_t>(size));
  }
  // Writes text at offset (>= 304) and returns the offset.
  uint32_t Put(uint32_t offset, const std::string& text, bool mark = true) {
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
    if (mark) bytes_[offset + text.size()] = store::kEntryMark;
    return offset;
  }
  uint32_t Put(const std::string& text) { return Put(store::kHeaderSize + 16, text); }
  store::StoreView& View() { return view_; }
  uint8_t* KeyState() { return view_.KeyState(); }

 private:
  std::vector<uint8_t> bytes_;
  store::StoreView view_;
};

}  // namespace tessel::testing
