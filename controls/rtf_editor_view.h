// CRtfEditorView: the learner's rich-text editor on the page, its default formats, context menu and commands.
#pragma once

#include <memory>

#include "controls/rtf_editor_dialogs.h"
#include "controls/rtf_editor_services.h"
#include "platform/richedit/rich_edit_view.h"

class CFile;
class CIconObject;
class CRtfEditorDoc;
struct LOGFONT;

// The editor's child id on the presentation view.
constexpr UINT kRtfEditorControlId = 923;

// Context menu 257 and the commands of its second popup.
namespace RtfEditorCommand {
constexpr UINT kMenu = 257;
constexpr UINT kUndo = 57643;
constexpr UINT kCut = 57635;
constexpr UINT kCopy = 57634;
constexpr UINT kPaste = 57637;
constexpr UINT kDelete = 57632;
constexpr UINT kFont = 57696;
constexpr UINT kColourPopup = 65535;  // the "Colour" item the colour menu takes over
constexpr UINT kBulletStyle = 32778;
constexpr UINT kParagraph = 32780;
constexpr UINT kImport = 32860;
constexpr UINT kSaveAs = 32842;
constexpr UINT kFind = 57636;
constexpr UINT kReplace = 57641;
constexpr UINT kFirstColour = 5700;
constexpr UINT kCustomColour = 5716;
constexpr UINT kIgnored1 = 32889;
constexpr UINT kIgnored2 = 32898;
}  // namespace RtfEditorCommand

// The format bar's notifications (it is never created; the view answers them).
constexpr UINT kFormatBarId = 32896;
constexpr UINT kFormatBarApply = 1000;  // apply the notice's format to the selection
constexpr UINT kFormatBarFetch = 1001;  // fill the notice's format from the selection
struct FormatBarNotify {
  NMHDR hdr;
  CHARFORMAT format;
};

// An editable rich-edit window, child 923 of the presentation view, with
// its own document. The owning response keeps the object; the window goes
// with DestroyWindow.
class CRtfEditorView : public CRichEditView {
  DECLARE_DYNAMIC(CRtfEditorView)

 public:
  // Text longer than this shows "Formatting... Please Wait." while it rewraps.
  static constexpr long kLongText = 32768;

  explicit CRtfEditorView(CIconObject* owner = nullptr);
  ~CRtfEditorView() override;

  void SetEnvironment(const RtfEditorEnvironment& env) { m_env = env; }
  const RtfEditorEnvironment& Environment() const { return m_env; }
  // The environment's dialogs, else the window layer's.
  IRtfEditorDialogs& Dialogs() { return m_env.dialogs ? *m_env.dialogs : m_ownDialogs; }
  CIconObject* GetOwner() const { return m_owner; }
  CRtfEditorDoc* GetDocument() const { return m_doc.get(); }

  // Makes the window (a new document with it), applies the proportional
  // default format and the page's background colour.
  BOOL Create(CWnd* parent, const CRect& rect, DWORD style, UINT id = kRtfEditorControlId);

  // Fills both default formats: proportional from string 109, fixed pitch from 111.
  void SetDefaultFont();
  // The proportional default from a font, a size in points and a colour,
  // then applied to all the text.
  void SetCharFormatFromFont(const LOGFONT& font, int pointSize, COLORREF colour);
  // Selects all, applies the default formats, collapses the selection to 0,
  // forgets the undo steps and clears the modified flag.
  void ApplyDefaultFormat(BOOL fixedPitch);
  void SetReadOnly(BOOL readOnly);
  BOOL GetReadOnlyFlag() const { return m_readOnlyFlag; }
  // 0 disables the context menu; else the popup's position in menu 257.
  void SetContextMenuPopup(int popup) { m_popup = popup; }
  int GetContextMenuPopup() const { return m_popup; }

  // Replaces the whole content with RTF text.
  void SetRtfText(const CString& text);
  // The whole content as RTF. A failure goes to the error variables and
  // leaves result as it was: never a partial text. FALSE then.
  BOOL GetRtfText(CString& result);
  // The length last streamed in; the output buffer grows faster past a megabyte.
  ULONGLONG GetStreamedLength() const { return m_streamedLength; }
  // The step the output of GetRtfText grows by.
  UINT OutputGrowth() const { return m_streamedLength > 1000000 ? 32768 : 8192; }

  // Streams the content (or the selection) out to or in from a file, as RTF
  // when the document is in RTF mode, else as plain text. A failing file
  // throws its CFileException after the control is done.
  virtual void Stream(CFile& file, BOOL storing, BOOL selectionOnly);
  // The text has no other format than the fixed-pitch default, the default
  // paragraph format (alignment and start indent included) and no picture.
  BOOL IsPlainFormatted();

  const CHARFORMAT& GetProportionalFormat() const { return m_proportional; }
  const CHARFORMAT& GetFixedPitchFormat() const { return m_fixedPitch; }
  const PARAFORMAT& GetDefaultParaFormat() const { return m_defaultPara; }
  BOOL IsFormatBarFocused() const { return m_formatBarFocus; }

  // --- commands (menu 257 and the keys that stand for them) ---
  // TRUE when the id is one of the view's commands (and it ran).
  BOOL RunCommand(UINT id);
  void OnFormatFont();
  void OnColour(UINT id);
  void OnCustomColour();
  void OnParagraph();
  void OnBulletStyle();
  void OnFind(BOOL replace);
  // Finds the request's text from the selection on; at the end of the text
  // beeps, shows 164 and beeps again. TRUE when found (and selected).
  BOOL FindNext(const FindRequest& request);
  // Replaces the selection when it is the text sought, then finds the next.
  BOOL ReplaceNext(const FindRequest& request);
  // Every occurrence from the start; the count replaced.
  int ReplaceAll(const FindRequest& request);
  void OnImport();
  void OnSaveAs();
  // The context menu at a screen point (nothing with popup 0).
  void ShowContextMenu(CPoint screen);
  // Menu 257 as the view loads it.
  static HMENU LoadEditorMenu();

  // The format bar's notifications.
  LRESULT OnFormatBarNotify(NMHDR* notice);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(const CREATESTRUCT& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  void ReportFailure(const std::exception& failure);
  // Sends the key on to the view first; FALSE when the window went meanwhile.
  bool PassKeyToParent(UINT message, WPARAM vk, LPARAM lParam);

  RtfEditorEnvironment m_env;
  CRtfEditorDialogs m_ownDialogs;
  std::unique_ptr<CRtfEditorDoc> m_doc;
  PARAFORMAT m_defaultPara;
  CHARFORMAT m_proportional;
  CHARFORMAT m_fixedPitch;
  BOOL m_formatBarFocus = FALSE;
  CIconObject* m_owner;  // not owned
  int m_popup = 1;
  ULONGLONG m_streamedLength = 0;
  BOOL m_readOnlyFlag = FALSE;
  FindRequest m_lastFind;
  bool m_forceRtf = false;  // SetRtfText and GetRtfText always speak RTF
};
