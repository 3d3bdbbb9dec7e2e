// CCdAudioStream: a range of a disc's sound as a mixer stream, read ahead from the disc by a thread of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/cd_track_table.h"

class CCdDisc;

// The reader fills a ring of a few seconds; Render, on the mixing thread
// under the mixer's lock, only copies out of it and never waits on the
// disc. Sectors outside audio tracks (data tracks, the pregap) and sectors
// the disc cannot give sound as silence. Should the reader fall behind,
// Render gives silence that does not count as played, so the position is
// what was heard of the disc.
class CCdAudioStream final : public IAudioStream {
 public:
  // The range [from, to) in disc frames (CCdTrackTable's addresses).
  CCdAudioStream(std::shared_ptr<CCdDisc> disc, std::shared_ptr<const CCdTrackTable> tracks, std::uint64_t from,
                 std::uint64_t to);
  ~CCdAudioStream() override;
  CCdAudioStream(const CCdAudioStream&) = delete;
  CCdAudioStream& operator=(const CCdAudioStream&) = delete;

  // Ends the reader and waits for it (at most one read of the disc).
  void Stop();
  // Frames of the range played so far.
  std::uint64_t Played() const { return m_read.load(std::memory_order_acquire); }
  std::uint64_t From() const { return m_from; }
  std::uint64_t To() const { return m_from + m_total; }

  std::size_t Render(std::int16_t* out, std::size_t frames) override;
  bool Ended() const override { return Played() >= m_total; }

 private:
  void Read();
  // Waits until the ring has room for the frames; false when stopping.
  bool WaitForRoom(std::size_t frames);
  void Push(const std::int16_t* samples, std::size_t frames);

  std::shared_ptr<CCdDisc> m_disc;
  std::shared_ptr<const CCdTrackTable> m_tracks;
  const std::uint64_t m_from;
  const std::uint64_t m_total;
  std::vector<std::int16_t> m_ring;  // interleaved stereo
  std::atomic<std::uint64_t> m_written{0};
  std::atomic<std::uint64_t> m_read{0};
  std::atomic<bool> m_quit{false};
  std::mutex m_wakeMutex;
  std::condition_variable m_wake;
  std::thread m_thread;
};
