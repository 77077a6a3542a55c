#include "hooklib/player.h"
namespace tessel {
ReplacementPlayer::ReplacementPlayer(PlayerPlatform& platform) : platform_(platform) { Reset(); }
bool ReplacementPlayer::Compile(const store::StoreView&, uint32_t) { return false; }
void ReplacementPlayer::AddRecord(RecordKind, uint16_t, uint32_t) {}
void ReplacementPlayer::Play(store::StoreView&) {}
void ReplacementPlayer::Reset() { records_.clear(); idle_ = true; }
void ReplacementPlayer::Inform(const std::string& text) { platform_.ShowInformation(text, -2000); }
bool ReplacementPlayer::EnsureRoom() { return true; }
void ReplacementPlayer::Advance() {}
}  // namespace tessel
