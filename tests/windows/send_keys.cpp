// send_keys.exe [-w TITLE] [--stamp] TOKEN...
//
// Types through SendInput with both the virtual key and the scan code, which under Wine
// gives the same keyboard messages as real keys (see docs/platform-notes.md).
//   bp:VK,SCAN   press (down + up)      values in hex, e.g. bp:41,1e
//   bd:VK,SCAN   down only              bu:VK,SCAN  up only
//   text:STRING  ASCII letters, digits, blank and US punctuation (Shift where needed)
//   -w TITLE     make the top-level window TITLE the foreground window first
//   --stamp      print "sent TICK VK down|up" (GetTickCount) for each event
// Events are 20 ms apart.
// Exit code 0 when every event was sent (and -w succeeded).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr WORD kShiftVk = VK_SHIFT;
constexpr WORD kShiftScan = 0x2A;

bool g_ok = true;
bool g_stamp = false;

void Send(WORD vk, WORD scan, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
  if (g_stamp) std::printf("sent %lu 0x%02X %s\n", GetTickCount(), vk, up ? "up" : "down");
  if (SendInput(1, &input, sizeof input) != 1) {
    std::printf("send_keys: SendInput(vk 0x%02X scan 0x%02X %s) failed, error %lu\n", vk, scan,
                up ? "up" : "down", GetLastError());
    g_ok = false;
  }
  Sleep(20);
}

struct CharKey {
  WORD vk;
  WORD scan;
  bool shift;
};

// US layout, the keyboard of the test display.
bool KeyForChar(char c, CharKey& key) {
  static const char kLetterScans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                        0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  static const char kDigitScans[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
  struct Punctuation {
    char plain, shifted;
    WORD vk, scan;
  };
  static const Punctuation kPunctuation[] = {
      {'-', '_', VK_OEM_MINUS, 0x0C}, {'=', '+', VK_OEM_PLUS, 0x0D},  {'[', '{', VK_OEM_4, 0x1A},
      {']', '}', VK_OEM_6, 0x1B},     {';', ':', VK_OEM_1, 0x27},     {'\'', '"', VK_OEM_7, 0x28},
      {'`', '~', VK_OEM_3, 0x29},     {'\\', '|', VK_OEM_5, 0x2B},    {',', '<', VK_OEM_COMMA, 0x33},
      {'.', '>', VK_OEM_PERIOD, 0x34}, {'/', '?', VK_OEM_2, 0x35},
  };
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  if (c >= 'a' && c <= 'z') {
    key = {static_cast<WORD>('A' + (c - 'a')), static_cast<WORD>(kLetterScans[c - 'a']), false};
  } else if (c >= 'A' && c <= 'Z') {
    key = {static_cast<WORD>(c), static_cast<WORD>(kLetterScans[c - 'A']), true};
  } else if (c >= '0' && c <= '9') {
    key = {static_cast<WORD>(c), static_cast<WORD>(kDigitScans[c - '0']), false};
  } else if (c == ' ') {
    key = {VK_SPACE, 0x39, false};
  } else if (const char* digit = std::strchr(kShiftedDigits, c); digit != nullptr && c != '\0') {
    const int d = static_cast<int>(digit - kShiftedDigits);
    key = {static_cast<WORD>('0' + d), static_cast<WORD>(kDigitScans[d]), true};
  } else {
    for (const Punctuation& p : kPunctuation) {
      if (c == p.plain || c == p.shifted) {
        key = {p.vk, p.scan, c == p.shifted};
        return true;
      }
    }
    return false;
  }
  return true;
}

bool TypeText(const char* text) {
  for (const char* p = text; *p != '\0'; ++p) {
    CharKey key;
    if (!KeyForChar(*p, key)) {
      std::printf("send_keys: no key for character 0x%02X\n", static_cast<unsigned char>(*p));
      return false;
    }
    if (key.shift) Send(kShiftVk, kShiftScan, false);
    Send(key.vk, key.scan, false);
    Send(key.vk, key.scan, true);
    if (key.shift) Send(kShiftVk, kShiftScan, true);
  }
  return true;
}

struct FindByTitle {
  const char* title;
  HWND exact = nullptr;
  HWND partial = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<FindByTitle*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  if (std::strcmp(text, find->title) == 0) {
    find->exact = window;
    return FALSE;
  }
  if (find->partial == nullptr && std::strstr(text, find->title) != nullptr) find->partial = window;
  return TRUE;
}

bool BringToFront(const char* title) {
  FindByTitle find{title};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&find));
  HWND window = find.exact != nullptr ? find.exact : find.partial;
  if (window == nullptr) {
    std::printf("send_keys: no window \"%s\"\n", title);
    return false;
  }
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    Sleep(50);
  }
  std::printf("send_keys: \"%s\" did not become the foreground window\n", title);
  return false;
}

// "bp:41,1e" and friends; returns false for an unknown token.
bool SendToken(const char* token) {
  const char* colon = std::strchr(token, ':');
  if (colon == nullptr) return false;
  const std::string head(token, colon);
  if (head == "text") return TypeText(colon + 1);
  if (head != "bp" && head != "bd" && head != "bu") return false;
  char* end = nullptr;
  const auto vk = static_cast<WORD>(std::strtoul(colon + 1, &end, 16));
  if (end == nullptr || *end != ',') return false;
  const auto scan = static_cast<WORD>(std::strtoul(end + 1, nullptr, 16));
  if (head != "bu") Send(vk, scan, false);
  if (head != "bd") Send(vk, scan, true);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  int i = 1;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "-w") == 0 && i + 1 < argc) {
      if (!BringToFront(argv[++i])) return 1;
    } else if (std::strcmp(argv[i], "--stamp") == 0) {
      g_stamp = true;
    } else {
      break;
    }
  }
  for (; i < argc; ++i) {
    if (!SendToken(argv[i])) {
      std::printf("send_keys: bad token \"%s\"\n", argv[i]);
      return 2;
    }
  }
  return g_ok ? 0 : 1;
}
