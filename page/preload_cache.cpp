// The pre-load cache: entries, loading within the budget, eviction and the workers.
#include "page/preload_cache.h"

#include <algorithm>
#include <new>

#include "model/data_mem_file.h"
#include "model/file_error_report.h"
#include "model/string_table.h"
#include "model/task.h"
#include "platform/base/collections.h"
#include "platform/base/exceptions.h"

namespace {

// Which files are loaded how: an extension (with its dot, lower case) found
// anywhere in a list. An empty extension is found in every list.
constexpr std::string_view kRawExtensions = ".wav.mid.rmi.avi.mpg.mpeg.mov.mp3.flc.fli.rtf.txt.snd.aif";
constexpr std::string_view kImageExtensions = ".bmp.dib.gif.jpg.jpeg.png.pcx.tif.tiff.tga.wmf.emf.ico";

// Larger files are never read into memory whatever the budget says.
constexpr ULONGLONG kMaxEntryBytes = 0x7FFFFFFEu;

}  // namespace

// --- entries ---

CPreloadEntry::CPreloadEntry(CPreloadCache& cache, const CString& name) : m_cache(cache), m_strName(name) {
  m_strName.MakeUpper();
}

CPreloadEntry::~CPreloadEntry() = default;

void CPreloadEntry::SetInUse(bool inUse) {
  std::lock_guard lock(m_cache.m_lock);
  if (inUse) {
    if (m_nPendingHolds > 0) --m_nPendingHolds;  // the look-up's hold becomes the reader's
    ++m_nInUse;
  } else if (m_nInUse > 0) {
    --m_nInUse;
  }
}

void CPreloadEntry::Unload() {
  m_pImage.reset();
  std::vector<BYTE>().swap(m_memory);
  m_bLoaded = false;
  m_nSize = 0;
  m_nInUse = 0;
  m_nPendingHolds = 0;
}

void CPreloadEntry::Report(const std::exception& error, UINT fallbackId) const {
  if (m_cache.m_pReporter) m_cache.m_pReporter->ReportFileErrorToVariables(m_strName, error, FALSE, fallbackId);
}

void CPreloadEntry::BeforeRead() const {
  if (m_cache.m_readHook) m_cache.m_readHook(m_strName);
}

CPreloadEntry::Contents CPreloadEntry::Load(LONG limit) const {
  if (m_strName.IsEmpty()) return {};
  const CString extension = CPreloadCache::ExtensionOf(m_strName);
  if (CPreloadCache::IsRawExtension(extension)) return LoadRaw(limit);
  if (CPreloadCache::IsImageExtension(extension)) return LoadImage(limit);
  return {};
}

LONG CPreloadEntry::Keep(Contents contents) {
  m_memory = std::move(contents.memory);
  m_pImage = std::move(contents.image);
  m_bLoaded = contents.loaded;
  m_nSize = contents.loaded ? contents.size : 0;
  return m_nSize;
}

CPreloadEntry::Contents CPreloadEntry::LoadRaw(LONG limit) const {
  CDataMemFile file(m_cache.m_pDataFile);
  CFileException failure;
  if (!file.Open(m_strName, CFile::modeRead | CFile::shareDenyNone, &failure)) {
    Report(failure, StringId::kUnableToOpenFile);
    return {};
  }
  const ULONGLONG length = file.GetLength();
  if (length > kMaxEntryBytes) {
    Report(CMemoryException(), StringId::kOutOfMemory);
    return {};
  }
  // A file longer than the whole budget would be dropped as soon as it was
  // read: it is not read at all, and stays unloaded as it would then.
  if (length > static_cast<ULONGLONG>(std::max<LONG>(limit, 0))) return {};
  Contents contents;
  try {
    contents.memory.assign(static_cast<std::size_t>(length) + 1, 0);
  } catch (const std::bad_alloc&) {
    Report(CMemoryException(), StringId::kOutOfMemory);
    return {};
  }
  BeforeRead();
  // A read that stops short leaves nothing behind: serving zeros for the
  // missing part would show a broken picture or sound as if it were whole.
  try {
    std::size_t done = 0;
    while (done < length) {
      const UINT chunk = static_cast<UINT>(std::min<ULONGLONG>(length - done, 1u << 20));
      const UINT got = file.Read(contents.memory.data() + done, chunk);
      if (got == 0) AfxThrowFileException(CFileException::endOfFile, -1, m_strName);
      done += got;
    }
  } catch (const CFileException& error) {
    Report(error, StringId::kReadSharing);
    return {};
  }
  contents.loaded = true;
  contents.size = static_cast<LONG>(length);
  return contents;
}

