// Qt's modal windows (message boxes, the file, font and colour dialogs, the
// mail form, pop-up menus) shown while the program goes on: the program's own
// message loop runs under them, as under its dialogs, so posted messages,
// calls from other threads, timers and paints are still dispatched, while
// Qt's modality keeps input from the program's other windows.
#pragma once

class QDialog;
class QMenu;
class QPoint;

// Shows the dialog modal to the application until it closes; its result
// (QDialog::Rejected when the program quits or closes meanwhile).
int ExecQtModal(QDialog& dialog);
// Pops the menu up at the point (screen coordinates) until it closes.
void ExecQtModal(QMenu& menu, const QPoint& globalPoint);
