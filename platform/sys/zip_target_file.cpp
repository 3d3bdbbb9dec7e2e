// ZipTargetFile: the exclusive, bounded output file of one ZIP entry.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sys/zip_reader.h"

namespace tvn::sys {

ZipTargetFile::ZipTargetFile(const std::filesystem::path& target, std::uint64_t statedSize)
    : m_target(target), m_stated(statedSize) {
  m_fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (m_fd < 0) m_openError = std::strerror(errno);
}

ZipTargetFile::~ZipTargetFile() {
  if (m_fd >= 0) ::close(m_fd);
  if (!m_kept && m_openError.empty()) ::unlink(m_target.c_str());
}

bool ZipTargetFile::Write(const char* data, std::size_t size, std::string* why) {
  if (m_fd < 0) {
    *why = m_openError.empty() ? "file closed" : m_openError;
    return false;
  }
  if (size > m_stated - m_written) {
    *why = "entry larger than its stated size";
    return false;
  }
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = ::write(m_fd, data + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      *why = put < 0 ? std::strerror(errno) : "nothing written";
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  m_written += size;
  return true;
}

bool ZipTargetFile::Finish(std::string* why) {
  if (m_fd < 0) {
    *why = m_openError.empty() ? "file closed" : m_openError;
    return false;
  }
  if (m_written != m_stated) {
    *why = "entry shorter than its stated size";
    return false;
  }
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) {
    *why = std::strerror(errno);
    return false;
  }
  m_kept = true;
  return true;
}

}  // namespace tvn::sys
