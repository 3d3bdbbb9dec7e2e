// CMidiStream: a song played through the synthesizer as a mixer stream, its time counted in mixer frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/midi_file.h"
#include "platform/mm/midi_synth.h"

// Events are sent at the frame their time falls on, so the song's time is
// the frames the mixer has taken: exact whether a synthesizer sounds or, with
// no soundfont, silence is rendered in its place.
class CMidiStream final : public IAudioStream {
 public:
  // synth may be null: the song then plays silent.
  CMidiStream(std::shared_ptr<const CMidiSong> song, std::unique_ptr<IMidiSink> synth);

  // The frame a time falls on (44100 a second).
  static DWORD FrameOf(std::uint64_t timeUs);
  DWORD LengthFrames() const { return FrameOf(m_song->lengthUs); }

  // Readies a pass from one frame to another: the synthesizer is reset and
  // every program, controller, pressure and pitch-bend message before the
  // start is sent again, so the music sounds as it would have there. Only
  // while no voice plays the stream.
  void Start(DWORD fromFrame, DWORD toFrame);
  // Silences what sounds (a stop while the synthesizer keeps its state).
  void Silence();
  bool HasSynth() const { return m_synth != nullptr; }

  std::size_t Render(std::int16_t* out, std::size_t frames) override;
  bool Ended() const override { return m_frame >= m_to; }

 private:
  std::shared_ptr<const CMidiSong> m_song;
  std::unique_ptr<IMidiSink> m_synth;
  std::size_t m_next = 0;  // the next event to send
  DWORD m_frame = 0;
  DWORD m_to = 0;
};
