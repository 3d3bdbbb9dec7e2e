// CPlayerDdeCommands: the DDE service's commands on the application's courses and the presentation view.
#pragma once

#include "controls/dde_link.h"

class CPlayerApp;

namespace DdeViewMessage {
// Sent to the view by "event" with the event's name in lParam; the view has no handler for it.
constexpr UINT kEvent = 0x405;
// Posted to the view by "start": the view starts the current course at its
// first task. A message of its own, not a command: a course's menu items may
// carry any 16-bit command number.
constexpr UINT kStart = 0x415;
}  // namespace DdeViewMessage

class CPlayerDdeCommands final : public IDdeCommandTarget {
 public:
  explicit CPlayerDdeCommands(CPlayerApp& app) : m_app(app) {}
  // "open" opens a course that is not open yet and leaves the current course
  // as it was; "start" and "close" act on
  // an open course only (another path leaves the current course as it is);
  // "quit" closes the main window in order; "event" sends 0x405 to the view.
  // Under a loop of the program's own (a wait, a box) the commands keep the
  // order sent: an open with none waiting before it, and a quit, are carried
  // out at once; a close or a start ends the loops of the course it closes or
  // replaces and is carried out once they have returned.
  void RunDdeCommand(const DdeCommand& command) override;

 private:
  void CarryOut(const DdeCommand& command);

  CPlayerApp& m_app;
};
