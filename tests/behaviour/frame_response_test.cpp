// The frame response: stored form, timer 37, passing the threshold once per pass, and the media it finds.
#include <gtest/gtest.h>

#include "behaviour/frame_response.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"

using namespace tvn::testing;

namespace {

// A page object that plays a medium whose position the test sets.
class CFakeMovie : public CDisplayAction {
 public:
  double GetMediaPosition() override { return position; }
  double position = 0.0;
};

// The page, with one playing sound of its own.
class CSoundPage : public CTestPage {
 public:
  CIconObject* FindPlayingSound(const CString& name) override {
    return sound && sound->GetName() == name ? sound : nullptr;
  }
  CIconObject* sound = nullptr;
};

std::unique_ptr<CFrameResponse> ReadFrame(const FrameFields& frame, ResponseFields response = {}) {
  CourseBuilder b;
  b.FrameResponse(IconFields{4, "Past the middle", "", 3}, response, frame);
  return ReadBack<CFrameResponse>(b);
}

class FrameResponseTest : public ::testing::Test {
 protected:
  FrameResponseTest() {
    host.services.pageOverride = &page;
    movie.SetName("Clip");
    page.AddObject(&movie, 0);
  }
  ~FrameResponseTest() override { page.RemoveObject(&movie, TRUE); }
  CFrameResponse* Add(const FrameFields& frame) { return host.AddResponse(ReadFrame(frame)); }
  BOOL PollAt(CFrameResponse* r, double position) {
    movie.position = position;
    return r->OnTimer(CFrameResponse::kTimerId);
  }

  CSoundPage page;
  CFakeMovie movie;
  HostTask host;
};

}  // namespace

TEST(FrameResponseRecord, StoredFormDefaultsAndCopy) {
  CFrameResponse fresh;
  EXPECT_EQ(fresh.GetKind(), ResponseKind::kFrame);
  EXPECT_EQ(fresh.GetTypeFlags(), 0x40);
  EXPECT_EQ(fresh.GetInterval(), 500u);
  EXPECT_EQ(fresh.GetThreshold().GetLiteral(), 0);

  FrameFields f;
  f.mediaName = "Intro";
  f.frameFlags = 0x1234;
  f.interval = 125;
  f.threshold = 250;
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {7};
  auto read = ReadFrame(f, r);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->GetMediaName(), "Intro");
  EXPECT_EQ(read->GetFrameFlags(), 0x1234u);
  EXPECT_EQ(read->GetInterval(), 125u);
  EXPECT_EQ(read->GetThreshold().GetLiteral(), 250);
  EXPECT_DOUBLE_EQ(read->Threshold(), 2.5);
  EXPECT_EQ(read->GetOutcomeFlags(), 0x2);
  EXPECT_EQ(read->GetBranchTarget(0), 7);

  CFrameResponse kept;
  kept.SetMediaName("Mine");
  kept.CopyFrom(read.get(), TRUE);
  EXPECT_EQ(kept.GetMediaName(), "Mine") << "the identity stays";
  EXPECT_EQ(kept.GetThreshold().GetLiteral(), 0);
  EXPECT_EQ(kept.GetInterval(), 125u);
  EXPECT_EQ(kept.GetFrameFlags(), 0x1234u);
  CFrameResponse copy;
  copy.CopyFrom(read.get(), FALSE);
  EXPECT_EQ(copy.GetMediaName(), "Intro");
  EXPECT_EQ(copy.GetThreshold().GetLiteral(), 250);
}

TEST_F(FrameResponseTest, TimerRunsOnlyWhenTheMediumIsThere) {
  FrameFields f;
  f.mediaName = "Clip";
  f.interval = 200;
  CFrameResponse* found = Add(f);
  EXPECT_TRUE(found->Activate());
  EXPECT_EQ(host.services.timers.running.at(37), 200u);

  f.mediaName = "Nowhere";
  CFrameResponse* missing = Add(f);
  host.services.timers.running.clear();
  EXPECT_TRUE(missing->Activate()) << "the task still waits";
  EXPECT_FALSE(host.services.timers.running.count(37)) << "no medium: no timer";
  EXPECT_EQ(host.services.timers.killed.back(), 37u);
  EXPECT_FALSE(missing->OnTimer(37));
}

TEST_F(FrameResponseTest, ALiteralFiresPastItsValueOncePerPass) {
  FrameFields f;
  f.mediaName = "Clip";
  f.threshold = 250;
  CFrameResponse* r = Add(f);
  ASSERT_TRUE(r->Activate());
  EXPECT_FALSE(PollAt(r, 1.0));
  EXPECT_FALSE(PollAt(r, 2.5)) << "equal is not past";
  movie.position = 2.51;
  EXPECT_FALSE(r->OnTimer(18)) << "the time response's timer";
  EXPECT_TRUE(PollAt(r, 2.51));
  EXPECT_FALSE(PollAt(r, 2.6)) << "once per pass";
  EXPECT_FALSE(PollAt(r, 4.0));
  EXPECT_FALSE(PollAt(r, 0.0)) << "rewound, not yet past";
  EXPECT_TRUE(PollAt(r, 3.0)) << "the next pass fires again";

  // Disabled objects take no input.
  r->SetFlags(r->GetFlags() | 0x80);
  EXPECT_FALSE(PollAt(r, 0.5));
  EXPECT_FALSE(PollAt(r, 3.5));
}

TEST_F(FrameResponseTest, ABelowZeroThresholdFiresOnceNotOnEveryPoll) {
  FrameFields f;
  f.mediaName = "Clip";
  f.threshold = -100;
  CFrameResponse* r = Add(f);
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(PollAt(r, 0.0));
  EXPECT_FALSE(PollAt(r, 0.0));
  EXPECT_FALSE(PollAt(r, 0.0));
  // Activated again (the task entered anew), it may fire again.
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(PollAt(r, 0.0));
}

TEST_F(FrameResponseTest, AVariableIsUsedAsItStandsAndSoundsAreFoundByObjectName) {
  CVariable* at = host.services.vars.course->AddVariable("At", VarType::kNumber, FALSE, 2, 1);
  at->SetReal(2.5);
  FrameFields f;
  f.mediaName = "Voice";
  f.thresholdVar = static_cast<std::int32_t>(at->GetId());
  CFrameResponse* r = Add(f);
  EXPECT_DOUBLE_EQ(r->Threshold(), 2.5);

  CFakeMovie voice;
  voice.SetName("Voice");
  page.sound = &voice;
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(host.services.timers.running.count(37));
  voice.position = 2.4;
  EXPECT_FALSE(r->OnTimer(37));
  voice.position = 2.6;
  EXPECT_TRUE(r->OnTimer(37));
  // The sound ended: nothing is polled.
  page.sound = nullptr;
  EXPECT_FALSE(r->OnTimer(37));
}
