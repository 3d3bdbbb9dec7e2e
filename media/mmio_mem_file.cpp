// The memory-file list of the AVI players and the streams its I/O procedure serves.
#include "media/mmio_mem_file.h"

#include <algorithm>

CMmioMemFile::CMmioMemFile(CDataFile* dataFile, IPreloadCache* cache, const CString& fileName,
                           const CString& keyName)
    : CDataMemFile(dataFile, cache) {
  Reopen(fileName, keyName);
}

BOOL CMmioMemFile::Reopen(const CString& fileName, const CString& keyName) {
  std::lock_guard lock(m_lock);
  m_hmmio = 0;
  m_keyName = keyName;
  Close();
  CFileException error;
  try {
    return Open(fileName, CFile::modeRead | CFile::shareDenyWrite | kMayBeMissing, &error);
  } catch (const std::exception&) {
    return FALSE;
  }
}

namespace {

// One stream on a memory file: its own position, the file shared.
class CMmioStream final : public IMediaByteSource {
 public:
  explicit CMmioStream(std::shared_ptr<CMmioMemFile> file) : m_file(std::move(file)) {}

  long long Read(void* buffer, std::size_t count) override {
    std::lock_guard lock(m_file->Lock());
    try {
      const ULONGLONG length = m_file->GetLength();
      if (m_position >= length) return 0;
      const auto n = static_cast<UINT>(std::min<ULONGLONG>({count, length - m_position, 1u << 30}));
      m_file->Seek(static_cast<LONGLONG>(m_position), CFile::begin);
      const UINT got = m_file->Read(buffer, n);
      m_position += got;
      return got;
    } catch (const std::exception&) {
      return -1;
    }
  }
  bool Seek(unsigned long long position) override {
    if (position > Size()) return false;
    m_position = position;
    return true;
  }
  unsigned long long Size() const override {
    std::lock_guard lock(m_file->Lock());
    return m_file->IsOpen() ? m_file->GetLength() : 0;
  }
  CString Name() const override { return m_file->GetKeyName(); }

 private:
  std::shared_ptr<CMmioMemFile> m_file;
  unsigned long long m_position = 0;
};

}  // namespace

CMmioMemFile* CMmioMemFileList::Add(std::unique_ptr<CMmioMemFile> file) {
  if (!file) return nullptr;
  if (m_files.empty() && !m_installed) {
    m_installed = true;
    ++m_installCount;
  }
  m_files.push_back(std::shared_ptr<CMmioMemFile>(std::move(file)));
  return m_files.back().get();
}

std::unique_ptr<IMediaByteSource> CMmioMemFileList::OpenStream(const CString& keyName) {
  if (!m_installed) return nullptr;
  auto it = std::find_if(m_files.begin(), m_files.end(),
                         [&](const std::shared_ptr<CMmioMemFile>& f) { return f->GetKeyName() == keyName; });
  if (it == m_files.end() || !(*it)->IsOpen()) return nullptr;
  // Stream ids come from the list's own count, never 0.
  if (++m_lastHandle == 0) ++m_lastHandle;
  (*it)->SetMmioHandle(m_lastHandle);
  return std::make_unique<CMmioStream>(*it);
}

CMmioMemFile* FindMemFileByName(CMmioMemFileList& list, const CString& keyName) {
  for (const auto& file : list.m_files)
    if (file->GetKeyName() == keyName) return file.get();
  return nullptr;
}

void RemoveAndDeleteObject(CMmioMemFileList& list, CMmioMemFile* object) {
  auto it = std::find_if(list.m_files.begin(), list.m_files.end(),
                         [object](const std::shared_ptr<CMmioMemFile>& f) { return f.get() == object; });
  if (it == list.m_files.end()) return;
  list.m_files.erase(it);
  if (list.m_files.empty()) list.m_installed = false;
}
