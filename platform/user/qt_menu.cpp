// Menu trees on Qt menu bars and pop-ups, with owner-drawn items.
#include "platform/user/qt_menu.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "platform/gdi/dc.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/qt_text.h"
#include "platform/user/message_loop.h"
#include "platform/user/qt_modal.h"

namespace {

// Marks what we put on a bar, so that a rebuild deletes exactly that.
constexpr const char* kOurs = "tvnMenuItem";

template <class T>
T* Mark(T* object) {
  object->setProperty(kOurs, true);
  return object;
}

// An owner-drawn item: measured once by the painter, drawn by it on each
// paint into a device context over the item's pixels. Mouse input passes to
// the menu, which highlights and triggers the item like any other.
class OwnerDrawnItem final : public QWidget {
 public:
  OwnerDrawnItem(std::shared_ptr<const IMenuItemPainter> painter, const MenuData::Item& item)
      : m_painter(std::move(painter)), m_id(item.id), m_data(item.data),
        m_grey((item.flags & (MF_GRAYED | MF_DISABLED)) != 0), m_checked((item.flags & MF_CHECKED) != 0) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    MEASUREITEMSTRUCT measure;
    measure.itemID = m_id;
    measure.itemData = m_data;
    if (m_painter) m_painter->MeasureItem(measure);
    m_size = QSize(static_cast<int>(std::min<UINT>(measure.itemWidth, 4096)),
                   static_cast<int>(std::min<UINT>(measure.itemHeight, 1024)));
    // The menu widens the item to its own width, as the system gives an
    // owner-drawn item the whole row.
    setMinimumSize(m_size);
    resize(m_size);
  }

  QSize sizeHint() const override { return m_size; }
  void SetAction(QAction* action) { m_action = action; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (width() <= 0 || height() <= 0) return;
    QImage pixels(size(), QImage::Format_RGB32);
    {
      CDC dc;
      dc.AttachSurface(&pixels);
      dc.FillSolidRect(CRect(0, 0, width(), height()), GetSysColor(COLOR_MENU));
      dc.SetBkColor(GetSysColor(COLOR_MENU));
      dc.SetTextColor(GetSysColor(m_grey ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
      DRAWITEMSTRUCT draw;
      draw.itemID = m_id;
      draw.itemData = m_data;
      draw.dc = &dc;
      draw.rcItem = CRect(0, 0, width(), height());
      auto* menu = qobject_cast<QMenu*>(parentWidget());
      if (menu && m_action && menu->activeAction() == m_action) draw.itemState |= ODS_SELECTED;
      if (m_grey) draw.itemState |= ODS_GRAYED | ODS_DISABLED;
      if (m_checked) draw.itemState |= ODS_CHECKED;
      if (m_painter) m_painter->DrawItem(draw);
      dc.DetachSurface();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, pixels);
  }

 private:
  std::shared_ptr<const IMenuItemPainter> m_painter;
  UINT m_id;
  ULONG_PTR m_data;
  bool m_grey;
  bool m_checked;
  QSize m_size;
  QAction* m_action = nullptr;
};

QAction* AddOwnerDrawn(QMenu& menu, const MenuData& data, const MenuData::Item& item) {
  auto* widget = new OwnerDrawnItem(data.painter, item);
  auto* action = new QWidgetAction(&menu);
  action->setDefaultWidget(widget);
  widget->SetAction(action);
  menu.addAction(action);
  // Keyboard moves change the highlight without a mouse over the item.
  QObject::connect(&menu, &QMenu::hovered, widget, [widget] { widget->update(); });
  return action;
}

template <class Container>
void AddItems(Container& container, const MenuData& menu, const std::function<void(UINT)>& choose) {
  for (const MenuData::Item& item : menu.items) {
    QString text = gdi::ToQt(item.text);
    bool grey = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (item.popup) {
      QMenu* sub = Mark(container.addMenu(text));
      sub->setEnabled(!grey);
      AddItems(*sub, *item.popup, choose);
      continue;
    }
    if (item.flags & MF_SEPARATOR) {
      Mark(container.addSeparator());
      continue;
    }
    QAction* action = nullptr;
    if constexpr (std::is_same_v<Container, QMenu>) {
      if (item.flags & MF_OWNERDRAW) action = Mark(AddOwnerDrawn(container, menu, item));
    }
    if (!action) action = Mark(container.addAction(text));
    action->setEnabled(!grey);
    action->setCheckable((item.flags & MF_CHECKED) != 0);
    action->setChecked((item.flags & MF_CHECKED) != 0);
    UINT id = item.id;
    QObject::connect(action, &QAction::triggered, [choose, id] { choose(id); });
  }
}

}  // namespace

void BuildQtMenuBar(QMenuBar& bar, HMENU menu, HWND owner) {
  bar.clear();  // takes the actions off the bar but leaves them alive
  const QObjectList children = bar.children();  // a copy: deleting changes the list
  for (QObject* old : children)
    if (old->property(kOurs).toBool()) delete old;
  if (!menu) return;
  AddItems(bar, *menu, [owner](UINT id) {
    if (CMessageLoop* loop = CMessageLoop::Current()) loop->PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
  });
}

void BuildQtMenu(QMenu& qtMenu, const MenuData& menu, const std::function<void(UINT id)>& choose) {
  AddItems(qtMenu, menu, choose);
}

UINT ExecQtPopupMenu(const MenuData& menu, QWidget* parent, const QPoint& globalPoint) {
  QMenu popup(parent);
  UINT chosen = 0;
  BuildQtMenu(popup, menu, [&chosen](UINT id) { chosen = id; });
  ExecQtModal(popup, globalPoint);
  return chosen;
}
