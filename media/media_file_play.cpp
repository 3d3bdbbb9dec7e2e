// The media-file object's commands: play, pause, stop, seek, record, save, placing, levels and speed.
#include <algorithm>
#include <cstdio>
#include <string>

#include "media/media_file_object.h"
#include "model/variable_context.h"

namespace {

CString Number(LONG value) { return CString(std::to_string(value)); }

}  // namespace

void CMediaFileObject::SendMci(const CString& command) { m_mci.SendString(command); }

void CMediaFileObject::Play(const CVarOrValue* from, const CVarOrValue* to, DWORD commandFlags,
                            const CdPosition* cdStart, const CdPosition* cdEnd) {
  m_dwLastPlayFlags = commandFlags;
  switch (m_nKind) {
    case MediaKind::kMci: PlayMci(from, to, commandFlags, cdStart, cdEnd); return;
    case MediaKind::kClip: {
      const double duration = m_movie.GetDuration();
      if (from) {
        const double f = Scaled(*from);
        if (f > 0 && f < duration) m_movie.SetPosition(f, 0.0);
      }
      if (to) {
        const double t = Scaled(*to);
        if (t > 0 && t < duration) m_movie.SetPosition(-2.0, t);
      }
      m_movie.Play();
      if (commandFlags & MediaFlag::kVisible) m_movie.ShowVideo(TRUE);
      return;
    }
    case MediaKind::kSoundLibrary: PlayLibrary(from, to); return;
    default: PlayFrames(from, to); return;
  }
}

void CMediaFileObject::PlayMci(const CVarOrValue* from, const CVarOrValue* to, DWORD commandFlags,
                               const CdPosition* cdStart, const CdPosition* cdEnd) {
  if (!m_mci.IsDeviceOpen()) return;
  CString command;
  if (cdStart && cdEnd) {
    SendMci("set time format tmsf");
    SendMci("status number of tracks");
    const LONG tracks = std::atol(m_mci.ReturnString(50).GetString());
    char text[128];
    std::snprintf(text, sizeof text, "%s%s%d:%d:%d to %d:%d:%d ", "play ", "from ", static_cast<int>(cdStart->track),
                  static_cast<int>(cdStart->minute), static_cast<int>(cdStart->second),
                  static_cast<int>(std::min(cdEnd->track, tracks)), static_cast<int>(cdEnd->minute),
                  static_cast<int>(cdEnd->second));
    command = text;
  } else {
    const LONG length = m_mci.GetLength();
    if (from) {
      const LONG n = static_cast<LONG>(Scaled(*from));
      if (n > 0 && n < length) {
        SendMci("seek to " + Number(n) + " wait ");
        m_rememberedFrom = *from;
      }
    }
    command = "play ";
    if (to) {
      const LONG n = static_cast<LONG>(Scaled(*to));
      if (n > 0 && n < length) {
        command += "to " + Number(n) + " ";
        m_rememberedTo = *to;
      }
    }
  }
  if (commandFlags & MediaFlag::kWait) {
    command += "wait ";
    if (commandFlags & MediaFlag::kVisible) m_mci.ShowPicture(TRUE);  // seen while the wait holds the program
  }
  if ((m_dwFlags & (MediaFlag::kReportEnd | MediaFlag::kLoopForever)) ||
      ((m_dwFlags & MediaFlag::kRepeat) && m_nLoopCount > 1))
    command += "notify ";
  SendMci(command);
  if (commandFlags & MediaFlag::kVisible) m_mci.ShowPicture(TRUE);
}


void CMediaFileObject::PlayLibrary(const CVarOrValue* from, const CVarOrValue* to) {
  double length = 0.0;
  m_sound.GetData(length);
  double f = from ? Scaled(*from) : 0.0;
  double t = to ? Scaled(*to) : 0.0;
  if (!(f < length)) f = 0.0;
  if (!(t < length)) t = 0.0;
  // The range is kept for the next pass, as the MCI window's is.
  if (from) m_rememberedFrom = *from;
  if (to) m_rememberedTo = *to;
  const LONG loops = (m_dwFlags & MediaFlag::kLoopForever) ? -1 : static_cast<LONG>(m_nLoopCount);
  m_sound.Play(m_dwFlags, f, t, loops);
}

