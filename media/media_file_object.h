// CMediaFileObject: the one object behind every medium a course plays, fronting the player of its kind.
#pragma once

#include <memory>

#include "media/active_movie_wnd.h"
#include "media/direct_sound_player.h"
#include "media/mci_wnd.h"
#include "media/media_environment.h"
#include "model/var_or_value.h"
#include "platform/base/geometry.h"
#include "platform/base/object.h"

class CArchive;
class CDC;
class CAviPlayer;
class CFlicPlayer;

// Option and command bits of the flags word.
namespace MediaFlag {
constexpr DWORD kWait = 0x1;
constexpr DWORD kNaturalSize = 0x4;
constexpr DWORD kVisible = 0x8;
constexpr DWORD kReportEnd = 0x20;
constexpr DWORD kMono = 0x40;
constexpr DWORD kVolumeBalance = 0x100;
constexpr DWORD kPlayRange = 0x200;
constexpr DWORD kSpeed = 0x400;
constexpr DWORD kPlaybar = 0x800;
constexpr DWORD kPlay = 0x1000;
constexpr DWORD kStop = 0x2000;
constexpr DWORD kPause = 0x10000;
constexpr DWORD kSeekStart = 0x20000;
constexpr DWORD kSeekEnd = 0x40000;
constexpr DWORD kSeekPosition = 0x80000;
constexpr DWORD kRepeat = 0x100000;
constexpr DWORD kLoopForever = 0x200000;
constexpr DWORD kRecordMode = 0x400000;  // as an option: record mode; as a command: record
constexpr DWORD kRecord8Bit = 0x800000;
constexpr DWORD kRecord11k = 0x2000000;
constexpr DWORD kRecord22k = 0x4000000;
constexpr DWORD kDefault = 0x02901040;
}  // namespace MediaFlag

// The players, chosen by the author (no extension chooses one).
namespace MediaKind {
constexpr BYTE kMci = 0;
constexpr BYTE kClip = 1;
constexpr BYTE kFlic = 2;
constexpr BYTE kSoundLibrary = 3;
constexpr BYTE kAvi = 4;
}  // namespace MediaKind

// OnNotify's answers: 0 not this object's, 2 finished, 3 finished and the
// end passes on to the page, 4 still this object's (another pass, or a built clip).
namespace MediaAnswer {
constexpr int kNotMine = 0;
constexpr int kFinished = 2;
constexpr int kFinishedReport = 3;
constexpr int kContinues = 4;
}  // namespace MediaAnswer

// A CD position: track, minute, second.
struct CdPosition {
  LONG track = 0;
  LONG minute = 0;
  LONG second = 0;
};

// Positions and speeds: a literal is stored in hundredths, a variable's value
// is used as it is. The frame players (kinds 2 and 4) have no window: the
// page draws them and advances them from its animation step (UpdatePlayer).
class CMediaFileObject : public CObject {
  DECLARE_SERIAL(CMediaFileObject)

 public:
  CMediaFileObject();
  ~CMediaFileObject() override;
  CMediaFileObject(const CMediaFileObject& other);
  // Free, then the authored record.
  CMediaFileObject& operator=(const CMediaFileObject& other);

  void Serialize(CArchive& ar) override;

  // Non-zero when open. Resolves the file (the explicit path, the course's
  // media search, or the name) and opens the player of the kind.
  BOOL Open(const MediaEnvironment& env, const CRect* rect, BOOL show, const CString* path, HWND owner,
            BOOL reportErrors);
  void Play(const CVarOrValue* from, const CVarOrValue* to, DWORD commandFlags, const CdPosition* cdStart = nullptr,
            const CdPosition* cdEnd = nullptr);
  void Pause();
  void Stop();
  void Seek(const CVarOrValue* position, DWORD commandFlags);
  void Record(const CVarOrValue* from, const CVarOrValue* to, DWORD flags);
  void Save();
  void SetDisplayRect(CRect& rect, DWORD commandFlags, const CRect* crop);
  void SetVolumeBalance(const CVarOrValue* volume, const CVarOrValue* balance);
  void SetSpeed(const CVarOrValue& speed, DWORD commandFlags);
  void Show(int show);
  void Free();
  int OnNotify(WPARAM code, LPARAM id);
  double GetPosition();
  double GetLength();
  CString GetDeviceType();
  DWORD GetError();
  // Kind 0 with a device: the MCI window realises its palette (a no-op on a true-colour display).
  BOOL RealizePalette(BOOL background) {
    if (m_nKind != MediaKind::kMci || !m_mci.IsDeviceOpen()) return FALSE;
    m_mci.Realize(background);
    return TRUE;
  }
  // TRUE for a frame player (kind 2 or 4) that is open.
  BOOL IsDrawn() const;
  // A frame player takes the rectangle and runs its tick; TRUE when a new frame is due.
  BOOL UpdatePlayer(const CRect& rect);
  // A frame player takes the rectangle and draws its current frame (flag 0x4: unscaled).
  void Draw(CDC* dc, const CRect& rect);
  // Whether its player is still sounding (a transition waits for it).
  BOOL IsPlaying();

