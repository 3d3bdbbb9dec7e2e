// A kind-1 clip's picture: its hidden child window, placing, natural size, crop, the clock it follows, input to the view.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "media/clip_video_wnd.h"
#include "media/media_file_object.h"
#include "platform/mm/media_system.h"
#include "tests/media/media_view_test.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

class ClipVideoTest : public MediaViewTest {
 protected:
  // Opens the clip and waits for its worker's code 2, which the object takes as a new start.
  bool OpenBuilt(CMediaFileObject& object, const std::filesystem::path& path, const CRect& place) {
    object.m_nKind = MediaKind::kClip;
    const CString name(path.string());
    if (!object.Open(env, &place, TRUE, &name, nullptr, FALSE)) return false;
    WaitForNotice();
    const auto notices = view->Messages(MM_MCINOTIFY);
    view->received.clear();
    return notices.size() == 1 && notices[0].wParam == 2 &&
           object.OnNotify(notices[0].wParam, notices[0].lParam) == MediaAnswer::kContinues;
  }

  TempDir dir;
};

TEST_F(ClipVideoTest, PictureFollowsTheClipInAHiddenChildItsPlacedShownAndCroppedIn) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "Debian's ffmpeg is not installed: no clip to show";
  // 20 frames at 10 a second (red 12 x the frame) over 1 s of sound: a 2 s time line.
  const auto path = dir.path() / "film.avi";
  ASSERT_FALSE(MakeAvi({.soundSeconds = 1.0}, path).empty());
  CMediaFileObject object;
  object.m_dwFlags |= MediaFlag::kReportEnd;
  CActiveMovieWnd& movie = object.GetMovie();
  CRect source(1, 2, 3, 4);
  EXPECT_FALSE(movie.GetVideoRect(source));  // nothing built
  EXPECT_EQ(source, CRect());
  ASSERT_TRUE(OpenBuilt(object, path, CRect(10, 20, 110, 220)));
  EXPECT_DOUBLE_EQ(object.GetLength(), 2.0);
  EXPECT_EQ(movie.GetVideoWnd(), nullptr);  // made when first placed or shown

  // Natural size; the window is a hidden child of the view until shown.
  CRect place(10, 20, 110, 220);
  object.SetDisplayRect(place, MediaFlag::kVisible | MediaFlag::kNaturalSize, nullptr);
  EXPECT_EQ(place, CRect(10, 20, 42, 44));
  CClipVideoWnd* wnd = movie.GetVideoWnd();
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd->GetParent(), view.get());
  EXPECT_EQ(wnd->GetStyle() & CClipVideoWnd::kStyle, CClipVideoWnd::kStyle);
  EXPECT_FALSE(wnd->IsWindowVisible());
  CRect at;
  wnd->GetWindowRect(&at);
  view->ScreenToClient(&at);
  EXPECT_EQ(at, place);

  // The picture follows the clip's clock, past the end of its sound too.
  object.Play(nullptr, nullptr, MediaFlag::kVisible);
  EXPECT_TRUE(wnd->IsWindowVisible());
  Advance(550);
  EXPECT_EQ(SurfacePixel(*wnd, 16, 12), RGB(60, 0, 0));
  Advance(900);
  EXPECT_EQ(SurfacePixel(*wnd, 16, 12), RGB(168, 0, 0));
  object.Pause();
  Advance(200);
  EXPECT_EQ(SurfacePixel(*wnd, 16, 12), RGB(168, 0, 0));  // paused: the frame stands

  // The source holds left, top, width, height; a crop takes its four sides
  // off, and a part outside the picture is refused.
  ASSERT_TRUE(movie.GetVideoRect(source));
  EXPECT_EQ(source, CRect(0, 0, 32, 24));
  const CRect crop(4, 2, 6, 3);
  object.SetDisplayRect(place, MediaFlag::kVisible, &crop);
  ASSERT_TRUE(movie.GetVideoRect(source));
  EXPECT_EQ(source, CRect(4, 2, 22, 19));
  movie.SetVideoRect(CRect(20, 0, 20, 24));
  ASSERT_TRUE(movie.GetVideoRect(source));
  EXPECT_EQ(source, CRect(4, 2, 22, 19));

  // Clicks and keys go on to the view, clicks in the view's coordinates.
  wnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  wnd->SendMessage(WM_KEYDOWN, 'A', MAKELPARAM(1, 0x1E));
  PumpReady();
  ASSERT_EQ(view->Messages(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(view->Messages(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(13, 24));
  ASSERT_EQ(view->Messages(WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(view->Messages(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(wnd->SendMessage(WM_ERASEBKGND), TRUE);

  // The end: one notice, the last frame shown.
  view->received.clear();
  object.Play(nullptr, nullptr, MediaFlag::kVisible);
  Advance(600);
  const auto notices = view->Messages(MM_MCINOTIFY);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(object.OnNotify(notices[0].wParam, notices[0].lParam), MediaAnswer::kFinishedReport);
  EXPECT_EQ(SurfacePixel(*wnd, 16, 12), RGB(228, 0, 0));
  object.Show(FALSE);
  EXPECT_FALSE(wnd->IsWindowVisible());

  const HWND hwnd = wnd->GetSafeHwnd();
  object.Free();
  EXPECT_EQ(movie.GetVideoWnd(), nullptr);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_FALSE(movie.GetVideoRect(source));
}

TEST_F(ClipVideoTest, ASoundClipHasNoPictureToShow) {
  const auto path = dir.path() / "tone.wav";
  const auto bytes = ToneWav(500);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  CMediaFileObject object;
  ASSERT_TRUE(OpenBuilt(object, path, CRect(0, 0, 50, 50)));
  CRect place(0, 0, 50, 50);
  object.SetDisplayRect(place, MediaFlag::kVisible | MediaFlag::kNaturalSize, nullptr);
  EXPECT_EQ(place, CRect(0, 0, 50, 50));
  object.Play(nullptr, nullptr, MediaFlag::kVisible);
  EXPECT_EQ(object.GetMovie().GetVideoWnd(), nullptr);
  CRect source;
  EXPECT_FALSE(object.GetMovie().GetVideoRect(source));
  EXPECT_EQ(object.GetMovie().GetState(), 3);
}
