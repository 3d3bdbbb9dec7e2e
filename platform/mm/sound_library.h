// CSoundLibrary: our own sound library behind the entry points that kind-3 media bind by name.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/mm/media_decoder.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

class CAudioMixer;
class CMediaIds;
class IMediaByteSource;

// Sounds are decoded whole at open and played one pass per Play, in seconds.
// The end of a pass posts 953 (1, handle) to the sound's owner window; the
// library never posts 2 (a Play over a playing sound restarts it quietly).
class CSoundLibrary {
 public:
  using SourceOpener = std::function<std::unique_ptr<IMediaByteSource>(const CString& name)>;

  // The entry points, as a caller binds them.
  using OpenProc = DWORD (*)(CSoundLibrary&, HWND owner, const char* name, DWORD flags);
  using PlayProc = DWORD (*)(CSoundLibrary&, DWORD handle, DWORD flags, double from, double to, LONG loops);
  using HandleProc = void (*)(CSoundLibrary&, DWORD handle);
  using GetDataProc = DWORD (*)(CSoundLibrary&, DWORD handle, double* length, double* second);
  using SeekProc = void (*)(CSoundLibrary&, DWORD handle, double position);
  using LevelProc = void (*)(CSoundLibrary&, DWORD handle, LONG value);
  using SpeedProc = void (*)(CSoundLibrary&, DWORD handle, double speed);
  using FreeProc = void (*)(CSoundLibrary&);
  using PositionProc = double (*)(CSoundLibrary&, DWORD handle);

  CSoundLibrary(CMediaIds& ids, CAudioMixer& mixer, DecodeLimits limits);
  ~CSoundLibrary();
  CSoundLibrary(const CSoundLibrary&) = delete;
  CSoundLibrary& operator=(const CSoundLibrary&) = delete;

  void SetSourceOpener(SourceOpener opener) { m_opener = std::move(opener); }
  // Whether the library is there to be bound (tests switch it off).
  bool IsPresent() const { return m_present; }
  void SetPresent(bool present) { m_present = present; }

  // The entry point of that name, null when the library has none (or is absent).
  template <class Proc>
  bool Bind(std::string_view name, Proc& out) const {
    out = reinterpret_cast<Proc>(FindEntry(name));
    return out != nullptr;
  }

  // Users of the library: the last to go releases every sound.
  void AddUser() { ++m_users; }
  void RemoveUser();
  int GetUsers() const { return m_users; }

  // The entries' work.
  DWORD Open(HWND owner, const CString& name);
  DWORD Play(DWORD handle, double from, double to);
  void Stop(DWORD handle);
  void Close(DWORD handle);
  double Length(DWORD handle);
  void Seek(DWORD handle, double seconds);
  void SetVolume(DWORD handle, LONG hundredthsDb);
  void SetBalance(DWORD handle, LONG balance);
  void SetSpeed(DWORD handle, double speed);
  double Position(DWORD handle);
  // A pass of the sound is sounding (also while it is paused by nothing: the library has no pause).
  bool IsPlaying(DWORD handle);
  void FreeAll();
  std::size_t SoundCount() const;

 private:
  struct Sound;
  using GenericProc = void (*)();
  GenericProc FindEntry(std::string_view name) const;
  Sound* Find(DWORD handle);
  void ApplyLevels(Sound& s);

  CMediaIds& m_ids;
  CAudioMixer& m_mixer;
  DecodeLimits m_limits;
  SourceOpener m_opener;
  bool m_present = true;
  int m_users = 0;
  mutable std::mutex m_mutex;
  std::map<DWORD, std::unique_ptr<Sound>> m_sounds;
};
