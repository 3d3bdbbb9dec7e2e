// CPicMask: the picture-mask model of the masked edit field, without a window:
// the mask, the display text, the selection, the undo text and the editing
// operations for keys, characters, the clipboard and undo.
#pragma once

#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// What the model asks of the window that shows it.
class IPicMaskSite {
 public:
  virtual void ShowText(const CString& text) = 0;
  virtual void ShowSelection(int start, int end) = 0;
  virtual void Beep() = 0;
  virtual void FocusNextControl() = 0;
  virtual void FocusPrevControl() = 0;

 protected:
  ~IPicMaskSite() = default;
};

// One display position: a literal shown as itself, or an input position and
// its mask letter. Every position keeps its kind apart from its character,
// so literals of code page 1252 above 127 (an e acute, a degree sign, a
// euro sign) stay literals.
struct MaskCell {
  bool input = false;
  char ch = 0;
};

// Mask letters: "9" a digit, "A" a letter, "N" a letter or digit, "L" a
// letter stored in lower case, "U" a letter stored in upper case, "X" any
// character from the blank up; "/" makes the next character a literal.
// Letters and digits are the 7-bit ones.
//
// Moving entered characters (inserting, deleting and closing gaps) never
// puts a character where its new position's letter refuses it: such an
// insert fails and a delete clears its range without closing the gap.
class CPicMask {
 public:
  enum class KeyResult {
    kHandled,   // the key was used; the character message that follows is ignored
    kStandard,  // the edit's own handling should act on it
    kIgnored,   // nothing happens; the character message is processed
  };

  explicit CPicMask(IPicMaskSite& site) : m_site(site) {}
  virtual ~CPicMask() = default;
  CPicMask(const CPicMask&) = delete;
  CPicMask& operator=(const CPicMask&) = delete;

  // --- Set-up ---
  BOOL SetMaskString(const CString& mask);
  // The built-in masks 1 to 7; FALSE for any other id.
  BOOL SetMask(int id);
  // Empty input positions take the new prompt; a zero character is ignored.
  void SetPromptChar(char prompt);
  char GetPromptChar() const { return m_prompt; }
  const CString& GetMaskString() const { return m_maskString; }
  bool HasMask() const { return !m_mask.empty(); }
  int GetLength() const { return static_cast<int>(m_mask.size()); }
  const CString& GetDisplayText() const { return m_display; }
  const std::vector<MaskCell>& GetMask() const { return m_mask; }
  void SetAutoAdvance(bool on) { m_autoAdvance = on; }
  void SetInsertAllowed(bool on) { m_insertAllowed = on; }
  void SetInsertMode(bool on) { m_insertMode = on; }
  bool IsInsertMode() const { return m_insertMode; }
  void SetReadOnly(bool on) { m_readOnly = on; }
  bool IsReadOnly() const { return m_readOnly; }

  // --- The selection as the window has it (the window reports the user's changes) ---
  void SetSelection(int start, int end);
  int SelStart() const { return m_selStart; }
  int SelEnd() const { return m_selEnd; }

  // --- Data ---
  // FALSE without a mask or for a start outside it. Start 0 empties the
  // field first. Accepted characters fill the input positions from start
  // (pushing the following ones right with push); the prompt character
  // leaves a position empty unless strict; others are skipped.
  BOOL SetData(const CString& text, int start, BOOL push, BOOL strict);
  // The characters of the input positions, an empty one as a blank; trim
  // removes trailing blanks.
  CString GetDataText(BOOL trim) const;
  // The same into a buffer of size bytes (at most size-1 and a zero); FALSE
  // without a buffer.
  BOOL GetData(char* buffer, int size, BOOL trim) const;
  void ClearData();

  // --- Input ---
  KeyResult KeyDown(UINT vk, bool shift);
  void Char(UINT ch);
  // The selected input positions' characters (literals left out).
  CString CopyText() const;
  // Puts text in at the selection; FALSE when nothing was done.
  BOOL Paste(const CString& text);
  // Removes the selection after copying it; gives the copied text.
  CString Cut();
  BOOL Undo();
  BOOL CanUndo() const { return !m_undo.IsEmpty() && !m_readOnly; }
  void EmptyUndoBuffer() { m_undo = CString(); }

  // --- The operations keys and characters are built of ---
  virtual BOOL IsCharValid(int pos, char& ch) const;
  virtual std::vector<MaskCell> ParseMask(const CString& mask) const;
  virtual CString BuildDisplayText() const;
  virtual BOOL IsLiteral(int pos) const;
  // Shows the display text.
  virtual void UpdateWindowText();
  virtual int SetCaret(int pos, int direction, int extra);
  virtual int NextInputPos(int pos) const;
  virtual int PrevInputPos(int pos) const;
  virtual int FindEndOfData(int pos) const;
  virtual int ClearDataRange(int start, int end);
  virtual BOOL PushChar(int pos, char ch, BOOL show);
  virtual void PullChar(int end, int start, BOOL saveUndo);

 private:
  bool IsInput(int pos) const { return pos >= 0 && pos < GetLength() && m_mask[static_cast<std::size_t>(pos)].input; }
  bool IsEmptyAt(int pos) const { return m_display[pos] == m_prompt; }
  void Select(int start, int end);
  void RemoveSelection(int s, int e, bool saveUndo);
  BOOL PutData(const CString& text, int start, BOOL push, BOOL strict);

  IPicMaskSite& m_site;
  std::vector<MaskCell> m_mask;
  CString m_maskString;
  CString m_display;
  CString m_undo;
  char m_prompt = ' ';
  bool m_autoAdvance = false;
  bool m_insertAllowed = false;
  bool m_insertMode = false;
  bool m_readOnly = false;
  bool m_keyHandled = false;
  UINT m_lastKey = 0;
  int m_selStart = 0;
  int m_selEnd = 0;
};
