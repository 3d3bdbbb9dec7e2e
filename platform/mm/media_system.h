// CMediaSystem: the program's media layer in one object: ids, the sound output and mixer, MCI and the sound library.
#pragma once

#include <memory>

#include "platform/mm/audio_output.h"
#include "platform/mm/mci_system.h"
#include "platform/mm/media_ids.h"
#include "platform/mm/sound_library.h"

// The application makes one for the run; tests make their own with a
// recording output and a clock they drive.
class CMediaSystem {
 public:
  using SourceOpener = CMciSystem::SourceOpener;

  CMediaSystem(const IClock& clock, CAudioOutput::Mode mode, DecodeLimits limits = {});
  ~CMediaSystem();
  CMediaSystem(const CMediaSystem&) = delete;
  CMediaSystem& operator=(const CMediaSystem&) = delete;

  const IClock& Clock() const { return m_clock; }
  CMediaIds& Ids() { return m_ids; }
  CAudioOutput& Output() { return m_output; }
  CAudioMixer& Mixer() { return m_output.Mixer(); }
  CMciSystem& Mci() { return m_mci; }
  CSoundLibrary& SoundLibrary() { return m_library; }
  const DecodeLimits& Limits() const { return m_limits; }

  // How every player turns a file name into bytes (disk files by default).
  void SetSourceOpener(SourceOpener opener);
  std::unique_ptr<IMediaByteSource> OpenSource(const CString& name) const;

  // mciSendString: the MCI error and the reply.
  DWORD SendString(const CString& command, CString& reply, HWND callback);

 private:
  const IClock& m_clock;
  DecodeLimits m_limits;
  CMediaIds m_ids;
  CAudioOutput m_output;
  CMciSystem m_mci;
  CSoundLibrary m_library;
  SourceOpener m_opener;
};
