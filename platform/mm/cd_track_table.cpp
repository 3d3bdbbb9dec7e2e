// A disc's track table: its checks, and the track form of positions.
#include "platform/mm/cd_track_table.h"

#include <algorithm>

#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_time_format.h"

namespace {

constexpr std::uint64_t kSectorsPerSecond = 75;

}  // namespace

std::optional<CCdTrackTable> CCdTrackTable::Make(std::vector<CdTrack> tracks, std::int64_t leadout) {
  if (tracks.empty() || tracks.size() > 99) return std::nullopt;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const CdTrack& t = tracks[i];
    if (t.number < 1 || t.number > 99 || t.start < 0 || t.start >= leadout) return std::nullopt;
    if (i > 0 && (t.number != tracks[i - 1].number + 1 || t.start <= tracks[i - 1].start)) return std::nullopt;
  }
  CCdTrackTable table;
  table.m_tracks = std::move(tracks);
  table.m_leadout = leadout;
  return table;
}

const CdTrack* CCdTrackTable::Find(long number) const {
  for (const CdTrack& t : m_tracks)
    if (t.number == number) return &t;
  return nullptr;
}

std::uint64_t CCdTrackTable::FrameOfSector(std::int64_t sector) {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(sector + kPregapSectors, 0)) * kFramesPerSector;
}

std::uint64_t CCdTrackTable::StartFrame(const CdTrack& track) const { return FrameOfSector(track.start); }

std::uint64_t CCdTrackTable::EndFrame(const CdTrack& track) const {
  const auto next = static_cast<std::size_t>(&track - m_tracks.data()) + 1;
  return FrameOfSector(next < m_tracks.size() ? m_tracks[next].start : m_leadout);
}

bool CCdTrackTable::IsAudioSector(std::int64_t sector) const {
  if (sector < m_tracks.front().start || sector >= m_leadout) return false;
  const auto after = std::upper_bound(m_tracks.begin(), m_tracks.end(), sector,
                                      [](std::int64_t s, const CdTrack& t) { return s < t.start; });
  return std::prev(after)->audio;
}

const CdTrack& CCdTrackTable::TrackAt(std::uint64_t frame) const {
  const CdTrack* found = &m_tracks.front();
  for (const CdTrack& t : m_tracks)
    if (StartFrame(t) <= frame) found = &t;
  return *found;
}

DWORD CCdTrackTable::ParseTmsf(std::string_view text, std::uint64_t& frame) const {
  DWORD packed = 0;
  if (!::ParseTmsf(text, packed)) return MciError::kBadInteger;
  const CdTrack* track = Find(static_cast<long>(packed & 0xFF));
  if (!track) return MciError::kOutOfRange;
  const std::uint64_t minutes = (packed >> 8) & 0xFF;
  const std::uint64_t seconds = (packed >> 16) & 0xFF;
  const std::uint64_t frames = (packed >> 24) & 0xFF;
  const std::uint64_t at =
      StartFrame(*track) + ((minutes * 60 + seconds) * kSectorsPerSecond + frames) * kFramesPerSector;
  if (at > DiscEnd()) return MciError::kOutOfRange;
  frame = at;
  return MciError::kNone;
}

std::string CCdTrackTable::FormatTmsf(std::uint64_t frame) const {
  const CdTrack& track = TrackAt(frame);
  const std::uint64_t start = StartFrame(track);
  const std::uint64_t sectors = frame > start ? (frame - start) / kFramesPerSector : 0;
  // The colon form holds at most 255 minutes.
  const std::uint64_t held = std::min<std::uint64_t>(sectors, (255 * 60 + 59) * kSectorsPerSecond + 74);
  const std::uint64_t seconds = held / kSectorsPerSecond;
  return ::FormatTmsf(static_cast<DWORD>(track.number) | static_cast<DWORD>(seconds / 60) << 8 |
                      static_cast<DWORD>(seconds % 60) << 16 | static_cast<DWORD>(held % kSectorsPerSecond) << 24);
}
