#include "platform/user/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <algorithm>

#include "platform/gdi/qt_text.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/message_loop.h"
#include "platform/user/qt_char_format.h"
#include "platform/user/qt_menu.h"
#include "platform/user/qt_modal.h"
#include "platform/user/wait_cursor.h"
#include "platform/user/wnd.h"

namespace {

QWidget* OwnerWidget(CWnd* owner) {
  QWidget* w = owner ? owner->GetWidget() : nullptr;
  return w ? w->window() : nullptr;
}

QMessageBox::StandardButton QtButton(int id) {
  switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
  }
}

QMessageBox::Icon QtIcon(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int CQtDialogs::MessageBox(const MessageBoxRequest& request) {
  MessageBoxButtons buttons = ButtonsOfStyle(request.type);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return buttons.escapeResult;
  QMessageBox box(QtIcon(request.type), gdi::ToQt(request.caption), gdi::ToQt(request.text), QMessageBox::NoButton,
                  OwnerWidget(request.owner));
  if (const std::optional<DialogColours> colours = GetDialogColours()) {
    // The program's dialog face and text, for the box and its buttons.
    QPalette palette = box.palette();
    const QColor face(GetRValue(colours->background), GetGValue(colours->background), GetBValue(colours->background));
    const QColor text(GetRValue(colours->text), GetGValue(colours->text), GetBValue(colours->text));
    for (auto role : {QPalette::Window, QPalette::Button}) palette.setColor(role, face);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) palette.setColor(role, text);
    box.setPalette(palette);
  }
  QMessageBox::StandardButtons set;
  for (int i = 0; i < buttons.count; ++i) set |= QtButton(buttons.buttons[i]);
  box.setStandardButtons(set);
  int defaultIndex = (request.type & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (request.type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
  if (defaultIndex < buttons.count) box.setDefaultButton(QtButton(buttons.buttons[defaultIndex]));
  box.setEscapeButton(QtButton(buttons.escapeResult));
  CWaitCursorPause pause;
  ExecQtModal(box);
  QAbstractButton* clicked = box.clickedButton();
  for (int i = 0; i < buttons.count; ++i)
    if (clicked && clicked == box.button(QtButton(buttons.buttons[i]))) return buttons.buttons[i];
  return buttons.escapeResult;
}

std::optional<CString> CQtDialogs::FileDialog(const FileDialogRequest& request) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  QFileDialog dialog(OwnerWidget(request.owner), gdi::ToQt(request.title));
  // Qt's own dialog: the same on every desktop, and usable without one.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(request.open && (request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                           : QFileDialog::AnyFile);
  QStringList filters;
  for (const std::string& f : QtNameFilters(request.filter)) filters << QString::fromUtf8(f);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (request.filterIndex > 0 && request.filterIndex <= filters.size()) dialog.selectNameFilter(filters[request.filterIndex - 1]);
  if (!request.defaultExtension.IsEmpty()) dialog.setDefaultSuffix(gdi::ToQt(request.defaultExtension));
  if (!request.fileName.IsEmpty()) dialog.selectFile(gdi::ToQt(request.fileName));
  if (!(request.flags & OFN_OVERWRITEPROMPT)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  CWaitCursorPause pause;
  if (ExecQtModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  if (request.chosenFilterIndex) *request.chosenFilterIndex = std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
  return CString(gdi::FromQt(dialog.selectedFiles().front()));
}

void CQtDialogs::Beep(UINT) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}

std::optional<CHARFORMAT> CQtDialogs::FontDialog(const FontDialogRequest& request) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  QFontDialog dialog(CharFormatToQFont(request.format), OwnerWidget(request.owner));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  CWaitCursorPause pause;
  if (ExecQtModal(dialog) != QDialog::Accepted) return std::nullopt;
  CHARFORMAT chosen = QFontToCharFormat(dialog.selectedFont(), request.format);
  if (!(request.flags & CF_EFFECTS)) {
    // Qt's dialog always offers the effects; without CF_EFFECTS they stay as they were.
    constexpr DWORD kEffects = CFE_UNDERLINE | CFE_STRIKEOUT;
    chosen.dwEffects = (chosen.dwEffects & ~kEffects) | (request.format.dwEffects & kEffects);
  }
  return chosen;
}

std::optional<COLORREF> CQtDialogs::ColourDialog(const ColourDialogRequest& request) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  const COLORREF c = request.colour;
  QColor initial = (request.flags & CC_RGBINIT) ? QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) : QColor(Qt::black);
  QColorDialog dialog(initial, OwnerWidget(request.owner));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  CWaitCursorPause pause;
  if (ExecQtModal(dialog) != QDialog::Accepted) return std::nullopt;
  const QColor chosen = dialog.selectedColor();
  return static_cast<COLORREF>(chosen.red()) | (static_cast<COLORREF>(chosen.green()) << 8) |
         (static_cast<COLORREF>(chosen.blue()) << 16);
}

UINT CQtDialogs::TrackPopupMenu(const PopupMenuRequest& request) {
  if (!request.menu || !qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* owner = loop ? loop->FromHandle(request.owner) : nullptr;
  return ExecQtPopupMenu(*request.menu, OwnerWidget(owner), QPoint(request.point.x, request.point.y));
}
