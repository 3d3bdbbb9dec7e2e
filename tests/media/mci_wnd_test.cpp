// The MCI window: its styles and id on the view, the messages it passes on, its play bar and its picture.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "media/media_file_object.h"
#include "platform/mm/mci_video_device.h"
#include "platform/mm/media_system.h"
#include "tests/media/media_view_test.h"
#include "tests/support/fake_video_frames.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

// Records what the framework's command routing gets.
class CRoutedMciWnd final : public CMciWnd {
 public:
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    routed.push_back(id);
    return CMciWnd::OnCmdMsg(id, code, extra);
  }
  std::vector<UINT> routed;
};

}  // namespace

class MciWndTest : public MediaViewTest {
 protected:
  MciWndTest() {
    media.Mci().RegisterType("testvideo", {"vid"}, CMciVideoDevice::Factory(&OpenFakeFrames, true));
    media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      if (name.Find(".WAV") >= 0) return std::make_unique<CMemoryByteSource>(ToneWav(500), name);
      return std::make_unique<CMemoryByteSource>(std::vector<BYTE>(64, 0x5A), name);
    });
  }
};

TEST_F(MciWndTest, ChildThreeOfTheViewPassesInputOnInTheViewsCoordinates) {
  CRoutedMciWnd wnd;
  ASSERT_TRUE(wnd.Create(env, MciWndStyle::kDefault, "CLIP.VID"));
  EXPECT_EQ(wnd.GetParent(), view.get());
  EXPECT_EQ(view->GetDlgItem(3), &wnd);
  EXPECT_EQ(wnd.GetStyle(), 0x4000400Bu);
  EXPECT_FALSE(wnd.IsWindowVisible());  // hidden until the medium is shown
  EXPECT_FALSE(wnd.HasPlaybar());
  EXPECT_EQ(wnd.SendMessage(WM_ERASEBKGND), TRUE);
  wnd.SetWindowPos(nullptr, 50, 40, 80, 60, SWP_NOZORDER);
  view->received.clear();

  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  wnd.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(70, 50));
  wnd.SendMessage(WM_KEYDOWN, 'A', MAKELPARAM(1, 0x1E));
  PumpReady();
  const auto clicks = view->Messages(WM_LBUTTONDOWN);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].wParam, MK_LBUTTON);
  EXPECT_EQ(clicks[0].lParam, MAKELPARAM(53, 44));  // the view's point, not the child's (3, 4)
  ASSERT_EQ(view->Messages(WM_RBUTTONUP).size(), 1u);
  EXPECT_EQ(view->Messages(WM_RBUTTONUP)[0].lParam, MAKELPARAM(120, 90));
  ASSERT_EQ(view->Messages(WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(view->Messages(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(view->Messages(WM_KEYDOWN)[0].lParam, MAKELPARAM(1, 0x1E));

  // The view decides the cursor first.
  view->hook = [](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_SETCURSOR) return TRUE;
    return std::nullopt;
  };
  const WPARAM holder = reinterpret_cast<WPARAM>(wnd.GetSafeHwnd());
  EXPECT_EQ(wnd.SendMessage(WM_SETCURSOR, holder, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  ASSERT_FALSE(view->Messages(WM_SETCURSOR).empty());
  EXPECT_EQ(view->Messages(WM_SETCURSOR).back().lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));

  // A stop is carried out, and routed on as a pause.
  wnd.SendString("play");
  EXPECT_TRUE(wnd.IsPlaying());
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(MciWndCommand::kStop, 0), 0);
  EXPECT_FALSE(wnd.IsPlaying());
  EXPECT_EQ(wnd.routed, (std::vector<UINT>{MciWndCommand::kPause}));

  wnd.CloseDevice();
  EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
  EXPECT_EQ(view->GetDlgItem(3), nullptr);
  EXPECT_FALSE(wnd.IsDeviceOpen());
}

TEST_F(MciWndTest, PlayBarPlaysStopsAndSeeksWithoutTellingTheView) {
  CRoutedMciWnd wnd;
  ASSERT_TRUE(wnd.Create(env, 0x40004009, "CLIP.VID"));
  EXPECT_TRUE(wnd.HasPlaybar());
  wnd.SetWindowPos(nullptr, 0, 0, 120, 60 + CMciWnd::kPlaybarHeight, SWP_NOZORDER);
  EXPECT_EQ(wnd.PictureArea(), CRect(0, 0, 120, 60));
  view->received.clear();
  const LPARAM button = MAKELPARAM(10, 60 + CMciWnd::kPlaybarHeight / 2);
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, button);
  EXPECT_TRUE(wnd.IsPlaying());
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, button);
  EXPECT_FALSE(wnd.IsPlaying());
  EXPECT_EQ(wnd.routed, (std::vector<UINT>{MciWndCommand::kPlay, MciWndCommand::kPause}));
  // The far end of the track seeks to the end.
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(119, 60 + CMciWnd::kPlaybarHeight / 2));
  EXPECT_EQ(wnd.GetPosition(), 10);
  PumpReady();
  EXPECT_TRUE(view->Messages(WM_LBUTTONDOWN).empty());
  // The picture above the bar still passes clicks on.
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PumpReady();
  EXPECT_EQ(view->Messages(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(MciWndTest, MediaObjectPlacesShowsAndCropsThePictureAndHearsItsEnd) {
  CMediaFileObject object;
  object.m_strFileName = "clip.vid";
  object.m_dwFlags |= MediaFlag::kReportEnd;
  const CRect place(20, 30, 220, 230);
  ASSERT_TRUE(object.Open(env, &place, TRUE, nullptr, nullptr, FALSE));
  CMciWnd& wnd = object.GetMciWnd();
  CRect rect;
  wnd.GetWindowRect(&rect);
  view->ScreenToClient(&rect);
  EXPECT_EQ(rect, place);
  // Natural size: the window takes the picture's 8 x 6.
  CRect shown = place;
  object.SetDisplayRect(shown, MediaFlag::kVisible | MediaFlag::kNaturalSize, nullptr);
  EXPECT_EQ(shown, CRect(20, 30, 28, 36));
  EXPECT_FALSE(wnd.IsWindowVisible());
  object.Play(nullptr, nullptr, MediaFlag::kVisible);
  EXPECT_TRUE(wnd.IsWindowVisible());
  EXPECT_EQ(SurfacePixel(wnd, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(SurfacePixel(wnd, 4, 3), CFakeVideoFrames::ColourOf(0));
  // The play timer moves the picture on.
  Advance(350);
  EXPECT_EQ(SurfacePixel(wnd, 4, 3), CFakeVideoFrames::ColourOf(3));
  // A crop shrinks the source; the window keeps its place and the white corner goes.
  const CRect crop(1, 1, 1, 1);
  object.SetDisplayRect(shown, MediaFlag::kVisible, &crop);
  CRect source;
  ASSERT_TRUE(wnd.GetSource(source));
  EXPECT_EQ(source, CRect(1, 1, 7, 5));
  EXPECT_NE(SurfacePixel(wnd, 0, 0), RGB(255, 255, 255));
  // The end comes by the window's timer alone: one notice, finished and reported.
  view->received.clear();
  Advance(700);
  const auto notices = view->Messages(MM_MCINOTIFY);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(object.OnNotify(notices[0].wParam, notices[0].lParam), MediaAnswer::kFinishedReport);
  EXPECT_TRUE(object.RealizePalette(FALSE));
  object.Free();
  EXPECT_EQ(view->GetDlgItem(3), nullptr);
  EXPECT_FALSE(object.RealizePalette(FALSE));
}

TEST_F(MciWndTest, WaitKeepsThePictureMovingAndASoundShowsNoWindow) {
  CMediaFileObject object;
  object.m_strFileName = "clip.vid";
  const CRect place(0, 0, 8, 6);
  ASSERT_TRUE(object.Open(env, &place, TRUE, nullptr, nullptr, FALSE));
  // Another thread moves the clock on while the window waits for the end.
  std::atomic<bool> done{false};
  std::thread time([&] {
    while (!done) {
      clock.Advance(20);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  object.Play(nullptr, nullptr, MediaFlag::kWait | MediaFlag::kVisible);
  done = true;
  time.join();
  EXPECT_FALSE(object.IsPlaying());
  EXPECT_EQ(SurfacePixel(object.GetMciWnd(), 4, 3), CFakeVideoFrames::ColourOf(9));

  // A sound has nothing to show unless it has a play bar.
  for (DWORD playbar : {0u, MediaFlag::kPlaybar}) {
    CMediaFileObject sound;
    sound.m_strFileName = "a.wav";
    sound.m_dwFlags |= playbar;
    ASSERT_TRUE(sound.Open(env, &place, TRUE, nullptr, nullptr, FALSE));
    sound.Play(nullptr, nullptr, MediaFlag::kVisible);
    EXPECT_EQ(sound.GetMciWnd().IsWindowVisible(), playbar != 0) << playbar;
  }
}
