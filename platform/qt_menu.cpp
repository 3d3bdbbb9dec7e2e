#include "platform/qt_menu.h"

#include <QAction>
#include <QMenu>

#include "platform/message_loop.h"

namespace {

// Marks what we put on a bar, so that a rebuild deletes exactly that.
constexpr const char* kOurs = "tvnMenuItem";

template <class T>
T* Mark(T* object) {
  object->setProperty(kOurs, true);
  return object;
}

template <class Container>
void AddItems(Container& container, const MenuData& menu, HWND owner) {
  for (const MenuData::Item& item : menu.items) {
    QString text = QString::fromUtf8(item.text.ToUtf8());
    bool grey = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (item.popup) {
      QMenu* sub = Mark(container.addMenu(text));
      sub->setEnabled(!grey);
      AddItems(*sub, *item.popup, owner);
    } else if (item.flags & MF_SEPARATOR) {
      Mark(container.addSeparator());
    } else {
      QAction* action = Mark(container.addAction(text));
      action->setEnabled(!grey);
      action->setCheckable((item.flags & MF_CHECKED) != 0);
      action->setChecked((item.flags & MF_CHECKED) != 0);
      UINT id = item.id;
      QObject::connect(action, &QAction::triggered, [owner, id] {
        if (CMessageLoop* loop = CMessageLoop::Current()) loop->PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
      });
    }
  }
}

}  // namespace

void BuildQtMenuBar(QMenuBar& bar, HMENU menu, HWND owner) {
  bar.clear();  // takes the actions off the bar but leaves them alive
  const QObjectList children = bar.children();  // a copy: deleting changes the list
  for (QObject* old : children)
    if (old->property(kOurs).toBool()) delete old;
  if (menu) AddItems(bar, *menu, owner);
}
