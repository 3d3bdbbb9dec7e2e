// CAudioAction: the sound action; the playing-sounds list plays copies of it through their media-file objects.
#pragma once

#include "behaviour/action.h"
#include "media/media_file_object.h"

// On disk: source, start and end CD positions (three 32-bit values each),
// the action flags, the media-file object, then the common part.
class CAudioAction : public CAction {
  DECLARE_SERIAL(CAudioAction)

 public:
  // Source byte.
  static constexpr BYTE kNoFile = 0;
  static constexpr BYTE kSoundFile = 1;
  static constexpr BYTE kAudioCd = 2;
  // Action flags.
  static constexpr DWORD kSounds = 0x1;
  static constexpr DWORD kControlsPlaying = 0x4;

  CAudioAction() : CAction(ActionKind::kAudio) {}
  CAudioAction(const CAudioAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 74; }
  int GetStateValue() override { return static_cast<int>(m_dwFlags); }
  void Unload() override { m_media.Free(); }
  // Applies the command of the given action's medium (this action's own when it is one) to this medium.
  void GetMediaState(CIconObject* action) override;
  // Always TRUE: beeps (no file, flag 0x1) or hands the action to the page's playing sounds.
  BOOL Execute() override;
  double GetMediaPosition() override { return m_media.GetPosition(); }
  double GetMediaLength() override { return m_media.GetLength(); }
  // The medium's answer (2, 3, 4 or 0). Only a clip that announces its
  // built graph (code 2) is started by the action: the other kinds replay
  // their passes themselves.
  BOOL OnNotify(WPARAM code, LPARAM id) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  // Opens the medium for playing: no rectangle, not shown, errors reported.
  BOOL OpenSound(const MediaEnvironment& env);

  BYTE GetSource() const { return m_source; }
  void SetSource(BYTE source) { m_source = source; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD flags) { m_dwFlags = flags; }
  CMediaFileObject& Media() { return m_media; }
  const CdPosition& GetStart() const { return m_start; }
  const CdPosition& GetEnd() const { return m_end; }
  void SetCdRange(const CdPosition& start, const CdPosition& end) {
    m_start = start;
    m_end = end;
  }

 private:
  BYTE m_source = kNoFile;
  CdPosition m_start;
  CdPosition m_end;
  CMediaFileObject m_media;
  DWORD m_dwFlags = kSounds;
};