CPreloadEntry::Contents CPreloadEntry::LoadImage(LONG limit) const {
  if (!m_cache.m_pDecoder) return LoadRaw(limit);  // nothing decodes pictures here: keep the bytes
  CDataMemFile file(m_cache.m_pDataFile);
  CFileException failure;
  if (!file.Open(m_strName, CFile::modeRead | CFile::shareDenyNone, &failure)) {
    Report(failure, StringId::kUnableToOpenFile);
    return {};
  }
  // A decoded picture's size is known only once it is decoded: the budget is
  // checked after.
  Contents contents;
  BeforeRead();
  try {
    contents.image = m_cache.m_pDecoder->Decode(file, m_strName);
  } catch (const CFileException& error) {
    contents.image.reset();
    Report(error, StringId::kReadSharing);
  }
  if (!contents.image || !contents.image->HasData() || contents.image->GetMemorySize() > kMaxEntryBytes) return {};
  contents.loaded = true;
  contents.size = static_cast<LONG>(contents.image->GetMemorySize());
  return contents;
}

// --- the cache ---

CPreloadCache::CPreloadCache(CDataFile* dataFile, CFileErrorReporter* reporter)
    : m_pDataFile(dataFile), m_pReporter(reporter) {
  if (m_pDataFile) m_pDataFile->SetReaders(this);
}

CPreloadCache::~CPreloadCache() {
  StopReaders();
  if (m_pDataFile) m_pDataFile->SetReaders(nullptr);
}

CString CPreloadCache::ExtensionOf(const CString& name) {
  const int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  const CString file = name.Mid(slash + 1);
  const int dot = file.Find('.');
  CString extension = dot < 0 ? CString() : file.Mid(dot);
  extension.MakeLower();
  return extension;
}

bool CPreloadCache::IsRawExtension(const CString& extension) {
  return kRawExtensions.find(extension.view()) != std::string_view::npos;
}

bool CPreloadCache::IsImageExtension(const CString& extension) {
  return kImageExtensions.find(extension.view()) != std::string_view::npos;
}

LONG CPreloadCache::CurrentBudget() const { return m_sourcedBudget.value_or(m_nBudget); }

CPreloadEntry* CPreloadCache::FindExact(const CString& upperName) const {
  for (const auto& e : m_entries)
    if (e->GetName() == upperName) return e.get();
  return nullptr;
}

BOOL CPreloadCache::AddObject(const CString& name, BOOL now) {
  CString upper = name;
  upper.MakeUpper();
  // The course's budget is read here, on the caller's thread: workers load
  // within what the latest add found.
  const std::optional<LONG> sourced = m_budgetSource ? m_budgetSource() : std::nullopt;
  CPreloadEntry* added = nullptr;  // to load now
  LONG budget = 0;
  {
    std::lock_guard lock(m_lock);
    m_sourcedBudget = sourced;
    if (FindExact(upper)) return TRUE;
    m_entries.push_back(std::make_unique<CPreloadEntry>(*this, name));
    if (now) {
      added = m_entries.back().get();
      added->m_bAttempted = added->m_bReading = true;
      budget = CurrentBudget();
    }
  }
  if (added) {
    std::lock_guard loading(m_loadLock);
    LoadWithinBudget(*added, budget);
    return TRUE;
  }
  JoinFinishedWorkers();
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::lock_guard workers(m_workerLock);
  try {
    m_workers.push_back({std::thread([this, done] {
                           LoadNext();
                           done->store(true);
                         }),
                         done});
  } catch (const std::system_error&) {
    LoadNext();  // no thread to spare: load here what the worker would have
  }
  return TRUE;
}

void CPreloadCache::LoadNext() {
  std::lock_guard loading(m_loadLock);
  CPreloadEntry* entry = nullptr;
  LONG budget = 0;
  {
    // Newest first, but never only the newest: with several workers under
    // way the tail alone would leave every earlier entry unloaded.
    std::lock_guard lock(m_lock);
    if (m_bStopping) return;
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && !entry; ++it) {
      if (!(*it)->m_bAttempted) entry = it->get();
    }
    if (!entry) return;
    entry->m_bAttempted = entry->m_bReading = true;
    budget = CurrentBudget();
  }
  LoadWithinBudget(*entry, budget);
}

