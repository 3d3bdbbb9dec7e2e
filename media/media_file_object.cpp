// The media-file object: its stored record, opening by kind, the completion convention and what it tells of its player.
#include "media/media_file_object.h"

#include <algorithm>

#include "media/avi_player.h"
#include "media/flic_player.h"
#include "model/archive.h"
#include "model/variable_context.h"
#include "platform/mm/media_system.h"

IMPLEMENT_SERIAL(CMediaFileObject, CObject, VERSIONABLE_SCHEMA | 2)

CMediaFileObject::CMediaFileObject() = default;

CMediaFileObject::CMediaFileObject(const CMediaFileObject& other) : CObject(other) { *this = other; }

CMediaFileObject::~CMediaFileObject() {
  Free();
  m_sound.Attach(nullptr);
}

CMediaFileObject& CMediaFileObject::operator=(const CMediaFileObject& other) {
  if (this == &other) return *this;
  Free();
  m_dwFlags = other.m_dwFlags;
  m_nKind = other.m_nKind;
  m_nLoopCount = other.m_nLoopCount;
  m_strFileName = other.m_strFileName;
  m_from = other.m_from;
  m_to = other.m_to;
  m_speed = other.m_speed;
  m_balance = other.m_balance;
  m_volume = other.m_volume;
  return *this;
}

void CMediaFileObject::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CMediaFileObject));
  m_dwFlags = ar.ReadDword();
  m_nKind = ar.ReadByte();
  m_nLoopCount = ar.ReadDword();
  m_strFileName = ar.ReadString();
  m_from.Serialize(ar);
  m_to.Serialize(ar);
  m_balance.Serialize(ar);
  m_volume.Serialize(ar);
  m_speed.Serialize(ar);
}

double CMediaFileObject::Scaled(const CVarOrValue& value) const {
  if (!value.IsVariable()) return value.GetLiteral() / 100.0;
  return m_env.variables ? value.GetDouble(*m_env.variables) : 0.0;
}

LONG CMediaFileObject::Raw(const CVarOrValue& value) const {
  if (!value.IsVariable()) return value.GetLiteral();
  return m_env.variables ? value.GetLong(*m_env.variables) : 0;
}

LONG CMediaFileObject::AttenuationOf(LONG volume) {
  const long long v = (static_cast<long long>(volume) - 100) * 40;
  return static_cast<LONG>(std::clamp<long long>(v, -10000, 0));
}

LONG CMediaFileObject::BalanceOf(LONG balance) {
  return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(balance) * 100, -10000, 10000));
}

LONG CMediaFileObject::MciSpeedOf(const CVarOrValue& speed) const {
  if (!speed.IsVariable()) return speed.GetLiteral() * 10;
  return m_env.variables ? static_cast<LONG>(speed.GetDouble(*m_env.variables) * 1000.0) : 0;
}

void CMediaFileObject::ReportMciError() {
  if (m_env.variables) SetMciError(*m_env.variables, m_mci.GetError());
}

BOOL CMediaFileObject::Open(const MediaEnvironment& env, const CRect* rect, BOOL show, const CString* path, HWND owner,
                            BOOL reportErrors) {
  m_env = env;
  CString name = path ? *path : (env.findMediaFile ? env.findMediaFile(m_strFileName) : m_strFileName);
  if (owner) m_env.owner = owner;
  if (name.IsEmpty() && !(m_dwFlags & MediaFlag::kRecordMode)) return FALSE;
  name.MakeUpper();
  if (show) m_dwFlags |= MediaFlag::kVisible;
  if ((m_dwFlags & MediaFlag::kVisible) && (!rect || rect->IsRectEmpty())) return FALSE;
  m_rememberedFrom = CVarOrValue();
  m_rememberedTo = CVarOrValue();
  m_dwLastPlayFlags = 0;
  switch (m_nKind) {
    case MediaKind::kMci: return OpenMci(name, rect);
    case MediaKind::kClip:
      if (!CActiveMovieWnd::IsAvailable()) return FALSE;
      m_nPasses = 0;
      return m_movie.Open(m_env, name, reportErrors);
    case MediaKind::kSoundLibrary:
      m_sound.Attach(m_env.system ? &m_env.system->SoundLibrary() : nullptr);
      return m_sound.Open(m_env.owner, name, m_dwFlags);
    case MediaKind::kFlic: return OpenFlic(name);
    case MediaKind::kAvi: return OpenAvi(name);
    default: return FALSE;
  }
}

BOOL CMediaFileObject::OpenMci(const CString& name, const CRect* rect) {
  if (m_mci.IsDeviceOpen()) return FALSE;
  const DWORD style = (m_dwFlags & MediaFlag::kPlaybar) ? (MciWndStyle::kDefault & ~MciWndStyle::kNoPlaybar)
                                                         : MciWndStyle::kDefault;
  BOOL result = FALSE;
  if (m_dwFlags & MediaFlag::kRecordMode) {
    result = m_mci.CreateNew(m_env, style, "waveaudio") && m_mci.GetError() == 0;
  } else {
    result = m_mci.Create(m_env, style, name) && m_mci.GetError() == 0 && m_mci.IsDeviceOpen();
    if (!result) m_mci.CloseDevice();
    else if ((m_dwFlags & MediaFlag::kVisible) && rect && m_mci.GetSafeHwnd())
      m_mci.SetWindowPos(HWND_TOP, rect->left, rect->top, rect->Width(), rect->Height(), SWP_NOACTIVATE);
  }
  if (result) m_nPasses = 0;
  ReportMciError();
  return result;
}

