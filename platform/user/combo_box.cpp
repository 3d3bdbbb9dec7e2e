// The drop-down list on a QComboBox: entries, the current choice, search and its height.
#include "platform/user/combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QScreen>
#include <QProxyStyle>
#include <algorithm>
#include <functional>

#include "platform/gdi/qt_text.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/control_frame.h"
#include "platform/user/list_search.h"

IMPLEMENT_DYNAMIC(CComboBox, CChildControl)

namespace {

constexpr int kTextRole = Qt::UserRole;
constexpr int kFieldMargin = 8;  // frame and padding around the selection field's text

CString EntryText(const QComboBox* combo, int i) {
  const QByteArray bytes = combo->itemData(i, kTextRole).toByteArray();
  return CString(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// The widget style, except that the list drops down as a list (with a scroll
// bar when its entries need one) and never stands over the field as a menu.
class DropDownStyle final : public QProxyStyle {
 public:
  explicit DropDownStyle(const QString& key) : QProxyStyle(key) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// The field of the drop-down list. Its list opens right below the window,
// as wide as it and as tall as the rest of the height the window was asked
// for (above it when the screen has no room below), wherever the style would
// put it.
class DropDownField final : public QComboBox {
 public:
  // listRect gives the list's rectangle on the screen; scrollBar: the list
  // shows a vertical scroll bar when its entries need one.
  DropDownField(QWidget* parent, std::function<QRect()> listRect, bool scrollBar)
      : QComboBox(parent), m_listRect(std::move(listRect)), m_scrollBar(scrollBar) {}

  void showPopup() override {
    QComboBox::showPopup();
    QWidget* popup = view() ? view()->window() : nullptr;
    if (!popup || popup == window() || !popup->isVisible()) return;
    // A line in the window-frame colour round the list.
    if (auto* frame = qobject_cast<QFrame*>(popup)) {
      const COLORREF c = GetSysColor(COLOR_WINDOWFRAME);
      QPalette palette = frame->palette();
      palette.setColor(QPalette::WindowText, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
      frame->setPalette(palette);
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      frame->setLineWidth(1);
    }
    view()->setVerticalScrollBarPolicy(m_scrollBar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    popup->setGeometry(m_listRect());
    view()->scrollTo(view()->currentIndex(), QAbstractItemView::EnsureVisible);
  }

 private:
  std::function<QRect()> m_listRect;
  bool m_scrollBar;
};

const CString& TextArg(LPARAM lParam) {
  static const CString kEmpty;
  const auto* text = reinterpret_cast<const CString*>(lParam);
  return text ? *text : kEmpty;
}

}  // namespace

QComboBox* CComboBox::Combo() const { return static_cast<QComboBox*>(GetControlWidget()); }

QWidget* CComboBox::MakeControl(QWidget* host) {
  auto* combo = new DropDownField(host, [this] { return ListRectOnScreen(); }, (GetStyle() & WS_VSCROLL) != 0);
  combo->setEditable(false);
  auto* style = new DropDownStyle(QApplication::style()->name());
  style->setParent(combo);
  combo->setStyle(style);
  combo->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this](int) { NotifyParent(CBN_SELCHANGE); });
  return combo;
}

int CComboBox::ItemHeight() const {
  if (m_itemHeight > 0) return m_itemHeight;
  return QFontMetrics(ControlFont()).height();
}

int CComboBox::FieldHeight() const {
  return std::max(ItemHeight() + kFieldMargin, QFontMetrics(ControlFont()).height() + kFieldMargin);
}

CRect CComboBox::ConstrainWindowRect(const CRect& rect) const {
  m_droppedHeight = rect.Height();
  CRect field = rect;
  field.bottom = field.top + FieldHeight() + 2 * tvn::controls::FrameWidthOf(GetStyle(), GetExStyle());
  return field;
}

QRect CComboBox::ListRectOnScreen() const {
  QWidget* host = GetWidget();
  if (!host) return {};
  const int field = host->height();
  const int height = std::max(ItemHeight(), m_droppedHeight - field);
  const QPoint below = host->mapToGlobal(QPoint(0, field));
  QRect list(below, QSize(host->width(), height));
  if (QScreen* screen = host->screen()) {
    const QRect room = screen->availableGeometry();
    const QPoint above = host->mapToGlobal(QPoint(0, -height));
    if (list.bottom() > room.bottom() && above.y() >= room.top()) list.moveTopLeft(above);
  }
  return list;
}

void CComboBox::OnFontChanged() {
  if (!m_hWnd) return;
  CRect rect;
  GetWindowRect(&rect);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&rect);
  MoveWindow(rect.left, rect.top, rect.Width(), m_droppedHeight);
}

int CComboBox::MeasureText(const CString& text) const {
  return QFontMetrics(ControlFont()).horizontalAdvance(gdi::ToQt(text));
}

int CComboBox::Insert(int index, const CString& text) {
  QComboBox* combo = Combo();
  const int current = combo->currentIndex();
  combo->insertItem(index, gdi::ToQt(text), QByteArray(text.view().data(), static_cast<qsizetype>(text.view().size())));
  // The list shows as many entries as the asked height holds.
  const int shown = std::max(1, (m_droppedHeight - FieldHeight()) / std::max(1, ItemHeight()));
  combo->setMaxVisibleItems(shown);
  // Qt chooses the first entry of an empty list; a Windows list starts with no choice.
  if (current < 0) combo->setCurrentIndex(-1);
  return index;
}

int CComboBox::Find(int startAfter, const CString& text, bool exact) {
  QComboBox* combo = Combo();
  return tvn::controls::FindEntry(
      combo->count(), [combo](int i) { return EntryText(combo, i); }, startAfter, text, exact);
}

LRESULT CComboBox::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  QComboBox* combo = Combo();
  if (message < CB_ADDSTRING || message > CB_FINDSTRINGEXACT || !combo)
    return CChildControl::DefWindowProc(message, wParam, lParam);
  QuietScope quiet(*this);
  const int count = combo->count();
  const int index = static_cast<int>(static_cast<LONG>(wParam));
  auto inRange = [count](int i) { return i >= 0 && i < count; };
  switch (message) {
    case CB_ADDSTRING: {
      const CString& text = TextArg(lParam);
      const int at = (GetStyle() & CBS_SORT)
                         ? tvn::controls::SortedPosition(count, [combo](int i) { return EntryText(combo, i); }, text)
                         : count;
      return Insert(at, text);
    }
    case CB_INSERTSTRING:
      if (index == -1) return Insert(count, TextArg(lParam));
      return index >= 0 && index <= count ? Insert(index, TextArg(lParam)) : CB_ERR;
    case CB_DELETESTRING:
      if (!inRange(index)) return CB_ERR;
      combo->removeItem(index);
      return combo->count();
    case CB_RESETCONTENT:
      combo->clear();
      return 0;
    case CB_GETCOUNT:
      return count;
    case CB_GETCURSEL:
      return combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
    case CB_SETCURSEL:
      if (!inRange(index)) {
        combo->setCurrentIndex(-1);
        return CB_ERR;
      }
      combo->setCurrentIndex(index);
      return index;
    case CB_GETLBTEXT:
      if (!inRange(index)) return CB_ERR;
      if (auto* out = reinterpret_cast<CString*>(lParam)) *out = EntryText(combo, index);
      return static_cast<LRESULT>(EntryText(combo, index).GetLength());
    case CB_GETLBTEXTLEN:
      return inRange(index) ? static_cast<LRESULT>(EntryText(combo, index).GetLength()) : CB_ERR;
    case CB_FINDSTRING:
      return Find(index, TextArg(lParam), false);
    case CB_FINDSTRINGEXACT:
      return Find(index, TextArg(lParam), true);
    case CB_SELECTSTRING: {
      const int found = Find(index, TextArg(lParam), false);
      if (found < 0) return CB_ERR;
      combo->setCurrentIndex(found);
      return found;
    }
    case CB_SHOWDROPDOWN:
      if (wParam) combo->showPopup();
      else combo->hidePopup();
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return combo->view() && combo->view()->isVisible() ? TRUE : FALSE;
    case CB_SETITEMHEIGHT:
      if (lParam <= 0 || lParam > 255) return CB_ERR;
      m_itemHeight = static_cast<int>(lParam);
      OnFontChanged();
      return 0;
    case CB_GETITEMHEIGHT:
      return index == -1 ? FieldHeight() - kFieldMargin / 2 : ItemHeight();
    default:
      return CChildControl::DefWindowProc(message, wParam, lParam);
  }
}
