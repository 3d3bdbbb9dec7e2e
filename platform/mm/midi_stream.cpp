// The song's events sent to the synthesizer frame by frame, and the state a seek replays.
#include "platform/mm/midi_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/mm/pcm_buffer.h"

CMidiStream::CMidiStream(std::shared_ptr<const CMidiSong> song, std::unique_ptr<IMidiSink> synth)
    : m_song(std::move(song)), m_synth(std::move(synth)) {}

DWORD CMidiStream::FrameOf(std::uint64_t timeUs) {
  // 44100 frames a second: 441 per 10000 microseconds (a day's length is far below the cap).
  static_assert(CPcmBuffer::kRate == 44100);
  const std::uint64_t frame = std::min<std::uint64_t>(timeUs, std::uint64_t{1} << 50) * 441 / 10000;
  return static_cast<DWORD>(std::min<std::uint64_t>(frame, 0xFFFFFFFEu));
}

void CMidiStream::Start(DWORD fromFrame, DWORD toFrame) {
  const auto& events = m_song->events;
  m_next = 0;
  if (m_synth) m_synth->Reset();
  while (m_next < events.size() && FrameOf(events[m_next].timeUs) < fromFrame) {
    const MidiEvent& e = events[m_next++];
    const std::uint8_t kind = e.status & 0xF0;
    if (m_synth && kind >= 0xB0) m_synth->Send(e);  // controllers, programs, pressure, pitch bend
  }
  m_frame = fromFrame;
  m_to = std::max(toFrame, fromFrame);
}

void CMidiStream::Silence() {
  if (m_synth) m_synth->Reset();
}

std::size_t CMidiStream::Render(std::int16_t* out, std::size_t frames) {
  const auto& events = m_song->events;
  const std::size_t wanted = std::min<std::size_t>(frames, m_to - m_frame);
  std::size_t done = 0;
  while (done < wanted) {
    while (m_next < events.size() && FrameOf(events[m_next].timeUs) <= m_frame) {
      if (m_synth) m_synth->Send(events[m_next]);
      ++m_next;
    }
    DWORD until = m_to;
    if (m_next < events.size()) until = std::min(until, FrameOf(events[m_next].timeUs));
    const std::size_t run = std::min<std::size_t>(wanted - done, until - m_frame);
    if (m_synth) m_synth->Render(out + done * 2, run);
    else std::memset(out + done * 2, 0, run * 2 * sizeof(std::int16_t));
    done += run;
    m_frame += static_cast<DWORD>(run);
  }
  // Messages on the last frame (the notes' ends at the song's end) still go out.
  while (m_frame >= m_to && m_next < events.size() && FrameOf(events[m_next].timeUs) <= m_frame) {
    if (m_synth) m_synth->Send(events[m_next]);
    ++m_next;
  }
  return done;
}
