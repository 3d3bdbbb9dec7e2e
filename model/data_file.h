// CDataFile: the packed data file, a directory of named entries followed by every entry's bytes.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/sys/file.h"
#include "platform/base/object.h"

class CArchive;
class CFileErrorReporter;

// One entry of the directory. Stored as name, offset, size.
class CDataFileObject : public CObject {
  DECLARE_SERIAL(CDataFileObject)

 public:
  void Serialize(CArchive& ar) override;

  CString m_strName;        // the file name the course uses for it
  CString m_strSourcePath;  // where the packer took the file from; never stored
  DWORD m_dwOffset = 0;     // absolute offset of the entry's bytes in the packed file
  DWORD m_dwSize = 0;       // byte length of the entry
};

// What reads the packed file on threads of its own (the pre-load workers):
// stopped before the file is closed or opened again, so that nothing walks
// the directory or takes the path while they change. Work not begun is
// dropped and reads under way are awaited.
class IDataFileReaders {
 public:
  virtual void StopReaders() = 0;

 protected:
  ~IDataFileReaders() = default;
};

// Layout: the signature string "TVN_DataFile", then the directory as an
// object list of CDataFileObject (count, then one object reference each),
// then the entries' bytes at the offsets the directory gives.
//
// The application keeps one for the program's life. Every file name a
// course uses is looked up here first; when the file is not open no entry
// is ever found and every name falls through to disk.
class CDataFile {
 public:
  static constexpr std::string_view kSignature = "TVN_DataFile";

  // Failures to open are reported through the reporter when one is given.
  explicit CDataFile(CFileErrorReporter* reporter = nullptr) : m_reporter(reporter) {}
  ~CDataFile();
  CDataFile(const CDataFile&) = delete;
  CDataFile& operator=(const CDataFile&) = delete;

  // Opens the file and reads its directory. A file that cannot be opened is
  // reported; an empty file, a wrong signature or a damaged directory leave
  // the data file closed and empty without a message. TRUE when a directory was read.
  BOOL Open(const CString& path);
  void Close();
  // The readers stopped before each close and open; they leave before the file does.
  void SetReaders(IDataFileReaders* readers) { m_readers = readers; }
  void DeleteAll();

  BOOL IsOpen() const { return m_bOpen; }
  const CString& GetPath() const { return m_strPath; }
  // The shared handle; the course loader reads a packed course through it.
  CFile& GetFile() { return m_file; }

  int GetCount() const { return static_cast<int>(m_entries.size()); }
  const CDataFileObject* GetEntry(int index) const;

  // The first entry whose name matches without regard to case; null when none or when closed.
  const CDataFileObject* FindEntry(std::string_view name) const;
  // Whether the entry can be read: it is not empty and lies wholly inside the file.
  bool IsReadable(const CDataFileObject& entry) const;
  // Positions the shared file at the entry's first byte; FALSE for a missing or unreadable entry.
  BOOL SeekToEntry(std::string_view name);
  // Opens a second handle (a plain CFile, not a memory file) on the packed
  // file for one entry, positioned at its first byte. FALSE when closed, for a
  // missing or unreadable entry, and when the file cannot be opened (reported).
  BOOL OpenEntryFile(CFile& file, std::string_view name);

 private:
  void ReadDirectory(CArchive& ar);

  CFileErrorReporter* m_reporter;
  IDataFileReaders* m_readers = nullptr;
  std::vector<std::unique_ptr<CDataFileObject>> m_entries;
  CFile m_file;
  CString m_strPath;
  ULONGLONG m_fileLength = 0;
  BOOL m_bOpen = FALSE;
};
