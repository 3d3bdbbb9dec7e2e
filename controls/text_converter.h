// CTextConverter: a file whose bytes a converter makes on its own thread, handed over 4096 bytes at a time.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "controls/converter_file.h"

class CConverterRegistry;
class ITextConverterProvider;

// Reading runs the converter's foreign-to-RTF conversion on a thread of its
// own and hands its output over in pieces of at most 4096 bytes; writing
// hands the caller's RTF to the RTF-to-foreign conversion the same way and
// writes what it gives to the file. Waits are bounded and end when the
// object goes; a converter failure makes the next Read or Write throw a
// file exception (generic cause).
class CTextConverter : public CConverterFile {
 public:
  static constexpr std::size_t kBufferSize = 4096;

  CTextConverter(const CConverterRegistry* converters, const CString& converterName, CDataFile* dataFile = nullptr,
                 IPreloadCache* cache = nullptr);
  ~CTextConverter() override;

  bool HasConverter() const { return m_provider != nullptr; }
  // Whether the converter reads the file (FALSE without a converter).
  BOOL IsFormatCorrect(const CString& path);

  BOOL Open(const CString& path, UINT openFlags, CFileException* error = nullptr) override;
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  // Only a seek that goes nowhere is allowed; others throw (not supported).
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override { return 0; }
  ULONGLONG GetLength() const override { return 1; }
  void SetLength(ULONGLONG) override;
  void Flush() override {}
  // Ends a conversion that writes: the converter is told the input ended and
  // waited for; its failure throws here.
  void Close() override;
  void Abort() override;
  bool IsOpen() const override { return m_open; }

  // The longest a side waits for the other before it gives up (generous:
  // only a converter that hangs reaches it).
  void SetWaitLimit(std::chrono::milliseconds limit) { m_waitLimit = limit; }

 private:
  struct Handover;
  void Finish();
  bool ReadSource(const CString& path, std::string& bytes, CFileException* error);

  std::shared_ptr<ITextConverterProvider> m_provider;
  std::shared_ptr<Handover> m_handover;
  std::thread m_thread;
  bool m_open = false;
  bool m_reading = true;
  unsigned m_bytesWritten = 0;
  std::chrono::milliseconds m_waitLimit{60000};
};

// Whether the named converter reads the file.
BOOL IsFormatCorrectFor(const CConverterRegistry* converters, const CString& converterName, const CString& path,
                        CDataFile* dataFile = nullptr, IPreloadCache* cache = nullptr);
