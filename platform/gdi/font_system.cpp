// Qt's font database behind the font system interface.
#include "platform/gdi/font_system.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <limits>

#include "platform/gdi/qt_text.h"

namespace tvn::fonts {
namespace {

QString ToQt(const CString& text) { return gdi::ToQt(text); }

CString FromQt(const QString& text) { return CString(gdi::FromQt(text)); }

}  // namespace

std::vector<CString> QtFontSystem::StylesOf(const CString& family) {
  std::vector<CString> out;
  // Without the GUI application there is no font database to ask.
  if (family.IsEmpty() || !qGuiApp) return out;
  const QString name = ToQt(family);
  // styles() of an unknown family answers with the styles of a substitute; ask first.
  if (!QFontDatabase::families().contains(name, Qt::CaseInsensitive)) return out;
  for (const QString& style : QFontDatabase::styles(name)) out.push_back(FromQt(style));
  return out;
}

int QtFontSystem::AddFont(const std::vector<BYTE>& fontFile) {
  if (!qGuiApp || fontFile.empty() || fontFile.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return -1;
  QByteArray bytes(reinterpret_cast<const char*>(fontFile.data()), static_cast<qsizetype>(fontFile.size()));
  return QFontDatabase::addApplicationFontFromData(bytes);
}

bool QtFontSystem::RemoveFont(int id) { return qGuiApp && id >= 0 && QFontDatabase::removeApplicationFont(id); }

}  // namespace tvn::fonts
