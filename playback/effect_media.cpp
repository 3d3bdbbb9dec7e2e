// The transition's medium: a media-file object of the default kind opened on the effect area.
#include "playback/effect_media.h"

#include "platform/user/wnd.h"

bool CEffectMedia::Open(const CRect& area, const CString& file, CWnd* parent) {
  m_media.m_strFileName = file;
  const HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
  return m_media.Open(m_env, &area, TRUE, nullptr, owner, FALSE) != 0;
}

std::unique_ptr<IEffectMedia> CEffectResources::CreateMedia() {
  MediaEnvironment env = m_source ? m_source() : MediaEnvironment{};
  if (!env.system) return nullptr;
  return std::make_unique<CEffectMedia>(std::move(env));
}
