// CFile on POSIX descriptors and CMemFile on a byte buffer.
#include "platform/sys/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/base/host_path.h"

CFile::CFile(const CString& fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const CString& fileName, UINT openFlags, CFileException* error) {
  auto host = tvn::path::MapWindowsPath(fileName);
  if (!host) {
    if (error) *error = CFileException(CFileException::fileNotFound, ENOENT, fileName);
    return FALSE;
  }
  BOOL ok = OpenHostPath(*host, openFlags, error);
  m_strFileName = fileName;
  if (!ok && error) error->m_strFileName = fileName;
  return ok;
}

BOOL CFile::OpenHostPath(const std::filesystem::path& path, UINT openFlags, CFileException* error) {
  Abort();
  int flags = O_CLOEXEC;
  switch (openFlags & 3) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
  }
  if (openFlags & modeCreate) {
    flags |= O_CREAT;
    if (!(openFlags & modeNoTruncate)) flags |= O_TRUNC;
  }
  m_fd = ::open(path.c_str(), flags, 0644);
  m_strFileName = tvn::path::HostPathToText(path);
  if (m_fd < 0) {
    int err = errno;
    if (error) *error = CFileException(CFileException::OsErrorToCause(err), err, m_strFileName);
    return FALSE;
  }
  struct stat st {};
  if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    Abort();
    if (error) *error = CFileException(CFileException::accessDenied, EISDIR, m_strFileName);
    return FALSE;
  }
  return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (m_fd < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  auto* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = ::read(m_fd, out + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      AfxThrowFileException(CFileException::OsErrorToCause(errno), errno, m_strFileName);
    }
    if (n == 0) break;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  if (m_fd < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  const auto* in = static_cast<const char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      AfxThrowFileException(CFileException::OsErrorToCause(errno), errno, m_strFileName);
    }
    done += static_cast<UINT>(n);
  }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  if (m_fd < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
  off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
  if (pos < 0) AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
  struct stat st {};
  if (m_fd < 0 || ::fstat(m_fd, &st) != 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  return static_cast<ULONGLONG>(st.st_size);
}

ULONGLONG CFile::GetPosition() const {
  off_t pos = m_fd < 0 ? -1 : ::lseek(m_fd, 0, SEEK_CUR);
  if (pos < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  return static_cast<ULONGLONG>(pos);
}

void CFile::SetLength(ULONGLONG length) {
  if (m_fd < 0 || ::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
    AfxThrowFileException(CFileException::accessDenied, errno, m_strFileName);
}

void CFile::Flush() {
  if (m_fd >= 0) ::fsync(m_fd);
}

void CFile::Close() {
  if (m_fd < 0) return;
  int rc = ::close(m_fd);
  m_fd = -1;
  if (rc != 0 && errno != EINTR) AfxThrowFileException(CFileException::OsErrorToCause(errno), errno, m_strFileName);
}

void CFile::Abort() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

BOOL CFile::GetStatus(CFileStatus& status) const {
  struct stat st {};
  if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return FALSE;
  status = CFileStatus{};
  status.m_mtime = st.st_mtim.tv_sec;
  status.m_atime = st.st_atim.tv_sec;
  status.m_ctime = st.st_ctim.tv_sec;
  struct statx sx {};
  if (::statx(m_fd, "", AT_EMPTY_PATH, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    status.m_ctime = static_cast<std::time_t>(sx.stx_btime.tv_sec);
  status.m_size = static_cast<ULONGLONG>(st.st_size);
  // Read-only for this user: the write bit of the class the user falls in is clear.
  const mode_t writeBit = st.st_uid == ::geteuid() ? S_IWUSR : st.st_gid == ::getegid() ? S_IWGRP : S_IWOTH;
  if ((st.st_mode & writeBit) == 0) status.m_attribute |= readOnly;
  const CString name = GetFileName();
  if (!name.IsEmpty() && name[0] == '.') status.m_attribute |= hidden;
  status.m_szFullName = m_strFileName;
  return TRUE;
}

BOOL CMemFile::GetStatus(CFileStatus& status) const {
  status = CFileStatus{};
  status.m_size = GetLength();
  return TRUE;
}

CString CFile::GetFileName() const {
  int cut = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
  return m_strFileName.Mid(cut + 1);
}

void CMemFile::Attach(const BYTE* data, std::size_t size) {
  m_owned.clear();
  m_view = data;
  m_viewSize = data ? size : 0;
  m_position = 0;
}

std::vector<BYTE> CMemFile::Detach() {
  std::vector<BYTE> out = std::move(m_owned);
  m_owned.clear();
  m_view = nullptr;
  m_viewSize = 0;
  m_position = 0;
  return out;
}

BOOL CMemFile::Open(const CString&, UINT, CFileException* error) {
  if (error) *error = CFileException(CFileException::genericException);
  return FALSE;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  ULONGLONG length = GetLength();
  if (m_position >= length) return 0;
  UINT n = static_cast<UINT>(std::min<ULONGLONG>(count, length - m_position));
  if (n) std::memcpy(buffer, Data() + m_position, n);
  m_position += n;
  return n;
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (m_view) AfxThrowFileException(CFileException::accessDenied, EROFS, m_strFileName);
  if (count == 0) return;
  if (m_position + count > m_owned.size()) m_owned.resize(m_position + count);
  std::memcpy(m_owned.data() + m_position, buffer, count);
  m_position += count;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = from == current ? static_cast<LONGLONG>(m_position)
                  : from == end   ? static_cast<LONGLONG>(GetLength())
                                  : 0;
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<LONGLONG>::max() - offset))
    AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
  m_position = static_cast<ULONGLONG>(base + offset);
  return m_position;
}

void CMemFile::SetLength(ULONGLONG length) {
  if (m_view) AfxThrowFileException(CFileException::accessDenied, EROFS, m_strFileName);
  m_owned.resize(length);
  m_position = std::min(m_position, length);
}

void CMemFile::Close() { Detach(); }
