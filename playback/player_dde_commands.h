// CPlayerDdeCommands: the DDE service's commands on the application's courses and the presentation view.
#pragma once

#include "controls/dde_link.h"

class CPlayerApp;

namespace DdeViewMessage {
// Sent to the view by "event" with the event's name in lParam; the view has no handler for it.
constexpr UINT kEvent = 0x405;
// Posted to the view by "start" as a WM_COMMAND id: the view starts the current course at its first task.
constexpr UINT kStartCommand = 32782;
}  // namespace DdeViewMessage

class CPlayerDdeCommands final : public IDdeCommandTarget {
 public:
  explicit CPlayerDdeCommands(CPlayerApp& app) : m_app(app) {}
  // "open" opens a course that is not open yet and leaves the current course
  // as it was; "start" and "close" act on
  // an open course only (another path leaves the current course as it is);
  // "quit" closes the main window in order; "event" sends 0x405 to the view.
  void RunDdeCommand(const DdeCommand& command) override;

 private:
  void CarryOut(const DdeCommand& command);

  CPlayerApp& m_app;
};
