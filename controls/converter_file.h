// CConverterFile and COemFile: the files rich text streams through, plain and from the MS-DOS code page.
#pragma once

#include "model/data_mem_file.h"

class CWnd;

// Reads through CDataMemFile (pre-loaded memory, the packed data file, then
// disk); an open for writing writes a disk file. The progress hooks do nothing.
class CConverterFile : public CDataMemFile {
 public:
  explicit CConverterFile(CDataFile* dataFile = nullptr, IPreloadCache* cache = nullptr, CWnd* window = nullptr)
      : CDataMemFile(dataFile, cache), m_window(window) {}

  BOOL Open(const CString& name, UINT openFlags, CFileException* error = nullptr) override;
  void Write(const void* buffer, UINT count) override;
  void Close() override;
  void Abort() override;
  bool IsOpen() const override { return m_writing ? m_writeFile.IsOpen() : CDataMemFile::IsOpen(); }
  // Only stores the name, which the file's messages give.
  void SetFilePath(const CString& name) override { CFile::SetFilePath(name); }

  // The length recorded when the file was opened for reading (0 for writing).
  ULONGLONG GetOpenLength() const { return m_length; }
  static bool IsWriteMode(UINT openFlags) { return (openFlags & (modeWrite | modeReadWrite)) != 0; }

 protected:
  bool IsWriting() const { return m_writing; }

 private:
  int m_lastPercent = -1;
  ULONGLONG m_length = 0;
  CWnd* m_window;
  bool m_writing = false;
  CFile m_writeFile;
};

// Text in the OEM code page (850): bytes read become code page 1252, bytes
// written go out as 850 (the caller's buffer is left as it was).
class COemFile : public CConverterFile {
 public:
  using CConverterFile::CConverterFile;

  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
};