void CPreloadCache::LoadWithinBudget(CPreloadEntry& entry, LONG budget) {
  CPreloadEntry::Contents contents = entry.Load(budget);
  std::lock_guard lock(m_lock);
  entry.m_bReading = false;
  if (!contents.loaded) return;
  const LONG size = contents.size;
  if (size > 0) {
    // It could never fit: keep what is there rather than evict everything for nothing.
    if (size > budget) return;
    while (static_cast<long long>(size) + m_nUsed > budget && !m_entries.empty()) {
      const LONG evicted = EvictOne(&entry);
      if (evicted < 0) return;  // everything else is in use: the newcomer gives way
      m_nUsed -= evicted;
      if (m_nUsed <= 0) {
        m_nUsed = 0;
        break;
      }
    }
  }
  m_nUsed += entry.Keep(std::move(contents));
}

LONG CPreloadCache::EvictOne(const CPreloadEntry* keep) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    CPreloadEntry* e = it->get();
    if (e == keep || e->IsInUse() || e->m_bReading) continue;
    const LONG size = e->IsLoaded() ? e->GetSize() : 0;
    m_entries.erase(it);
    return size;
  }
  return -1;
}

IPreloadImage* CPreloadCache::FindObject(const CString& name) {
  std::lock_guard lock(m_lock);
  for (const auto& e : m_entries)
    if (e->GetName() == name && e->IsLoaded() && !e->HasRawMemory() && e->GetImage() && e->GetImage()->HasData())
      return e->GetImage();
  return nullptr;
}

IPreloadBlock* CPreloadCache::FindImage(const CString& name) {
  std::lock_guard lock(m_lock);
  for (const auto& e : m_entries) {
    // Only entries with bytes can be read as a file.
    if (e->IsLoaded() && e->HasRawMemory() && e->GetName().CompareNoCase(name.view()) == 0) {
      ++e->m_nPendingHolds;  // kept until the reader takes it up, so no worker evicts it first
      return e.get();
    }
  }
  return nullptr;
}

void CPreloadCache::PreloadNextTasks(IPreloadCourse& course) {
  CTask* current = course.GetCurrentTask();
  if (!current || !current->GetResponses()) return;
  for (const auto& response : current->GetResponses()->Children()) {
    CTask* next = course.TaskAfter(response.get());
    if (!next) continue;
    CStringArray files;
    for (CIconManager* manager : {next->GetEvents(), next->GetActions(), next->GetResponses()}) {
      if (!manager) continue;
      for (const auto& child : manager->Children()) {
        if (!child->IsEnabled()) continue;
        child->CollectFiles(&files, 0);
        if (CIconManager* list = child->GetSubManager()) list->CollectFiles(&files, 0);
      }
    }
    for (int i = 0; i < files.GetSize(); ++i) {
      const CString& name = files[i];
      if (name.Find('{') >= 0) continue;  // built from variables: not known yet
      CString resolved = course.FindMediaFile(name);
      resolved.MakeUpper();
      AddObject(resolved, FALSE);
    }
  }
}

void CPreloadCache::JoinFinishedWorkers() {
  std::lock_guard workers(m_workerLock);
  auto finished = std::partition(m_workers.begin(), m_workers.end(), [](const Worker& w) { return !w.done->load(); });
  for (auto it = finished; it != m_workers.end(); ++it) it->thread.join();
  m_workers.erase(finished, m_workers.end());
}

void CPreloadCache::WaitForWorkers() {
  std::vector<Worker> all;
  {
    std::lock_guard workers(m_workerLock);
    all.swap(m_workers);
  }
  for (Worker& w : all) w.thread.join();
}

void CPreloadCache::StopReaders() {
  {
    std::lock_guard lock(m_lock);
    m_bStopping = true;
  }
  WaitForWorkers();
  std::lock_guard lock(m_lock);
  m_bStopping = false;
  std::erase_if(m_entries, [](const std::unique_ptr<CPreloadEntry>& e) { return !e->m_bAttempted; });
}

LONG CPreloadCache::GetUsed() {
  std::lock_guard lock(m_lock);
  return m_nUsed;
}

int CPreloadCache::GetEntryCount() {
  std::lock_guard lock(m_lock);
  return static_cast<int>(m_entries.size());
}

std::vector<std::pair<CString, bool>> CPreloadCache::Describe() {
  std::lock_guard lock(m_lock);
  std::vector<std::pair<CString, bool>> all;
  for (const auto& e : m_entries) all.emplace_back(e->GetName(), e->IsLoaded());
  return all;
}
