// CMemoryStream: a clip's bytes through CDataMemFile (pre-load memory, packed data file or disk), as the decoder reads them.
#pragma once

#include <mutex>

#include "model/data_mem_file.h"
#include "platform/mm/media_source.h"

class IClock;
struct MediaEnvironment;

// Read and seek run on the player's thread under the stream's lock. A byte
// rate limits how fast the bytes arrive (bytes per millisecond; 0 unlimited,
// as every runtime stream is).
class CMemoryStream final : public IMediaByteSource {
 public:
  static constexpr DWORD kUnlimited = 0;

  // Opens the name: pre-load memory, the data file, then the disk; with
  // memoryOnly a name found in neither of the first two stays unopened.
  CMemoryStream(const MediaEnvironment& env, const CString& path, DWORD byteRate, const IClock& clock,
                bool memoryOnly = false);

  bool IsOpened() const { return m_opened; }
  bool IsInMemory() const { return m_file.IsFromCache() || m_file.IsFromDataFile(); }

  long long Read(void* buffer, std::size_t count) override;
  bool Seek(unsigned long long position) override;
  unsigned long long Size() const override;
  CString Name() const override { return m_path; }
  // What has arrived so far at the byte rate: the whole length when unlimited.
  unsigned long long Available() const;

 private:
  mutable std::mutex m_mutex;
  CDataMemFile m_file;
  CString m_path;
  DWORD m_rate;
  const IClock& m_clock;
  DWORD m_start;
  unsigned long long m_position = 0;
  bool m_opened = false;
};
