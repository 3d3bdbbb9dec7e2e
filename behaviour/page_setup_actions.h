// CPrintAction, CPaletteAction and CPreloadAction: the actions that set the page up rather than put something on it.
#pragma once

#include "behaviour/action.h"
#include "platform/base/collections.h"

// On disk: print flags, scale, the margins as 16 raw bytes, the common part.
class CPrintAction : public CAction {
  DECLARE_SERIAL(CPrintAction)

 public:
  CPrintAction() : CAction(ActionKind::kPrint) {}
  CPrintAction(const CPrintAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 64; }
  BOOL Execute() override;

  DWORD GetPrintFlags() const { return m_dwPrintFlags; }
  LONG GetScale() const { return m_nScale; }
  const CRect& GetMargins() const { return m_margins; }

 private:
  DWORD m_dwPrintFlags = 9;
  LONG m_nScale = 100;
  CRect m_margins{254, 254, 254, 254};  // tenths of a millimetre
};

// On disk: flags, the palette file, the common part.
class CPaletteAction : public CAction {
  DECLARE_SERIAL(CPaletteAction)

 public:
  static constexpr DWORD kModeBits = 0xF;

  CPaletteAction() : CAction(ActionKind::kPalette) {}
  CPaletteAction(const CPaletteAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 64; }
  // Sets the view's palette mode. The display is true colour: no palette is
  // ever loaded or selected.
  BOOL Execute() override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  DWORD GetPaletteFlags() const { return m_dwFlags; }
  const CString& GetFileName() const { return m_strFile; }

 private:
  DWORD m_dwFlags = 2;
  CString m_strFile;
};

namespace PreloadFlag {
constexpr DWORD kBackground = 0x1;  // loaded by the cache's worker
constexpr DWORD kLookAhead = 0x4;
constexpr DWORD kSetBudget = 0x8;
}  // namespace PreloadFlag

// On disk (schema 3): flags, budget, the names; schema 2 and older: flags and one name.
class CPreloadAction : public CAction {
  DECLARE_SERIAL(CPreloadAction)

 public:
  CPreloadAction() : CAction(ActionKind::kPreload) {}
  CPreloadAction(const CPreloadAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  BOOL Execute() override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  const CStringArray& GetFileNames() const { return m_files; }
  DWORD GetPreloadFlags() const { return m_dwFlags; }
  LONG GetBudget() const { return m_nBudget; }
  // The budget in bytes: thousands times 1000, held within 32 bits.
  static LONG BudgetBytes(LONG thousands);

 private:
  CStringArray m_files;
  DWORD m_dwFlags = 2;
  LONG m_nBudget = 3000;
};
