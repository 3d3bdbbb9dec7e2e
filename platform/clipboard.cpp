#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <mutex>
#include <vector>

namespace {

QClipboard* Board() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr; }

}  // namespace

BOOL CClipboard::HasText() {
  QClipboard* board = Board();
  const QMimeData* data = board ? board->mimeData() : nullptr;
  return data && data->hasText() ? TRUE : FALSE;
}

CString CClipboard::GetText() {
  QClipboard* board = Board();
  if (!board) return CString();
  QString text = board->text();
  return CString::FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

BOOL CClipboard::SetText(const CString& text) {
  QClipboard* board = Board();
  if (!board) return FALSE;
  board->setText(QString::fromUtf8(text.ToUtf8()));
  return TRUE;
}

BOOL CClipboard::Empty() {
  QClipboard* board = Board();
  if (!board) return FALSE;
  board->clear();
  return TRUE;
}

UINT CClipboard::RegisterFormat(const CString& name) {
  if (name.IsEmpty()) return 0;
  // Like the system's atom table: one list for the whole process.
  static std::mutex mutex;
  static std::vector<CString> names;
  std::lock_guard lock(mutex);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i].CompareNoCase(name.view()) == 0) return static_cast<UINT>(0xC000 + i);
  if (names.size() >= 0x3FFF) return 0;
  names.push_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}
