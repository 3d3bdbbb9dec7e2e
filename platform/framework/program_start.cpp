// Running a program's body, and the one report of an error that escapes it.
#include "platform/framework/program_start.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "platform/base/exceptions.h"
#include "platform/base/program_text.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_box.h"
#include "platform/user/message_loop.h"

namespace {

std::string Named(const CString& fileName) {
  return fileName.IsEmpty() ? std::string() : ": " + tvn::text::ProgramToUtf8(fileName.view());
}

// One sentence for the error, by its type; empty for an operation the user ended.
std::string EscapedErrorText(const std::exception& error) {
  if (dynamic_cast<const CUserException*>(&error)) return {};
  if (dynamic_cast<const CMemoryException*>(&error) || dynamic_cast<const std::bad_alloc*>(&error))
    return "There is not enough memory to go on.";
  if (const auto* file = dynamic_cast<const CFileException*>(&error))
    return "A file could not be used" + Named(file->m_strFileName) + " (file error " + std::to_string(file->m_cause) +
           ").";
  if (const auto* archive = dynamic_cast<const CArchiveException*>(&error))
    return "A file is damaged or not of the kind expected" + Named(archive->m_strFileName) + " (archive error " +
           std::to_string(archive->m_cause) + ").";
  return std::string("An unexpected error stopped the program: ") + error.what();
}

// The line on stderr, and the box where one can be seen. The program's own
// loop is gone by now: a loop of the moment carries the box.
void Report(const ProgramStart& start, const std::string& text) noexcept {
  if (text.empty()) return;
  std::fprintf(stderr, "%s: %s\n", start.name.GetString(), text.c_str());
  std::fflush(stderr);
  if (start.offscreen || !CGuiSession::ShowsWindows()) return;
  try {
    const CString caption = start.title.IsEmpty() ? start.name : start.title;
    std::optional<CMessageLoop> loop;
    if (!CMessageLoop::Current()) loop.emplace();
    MessageBox(nullptr, CString(tvn::text::ProgramFromUtf8(text)), caption, MB_OK | MB_ICONSTOP);
  } catch (const std::exception&) {
    // The line on stderr stands.
  }
}

}  // namespace

int RunProgram(int& argc, char** argv, const ProgramStart& start, const std::function<int()>& body) {
  // Made before the body's objects and kept past them, so the box can still be shown.
  std::unique_ptr<CGuiSession> session;
  try {
    session = std::make_unique<CGuiSession>(argc, argv, start.offscreen);
    return body();
  } catch (const std::exception& error) {
    Report(start, EscapedErrorText(error));
    return kEscapedErrorExit;
  }
}

int RunLoggingErrors(const std::function<void(const std::string&)>& log, const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::exception& error) {
    const std::string text = EscapedErrorText(error);
    try {
      if (!text.empty()) log(text);
    } catch (const std::exception&) {
      // A log that fails must not hide the error itself.
    }
    throw;
  }
}
