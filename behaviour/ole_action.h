// COleAction: an embedded OLE object on the page; the object itself cannot be kept here.
#pragma once

#include "behaviour/display_action.h"

// On disk: the OLE flags, a word (1: an item follows, 0: none), then the
// display part and the common part. An item's stored form is the
// framework's OLE client item with its storage, which nothing here can
// read: a course holding one fails to load with the bad-format message
// rather than misreading everything after it.
class COleAction : public CDisplayAction {
  DECLARE_SERIAL(COleAction)

 public:
  COleAction() : CDisplayAction(ActionKind::kOle) {}
  COleAction(const COleAction& other) = default;

  void Serialize(CArchive& ar) override;
  // The OLE flags always, then the display part.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0; }
  int TestOleFlags(int mask) override { return static_cast<int>(m_dwOleFlags & static_cast<DWORD>(mask)); }
  // Without an item: nothing to close.
  void Unload() override {}
  // Always TRUE: the action goes on the page as an OLE object (kind 64, 2112 with a transition).
  BOOL Execute() override;

  DWORD GetOleFlags() const { return m_dwOleFlags; }

 private:
  DWORD m_dwOleFlags = 1;
};
