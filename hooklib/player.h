// Replacement text: the compiler that turns a text of the store into records, and the
// player that feeds them, one timer tick at a time, to the window with the focus.
#pragma once
#include "hooklib/player_platform.h"
#include "hooklib/store_layout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

enum class RecordKind : uint8_t {
  Run = 0,
  Wait = 1,
  Focus = 2,
  KeyDown = 4,
  KeyUp = 5,
  Char = 6,
  ReleaseModifiers = 7,
};

// A key value with this bit carries a key code (scan code, bit 7 extended) instead of a
// virtual-key code.
constexpr uint16_t kKeyCodeValue = 0x8000;
constexpr size_t kMaxRecords = 65535;

struct Record {
  RecordKind kind;
  uint16_t value;     // KeyDown, KeyUp; Char: a UTF-16 code unit
  uint32_t position;  // Run, Wait, Focus: store offset where the arguments begin
};

class ReplacementPlayer {
 public:
  explicit ReplacementPlayer(PlayerPlatform& platform);
  virtual ~ReplacementPlayer() = default;

  // Appends the records of the text at textOffset of the store (0 = no text). False when
  // there is no text or it is empty.
  bool Compile(const store::StoreView& store, uint32_t textOffset);
  // The load generation of the store the records point into: a tick that finds another
  // one resets the player, since the positions of its commands name other entries now.
  uint16_t Generation() const { return generation_; }
  void AddRecord(RecordKind kind, uint16_t value, uint32_t position);
  // One timer tick: plays records until the tick is to end. The store provides the
  // KeyState area and the command arguments.
  void Play(store::StoreView& store);
  bool Idle() const { return idle_; }

  virtual void Reset();
  virtual void Inform(const std::string& text);
  virtual bool EnsureRoom();
  virtual void Advance();

  const std::vector<Record>& Records() const { return records_; }
  uint16_t Index() const { return index_; }
  uint32_t Deadline() const { return deadline_; }

 private:
  void AddCharacter(const char*& p, const char* end);
  void Step();
  void SendKeyDown(uint16_t value);
  void SendKeyUp(uint16_t value);
  void ReleaseModifiers();
  // Virtual key and key flags of a key value (bit 15: a key code instead of a virtual key).
  void KeyOf(uint16_t value, uint8_t& virtualKey, uint32_t& flags);
  void PostKey(uint32_t message, uint8_t virtualKey, uint32_t flags);
  void EndAttachment();
  // Macro commands (macros.cpp).
  std::string CommandArgument() const;
  void StepRun();
  void StepWait();
  void StepFocus();

  PlayerPlatform& platform_;
  store::StoreView* store_ = nullptr;  // set for the duration of Play
  uint8_t* keyState_ = nullptr;        // the store's KeyState area, during Play
  std::vector<Record> records_;        // the record block; its size is count_
  uint16_t growStep_ = 16;
  uint16_t capacity_ = 0;
  uint16_t index_ = 0;
  uint16_t count_ = 0;
  WindowHandle target_ = 0;
  uint32_t attachedThread_ = 0;
  uint32_t deadline_ = 0;
  uint16_t generation_ = 0;
  // A Wait runs. deadline_ alone cannot say so: start + n may wrap to exactly 0.
  bool waiting_ = false;
  uint32_t waitStart_ = 0;   // tick count when the running Wait began
  uint32_t waitLength_ = 0;  // its milliseconds
  bool yield_ = false;
  bool idle_ = true;
  bool busy_ = false;
};

// Window finder of the Focus command: fields of spec separated by commas, the first a
// text in a top-level window's title, each further one a text of a window below.
WindowHandle FindWindowBySpec(PlayerPlatform& platform, const std::string& spec);
bool FocusWindowBySpec(PlayerPlatform& platform, const std::string& spec);

}  // namespace tessel
