// The list box on a QListWidget: entries, selection, search and the look of its entries.
#include "platform/user/list_box.h"

#include <QFontMetrics>
#include <QListWidget>
#include <algorithm>

#include "platform/gdi/qt_text.h"
#include "platform/user/list_search.h"

IMPLEMENT_DYNAMIC(CListBox, CChildControl)

namespace {

constexpr int kTextRole = Qt::UserRole;  // the entry's own 8-bit text
constexpr int kTextPadding = 6;          // room the item view leaves around a text

CString EntryText(const QListWidgetItem* item) {
  const QByteArray bytes = item->data(kTextRole).toByteArray();
  return CString(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

const CString& TextArg(LPARAM lParam) {
  static const CString kEmpty;
  const auto* text = reinterpret_cast<const CString*>(lParam);
  return text ? *text : kEmpty;
}

}  // namespace

QListWidget* CListBox::List() const { return static_cast<QListWidget*>(GetControlWidget()); }

QWidget* CListBox::MakeControl(QWidget* host) {
  auto* list = new QListWidget(host);
  const DWORD style = GetStyle();
  if (style & LBS_EXTENDEDSEL) list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  else if (style & LBS_MULTIPLESEL) list->setSelectionMode(QAbstractItemView::MultiSelection);
  else list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setUniformItemSizes(true);
  list->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(list, &QListWidget::itemSelectionChanged, list, [this] {
    if (GetStyle() & LBS_NOTIFY) NotifyParent(LBN_SELCHANGE);
  });
  QObject::connect(list, &QListWidget::itemDoubleClicked, list, [this](QListWidgetItem*) {
    if (GetStyle() & LBS_NOTIFY) NotifyParent(LBN_DBLCLK);
  });
  return list;
}

int CListBox::ItemHeight() const {
  if (m_itemHeight > 0) return m_itemHeight;
  return QFontMetrics(ControlFont()).height();
}

int CListBox::MeasureText(const CString& text) const {
  return QFontMetrics(ControlFont()).horizontalAdvance(gdi::ToQt(text));
}

void CListBox::ApplyItemSize(int row) {
  QListWidget* list = List();
  QListWidgetItem* item = list ? list->item(row) : nullptr;
  if (!item) return;
  const int width = std::max(m_extent, MeasureText(EntryText(item)) + kTextPadding);
  item->setSizeHint(QSize(width, ItemHeight()));
}

void CListBox::OnFontChanged() {
  if (QListWidget* list = List())
    for (int i = 0; i < list->count(); ++i) ApplyItemSize(i);
}

int CListBox::Insert(int index, const CString& text) {
  QListWidget* list = List();
  if (!list) return static_cast<int>(LB_ERR);
  auto* item = new QListWidgetItem(gdi::ToQt(text));
  item->setData(kTextRole, QByteArray(text.view().data(), static_cast<qsizetype>(text.view().size())));
  list->insertItem(index, item);
  ApplyItemSize(index);
  return index;
}

int CListBox::Find(int startAfter, const CString& text, bool exact) {
  QListWidget* list = List();
  if (!list) return static_cast<int>(LB_ERR);
  return tvn::controls::FindEntry(
      list->count(), [list](int i) { return EntryText(list->item(i)); }, startAfter, text, exact);
}

std::vector<int> CListBox::GetSelItems() {
  std::vector<int> rows;
  const int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (GetSel(i) > 0) rows.push_back(i);
  return rows;
}

LRESULT CListBox::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  QListWidget* list = List();
  if (message < LB_ADDSTRING || message > LB_FINDSTRINGEXACT || !list)
    return CChildControl::DefWindowProc(message, wParam, lParam);
  QuietScope quiet(*this);
  const int count = list->count();
  const int index = static_cast<int>(static_cast<LONG>(wParam));
  auto inRange = [count](int i) { return i >= 0 && i < count; };
  switch (message) {
    case LB_ADDSTRING: {
      const CString& text = TextArg(lParam);
      const int at = (GetStyle() & LBS_SORT)
                         ? tvn::controls::SortedPosition(count, [list](int i) { return EntryText(list->item(i)); }, text)
                         : count;
      return Insert(at, text);
    }
    case LB_INSERTSTRING:
      if (index == -1) return Insert(count, TextArg(lParam));
      return index >= 0 && index <= count ? Insert(index, TextArg(lParam)) : LB_ERR;
    case LB_DELETESTRING:
      if (!inRange(index)) return LB_ERR;
      delete list->takeItem(index);
      return list->count();
    case LB_RESETCONTENT:
      list->clear();
      return 0;
    case LB_SETSEL: {
      if (!Multiple()) return LB_ERR;
      const int row = static_cast<int>(lParam);
      if (row == -1) {
        for (int i = 0; i < count; ++i) list->item(i)->setSelected(wParam != 0);
        return 0;
      }
      if (!inRange(row)) return LB_ERR;
      list->item(row)->setSelected(wParam != 0);
      return 0;
    }
    case LB_SETCURSEL:
      if (Multiple()) return LB_ERR;
      if (!inRange(index)) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
        return LB_ERR;
      }
      list->setCurrentRow(index);
      list->item(index)->setSelected(true);
      return index;
    case LB_GETSEL:
      return inRange(index) ? (list->item(index)->isSelected() ? 1 : 0) : LB_ERR;
    case LB_GETCURSEL: {
      if (Multiple()) return list->currentRow() >= 0 ? list->currentRow() : 0;
      const auto selected = list->selectedItems();
      return selected.isEmpty() ? LB_ERR : list->row(selected.front());
    }
    case LB_GETTEXT:
      if (!inRange(index)) return LB_ERR;
      if (auto* out = reinterpret_cast<CString*>(lParam)) *out = EntryText(list->item(index));
      return static_cast<LRESULT>(EntryText(list->item(index)).GetLength());
    case LB_GETTEXTLEN:
      return inRange(index) ? static_cast<LRESULT>(EntryText(list->item(index)).GetLength()) : LB_ERR;
    case LB_GETCOUNT:
      return count;
    case LB_SELECTSTRING: {
      if (Multiple()) return LB_ERR;
      const int found = Find(index, TextArg(lParam), false);
      if (found < 0) return LB_ERR;
      list->setCurrentRow(found);
      list->item(found)->setSelected(true);
      return found;
    }
    case LB_GETTOPINDEX: {
      const QModelIndex top = list->indexAt(QPoint(1, 1));
      return top.isValid() ? top.row() : 0;
    }
    case LB_FINDSTRING:
      return Find(index, TextArg(lParam), false);
    case LB_FINDSTRINGEXACT:
      return Find(index, TextArg(lParam), true);
    case LB_GETSELCOUNT: {
      if (!Multiple()) return LB_ERR;
      return static_cast<LRESULT>(list->selectedItems().size());
    }
    case LB_GETHORIZONTALEXTENT:
      return m_extent;
    case LB_SETHORIZONTALEXTENT:
      m_extent = std::max(0, index);
      OnFontChanged();
      return 0;
    case LB_SETTOPINDEX:
      if (!inRange(index)) return LB_ERR;
      list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
      return 0;
    case LB_GETITEMHEIGHT:
      return ItemHeight();
    case LB_SETITEMHEIGHT:
      if (lParam <= 0 || lParam > 255) return LB_ERR;
      m_itemHeight = static_cast<int>(lParam);
      OnFontChanged();
      return 0;
    default:
      return CChildControl::DefWindowProc(message, wParam, lParam);
  }
}
