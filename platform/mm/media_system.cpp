// The media layer's parts put together, and the device types of sound.
#include "platform/mm/media_system.h"

#include "platform/mm/mci_device_types.h"
#include "platform/mm/mci_sound_device.h"
#include "platform/mm/mci_video_device.h"
#include "platform/mm/midi_synth.h"
#include "platform/mm/media_source.h"

namespace {

MciDeviceServices ServicesOf(CAudioMixer& mixer, const IClock& clock, const DecodeLimits& limits) {
  MciDeviceServices services;
  services.mixer = &mixer;
  services.clock = &clock;
  services.limits = limits;
  services.soundFont = FindGeneralMidiSoundFont();
  return services;
}

}  // namespace

CMediaSystem::CMediaSystem(const IClock& clock, CAudioOutput::Mode mode, DecodeLimits limits)
    : m_clock(clock),
      m_limits(limits),
      m_output(clock, mode),
      m_mci(m_ids, ServicesOf(m_output.Mixer(), clock, limits)),
      m_library(m_ids, m_output.Mixer(), limits) {
  RegisterWaveMidiAndCdTypes(m_mci);
  // Media with a picture play it; compressed sound goes through "mpegvideo" as a sound device.
  m_mci.RegisterType("avivideo", {"avi"}, CMciVideoDevice::Factory(&OpenVideoFrames, true));
  m_mci.RegisterType("mpegvideo", {"mp3", "mp2", "mpa", "ogg", "oga", "flac", "m4a", "mpg", "mpeg", "m1v"},
                     CMciVideoDevice::Factory(&OpenVideoFrames, false));
  SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); });
}

CMediaSystem::~CMediaSystem() {
  // Devices and sounds leave the mixer before the output stops.
  m_mci.CloseAll();
  m_library.FreeAll();
}

void CMediaSystem::SetSourceOpener(SourceOpener opener) {
  m_opener = opener;
  m_mci.SetSourceOpener(opener);
  m_library.SetSourceOpener(std::move(opener));
}

std::unique_ptr<IMediaByteSource> CMediaSystem::OpenSource(const CString& name) const {
  return m_opener ? m_opener(name) : nullptr;
}

DWORD CMediaSystem::SendString(const CString& command, CString& reply, HWND callback) {
  std::string text;
  const DWORD error = m_mci.SendString(command.GetString(), text, callback);
  reply = CString(text);
  return error;
}
