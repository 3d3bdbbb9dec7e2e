// CCdTrackTable: a disc's tracks, checked before use, and positions on the disc in the track form of MCI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

// One track as the disc's table of contents gives it.
struct CdTrack {
  int number = 0;
  std::int64_t start = 0;  // first sector (logical sector number: 0 is disc address 00:02:00)
  bool audio = true;       // a data track is never sounded
};

// Positions are disc addresses in sound frames (44,100 a second, 588 a
// sector), counted from address 00:00:00: the two seconds before the first
// sector (the pregap) are part of every address, as on the disc itself.
class CCdTrackTable {
 public:
  static constexpr std::uint64_t kFramesPerSector = 588;
  static constexpr std::int64_t kPregapSectors = 150;

  // The table when it holds one to 99 tracks numbered upwards from at least
  // 1, whose starts ascend strictly and lie inside the disc (0 up to the
  // lead-out, which ends it); nothing otherwise.
  static std::optional<CCdTrackTable> Make(std::vector<CdTrack> tracks, std::int64_t leadout);

  int Count() const { return static_cast<int>(m_tracks.size()); }
  const std::vector<CdTrack>& Tracks() const { return m_tracks; }
  std::int64_t Leadout() const { return m_leadout; }
  // The track of that number; null for none.
  const CdTrack* Find(long number) const;

  static std::uint64_t FrameOfSector(std::int64_t sector);
  // Where the track starts and where it ends (the next track's start, or the lead-out).
  std::uint64_t StartFrame(const CdTrack& track) const;
  std::uint64_t EndFrame(const CdTrack& track) const;
  // The first track's start and the lead-out: the disc's sound lies between.
  std::uint64_t DiscStart() const { return StartFrame(m_tracks.front()); }
  std::uint64_t DiscEnd() const { return FrameOfSector(m_leadout); }
  // Whether the sector holds sound: inside an audio track.
  bool IsAudioSector(std::int64_t sector) const;

  // "t:m:s:f" (fewer fields allowed) as a frame: the track's start and the
  // time after it. 0, 270 for text that is no such position, or 282 for a
  // track the disc lacks or a position past the disc's end.
  DWORD ParseTmsf(std::string_view text, std::uint64_t& frame) const;
  // The frame as "tt:mm:ss:ff" of the track that holds it (the first track
  // for a frame before it).
  std::string FormatTmsf(std::uint64_t frame) const;

 private:
  // The last track starting at or before the frame; the first track when none does.
  const CdTrack& TrackAt(std::uint64_t frame) const;

  std::vector<CdTrack> m_tracks;
  std::int64_t m_leadout = 0;
};
