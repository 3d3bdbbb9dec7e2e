#include "platform/user/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <mutex>
#include <vector>

#include "platform/gdi/gui_application.h"
#include "platform/gdi/qt_text.h"

namespace {

// The list of registered format names: like the system's atom table, one for the process.
struct FormatNames {
  std::mutex mutex;
  std::vector<CString> names;
};
FormatNames& Names() {
  static FormatNames names;
  return names;
}

// The MIME type a registered format travels under; empty for an unknown id.
QString MimeOf(UINT format) {
  FormatNames& table = Names();
  std::lock_guard lock(table.mutex);
  if (format < 0xC000 || format - 0xC000 >= table.names.size()) return QString();
  QString name = gdi::ToQt(table.names[format - 0xC000]).toLower();
  for (QChar& c : name)
    if (!c.isLetterOrNumber()) c = u'-';
  return QStringLiteral("application/x-tavelon-") + name;
}

QClipboard* Board() { return gdi::GuiApplication() ? QGuiApplication::clipboard() : nullptr; }

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
  return CString(gdi::FromQt(text));
}

BOOL CClipboard::SetText(const CString& text) {
  QClipboard* board = Board();
  if (!board) return FALSE;
  board->setText(gdi::ToQt(text));
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
  FormatNames& table = Names();
  std::lock_guard lock(table.mutex);
  std::vector<CString>& names = table.names;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i].CompareNoCase(name.view()) == 0) return static_cast<UINT>(0xC000 + i);
  if (names.size() >= 0x3FFF) return 0;
  names.push_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}

BOOL CClipboard::SetTextAndData(const CString& text, const std::vector<std::pair<UINT, std::string>>& data) {
  QClipboard* board = Board();
  if (!board) return FALSE;
  auto* mime = new QMimeData;
  mime->setText(gdi::ToQt(text));
  for (const auto& [format, bytes] : data) {
    const QString type = MimeOf(format);
    if (!type.isEmpty()) mime->setData(type, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  }
  board->setMimeData(mime);  // the clipboard owns it now
  return TRUE;
}

BOOL CClipboard::HasFormat(UINT format) {
  if (format == CF_TEXT) return HasText();
  QClipboard* board = Board();
  const QMimeData* data = board ? board->mimeData() : nullptr;
  const QString type = MimeOf(format);
  return data && !type.isEmpty() && data->hasFormat(type) ? TRUE : FALSE;
}

std::optional<std::string> CClipboard::GetData(UINT format) {
  QClipboard* board = Board();
  const QMimeData* data = board ? board->mimeData() : nullptr;
  const QString type = MimeOf(format);
  if (!data || type.isEmpty() || !data->hasFormat(type)) return std::nullopt;
  const QByteArray bytes = data->data(type);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
