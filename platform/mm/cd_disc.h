// CCdDisc: an audio CD through libcdio, in a drive or as a BIN/CUE image: its checked tracks, its sectors, a drive's door.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/base/win_types.h"
#include "platform/mm/cd_track_table.h"

class CCdDisc {
 public:
  static constexpr std::size_t kSectorBytes = 2352;

  // The source: a ".cue" or ".bin" file opens as an image, any other name
  // as a drive, and an empty name is the first drive libcdio finds. 0 and
  // the disc, or the MCI error: 266 for no drive, 275 for an image that is
  // not there, 296 for an image without a usable track table.
  static DWORD Open(const std::string& source, std::unique_ptr<CCdDisc>& out);

  ~CCdDisc();
  CCdDisc(const CCdDisc&) = delete;
  CCdDisc& operator=(const CCdDisc&) = delete;

  bool IsImage() const { return m_image; }
  // The table of the disc in the drive; null while there is none (or its
  // table fails the checks).
  std::shared_ptr<const CCdTrackTable> Tracks() const;

  // Reads count sectors of sound from the sector on (kSectorBytes each);
  // false when the drive or image cannot give them. Any thread.
  bool ReadAudio(std::int64_t sector, std::uint32_t count, std::uint8_t* out);

  // A drive's tray: opened (the disc is gone) or closed (the table is read
  // again). An image has no door: nothing happens. False when the drive refused.
  bool OpenDoor();
  bool CloseDoor();
  bool IsDoorOpen() const;

 private:
  struct Handle;
  CCdDisc(std::unique_ptr<Handle> handle, std::string drive, bool image);
  void ReadTable();

  mutable std::mutex m_mutex;
  std::unique_ptr<Handle> m_handle;  // null while a drive's tray is open
  std::string m_drive;
  bool m_image;
  bool m_doorOpen = false;
  std::shared_ptr<const CCdTrackTable> m_tracks;
};