void CMediaFileObject::Pause() {
  switch (m_nKind) {
    case MediaKind::kMci: m_mci.Pause(); return;
    case MediaKind::kClip: m_movie.Pause(); return;
    case MediaKind::kSoundLibrary: m_sound.Stop(); return;
    case MediaKind::kAvi: StopFrames(); return;  // a FLIC does not pause
    default: return;
  }
}

void CMediaFileObject::Stop() {
  switch (m_nKind) {
    case MediaKind::kMci:
      if (!m_mci.IsDeviceOpen()) return;
      m_mci.Stop();
      if (m_dwFlags & MediaFlag::kRecordMode) Save();
      m_nPasses = 0;
      return;
    case MediaKind::kClip:
      m_movie.Stop();
      m_nPasses = 0;
      return;
    case MediaKind::kSoundLibrary: m_sound.Stop(); return;
    default: StopFrames(); return;
  }
}

void CMediaFileObject::Seek(const CVarOrValue* position, DWORD commandFlags) {
  const bool start = commandFlags & MediaFlag::kSeekStart;
  const bool end = !start && (commandFlags & MediaFlag::kSeekEnd);
  if (!start && !end && !position) return;
  switch (m_nKind) {
    case MediaKind::kMci:
      if (!m_mci.IsDeviceOpen()) return;
      if (start) SendMci("seek to start wait ");
      else if (end) SendMci("seek to end wait ");
      else SendMci("seek to " + Number(Raw(*position) / 100) + " wait ");
      return;
    case MediaKind::kClip: m_movie.SetPosition(start ? 0.0 : end ? -1.0 : Scaled(*position), 0.0); return;
    case MediaKind::kSoundLibrary: m_sound.Seek(start ? 0.0 : end ? -1.0 : Scaled(*position)); return;
    default: SeekFrames(position, start, end); return;
  }
}

void CMediaFileObject::Record(const CVarOrValue* from, const CVarOrValue* to, DWORD flags) {
  if (m_nKind != MediaKind::kMci || !m_mci.IsDeviceOpen()) return;
  SendMci("set time format ms");
  SendMci("set bitspersample " + Number((flags & MediaFlag::kRecord8Bit) ? 8 : 16));
  SendMci("set channels " + Number((flags & MediaFlag::kMono) ? 1 : 2));
  const LONG rate = (flags & MediaFlag::kRecord11k) ? 11025 : (flags & MediaFlag::kRecord22k) ? 22050 : 44100;
  SendMci("set samplespersec " + Number(rate));
  CString command = "record ";
  if (from && Raw(*from) > 0) command += "from " + Number(10 * Raw(*from)) + " ";
  if (to && Raw(*to) > 0) command += "to " + Number(10 * Raw(*to)) + " ";
  if (flags & (MediaFlag::kReportEnd | MediaFlag::kLoopForever)) command += "notify ";
  SendMci(command);
  ReportMciError();
  if (flags & MediaFlag::kVisible) m_mci.ShowPicture(TRUE);
}

void CMediaFileObject::Save() {
  if (m_nKind != MediaKind::kMci || !m_mci.IsDeviceOpen() || !m_mci.CanSave()) return;
  const CString target = m_env.findMediaFile ? m_env.findMediaFile(m_strFileName) : m_strFileName;
  m_mci.Stop();
  if (target.IsEmpty()) m_mci.SaveWithDialog();  // the device's save dialog chooses the file
  else SendMci("save \"" + target + "\"");
  ReportMciError();
}

