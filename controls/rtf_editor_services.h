// What the rich-text editor needs around it: its dialogs, the context menu's tracking and the frame's status text.
#pragma once

#include "controls/rich_text_view.h"
#include "platform/base/cstring.h"
#include "platform/user/menu.h"
#include "platform/user/richtext_types.h"

class CWnd;

// One request of the find and replace dialog, and the learner's answer.
struct FindRequest {
  enum class Action { cancel, findNext, replace, replaceAll };
  BOOL replaceDialog = FALSE;  // the replace dialog, else the find dialog
  CString findWhat;
  CString replaceWith;
  BOOL matchCase = FALSE;
  BOOL wholeWord = FALSE;
  Action action = Action::cancel;
};

// The editor's modal dialogs and its popup menu; the program's answer them
// on the window layer, tests from a script. Each answers FALSE (or no
// command) when cancelled.
class IRtfEditorDialogs {
 public:
  virtual ~IRtfEditorDialogs() = default;
  // The font dialog (screen fonts with effects) on a character format.
  virtual BOOL ChooseFont(CWnd* owner, CHARFORMAT& format) = 0;
  // The colour dialog, opened at a colour (its full RGB).
  virtual BOOL ChooseColour(CWnd* owner, COLORREF& colour) = 0;
  // The paragraph dialog on a paragraph format; on OK the format holds what
  // to apply (its mask says which).
  virtual BOOL EditParagraph(CWnd* owner, PARAFORMAT& format) = 0;
  // The find or replace dialog, opened with the request's texts and options;
  // the answer goes into the request (action cancel when closed).
  virtual void AskFind(CWnd* owner, FindRequest& request) = 0;
  // Shows the popup at a screen point and answers the chosen command, 0 for none.
  virtual UINT TrackPopupMenu(HMENU popup, CPoint screen, CWnd* owner) = 0;
};

// The status line of the frame the editor sits in.
class IEditorStatus {
 public:
  virtual void ShowStatusText(const CString& text) = 0;
  virtual void ShowIdleStatus() = 0;

 protected:
  ~IEditorStatus() = default;
};

// Filled by the response (or a test) before the editor is created; what is
// missing the editor does without (no dialogs: the commands that need one do
// nothing; no messages: no boxes, only beeps are lost).
struct RtfEditorEnvironment {
  RichTextEnvironment text;              // error variables, messages, files, document types
  IRtfEditorDialogs* dialogs = nullptr;
  IEditorStatus* status = nullptr;
  COLORREF pageBackground = RGB(255, 255, 255);  // the presentation view's page colour
  CWnd* mainWindow = nullptr;            // handed to converters
};
