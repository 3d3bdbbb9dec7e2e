// The DDE service's five commands: open, start, close, quit and event.
#include "playback/player_dde_commands.h"

#include "model/course_doc.h"
#include "platform/msg/window_messages.h"
#include "platform/user/wnd.h"
#include "playback/course_document.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"

void CPlayerDdeCommands::RunDdeCommand(const DdeCommand& command) {
  const bool behindOthers = m_app.HasUnwoundCalls();
  if (!m_app.InNestedLoop() && !behindOthers) {
    CarryOut(command);
    return;
  }
  // Under a loop of the program's own, or behind commands still waiting for
  // the loops to return, a command waits its turn, so that the commands are
  // carried out in the order sent; a close or a start ends the loops it waits
  // for, so that it does not wait long. A quit, and an open with nothing
  // before it, are carried out at once.
  switch (command.word) {
    case DdeCommandWord::kQuit: CarryOut(command); return;
    case DdeCommandWord::kOpen:
      // Opening touches no course that plays.
      if (!behindOthers) {
        CarryOut(command);
        return;
      }
      break;
    case DdeCommandWord::kClose:
      if (CCourseDoc* course = m_app.FindDocument(command.argument)) m_app.BeginOwnerClose(course);
      break;
    case DdeCommandWord::kStart:
      // The course that plays ends its waits and boxes as for its close; once
      // they have returned it may run again, and the named course starts.
      if (CCourseDoc* playing = m_app.GetCurrentCourse(); playing && m_app.FindDocument(command.argument)) {
        m_app.BeginOwnerClose(playing);
        m_app.PostWhenUnwound([this, command, playing] {
          m_app.EndOwnerClose(playing);
          CarryOut(command);
        });
        return;
      }
      break;
    case DdeCommandWord::kEvent: break;
  }
  m_app.PostWhenUnwound([this, command] { CarryOut(command); });
}

void CPlayerDdeCommands::CarryOut(const DdeCommand& command) {
  switch (command.word) {
    case DdeCommandWord::kOpen:
      if (!m_app.FindDocument(command.argument)) {
        // Opening goes through the course being opened, which the host keeps
        // as its current course: the course that plays stays current.
        CCourseDoc* playing = m_app.GetCurrentCourse();
        m_app.OpenPresentation(command.argument, TRUE);
        if (m_app.IsOpenDocument(playing)) m_app.SetCurrentCourse(playing);
      }
      break;
    case DdeCommandWord::kStart:
      if (CCourseDoc* course = m_app.FindDocument(command.argument)) {
        m_app.SetCurrentCourse(course);
        m_app.PostViewMessage(DdeViewMessage::kStart, 0, 0);
      }
      break;
    case DdeCommandWord::kClose:
      if (CCourseDoc* course = m_app.FindDocument(command.argument)) {
        CCourseDoc* playing = m_app.GetCurrentCourse();
        m_app.SetCurrentCourse(course);
        CCourseDocument* document = CCourseDocument::Of(course);
        if (document && document->SaveModified()) document->OnCloseDocument();
        else m_app.EndOwnerClose(course);
        // Closing another course leaves the playing one current.
        if (playing != course && m_app.IsOpenDocument(playing)) m_app.SetCurrentCourse(playing);
      }
      break;
    case DdeCommandWord::kQuit:
      if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
      break;
    case DdeCommandWord::kEvent:
      if (CPresentationView* view = m_app.GetPresentationView())
        view->SendMessage(DdeViewMessage::kEvent, 0, reinterpret_cast<LPARAM>(command.argument.GetString()));
      break;
  }
}
