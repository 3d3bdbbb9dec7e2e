// The sound action: its stored form, opening and commanding its medium, and its notices.
#include "behaviour/audio_action.h"

#include "model/archive.h"
#include "model/page_access.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/user/message_box.h"

IMPLEMENT_SERIAL(CAudioAction, CAction, VERSIONABLE_SCHEMA | 2)

namespace {

CdPosition ReadPosition(CArchive& ar) {
  CdPosition p;
  p.track = ar.ReadLong();
  p.minute = ar.ReadLong();
  p.second = ar.ReadLong();
  return p;
}

}  // namespace

CAudioAction::CAudioAction(const CAudioAction& other)
    : CAction(other), m_source(other.m_source), m_start(other.m_start), m_end(other.m_end), m_dwFlags(other.m_dwFlags) {
  m_media = other.m_media;
}

void CAudioAction::Serialize(CArchive& ar) {
  m_source = ar.ReadByte();
  m_start = ReadPosition(ar);
  m_end = ReadPosition(ar);
  m_dwFlags = ar.ReadDword();
  m_media.Serialize(ar);
  CAction::Serialize(ar);
}

void CAudioAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CAudioAction*>(source)) {
    m_source = other->m_source;
    m_dwFlags = other->m_dwFlags;
    m_start = other->m_start;
    m_end = other->m_end;
    m_media = other->m_media;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CAudioAction::OpenSound(const MediaEnvironment& env) {
  const CString cd = "cdaudio";
  return m_media.Open(env, nullptr, FALSE, m_source == kAudioCd ? &cd : nullptr, nullptr, TRUE);
}

void CAudioAction::GetMediaState(CIconObject* action) {
  auto* given = dynamic_cast<CAudioAction*>(action);
  CMediaFileObject& command = given ? given->m_media : m_media;
  const DWORD f = command.m_dwFlags;
  if (f & MediaFlag::kSpeed) m_media.SetSpeed(command.m_speed, f);
  if (f & MediaFlag::kVolumeBalance) m_media.SetVolumeBalance(&command.m_volume, &command.m_balance);
  if (f & (MediaFlag::kPlay | MediaFlag::kPlayRange)) {
    if (m_source == kAudioCd) m_media.Play(nullptr, nullptr, f, &m_start, &m_end);
    else if (f & MediaFlag::kPlay) m_media.Play(nullptr, nullptr, f);
    else m_media.Play(&command.m_from, &command.m_to, f);
  } else if (f & MediaFlag::kStop) {
    m_media.Stop();
  } else if (f & MediaFlag::kPause) {
    m_media.Pause();
  } else if (f & (MediaFlag::kSeekStart | MediaFlag::kSeekEnd | MediaFlag::kSeekPosition)) {
    m_media.Seek(&command.m_to, f);
  } else if (f & MediaFlag::kRecordMode) {
    m_media.Record(&m_media.m_from, &m_media.m_to, m_media.m_dwFlags);
  }
}

BOOL CAudioAction::Execute() {
  if (m_source == kNoFile && (m_dwFlags & kSounds)) {
    MessageBeep(0);
    return TRUE;
  }
  if (ITaskServices* services = TaskServicesOf(this))
    if (IPageAccess* page = services->GetPage()) page->PlaySound(this);
  return TRUE;
}

BOOL CAudioAction::OnNotify(WPARAM code, LPARAM id) {
  const int answer = m_media.OnNotify(code, id);
  if (answer == MediaAnswer::kContinues && m_media.m_nKind == MediaKind::kClip && code == 2) GetMediaState(this);
  return answer;
}

BOOL CAudioAction::CollectFiles(CStringArray* files, int flags) {
  if (!(m_dwFlags & kSounds) || (flags & 0x400000) || m_media.m_strFileName.IsEmpty()) return FALSE;
  if (files) files->Add(m_media.m_strFileName);
  return TRUE;
}
