// Audio CDs through libcdio: opening a drive or an image, the track table, reading sound and the door.
#include "platform/mm/cd_disc.h"

#include <cdio/cdio.h>

#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/mm/mci_errors.h"

struct CCdDisc::Handle {
  explicit Handle(CdIo_t* p) : cdio(p) {}
  ~Handle() { cdio_destroy(cdio); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  CdIo_t* cdio;
};

namespace {

bool IsImageName(const std::string& source) {
  const std::string ext = tvn::codepage::LowerAscii(std::filesystem::path(source).extension().string());
  return ext == ".cue" || ext == ".bin";
}

// The first drive libcdio finds; empty for none.
std::string FirstDrive() {
  char** list = cdio_get_devices(DRIVER_DEVICE);
  if (!list) return {};
  std::string drive = list[0] ? list[0] : "";
  cdio_free_device_list(list);
  return drive;
}

}  // namespace

DWORD CCdDisc::Open(const std::string& source, std::unique_ptr<CCdDisc>& out) {
  if (IsImageName(source)) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source, ec)) return MciError::kFileNotFound;
    CdIo_t* cdio = cdio_open_bincue(source.c_str());
    if (!cdio) return MciError::kInvalidFile;
    std::unique_ptr<CCdDisc> disc(new CCdDisc(std::make_unique<Handle>(cdio), source, true));
    if (!disc->m_tracks) return MciError::kInvalidFile;
    out = std::move(disc);
    return MciError::kNone;
  }
  const std::string drive = source.empty() ? FirstDrive() : source;
  if (drive.empty()) return MciError::kCannotLoadDriver;
  CdIo_t* cdio = cdio_open(drive.c_str(), DRIVER_DEVICE);
  if (!cdio) return MciError::kCannotLoadDriver;
  // A drive opens without a disc in it: the table then stays empty.
  out.reset(new CCdDisc(std::make_unique<Handle>(cdio), drive, false));
  return MciError::kNone;
}

CCdDisc::CCdDisc(std::unique_ptr<Handle> handle, std::string drive, bool image)
    : m_handle(std::move(handle)), m_drive(std::move(drive)), m_image(image) {
  ReadTable();
}

CCdDisc::~CCdDisc() = default;

void CCdDisc::ReadTable() {
  m_tracks.reset();
  if (!m_handle) return;
  CdIo_t* cdio = m_handle->cdio;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t count = cdio_get_num_tracks(cdio);
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || first + count - 1 > 99) return;
  std::vector<CdTrack> tracks;
  for (int number = first; number < first + count; ++number) {
    const lsn_t start = cdio_get_track_lsn(cdio, static_cast<track_t>(number));
    if (start == CDIO_INVALID_LSN) return;
    tracks.push_back({number, start, cdio_get_track_format(cdio, static_cast<track_t>(number)) == TRACK_FORMAT_AUDIO});
  }
  const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
  if (leadout == CDIO_INVALID_LSN) return;
  if (auto table = CCdTrackTable::Make(std::move(tracks), leadout))
    m_tracks = std::make_shared<const CCdTrackTable>(std::move(*table));
}

std::shared_ptr<const CCdTrackTable> CCdDisc::Tracks() const {
  std::lock_guard lock(m_mutex);
  return m_tracks;
}

bool CCdDisc::ReadAudio(std::int64_t sector, std::uint32_t count, std::uint8_t* out) {
  std::lock_guard lock(m_mutex);
  if (!m_handle || !m_tracks || count == 0 || sector < 0 ||
      sector + static_cast<std::int64_t>(count) > m_tracks->Leadout() ||
      sector > std::numeric_limits<lsn_t>::max())
    return false;
  return cdio_read_audio_sectors(m_handle->cdio, out, static_cast<lsn_t>(sector), count) == DRIVER_OP_SUCCESS;
}

bool CCdDisc::OpenDoor() {
  std::lock_guard lock(m_mutex);
  if (m_image || m_doorOpen) return true;
  // libcdio ejects through the drive's name, with no handle open on it.
  m_handle.reset();
  m_tracks.reset();
  if (cdio_eject_media_drive(m_drive.c_str()) != DRIVER_OP_SUCCESS) {
    if (CdIo_t* cdio = cdio_open(m_drive.c_str(), DRIVER_DEVICE)) m_handle = std::make_unique<Handle>(cdio);
    ReadTable();
    return false;
  }
  m_doorOpen = true;
  return true;
}

bool CCdDisc::CloseDoor() {
  std::lock_guard lock(m_mutex);
  if (m_image) return true;
  driver_id_t driver = DRIVER_DEVICE;
  const bool closed = cdio_close_tray(m_drive.c_str(), &driver) == DRIVER_OP_SUCCESS;
  m_doorOpen = false;
  m_handle.reset();
  if (CdIo_t* cdio = cdio_open(m_drive.c_str(), DRIVER_DEVICE)) m_handle = std::make_unique<Handle>(cdio);
  ReadTable();
  return closed;
}

bool CCdDisc::IsDoorOpen() const {
  std::lock_guard lock(m_mutex);
  return m_doorOpen;
}
