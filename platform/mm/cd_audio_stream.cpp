// A disc's sound read ahead into a ring by a reader thread and rendered out of it.
#include "platform/mm/cd_audio_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/mm/cd_disc.h"

namespace {

constexpr std::size_t kRingFrames = 3 * 44100;  // three seconds ahead
constexpr std::uint32_t kChunkSectors = 25;     // a third of a second a read
constexpr std::size_t kFramesPerSector = CCdTrackTable::kFramesPerSector;

}  // namespace

CCdAudioStream::CCdAudioStream(std::shared_ptr<CCdDisc> disc, std::shared_ptr<const CCdTrackTable> tracks,
                               std::uint64_t from, std::uint64_t to)
    : m_disc(std::move(disc)),
      m_tracks(std::move(tracks)),
      m_from(from),
      m_total(to > from ? to - from : 0),
      m_ring(kRingFrames * 2) {
  if (m_total > 0) m_thread = std::thread([this] { Read(); });
}

CCdAudioStream::~CCdAudioStream() { Stop(); }

void CCdAudioStream::Stop() {
  {
    std::lock_guard lock(m_wakeMutex);
    m_quit = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

bool CCdAudioStream::WaitForRoom(std::size_t frames) {
  std::unique_lock lock(m_wakeMutex);
  // Render wakes the reader without the lock; the time-out covers a wake-up
  // that slipped in between the test and the wait.
  while (!m_quit && kRingFrames - (m_written.load() - m_read.load()) < frames)
    m_wake.wait_for(lock, std::chrono::milliseconds(20));
  return !m_quit;
}

void CCdAudioStream::Push(const std::int16_t* samples, std::size_t frames) {
  const std::uint64_t written = m_written.load(std::memory_order_relaxed);
  std::size_t at = static_cast<std::size_t>(written % kRingFrames);
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t n = std::min(frames - done, kRingFrames - at);
    std::memcpy(&m_ring[at * 2], samples + done * 2, n * 2 * sizeof(std::int16_t));
    done += n;
    at = 0;
  }
  m_written.store(written + frames, std::memory_order_release);
}

void CCdAudioStream::Read() {
  const std::uint64_t end = m_from + m_total;
  std::uint64_t frame = m_from;
  std::vector<std::uint8_t> bytes(kChunkSectors * CCdDisc::kSectorBytes);
  std::vector<std::int16_t> samples(kChunkSectors * kFramesPerSector * 2);
  while (frame < end) {
    // Sectors are read whole: the first may begin before the range, the last end after it.
    const std::int64_t sector =
        static_cast<std::int64_t>(frame / kFramesPerSector) - CCdTrackTable::kPregapSectors;
    const std::size_t skip = static_cast<std::size_t>(frame % kFramesPerSector);
    // A run of sectors that are all sound or all silence.
    const bool audio = m_tracks->IsAudioSector(sector);
    const std::uint64_t sectorsLeft = (end - frame + skip + kFramesPerSector - 1) / kFramesPerSector;
    std::uint32_t count = 1;
    while (count < kChunkSectors && count < sectorsLeft && m_tracks->IsAudioSector(sector + count) == audio) ++count;
    const std::size_t frames =
        static_cast<std::size_t>(std::min<std::uint64_t>(count * kFramesPerSector - skip, end - frame));
    if (!WaitForRoom(frames)) return;
    if (audio && m_disc->ReadAudio(sector, count, bytes.data())) {
      // Sound on a disc is 16-bit little-endian stereo, as the mixer's frames.
      const std::uint8_t* b = bytes.data() + skip * 4;
      for (std::size_t i = 0; i < frames * 2; ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[2 * i] | b[2 * i + 1] << 8));
    } else {
      std::fill_n(samples.begin(), frames * 2, std::int16_t{0});
    }
    Push(samples.data(), frames);
    frame += frames;
  }
}

std::size_t CCdAudioStream::Render(std::int16_t* out, std::size_t frames) {
  const std::uint64_t read = m_read.load(std::memory_order_relaxed);
  const std::uint64_t left = m_total - read;
  if (left == 0) return 0;
  const std::uint64_t ready = m_written.load(std::memory_order_acquire) - read;
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>({frames, ready, left}));
  std::size_t at = static_cast<std::size_t>(read % kRingFrames);
  std::size_t done = 0;
  while (done < n) {
    const std::size_t part = std::min(n - done, kRingFrames - at);
    std::memcpy(out + done * 2, &m_ring[at * 2], part * 2 * sizeof(std::int16_t));
    done += part;
    at = 0;
  }
  m_read.store(read + n, std::memory_order_release);
  m_wake.notify_one();
  if (n == left) return n;  // the range's end: fewer than asked ends the voice
  // The reader is behind: silence in the meantime, the voice goes on.
  std::fill(out + n * 2, out + frames * 2, std::int16_t{0});
  return frames;
}
