// Program texts to and from Qt's UTF-16 strings, in code page 1252 or UTF-8.
#include "platform/gdi/qt_text.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/base/program_text.h"

namespace gdi {

using tvn::text::IsProgramUtf8;

QString ToQt(std::string_view text) {
  if (IsProgramUtf8()) {
    // A leading U+FEFF is a character of the text, not a byte-order mark to
    // drop (as QString::fromUtf8 does): every place after it would be one off.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  }
  // One UTF-16 unit a byte, written straight into the string (drawn text crosses here at every paint).
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* unit = out.data();
  for (unsigned char byte : text) *unit++ = QChar(tvn::codepage::ToUnicode(byte));
  return out;
}

std::string FromQt(const QString& text) {
  if (IsProgramUtf8()) return text.toStdString();
  return tvn::codepage::FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

std::vector<UINT> CharCodesOf(const QString& typed) {
  std::vector<UINT> codes;
  if (IsProgramUtf8()) {
    for (const auto c : typed.toUcs4()) codes.push_back(static_cast<UINT>(c));
  } else {
    for (char byte : FromQt(typed)) codes.push_back(static_cast<unsigned char>(byte));
  }
  return codes;
}

QString QtOfCharCode(UINT code) { return ToQt(tvn::text::ProgramTextOfChar(code)); }

namespace {

// Whether the UTF-16 units at i begin a character outside the basic plane.
bool IsPairAt(QStringView text, qsizetype i) {
  return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

}  // namespace

int ProgramPosOf(QStringView text, int qtPos) {
  qtPos = std::clamp(qtPos, 0, static_cast<int>(text.size()));
  if (IsProgramUtf8()) return static_cast<int>(text.left(qtPos).toUtf8().size());
  // One byte a character: a character outside the basic plane is one '?' (as FromQt makes it).
  int pos = qtPos;
  for (int i = 0; i + 1 < qtPos; ++i) {
    if (IsPairAt(text, i)) {
      --pos;
      ++i;
    }
  }
  return pos;
}

int QtPosOf(const QString& text, int programPos) {
  if (!IsProgramUtf8()) {
    qsizetype at = 0;
    for (int byte = 0; byte < programPos && at < text.size(); ++byte) at += IsPairAt(text, at) ? 2 : 1;
    return static_cast<int>(at);
  }
  const QByteArray bytes = text.toUtf8();
  programPos = std::clamp(programPos, 0, static_cast<int>(bytes.size()));
  const std::size_t start = tvn::text::ProgramCharStart(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())),
                                                        static_cast<std::size_t>(programPos));
  return static_cast<int>(ToQt(std::string_view(bytes.data(), start)).size());
}

}  // namespace gdi