void CMediaFileObject::Free() {
  m_savedSource = CRect();
  FreeFrames();
  // A recording is kept when its medium goes, as when it is stopped.
  if (m_nKind == MediaKind::kMci && (m_dwFlags & MediaFlag::kRecordMode) && m_mci.IsDeviceOpen()) Save();
  m_mci.CloseDevice();
  m_movie.Free();
  if (m_nKind == MediaKind::kSoundLibrary) m_sound.Close(FALSE);
}

int CMediaFileObject::NextPass() {
  if ((m_dwFlags & MediaFlag::kLoopForever) || m_nPasses + 1 < m_nLoopCount) {
    if (!m_rememberedFrom.IsVariable() && m_rememberedFrom.GetLiteral() == 0) Seek(nullptr, MediaFlag::kSeekStart);
    if (m_nKind == MediaKind::kMci || m_nKind == MediaKind::kSoundLibrary) {
      const CVarOrValue from = m_rememberedFrom;
      const CVarOrValue to = m_rememberedTo;
      Play(&from, &to, m_dwLastPlayFlags);
    }
    ++m_nPasses;
    return MediaAnswer::kContinues;
  }
  return (m_dwFlags & MediaFlag::kReportEnd) ? MediaAnswer::kFinishedReport : MediaAnswer::kFinished;
}

int CMediaFileObject::OnNotify(WPARAM code, LPARAM id) {
  const DWORD which = static_cast<DWORD>(id);
  switch (m_nKind) {
    case MediaKind::kMci:
      // The whole id: devices of a long run have ids above 16 bits.
      if (!m_mci.IsDeviceOpen() || which != m_mci.GetDeviceID() || code != 1) return MediaAnswer::kNotMine;
      return NextPass();
    case MediaKind::kClip:
    case MediaKind::kSoundLibrary: {
      const DWORD handle = m_nKind == MediaKind::kClip ? m_movie.GetHandle() : m_sound.GetHandle();
      if (handle == 0 || which != handle) return MediaAnswer::kNotMine;
      if (code == 1) return NextPass();
      if (code == 2) {
        m_nPasses = 0;
        return MediaAnswer::kContinues;
      }
      return MediaAnswer::kNotMine;
    }
    case MediaKind::kFlic:
    case MediaKind::kAvi: return OnFrameNotify(code, which);
    default: return MediaAnswer::kNotMine;
  }
}

double CMediaFileObject::GetPosition() {
  switch (m_nKind) {
    case MediaKind::kMci: return m_mci.IsDeviceOpen() ? m_mci.GetPosition() : 0.0;
    case MediaKind::kClip: return m_movie.GetPosition();
    case MediaKind::kFlic:
    case MediaKind::kAvi: return GetFramePosition();
    default: return 0.0;
  }
}

double CMediaFileObject::GetLength() {
  switch (m_nKind) {
    case MediaKind::kMci: return m_mci.IsDeviceOpen() ? m_mci.GetLength() : 0.0;
    case MediaKind::kClip: return m_movie.GetDuration();
    case MediaKind::kFlic:
    case MediaKind::kAvi: return GetFrameLength();
    default: return 0.0;
  }
}

CString CMediaFileObject::GetDeviceType() {
  CString result;
  if (m_nKind == MediaKind::kMci) {
    if (m_mci.IsDeviceOpen()) {
      result = m_mci.GetDevice();
      if (result.IsEmpty()) result = m_mci.GetFileName();
    } else {
      const int dot = m_strFileName.ReverseFind('.');
      if (dot >= 0 && m_strFileName.Mid(dot).CompareNoCase(".WAV") == 0) result = "waveAudio";
    }
  } else if (m_nKind == MediaKind::kClip) {
    result = m_movie.GetPath();
  }
  if (result.IsEmpty()) {
    const int slash = std::max(m_strFileName.ReverseFind('\\'), std::max(m_strFileName.ReverseFind('/'),
                                                                         m_strFileName.ReverseFind(':')));
    result = m_strFileName.Mid(slash + 1);
  }
  return result;
}

DWORD CMediaFileObject::GetError() {
  return m_nKind == MediaKind::kMci && m_mci.IsDeviceOpen() ? m_mci.GetError() : 0;
}

BOOL CMediaFileObject::IsPlaying() {
  switch (m_nKind) {
    case MediaKind::kMci: return m_mci.IsPlaying();
    case MediaKind::kClip: return m_movie.GetState() == 3 && m_movie.GetPosition() < m_movie.GetDuration();
    case MediaKind::kSoundLibrary: return m_sound.IsPlaying();
    case MediaKind::kFlic:
    case MediaKind::kAvi: return IsFramePlaying();
    default: return FALSE;
  }
}
