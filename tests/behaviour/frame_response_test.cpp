// The frame response: stored form, timer 37, passing the threshold once per pass, and the media it finds.
#include <gtest/gtest.h>

#include "behaviour/frame_response.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"

using namespace tvn::testing;

namespace {

// A page object (or a playing sound) whose media position the test sets.
class CFakeMovie : public CDisplayAction {
 public:
  double GetMediaPosition() override { return position; }
  double position = 0.0;
};

class CSoundPage : public CTestPage {
 public:
  CIconObject* FindPlayingSound(const CString& name) override {
    return sound && sound->GetName() == name ? sound : nullptr;
  }
  CIconObject* sound = nullptr;
};

class FrameResponseTest : public ::testing::Test {
 protected:
  FrameResponseTest() {
    host.services.pageOverride = &page;
    movie.SetName("Clip");
    page.AddObject(&movie, 0);
  }
  ~FrameResponseTest() override { page.RemoveObject(&movie, TRUE); }
  CFrameResponse* Add(const FrameFields& frame) {
    CourseBuilder b;
    b.FrameResponse(IconFields{4, "Past", "", 3}, ResponseFields{}, frame);
    return host.AddResponse(ReadBack<CFrameResponse>(b));
  }
  BOOL PollAt(CFrameResponse* r, double position) {
    movie.position = position;
    return r->OnTimer(CFrameResponse::kTimerId);
  }

  CSoundPage page;
  CFakeMovie movie;
  HostTask host;
};

}  // namespace

TEST_F(FrameResponseTest, StoredFormAndCopyKeepingTheIdentity) {
  CFrameResponse* read = Add(FrameFields{"Intro", 0x1234, 125, 250});
  EXPECT_EQ(read->GetTypeFlags(), 0x40);
  EXPECT_EQ(read->GetMediaName(), "Intro");
  EXPECT_EQ(read->GetFrameFlags(), 0x1234u);
  EXPECT_EQ(read->GetInterval(), 125u);
  EXPECT_DOUBLE_EQ(read->Threshold(), 2.5);
  CFrameResponse kept;
  kept.SetMediaName("Mine");
  kept.CopyFrom(read, TRUE);
  EXPECT_EQ(kept.GetMediaName(), "Mine");
  EXPECT_EQ(kept.GetThreshold().GetLiteral(), 0);
  EXPECT_EQ(kept.GetInterval(), 125u);
  EXPECT_EQ(kept.GetFrameFlags(), 0x1234u);
}

TEST_F(FrameResponseTest, ALiteralFiresPastItsValueOncePerPassOnTimer37Only) {
  CFrameResponse* r = Add(FrameFields{"Clip", 0, 200, 250});
  ASSERT_TRUE(r->Activate());
  EXPECT_EQ(host.services.timers.running.at(37), 200u);
  EXPECT_FALSE(PollAt(r, 2.5)) << "equal is not past";
  movie.position = 2.51;
  EXPECT_FALSE(r->OnTimer(18)) << "the time response's timer";
  EXPECT_TRUE(PollAt(r, 2.51));
  EXPECT_FALSE(PollAt(r, 4.0)) << "once per pass";
  EXPECT_FALSE(PollAt(r, 0.0)) << "rewound, not yet past";
  EXPECT_TRUE(PollAt(r, 3.0)) << "the next pass fires again";
}

TEST_F(FrameResponseTest, ABelowZeroThresholdFiresOnceNotOnEveryPoll) {
  CFrameResponse* r = Add(FrameFields{"Clip", 0, 500, -100});
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(PollAt(r, 0.0));
  EXPECT_FALSE(PollAt(r, 0.0));
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(PollAt(r, 0.0)) << "the task entered anew";
}

TEST_F(FrameResponseTest, AMissingMediumStartsNoTimerAndSoundsAreFoundByObjectName) {
  CVariable* at = host.services.vars.course->AddVariable("At", VarType::kNumber, FALSE, 2, 1);
  at->SetReal(2.5);
  FrameFields f{"Voice", 0, 500, 0, static_cast<std::int32_t>(at->GetId())};
  CFrameResponse* r = Add(f);
  EXPECT_TRUE(r->Activate()) << "the task still waits";
  EXPECT_FALSE(host.services.timers.running.count(37)) << "no medium: no timer";
  EXPECT_FALSE(r->OnTimer(37));

  CFakeMovie voice;
  voice.SetName("Voice");
  page.sound = &voice;
  ASSERT_TRUE(r->Activate());
  EXPECT_TRUE(host.services.timers.running.count(37));
  voice.position = 2.4;
  EXPECT_FALSE(r->OnTimer(37)) << "a variable's value is used as it is";
  voice.position = 2.6;
  EXPECT_TRUE(r->OnTimer(37));
}
