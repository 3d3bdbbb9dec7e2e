// Fuzzes the Standard MIDI File reader and the stream that plays what it read (silent: no synthesizer), seeking to the middle.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mm/midi_file.h"
#include "platform/mm/midi_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MidiLimits limits;
  limits.maxEvents = 100000;
  auto song = std::make_shared<CMidiSong>();
  if (ReadMidiFile(data, size, limits, *song) != MidiReadResult::ok) return 0;
  CMidiStream stream(song, nullptr);
  // A few seconds at most from the start and from the middle: the event walk, not the length, is under test.
  const DWORD length = stream.LengthFrames();
  std::vector<std::int16_t> out(2 * 4096);
  for (DWORD from : {DWORD{0}, length / 2}) {
    stream.Start(from, std::min<DWORD>(length, from + 4 * 44100));
    while (!stream.Ended())
      if (stream.Render(out.data(), 4096) == 0) break;
  }
  return 0;
}
