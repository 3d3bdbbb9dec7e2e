// CDataMemFile: one file object over a pre-loaded block, an entry of the packed data file, or a disk file.
#pragma once

#include "platform/base/cstring.h"
#include "platform/sys/file.h"

class CDataFile;
class CFileErrorReporter;
class IPreloadBlock;
class IPreloadCache;

// Images, media and rich text read their files through it. Open looks in the
// pre-load cache first, then in the packed data file, then on disk, and the
// file reads the same way whichever it found.
//
// An entry of the packed data file reads as a file of its own: positions
// count from its first byte, its length is the entry's size, and reading at
// or past its end gives end of file, never the next entry's bytes.
class CDataMemFile : public CMemFile {
 public:
  // Open flag: a name found neither in the cache nor in the data file may be missing.
  static constexpr UINT kMayBeMissing = 0x10000;
  static constexpr std::size_t kTransferBuffer = 32767;

  CDataMemFile(CDataFile* dataFile = nullptr, IPreloadCache* cache = nullptr, CFileErrorReporter* reporter = nullptr)
      : m_dataFile(dataFile), m_cache(cache), m_reporter(reporter) {}
  ~CDataMemFile() override;

  // TRUE when the name was opened, or is missing and kMayBeMissing was given
  // (the file then stays closed). A disk failure fills error, or is reported
  // when no error object is given; an entry that cannot be opened is reported.
  BOOL Open(const CString& name, UINT openFlags, CFileException* error = nullptr) override;

  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetLength() const override;
  ULONGLONG GetPosition() const override;
  void SetLength(ULONGLONG length) override;
  void Flush() override;
  void Close() override;
  void Abort() override;
  bool IsOpen() const override { return m_source != Source::none; }
  // A disk file's own status; a packed-file entry's is the packed file's
  // times and attributes with the entry's size and name; a pre-loaded block's
  // is its size alone.
  BOOL GetStatus(CFileStatus& status) const override;
  // The name stays the one the file was opened by.
  void SetFilePath(const CString&) override {}

  bool IsFromCache() const { return m_source == Source::cache; }
  bool IsFromDataFile() const { return m_source == Source::entry; }
  const CString& GetName() const { return m_strName; }

  // Copies the whole content into a new temporary file "tvn..." and gives its
  // path. A failure removes the temporary file; it is reported unless quiet.
  BOOL ExtractToTempFile(CString& outPath, BOOL quiet);

 private:
  enum class Source { none, cache, entry, disk };

  void ReleaseBlock();
  void Report(const CString& name, const std::exception& error, BOOL writing, UINT fallbackId);

  CDataFile* m_dataFile;
  IPreloadCache* m_cache;
  CFileErrorReporter* m_reporter;

  Source m_source = Source::none;
  CString m_strName;
  IPreloadBlock* m_block = nullptr;  // the cache's block while it is attached
  CFile m_file;                      // the disk file, or the packed data file for an entry
  ULONGLONG m_entryStart = 0;        // first byte of the entry in the packed file
  ULONGLONG m_entrySize = 0;
};
