// CMenuResponse: the response that fires on its menu command while its task waits.
#pragma once

#include "behaviour/response.h"

// On disk: the item text, the command id (16-bit), then the response base.
// The text is kept for the authoring side; matching uses the id alone.
class CMenuResponse : public CResponse {
  DECLARE_SERIAL(CMenuResponse)

 public:
  CMenuResponse() : CResponse(ResponseKind::kMenu) {}
  CMenuResponse(const CMenuResponse& other)
      : CResponse(other), m_strItemText(other.m_strItemText), m_nCommandId(other.m_nCommandId) {}

  WORD GetCommandId() const { return m_nCommandId; }
  void SetCommandId(WORD id) { m_nCommandId = id; }
  const CString& GetItemText() const { return m_strItemText; }
  void SetItemText(const CString& text) { m_strItemText = text; }

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // The id must equal the 16-bit command id widened without sign, so ids
  // above 65535 never match. Id 0 never does (offered at every task entry).
  BOOL OnCommand(int id, LPARAM lParam) override;

 private:
  CString m_strItemText;
  WORD m_nCommandId = 0;
};
