// The loop's event source on Qt: Qt's own events are processed (the widgets
// turn input into queued messages) and waits sleep in Qt's event dispatcher.
#pragma once

#include <QTimer>
#include <QPointer>

#include "platform/msg/event_source.h"

class QAbstractEventDispatcher;

class CQtEventSource final : public IEventSource {
 public:
  // Made on the user-interface thread, after the Qt application.
  CQtEventSource();
  void Poll() override;
  void Wait(std::optional<DWORD> maxMs) override;
  void Wake() override;

 private:
  QPointer<QAbstractEventDispatcher> m_dispatcher;
  QTimer m_timeout;
};
