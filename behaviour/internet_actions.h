// CFtpAction, CHtmlAction and CHtmlFrameAction: web settings a course keeps; only the page action acts, towards a frame action.
#pragma once

#include <array>

#include "behaviour/action.h"
#include "behaviour/display_action.h"

// On disk: flags B, texts 1, 3 and 2, value A, texts 4 and 5, then the common part.
class CFtpAction : public CAction {
  DECLARE_SERIAL(CFtpAction)

 public:
  CFtpAction() : CAction(ActionKind::kFtp) {}
  CFtpAction(const CFtpAction& other) = default;

  void Serialize(CArchive& ar) override;
  // The texts unless keepIdentity; value A and flags B always.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 1; }
  // No transfer is made: nothing happens.
  BOOL Execute() override { return TRUE; }

  LONG GetValueA() const { return m_valueA; }
  DWORD GetFlagsB() const { return m_dwFlagsB; }
  // Texts 1 to 5.
  const CString& GetText(int n) const { return m_texts[static_cast<std::size_t>(n - 1)]; }

 private:
  LONG m_valueA = 0;
  std::array<CString, 5> m_texts;  // the resource text that would fill 4 and 5 is not ours: they start empty
  DWORD m_dwFlagsB = 0x800;
};

// The page action's flags.
namespace HtmlFlag {
constexpr DWORD kReportCompletion = 0x02;
constexpr DWORD kDoNothing = 0x10;
constexpr DWORD kToFrame = 0x20;
}  // namespace HtmlFlag

// On disk: the page, the flags, the frame name, from schema 3 a third text,
// then the display part and the common part.
class CHtmlAction : public CDisplayAction {
  DECLARE_SERIAL(CHtmlAction)

 public:
  // The browser control whose download-complete event (104) the action reports.
  static constexpr LONG kBrowserControlId = 754;
  static constexpr LONG kDownloadComplete = 104;
  // wParam of the notice posted to the view.
  static constexpr WPARAM kCompletionCode = 1046;

  CHtmlAction() : CDisplayAction(ActionKind::kHtml, 1) {}
  CHtmlAction(const CHtmlAction& other) = default;

  void Serialize(CArchive& ar) override;
  // The flags always; each text unless keepIdentity is set and the source's is empty.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 18; }
  // No page is shown: nothing is painted.
  void Draw(CDC*, int, const CRect*) override {}
  void Unload() override {}
  void SizeObject(const CRect&) override {}
  void GetMediaState(CIconObject*) override {}
  // With flag 0x20, FALSE when the named frame action is not on the page.
  BOOL Execute() override;
  // Posts 953 (1046, 0) for the browser's download-complete event when asked to; never takes the event.
  BOOL OnControlEvent(LONG controlId, void* eventRecord) override;
  BOOL CollectFiles(CStringArray*, int) override { return FALSE; }

  DWORD GetHtmlFlags() const { return m_dwFlags; }
  const CString& GetPage() const { return m_strPage; }
  const CString& GetFrameName() const { return m_strFrame; }
  const CString& GetThirdText() const { return m_strThird; }

 private:
  DWORD m_dwFlags = HtmlFlag::kDoNothing | 0x400;
  CString m_strPage;
  CString m_strFrame;
  CString m_strThird;
};

// On disk: value A, the pair (8 raw bytes), value C, value D (a byte), the
// four page texts, then the display part and the common part.
class CHtmlFrameAction : public CDisplayAction {
  DECLARE_SERIAL(CHtmlFrameAction)

 public:
  CHtmlFrameAction() : CDisplayAction(ActionKind::kHtmlFrame) {}
  CHtmlFrameAction(const CHtmlFrameAction& other) = default;

  void Serialize(CArchive& ar) override;
  // The values always; the texts unless keepIdentity.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 16; }
  void Draw(CDC*, int, const CRect*) override {}
  BOOL Execute() override { return TRUE; }
  // The page texts that are set, in order; TRUE when there was one.
  BOOL CollectFiles(CStringArray* files, int flags) override;

  const CString& GetPageText(int n) const { return m_pages[static_cast<std::size_t>(n)]; }
  LONG GetValueA() const { return m_valueA; }
  std::pair<LONG, LONG> GetPair() const { return {m_pair[0], m_pair[1]}; }
  LONG GetValueC() const { return m_valueC; }
  BYTE GetValueD() const { return m_valueD; }

 private:
  LONG m_valueA = 0;
  std::array<CString, 4> m_pages;
  std::array<LONG, 2> m_pair{30, 30};
  LONG m_valueC = 0;
  BYTE m_valueD = 2;
};
