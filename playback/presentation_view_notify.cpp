// The presentation view's timers and media notices.
#include <optional>

#include "media/avi_audio_player.h"
#include "model/course_doc.h"
#include "playback/app_resources.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"

void CPresentationView::OnTimer(UINT id) {
  if (CCourseDoc* course = PlayingCourse()) {
    if (id == ViewTimer::kResponse || id == ViewTimer::kFrame) {
      if (course->CurrentTaskFind5(static_cast<int>(id))) SendMessage(ViewMessage::kTaskFinished);
    } else if (id == ViewTimer::kWatch) {
      if (m_pWatch->OnTimer()) {
        if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationFrame()) {
          app->GetPresentationFrame()->SetActiveView(this);
          app->GetPresentationFrame()->SetFocus();
        }
      }
    } else if (id > ViewTimer::kLastFixed) {
      if (m_armedEvents.DispatchTimer(static_cast<int>(id))) SendMessage(ViewMessage::kRunTask);
    }
  }
  COffScreenView::OnTimer(id);
}

void CPresentationView::PostHyperTextClick(const HyperTextNotify& click) {
  m_hyperTextClicks.push_back(click);
  PostMessage(MM_MCINOTIFY, HyperTextNotify::kCode, 0);
}

LRESULT CPresentationView::OnMciNotify(WPARAM wParam, LPARAM lParam) {
  // A hypertext click's record comes out of the view's queue with its own notice.
  std::optional<HyperTextNotify> click;
  if (wParam == HyperTextNotify::kCode && lParam == 0 && !m_hyperTextClicks.empty()) {
    click = std::move(m_hyperTextClicks.front());
    m_hyperTextClicks.pop_front();
    lParam = reinterpret_cast<LPARAM>(&*click);
  }
  if (!Runs()) return 0;
  if (m_armedEvents.DispatchNotify(wParam, lParam)) {
    SendMessage(ViewMessage::kRunTask);
    return 0;
  }
  if (m_pSounds->OnNotify(wParam, lParam)) return 0;
  if (OnNotifyObjects(wParam, lParam)) SendMessage(ViewMessage::kTaskFinished);
  return 0;
}

LRESULT CPresentationView::OnMciSignal(WPARAM wParam, LPARAM) {
  if (!Runs()) return 0;
  const LPARAM signal = static_cast<LPARAM>(0x03CB0000u | LOWORD(wParam));
  if (m_armedEvents.DispatchNotify(1, signal)) SendMessage(ViewMessage::kRunTask);
  else if (OnNotifyObjects(1, signal)) SendMessage(ViewMessage::kTaskFinished);
  return 0;
}

LRESULT CPresentationView::OnWaveDone(WPARAM wParam, LPARAM lParam) {
  m_pSounds->OnWaveDone(wParam, lParam);
  CAviAudioPlayer::AviAudioOnWaveDone(MM_WOM_DONE, wParam, lParam);
  return 0;
}

BOOL CPresentationView::OfferNotifyToTask(WPARAM wParam, LPARAM lParam) {
  CCourseDoc* course = CurrentCourse();
  return course ? course->CurrentTaskCall6(wParam, lParam) : FALSE;
}

BOOL CPresentationView::OfferControlEventToTask(LONG id, void* event) {
  CCourseDoc* course = CurrentCourse();
  return course ? course->CurrentTaskFind7(id, event) : FALSE;
}
