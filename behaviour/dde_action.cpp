// The DDE action: its stored fields, copying, and the conversation steps its flags choose.
#include "behaviour/dde_action.h"

#include <algorithm>
#include <limits>

#include "model/archive.h"
#include "model/course_host.h"
#include "model/dde_client.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CDDEAction, CAction, VERSIONABLE_SCHEMA | 2)

void CDDEAction::Serialize(CArchive& ar) {
  m_strApplication = ar.ReadString();
  m_strTopic = ar.ReadString();
  m_strCommand = ar.ReadString();
  m_strItem = ar.ReadString();
  m_dwFlags = ar.ReadDword();
  m_wFormat = ar.ReadWord();
  m_resultVariable = ar.ReadLong();
  CAction::Serialize(ar);
}

void CDDEAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CDDEAction*>(source)) {
    m_strApplication = other->m_strApplication;
    m_strTopic = other->m_strTopic;
    m_strItem = other->m_strItem;
    m_strCommand = other->m_strCommand;
    m_dwFlags = other->m_dwFlags;
    m_wFormat = other->m_wFormat;
    m_resultVariable = other->m_resultVariable;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CDDEAction::Execute() {
  ITaskServices* services = TaskServicesOf(this);
  ICourseHost* host = services ? services->Host() : nullptr;
  if (!host || !host->MayReachOutside()) return TRUE;
  IDdeClient* link = host->GetDdeClient();
  if (!link) return TRUE;

  if (m_dwFlags & DdeFlag::kConnect) {
    if (!m_strApplication.IsEmpty() && !m_strTopic.IsEmpty()) link->Connect(m_strApplication, m_strTopic);
  } else if (m_dwFlags & DdeFlag::kDisconnect) {
    link->Disconnect();
    return TRUE;
  }
  if (!(m_dwFlags & (DdeFlag::kUseOpen | DdeFlag::kConnect))) return TRUE;

  CVariableContext& vars = services->Variables();
  if (m_dwFlags & DdeFlag::kExecute) {
    const CString text = ExpandVariables(vars, m_strCommand, FALSE);
    if (!text.IsEmpty()) link->Execute(text, m_wFormat);
  }
  if ((m_dwFlags & DdeFlag::kRequest) && !m_strItem.IsEmpty()) {
    std::optional<std::string> data = link->Request(m_strItem, m_wFormat);
    if (!data) return TRUE;
    CVariable* result = FindVariableById(vars, m_resultVariable);
    if (!result) return TRUE;
    // The block's text: up to its first zero byte.
    std::string_view text(*data);
    text = text.substr(0, text.find('\0'));
    const DWORD type = result->GetType();
    if (type == VarType::kString) {
      result->SetString(CString(text));
    } else if (type == VarType::kNumber) {
      auto number = tvn::numtext::ParseDoublePrefix(text);
      result->SetReal(number ? number->value : 0.0);
    } else if (type == VarType::kInteger) {
      // strtol's range: saturated at the 32-bit limits.
      auto number = tvn::numtext::ParseIntegerPrefix(text);
      const long long value = number ? number->value : 0;
      result->SetLong(static_cast<LONG>(std::clamp<long long>(value, std::numeric_limits<LONG>::min(),
                                                              std::numeric_limits<LONG>::max())));
    }
  }
  return TRUE;
}
