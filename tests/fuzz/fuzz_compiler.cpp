// Random replacement text: compile it and play it to the end against a silent double.
// Byte 0 chooses where the text starts and whether it is terminated; byte 1 whether
// programs start; the rest is the text, which may run into the end of the block.
#include "hooklib/player.h"
#include "tests/unit/recording_platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tessel::testing::RecordingPlatform;
  if (size < 2) return 0;
  const uint8_t layout = data[0];
  const uint8_t behaviour = data[1];
  data += 2;
  size -= 2;
  if (size > 4096) size = 4096;

  const uint32_t offset = tessel::store::kHeaderSize + (layout & 0x0F);
  const bool terminated = layout & 0x10;
  std::vector<uint8_t> block(offset + size + (terminated ? 1 : 0));
  tessel::store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Initialise(static_cast<int32_t>(block.size()));
  std::copy(data, data + size, block.begin() + offset);
  if (terminated) block.back() = tessel::store::kEntryMark;
  // Random key state as the text starts.
  for (uint32_t i = 0; i < tessel::store::kKeyStateSize && i < size; ++i) view.KeyState()[i] = data[i];

  RecordingPlatform platform;
  platform.silent = true;
  platform.focus = (behaviour & 1) ? 5 : 0;
  platform.foreground = (behaviour & 2) ? 9 : 0;
  platform.windowThreads[9] = 7;
  platform.threadFocus[7] = 90;
  platform.startResult = (behaviour & 4) ? 33 : 2;
  platform.now = 0xFFFFFF00u;
  platform.advanceClockOnInfo = true;
  platform.windows = {{10, 0, "Notepad", true, true, 1}, {11, 10, "Edit", true, false, 1},
                      {12, 0, "Setup", true, false, 7}, {13, 12, "Next >", true, false, 7}};
  for (int i = 0; i < 256; ++i) platform.keyboard[i] = static_cast<uint8_t>(i * 37);

  tessel::ReplacementPlayer player(platform);
  if (!player.Compile(view, offset)) return 0;
  // A second text appended behind the first, as Compile never resets.
  if (behaviour & 8) player.Compile(view, offset + 1);
  player.AddRecord(tessel::RecordKind::KeyDown, behaviour, 0);
  // Every tick is 50 ms later, so waits of up to a few seconds run out.
  for (int tick = 0; tick < 20000 && !player.Idle(); ++tick) {
    player.Play(view);
    platform.now += 50;
    if (tick == 19999) player.Reset();  // very long waits: give up
  }
  return 0;
}
