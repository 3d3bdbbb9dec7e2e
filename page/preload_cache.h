// CPreloadCache: media files read into memory ahead of need, kept under a byte budget.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "model/data_file.h"
#include "model/preload_source.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CFile;
class CFileErrorReporter;
class CIconObject;
class CPreloadCache;
class CTask;

// A decoded picture held by an image entry.
class IPreloadImage {
 public:
  virtual ~IPreloadImage() = default;
  virtual std::size_t GetMemorySize() const = 0;
  virtual bool HasData() const = 0;
};

// Decodes an image file for the cache; null when it is not a picture it reads.
class IPreloadImageDecoder {
 public:
  virtual ~IPreloadImageDecoder() = default;
  virtual std::unique_ptr<IPreloadImage> Decode(CFile& file, const CString& name) = 0;
};



// One pre-loaded file: raw bytes, or a decoded picture.
class CPreloadEntry : public CObject, public IPreloadBlock {
 public:
  // What reading the entry's file gave, before the cache keeps it.
  struct Contents {
    bool loaded = false;
    std::vector<BYTE> memory;  // the file's bytes and one zero byte (raw entries)
    std::unique_ptr<IPreloadImage> image;
    LONG size = 0;
  };

  CPreloadEntry(CPreloadCache& cache, const CString& name);
  ~CPreloadEntry() override;

  // Reads the entry's file: its bytes, or its decoded picture. A raw file
  // longer than limit is not read: it could never be kept. Failures are
  // reported; nothing of the entry changes, so no lock of the cache is needed.
  Contents Load(LONG limit) const;
  // Takes what Load read; the size it now holds.
  LONG Keep(Contents contents);
  void Unload();

  const CString& GetName() const { return m_strName; }
  bool IsLoaded() const { return m_bLoaded; }
  LONG GetSize() const { return m_nSize; }
  bool HasRawMemory() const { return !m_memory.empty(); }
  IPreloadImage* GetImage() const { return m_pImage.get(); }
  // Readers and look-ups holding it; such an entry is never evicted.
  bool IsInUse() const { return m_nInUse > 0 || m_nPendingHolds > 0; }

  void SetInUse(bool inUse) override;
  const BYTE* LockData() override { return m_memory.empty() ? nullptr : m_memory.data(); }
  void UnlockData() override {}
  std::size_t GetDataSize() const override { return static_cast<std::size_t>(m_nSize); }

 private:
  friend class CPreloadCache;
  Contents LoadRaw(LONG limit) const;
  Contents LoadImage(LONG limit) const;
  void Report(const std::exception& error, UINT fallbackId) const;
  void BeforeRead() const;

  CPreloadCache& m_cache;
  int m_nInUse = 0;
  int m_nPendingHolds = 0;  // handed out by FindImage, not yet taken up by SetInUse
  std::vector<BYTE> m_memory;
  std::unique_ptr<IPreloadImage> m_pImage;
  CString m_strName;
  bool m_bLoaded = false;
  bool m_bAttempted = false;  // a worker or an immediate add has taken it to load
  bool m_bReading = false;    // its file is being read: it is not evicted meanwhile
  LONG m_nSize = 0;
};

// Entries are kept oldest first. One lock guards the list, the counters and
// every entry's state; files are read without it, one at a time, so a
// look-up never waits for a file being read. The packed data file it reads
// from stops its workers before it closes or opens another file; it must
// outlive the cache.
class CPreloadCache : public IPreloadCache, public IDataFileReaders {
 public:
  static constexpr LONG kDefaultBudget = 3000000;

  CPreloadCache(CDataFile* dataFile = nullptr, CFileErrorReporter* reporter = nullptr);
  ~CPreloadCache() override;
  CPreloadCache(const CPreloadCache&) = delete;
  CPreloadCache& operator=(const CPreloadCache&) = delete;

  // The course's "PreloadBufferSize", when it defines one; asked by each add.
  void SetBudgetSource(std::function<std::optional<LONG>()> source) { m_budgetSource = std::move(source); }
  void SetImageDecoder(IPreloadImageDecoder* decoder) { m_pDecoder = decoder; }
  // Called with an entry's name on the loading thread just before its file's
  // bytes are read or decoded (tests watch the reads with it). Set before the
  // first add.
  void SetReadHook(std::function<void(const CString&)> hook) { m_readHook = std::move(hook); }
  void SetBudget(LONG budget) { m_nBudget = budget; }
  LONG GetBudget() const { return m_nBudget; }

  // Adds a file by its full name, loading it now or on a worker thread.
  // TRUE also when the name is there already (nothing more happens then).
  BOOL AddObject(const CString& name, BOOL now);
  // The decoded picture of a loaded image entry of exactly this name.
  IPreloadImage* FindObject(const CString& name);
  // The loaded raw entry of the name, ignoring case; it stays held until the
  // reader's SetInUse(true) ... SetInUse(false).
  IPreloadBlock* FindImage(const CString& name) override;
  void PreloadNextTasks(IPreloadCourse& course);
  // The worker's body: loads the newest entry not tried yet, within the budget.
  void LoadNext();
  // Waits for every worker started so far.
  void WaitForWorkers();
  // Stops the workers: those that have not begun load nothing, and the
  // entries no worker took are dropped (a later add tries them again); a
  // read under way is awaited. Loaded entries stay.
  void StopReaders() override;

  LONG GetUsed();
  int GetEntryCount();
  // Upper-cased names, oldest first, and whether each is loaded.
  std::vector<std::pair<CString, bool>> Describe();

  // The extension lists: raw bytes, then decoded pictures.
  static bool IsRawExtension(const CString& extension);
  static bool IsImageExtension(const CString& extension);
  // From the first dot of the file-name part, lower-cased; empty without one.
  static CString ExtensionOf(const CString& name);

 private:
  friend class CPreloadEntry;
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  LONG CurrentBudget() const;
  // Reads a taken entry (m_loadLock held, m_lock not), then keeps it within the budget.
  void LoadWithinBudget(CPreloadEntry& entry, LONG budget);
  // Deletes the oldest entry that is neither in use, being read nor keep; -1 when there is none.
  LONG EvictOne(const CPreloadEntry* keep);
  CPreloadEntry* FindExact(const CString& upperName) const;
  void JoinFinishedWorkers();

  CDataFile* m_pDataFile;
  CFileErrorReporter* m_pReporter;
  IPreloadImageDecoder* m_pDecoder = nullptr;
  std::function<void(const CString&)> m_readHook;
  std::function<std::optional<LONG>()> m_budgetSource;
  std::optional<LONG> m_sourcedBudget;  // what the source said at the latest add

  std::mutex m_loadLock;  // held by whoever reads a file, taken before m_lock
  std::recursive_mutex m_lock;
  std::vector<std::unique_ptr<CPreloadEntry>> m_entries;
  LONG m_nUsed = 0;
  LONG m_nBudget = kDefaultBudget;
  bool m_bStopping = false;  // workers take no more entries

  std::mutex m_workerLock;
  std::vector<Worker> m_workers;
};
