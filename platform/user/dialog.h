// CDialog: dialog boxes made from templates in code (sizes in dialog units),
// modal through a nested turn of the platform's own loop or modeless, with
// data exchange between the dialog's members and its controls.
#pragma once

#include <memory>
#include <vector>

#include "platform/user/control_messages.h"
#include "platform/user/wnd.h"

// The owner of a modal dialog gets this while the dialog's loop has nothing to
// do (wParam MSGF_DIALOGBOX, lParam the dialog's handle), before it waits.
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr WPARAM MSGF_DIALOGBOX = 0;

// Dialog styles a template may carry.
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x800;  // centred over the owner (the screen without one)

// One control of a template: its window class (a name the loop's window
// classes know), text, id (0xFFFF: none), style and rectangle in dialog units.
struct DialogItemTemplate {
  CString className;
  CString text;
  UINT id = 0xFFFF;
  DWORD style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  CString caption;  // empty: set at run time
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  int cx = 0, cy = 0;  // client size in dialog units
  std::vector<DialogItemTemplate> items;
  // Where the dialog's frame goes, in dialog units from the top-left corner
  // of the owner's client area (of the screen without an owner); DS_CENTER
  // centres it instead.
  int x = 0, y = 0;
};

// Dialog units to pixels: a horizontal unit is a quarter of the dialog
// font's average character width, a vertical one an eighth of its height.
// The dialogs use the 8-point system font at 96 dots per inch (6 × 13).
constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 13;
CRect DialogUnitsToPixels(int x, int y, int cx, int cy);

class CDialog;

// Direction of one data exchange: into the controls or out of them.
class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, BOOL save) : m_bSaveAndValidate(save), m_dialog(dialog) {}
  CDialog& Dialog() const { return m_dialog; }
  // TRUE: control to member (OK); FALSE: member to control (initialisation).
  const BOOL m_bSaveAndValidate;

  // A check failed (its message already shown): the control takes the focus,
  // an edit with its text selected, and the exchange stops: helpers called
  // after it do nothing and UpdateData answers FALSE.
  void Fail(int controlId);
  BOOL Failed() const { return m_failed ? TRUE : FALSE; }

 private:
  CDialog& m_dialog;
  bool m_failed = false;
};

// A control that is not there leaves the member as it is; after a failed
// check nothing is exchanged.
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  // The template is copied; parent is the owner (centred over, disabled
  // while a modal dialog runs), not a parent window: a dialog is top level.
  explicit CDialog(DialogTemplate dialogTemplate, CWnd* parent = nullptr);
  ~CDialog() override;

  // Shows the dialog and runs the loop until EndDialog; timers and posted
  // messages of every window keep flowing meanwhile. The owner is disabled
  // until the dialog ends. -1 when the dialog cannot be made; a quit message
  // ends the dialog with IDCANCEL and is passed on to the outer loop.
  virtual int DoModal();
  // A modeless dialog, shown; the caller keeps the object until it is destroyed.
  virtual BOOL Create(CWnd* parent = nullptr);
  // Ends a modal dialog with the result; a modeless one is hidden.
  void EndDialog(int result);
  int Result() const { return m_result; }
  bool IsEnded() const { return m_ended; }
  const DialogTemplate& Template() const { return m_template; }
  CWnd* Owner() const { return m_owner; }

  // TRUE out of the controls (when all is valid), FALSE into them. FALSE
  // when a check failed.
  BOOL UpdateData(BOOL save = TRUE);
  // Enter, Escape and their characters for this dialog or its controls
  // become its commands: Enter the default button (a focused push button
  // itself; nothing when the dialog has no such button), Escape IDCANCEL.
  // TRUE when the message was taken.
  BOOL IsDialogMessage(const MSG& msg);
  // The id of the default push button (IDOK without one).
  UINT GetDefID() const;
  void CenterWindow(CWnd* over = nullptr);

  void SetDlgItemText(int id, const CString& text);
  CString GetDlgItemText(int id) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange*) {}
  virtual void OnOK();
  virtual void OnCancel();
  // A command of a control or key: id and notification code. The default
  // handles IDOK and IDCANCEL clicks; TRUE when handled.
  virtual BOOL OnDialogCommand(UINT id, WORD code);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnClose() override;
  // The dialog's face in the button-face colour.
  void OnPaint() override;

 private:
  BOOL CreateFromTemplate(bool visible);
  void RunModalLoop();

  DialogTemplate m_template;
  CWnd* m_owner = nullptr;
  std::vector<std::unique_ptr<CWnd>> m_controls;
  int m_result = 0;
  bool m_ended = false;
  bool m_modal = false;
};
