// Decoding a medium's sound with FFmpeg into the mixer's format, and what the medium holds.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/mm/pcm_buffer.h"

class IMediaByteSource;

// Caps on what one medium may make the decoder do; a medium past them fails
// as too large instead of taking the machine's memory.
struct DecodeLimits {
  DWORD maxSeconds = 20 * 60;
  int maxChannels = 8;
  int maxRate = 192000;
  // Bytes the decoded sound may take.
  std::size_t maxBytes = std::size_t{256} << 20;
};

// A stretch of a sound at one sample rate: clips of different rates joined
// end to end play one after another, each at its own.
struct SoundPart {
  DWORD rate = 0;              // samples per second
  std::uint64_t samples = 0;   // at that rate
  std::uint64_t frames = 0;    // the mixer's frames they became
};

struct MediaInfo {
  bool hasAudio = false;
  bool hasVideo = false;
  CString formatName;  // the container as FFmpeg named it ("wav", "mp3", "ogg", "mpeg"...)
  double durationSeconds = 0.0;
  // The sound stream's own format, in which positions are counted in its
  // samples and bytes; 0 without a sound.
  DWORD soundRate = 0;             // samples per second
  bool soundPcm = false;           // plain samples: bytes count by the block
  DWORD soundBlockAlign = 0;       // bytes of one sample of every channel (PCM)
  DWORD soundBytesPerSecond = 0;   // on average (every format)
  // Decoded, at the stream's own rate; no more than the file states. A
  // sound whose rate changes part-way counts each part at its own.
  std::uint64_t soundSamples = 0;
  // Its parts in order, when the rate changes part-way; empty otherwise.
  std::vector<SoundPart> soundParts;
};

enum class DecodeResult {
  ok,
  unreadable,  // not a medium FFmpeg knows, or damaged before any sound
  noSound,     // a medium without a sound stream
  tooLarge,    // past one of the limits
  stopped,     // the stop flag was raised
};

// Reads the whole sound of the source into out (resampled to 44100 Hz stereo).
// A medium damaged part-way keeps the sound decoded up to the damage; one
// that states how many samples its sound holds (a WAV file's "fact" chunk,
// an AVI stream header) keeps no more than those. The stop
// flag, when given, interrupts reading and decoding from any thread. The
// sound is the stream FFmpeg thinks best, or with firstStream the first one
// (an AVI file's sound track).
DecodeResult DecodeSound(IMediaByteSource& source, const DecodeLimits& limits, CPcmBuffer& out,
                         MediaInfo* info = nullptr, const std::atomic<bool>* stop = nullptr, bool firstStream = false);
