// One turn of the message loop and timed waits, against a scripted loop and clock.
#include "model/message_pump.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

CWnd* const kView = reinterpret_cast<CWnd*>(0x10);
CWnd* const kOther = reinterpret_cast<CWnd*>(0x20);
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr WPARAM VK_ESCAPE = 0x1B;

class ScriptedLoop : public IEventLoop {
 public:
  bool TakeMessage(QueuedMessage& out) override {
    if (queue.empty()) return false;
    out = queue.front();
    queue.pop_front();
    return true;
  }
  void Dispatch(const QueuedMessage& msg) override { dispatched.push_back(msg.message); }
  bool StopRequested() const override { return stop; }
  CWnd* PresentationWindow() const override { return kView; }
  DWORD TimeGetTime() const override { return now; }
  void WaitForMessage(DWORD maxMilliseconds) override {
    ++waits;
    now += std::min<DWORD>(maxMilliseconds, step);
  }

  std::deque<QueuedMessage> queue;
  std::vector<UINT> dispatched;
  bool stop = false;
  DWORD now = 0;
  DWORD step = 10;
  int waits = 0;
};

}  // namespace

TEST(MessagePump, EscapeStopsAndIsDropped) {
  ScriptedLoop loop;
  loop.queue = {{kOther, WM_KEYDOWN, VK_ESCAPE, 0}, {kOther, WM_KEYDOWN, 'A', 0}};
  EXPECT_TRUE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_TRUE(loop.dispatched.empty());
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_EQ(loop.dispatched, std::vector<UINT>{WM_KEYDOWN});
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));  // nothing waiting
}

TEST(MessagePump, StopIsOnlyHeededWhenAskedFor) {
  ScriptedLoop loop;
  loop.stop = true;
  loop.queue = {{kOther, 0x401, 0, 0}};
  EXPECT_TRUE(PumpMessages(loop, TRUE, FALSE));
  EXPECT_EQ(loop.queue.size(), 1u);
  EXPECT_FALSE(PumpMessages(loop, FALSE, FALSE));
  EXPECT_EQ(loop.dispatched, std::vector<UINT>{0x401});
}

TEST(MessagePump, FilterDropsInputAndPaintForTheViewOnly) {
  ScriptedLoop loop;
  for (UINT m : {0x200u, 0x201u, 0x209u, 0x100u, 0x108u, WM_PAINT, 0x20Au, 0x0FFu, 0x113u})
    loop.queue.push_back({kView, m, 0, 0});
  loop.queue.push_back({kOther, 0x201, 0, 0});
  while (!loop.queue.empty()) PumpMessages(loop, FALSE, TRUE);
  EXPECT_EQ(loop.dispatched, (std::vector<UINT>{0x20A, 0x0FF, 0x113, 0x201}));
}

TEST(MessagePump, WaitLastsUntilTheTimerAdvancedAndPumpsOnEachTurn) {
  ScriptedLoop loop;
  loop.now = 0xFFFFFFF0u;  // the timer wraps during the wait
  loop.queue = {{kOther, 0x401, 0, 0}, {kOther, 0x402, 0, 0}};
  DWORD end = WaitMilliseconds(loop, 35, TRUE);
  EXPECT_EQ(end, 0xFFFFFFF0u + 35u);
  EXPECT_EQ(loop.waits, 4);
  EXPECT_EQ(loop.dispatched, (std::vector<UINT>{0x401, 0x402}));

  ScriptedLoop quiet;
  quiet.queue = {{kOther, 0x401, 0, 0}};
  WaitMilliseconds(quiet, 20, FALSE);
  EXPECT_TRUE(quiet.dispatched.empty());
  EXPECT_EQ(WaitMilliseconds(quiet, 0, TRUE), quiet.now);
}
