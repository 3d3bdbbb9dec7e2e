// The one bridge of the program's 8-bit texts to Qt's strings and back, in
// the encoding the program chose (platform/base/program_text.h): captions,
// controls, boxes, menus, the clipboard and drawn text all cross here.
#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"

namespace gdi {

QString ToQt(std::string_view text);
inline QString ToQt(const std::string& text) { return ToQt(std::string_view(text)); }
inline QString ToQt(const CString& text) { return ToQt(text.view()); }
std::string FromQt(const QString& text);

// The WM_CHAR codes of typed text, one a character: bytes of code page 1252
// (what it cannot hold becomes '?'), or Unicode code points under UTF-8.
std::vector<UINT> CharCodesOf(const QString& typed);
// The character of a WM_CHAR code; empty when the code names none.
QString QtOfCharCode(UINT code);

// Positions in a text: the program text's byte offset of a place in Qt's
// string, and the place in Qt's string of a byte offset.
int ProgramPosOf(QStringView text, int qtPos);
int QtPosOf(const QString& text, int programPos);

}  // namespace gdi