void CMediaFileObject::SetDisplayRect(CRect& rect, DWORD commandFlags, const CRect* crop) {
  if (!(commandFlags & MediaFlag::kVisible)) return;
  if (rect.Width() <= 5) rect.right = rect.left + 5;
  if (rect.Height() <= 5) rect.bottom = rect.top + 5;
  if (m_nKind == MediaKind::kMci) {
    if (!m_mci.IsDeviceOpen()) return;
    CRect source;
    if ((commandFlags & MediaFlag::kNaturalSize) && m_mci.GetSource(source)) {
      // The picture at its own size: the play bar comes on top of it.
      rect.right = rect.left + source.Width();
      rect.bottom = rect.top + source.Height() + (m_mci.HasPlaybar() ? CMciWnd::kPlaybarHeight : 0);
    }
    if (crop) {
      if (m_savedSource.IsRectEmpty() && m_mci.GetSource(source)) m_savedSource = source;
      if (!m_savedSource.IsRectEmpty())
        m_mci.PutSource(CRect(m_savedSource.left + crop->left, m_savedSource.top + crop->top,
                              m_savedSource.right - crop->right, m_savedSource.bottom - crop->bottom));
    }
    if (m_mci.GetSafeHwnd()) {
      m_mci.SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      m_mci.Invalidate(FALSE);
      m_mci.UpdateWindow();
    }
    return;
  }
  if (m_nKind == MediaKind::kClip) {
    CSize natural;
    if ((commandFlags & MediaFlag::kNaturalSize) && m_movie.GetVideoSize(natural)) {
      rect.right = rect.left + natural.cx;
      rect.bottom = rect.top + natural.cy;
    }
    if (crop) {
      // The clip's source holds left, top, width and height: the crop's
      // left and right both come off the width, its top and bottom off the height.
      CRect source;
      if (m_movie.GetVideoRect(source)) {
        if (m_savedSource.IsRectEmpty()) m_savedSource = source;
        m_movie.SetVideoRect(CRect(m_savedSource.left + crop->left, m_savedSource.top + crop->top,
                                   m_savedSource.right - crop->left - crop->right,
                                   m_savedSource.bottom - crop->top - crop->bottom));
      }
    }
    m_movie.SetWindowRect(rect);
  }
  PlaceFrames(rect);
}

void CMediaFileObject::SetVolumeBalance(const CVarOrValue* volume, const CVarOrValue* balance) {
  switch (m_nKind) {
    case MediaKind::kMci:
      if (volume && m_mci.IsDeviceOpen()) m_mci.SetVolume(MciVolumeOf(Raw(*volume)));
      return;
    case MediaKind::kClip:
      if (volume) m_movie.SetVolume(AttenuationOf(Raw(*volume)));
      if (balance) m_movie.SetBalance(BalanceOf(Raw(*balance)));
      return;
    case MediaKind::kSoundLibrary:
      if (volume) m_sound.SetVolume(AttenuationOf(Raw(*volume)));
      if (balance) m_sound.SetBalance(BalanceOf(Raw(*balance)));
      return;
    default: return;
  }
}

void CMediaFileObject::SetSpeed(const CVarOrValue& speed, DWORD commandFlags) {
  if (!(commandFlags & MediaFlag::kSpeed)) return;
  switch (m_nKind) {
    case MediaKind::kMci:
      if (m_mci.IsDeviceOpen()) m_mci.SetSpeed(MciSpeedOf(speed));
      return;
    case MediaKind::kClip: m_movie.SetRate(Scaled(speed)); return;
    case MediaKind::kSoundLibrary: m_sound.SetSpeed(Scaled(speed)); return;
    default: SetFrameSpeed(speed); return;
  }
}

void CMediaFileObject::Show(int show) {
  if (m_nKind == MediaKind::kMci) m_mci.ShowPicture(show != 0);
  if (m_nKind == MediaKind::kClip) m_movie.ShowVideo(show != 0);
}
