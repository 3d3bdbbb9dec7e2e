// CKeyBoardResponse: the response that fires on a key.
#pragma once

#include "behaviour/keyboard.h"
#include "behaviour/response.h"

class CKeyBoardResponse : public CResponse {
  DECLARE_SERIAL(CKeyBoardResponse)

 public:
  CKeyBoardResponse() : CResponse(ResponseKind::kKeyBoard) {}
  CKeyBoardResponse(const CKeyBoardResponse& other) : CResponse(other), m_keys(other.m_keys) {}

  CKeyboard& GetKeyboard() { return m_keys; }
  const CKeyboard& GetKeyboard() const { return m_keys; }

  // The key description inline, then the response base.
  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Accepts when the description matches the key with the modifiers held now.
  BOOL OnKey(int key, int state) override;

 private:
  CKeyboard m_keys;
};
