// One turn of the message loop and timed waits, against a scripted loop and clock.
#include "model/message_pump.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_event_loop.h"

namespace {

using tvn::testing::ScriptedEventLoop;

CWnd* const kView = reinterpret_cast<CWnd*>(0x10);
CWnd* const kOther = reinterpret_cast<CWnd*>(0x20);

std::vector<UINT> Dispatched(const ScriptedEventLoop& loop) {
  std::vector<UINT> out;
  for (const QueuedMessage& m : loop.dispatched) out.push_back(m.message);
  return out;
}

}  // namespace

TEST(MessagePump, EscapeStopsAndIsDropped) {
  ScriptedEventLoop loop(kView);
  loop.queue = {{kOther, WM_KEYDOWN, VK_ESCAPE, 0}, {kOther, WM_KEYDOWN, 'A', 0}};
  EXPECT_TRUE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_TRUE(loop.dispatched.empty());
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_EQ(Dispatched(loop), std::vector<UINT>{WM_KEYDOWN});
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));  // nothing waiting
}

TEST(MessagePump, StopIsOnlyHeededWhenAskedForAndAQuitOrACloseEndsTheWait) {
  ScriptedEventLoop loop(kView);
  loop.stop = true;
  loop.queue = {{kOther, 0x401, 0, 0}, {nullptr, WM_QUIT, 0, 0}};
  EXPECT_TRUE(PumpMessages(loop, TRUE, FALSE));
  EXPECT_EQ(loop.queue.size(), 2u);
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_EQ(Dispatched(loop), std::vector<UINT>{0x401});
  EXPECT_TRUE(PumpMessages(loop, FALSE, FALSE));
  loop.closing = true;
  EXPECT_TRUE(PumpMessages(loop, FALSE, TRUE));
}

TEST(MessagePump, FilterDropsInputAndPaintForTheViewOnly) {
  ScriptedEventLoop loop(kView);
  for (UINT m : {0x200u, 0x201u, 0x209u, 0x100u, 0x108u, UINT{WM_PAINT}, 0x20Au, 0x0FFu, 0x113u})
    loop.queue.push_back({kView, m, 0, 0});
  loop.queue.push_back({kOther, 0x201, 0, 0});
  while (!loop.queue.empty()) PumpMessages(loop, FALSE, TRUE);
  EXPECT_EQ(Dispatched(loop), (std::vector<UINT>{0x20A, 0x0FF, 0x113, 0x201}));
}

TEST(MessagePump, WaitLastsUntilTheTimerAdvancedAndPumpsOnEachTurn) {
  ScriptedEventLoop loop(kView);
  loop.now = 0xFFFFFFF0u;  // the timer wraps during the wait
  loop.queue = {{kOther, 0x401, 0, 0}, {kOther, 0x402, 0, 0}};
  DWORD end = WaitMilliseconds(loop, 35, TRUE);
  EXPECT_EQ(end, 0xFFFFFFF0u + 35u);
  EXPECT_EQ(loop.waits, 4);
  EXPECT_EQ(Dispatched(loop), (std::vector<UINT>{0x401, 0x402}));

  ScriptedEventLoop quiet(kView);
  quiet.queue = {{kOther, 0x401, 0, 0}};
  WaitMilliseconds(quiet, 20, FALSE);
  EXPECT_TRUE(quiet.dispatched.empty());
  EXPECT_EQ(WaitMilliseconds(quiet, 0, TRUE), quiet.now);

  // A close of the program or the course ends the wait at once.
  ScriptedEventLoop closing(kView);
  closing.closing = true;
  EXPECT_EQ(WaitMilliseconds(closing, 1000, TRUE), 0u);
  EXPECT_EQ(closing.waits, 0);
}
