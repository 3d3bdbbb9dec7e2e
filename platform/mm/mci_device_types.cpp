// The factories of the waveaudio, sequencer and cdaudio device types.
#include "platform/mm/mci_device_types.h"

#include "platform/mm/mci_cdaudio_device.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_sequencer_device.h"
#include "platform/mm/mci_sound_device.h"
#include "platform/mm/mci_system.h"
#include "platform/mm/mci_wave_recorder_device.h"

namespace {

DWORD OpenWaveAudio(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  if (request.source) return CMciSoundDevice::Open(request, out);
  out = std::make_unique<CMciWaveRecorderDevice>(request.id, request.type, *request.services);
  return MciError::kNone;
}

DWORD OpenSequencer(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  return CMciSequencerDevice::Open(request, out, request.services->soundFont);
}

DWORD OpenCdAudio(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  return CMciCdAudioDevice::Open(request, out);
}

}  // namespace

void RegisterWaveMidiAndCdTypes(CMciSystem& mci) {
  mci.RegisterType("waveaudio", {"wav"}, &OpenWaveAudio);
  mci.RegisterType("sequencer", {"mid", "midi", "rmi"}, &OpenSequencer);
  mci.RegisterType("cdaudio", {"cda"}, &OpenCdAudio);
}