  // The levels the players take: kinds 1 and 3 in hundredths of a decibel
  // (volume 100 is 0, 0 is -4000; balance -100..100 is -10000..10000, both
  // clamped); kind 0 a volume of 20 per unit (100 is 2000, unity) and a speed
  // of 10 per literal unit (100 is 1000) or 1000 per variable unit.
  static LONG AttenuationOf(LONG volume);
  static LONG BalanceOf(LONG balance);
  static LONG MciVolumeOf(LONG volume) { return volume * 20; }
  LONG MciSpeedOf(const CVarOrValue& speed) const;

  // The authored record.
  CString m_strFileName;
  DWORD m_dwFlags = MediaFlag::kDefault;
  BYTE m_nKind = MediaKind::kMci;
  CVarOrValue m_from;
  CVarOrValue m_to;
  CVarOrValue m_speed{100};
  CVarOrValue m_balance;
  CVarOrValue m_volume{100};
  DWORD m_nLoopCount = 1;

  // Run time.
  CMciWnd& GetMciWnd() { return m_mci; }
  CActiveMovieWnd& GetMovie() { return m_movie; }
  CDirectSoundPlayer& GetSoundPlayer() { return m_sound; }
  CFlicPlayer* GetFlicPlayer() { return m_flic.get(); }
  CAviPlayer* GetAviPlayer() { return m_avi.get(); }
  DWORD GetPassesPlayed() const { return m_nPasses; }
  DWORD GetLastPlayFlags() const { return m_dwLastPlayFlags; }

 private:
  // A value by the scaling rule, and a value as it stands.
  double Scaled(const CVarOrValue& value) const;
  LONG Raw(const CVarOrValue& value) const;
  BOOL OpenMci(const CString& name, const CRect* rect);
  void PlayMci(const CVarOrValue* from, const CVarOrValue* to, DWORD commandFlags, const CdPosition* cdStart,
               const CdPosition* cdEnd);
  void PlayLibrary(const CVarOrValue* from, const CVarOrValue* to);
  void SendMci(const CString& command);
  void ReportMciError();
  // Another pass (4), or finished (2 or 3).
  int NextPass();
  // The frame players' side of the commands (media_frame_players.cpp).
  BOOL OpenFlic(const CString& name);
  BOOL OpenAvi(const CString& name);
  void PlayFrames(const CVarOrValue* from, const CVarOrValue* to);
  void StopFrames();
  void SeekFrames(const CVarOrValue* position, bool start, bool end);
  void SetFrameSpeed(const CVarOrValue& speed);
  void PlaceFrames(const CRect& rect);
  int OnFrameNotify(WPARAM code, DWORD id);
  double GetFramePosition() const;
  BOOL IsFramePlaying() const;
  double GetFrameLength() const;
  void FreeFrames();
  // The loop value frame players take: -1 loops for ever.
  int FrameLoops() const;

  MediaEnvironment m_env;
  CMciWnd m_mci;
  CActiveMovieWnd m_movie;
  CDirectSoundPlayer m_sound;
  std::unique_ptr<CFlicPlayer> m_flic;
  std::unique_ptr<CAviPlayer> m_avi;
  DWORD m_nPasses = 0;
  CVarOrValue m_rememberedFrom;
  CVarOrValue m_rememberedTo;
  DWORD m_dwLastPlayFlags = 0;
  CRect m_savedSource;
};
