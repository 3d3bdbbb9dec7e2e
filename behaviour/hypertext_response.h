// CHyperTextResponse: fires when the learner clicks a hypertext link with its link name.
#pragma once

#include "controls/hypertext_notify.h"
#include "behaviour/response.h"

// On disk: the link name, then the response base.
class CHyperTextResponse : public CResponse {
  DECLARE_SERIAL(CHyperTextResponse)

 public:
  CHyperTextResponse() : CResponse(ResponseKind::kHyperText) {}
  CHyperTextResponse(const CHyperTextResponse& other) : CResponse(other), m_strLink(other.m_strLink) {}

  const CString& GetLinkName() const { return m_strLink; }
  void SetLinkName(const CString& link) { m_strLink = link; }

  void Serialize(CArchive& ar) override;
  // The link name is copied only when keepIdentity is 0.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 84; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Code HyperTextNotify::kCode with data the address of a record (see
  // HyperTextNotify); anything else is refused.
  BOOL OnNotify(WPARAM code, LPARAM data) override;
  // A click record whose id is the hypertext id and whose link equals the
  // link name exactly, letter case included.
  BOOL AcceptsClick(const HyperTextNotify& note) const;

 private:
  CString m_strLink;
};
