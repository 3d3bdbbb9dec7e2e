// The DDE service's five commands: open, start, close, quit and event.
#include "playback/player_dde_commands.h"

#include "model/course_doc.h"
#include "platform/msg/window_messages.h"
#include "platform/user/wnd.h"
#include "playback/course_document.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"

void CPlayerDdeCommands::RunDdeCommand(const DdeCommand& command) {
  // Under a loop of the program's own, or behind commands still waiting for
  // the loops to return, a command waits its turn: the commands are carried
  // out in the order sent. A close ends the loops of its course now and a
  // quit those of the program, so that neither waits for long.
  if (m_app.InNestedLoop() || m_app.HasUnwoundCalls()) {
    if (command.word == DdeCommandWord::kQuit) {
      CarryOut(command);
      return;
    }
    if (command.word == DdeCommandWord::kClose)
      if (CCourseDoc* course = m_app.FindDocument(command.argument)) m_app.BeginOwnerClose(course);
    m_app.PostWhenUnwound([this, command] { CarryOut(command); });
    return;
  }
  CarryOut(command);
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
        m_app.PostViewMessage(WM_COMMAND, DdeViewMessage::kStartCommand, 0);
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
