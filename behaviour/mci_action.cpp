// The MCI script action and the tape-control action.
#include "behaviour/mci_action.h"

#include "model/archive.h"
#include "model/course_host.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/text_helpers.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_system.h"

IMPLEMENT_SERIAL(CMCIAction, CAction, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CControlAction, CAction, VERSIONABLE_SCHEMA | 2)

void CMCIAction::Serialize(CArchive& ar) {
  m_strScript = ar.ReadString();
  m_nValue = ar.ReadWord();
  CAction::Serialize(ar);
}

void CMCIAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CMCIAction*>(source)) {
    if (!keepIdentity || !other->m_strScript.IsEmpty()) m_strScript = other->m_strScript;
    m_nValue = other->m_nValue;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CMCIAction::Execute() {
  if (m_strScript.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return TRUE;
  CVariableContext& vars = services->Variables();
  CMediaSystem* media = nullptr;
  HWND owner = nullptr;
  if (ICourseHost* host = services->Host()) {
    media = host->GetMediaSystem();
    owner = host->GetMediaOwner();
  }
  const CString script = ExpandVariables(vars, m_strScript, FALSE);
  CString line;
  for (int n = 0; GetTextLine(script.view(), n, line); ++n) {
    if (line.IsEmpty()) continue;
    // A close asked for during a "wait" ends the script there.
    if (services->IsClosing()) break;
    CString reply;
    const DWORD error = media ? media->SendString(line, reply, owner) : MciError::kCannotLoadDriver;
    if (reply.GetLength() > 99) reply = reply.Left(99);  // the reply buffer holds 100 characters
    if (CVariable* data = FindVariable(vars, "MciReturnData")) data->SetString(reply);
    SetMciError(vars, error);
  }
  return TRUE;
}

void CControlAction::Serialize(CArchive& ar) {
  m_nCommand = ar.ReadByte();
  m_amount.Serialize(ar);
  m_dwValue = ar.ReadDword();
  m_strText = ar.ReadString();
  CAction::Serialize(ar);
}

void CControlAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CControlAction*>(source)) {
    m_nCommand = other->m_nCommand;
    m_amount = other->m_amount;
    m_dwValue = other->m_dwValue;
    m_strText = other->m_strText;
  }
  CAction::CopyFrom(source, keepIdentity);
}
