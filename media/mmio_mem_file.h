// CMmioMemFile and the memory-file list: media in pre-load memory or the packed data file, served by their ".TVN+" key.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "model/data_mem_file.h"
#include "platform/mm/media_source.h"

// A medium kept in pre-load memory or inside the packed data file, under the
// ".TVN+" key its player opens it by. It opens memory-only: a medium that is
// only on disk leaves it closed, without an error.
class CMmioMemFile : public CDataMemFile {
 public:
  CMmioMemFile(CDataFile* dataFile, IPreloadCache* cache, const CString& fileName, const CString& keyName);

  // Clears the stream handle, takes the key, closes, then opens the name memory-only.
  BOOL Reopen(const CString& fileName, const CString& keyName);

  const CString& GetKeyName() const { return m_keyName; }
  // The id of the stream last opened on it (0 at open).
  DWORD GetMmioHandle() const { return m_hmmio; }
  void SetMmioHandle(DWORD handle) { m_hmmio = handle; }
  // Whether the data was found in pre-load memory or the data file.
  bool IsInMemory() const { return IsOpen() && (IsFromCache() || IsFromDataFile()); }

  // Streams that read it take turns at its one position.
  std::mutex& Lock() { return m_lock; }

 private:
  CString m_keyName;
  DWORD m_hmmio = 0;
  std::mutex m_lock;
};

// The memory files that AVI players register, in order. The I/O procedure
// that serves ".TVN+" names is installed when the first one is added and
// removed when the last one goes, so it stays while any player needs it.
// Streams share the memory file they read: a stream still open when its
// entry leaves the list keeps reading its own medium.
class CMmioMemFileList {
 public:
  // Adds the file, installing the I/O procedure when the list was empty.
  CMmioMemFile* Add(std::unique_ptr<CMmioMemFile> file);
  bool IsEmpty() const { return m_files.empty(); }
  std::size_t GetCount() const { return m_files.size(); }
  bool IsProcInstalled() const { return m_installed; }
  // How often the procedure has been installed (each time the list filled from empty).
  int GetInstallCount() const { return m_installCount; }

  // The I/O procedure: a stream of its own on the medium of the key (the
  // first entry with that key); null when the procedure is not installed or
  // no entry has the key.
  std::unique_ptr<IMediaByteSource> OpenStream(const CString& keyName);

 private:
  friend CMmioMemFile* FindMemFileByName(CMmioMemFileList& list, const CString& keyName);
  friend void RemoveAndDeleteObject(CMmioMemFileList& list, CMmioMemFile* object);

  std::vector<std::shared_ptr<CMmioMemFile>> m_files;
  bool m_installed = false;
  int m_installCount = 0;
  DWORD m_lastHandle = 0;
};

// The first entry whose key equals the name (case-sensitive), or null.
CMmioMemFile* FindMemFileByName(CMmioMemFileList& list, const CString& keyName);
// Removes the object from the list and deletes it, when it is in the list;
// the I/O procedure goes with the last entry.
void RemoveAndDeleteObject(CMmioMemFileList& list, CMmioMemFile* object);
