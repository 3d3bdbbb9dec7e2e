// Fuzzes the FLIC player: any bytes as an animation, opened, played to its end or a bounded number of ticks,
// sought and drawn into a small page.
#include <cstdint>

#include "media/flic_player.h"
#include "platform/msg/clock.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/mm/media_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CManualClock clock;
  CFlicPlayer player;
  auto source = std::make_unique<CMemoryByteSource>(std::vector<BYTE>(data, data + size), "fuzz.flc");
  if (!player.Start(std::move(source), clock, 1, nullptr, 2)) return 0;
  player.SetFramePeriod(0);
  player.Play();
  for (int tick = 0; tick < 200 && player.IsPlaying(); ++tick) player.OnTick();
  CBitmap page;
  CDC dc;
  if (!page.CreateBitmap(64, 48, 1, 32, nullptr) || !dc.CreateCompatibleDC(nullptr)) return 0;
  dc.SelectObject(&page);
  player.SetDisplayRect(CRect(-5, 3, 40, 60));
  player.Draw(&dc, TRUE);
  player.GotoFrame(&dc, 3);
  player.SeekToEnd(&dc);
  player.Draw(&dc, FALSE);
  player.Rewind(&dc);
  return 0;
}
