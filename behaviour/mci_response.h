// CMCIResponse: waits for a media notice (953) of the codes its flags select.
#pragma once

#include "behaviour/response.h"

// On disk: the notification flags (32-bit), then the response base.
class CMCIResponse : public CResponse {
  DECLARE_SERIAL(CMCIResponse)

 public:
  static constexpr DWORD kAllCodes = 0xFFFF;

  CMCIResponse() : CResponse(ResponseKind::kMCI) {}
  CMCIResponse(const CMCIResponse& other) : CResponse(other), m_dwNotifyFlags(other.m_dwNotifyFlags) {}

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 66; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  BOOL Activate() override { return TRUE; }
  // Code 1 (flag 0x1) with a non-zero id; 1034, 1035, 1036, 1045, 1046, 1050
  // (flags 0x2 to 0x40) always. Media notices are all it judges.
  BOOL OnNotify(WPARAM code, LPARAM data) override;

  DWORD GetNotifyFlags() const { return m_dwNotifyFlags; }
  void SetNotifyFlags(DWORD flags) { m_dwNotifyFlags = flags; }

 private:
  DWORD m_dwNotifyFlags = kAllCodes;
};
