// Fuzzes course loading: arbitrary bytes are opened as a course file and as a
// packed data file whose entries are opened as courses; a course that opens
// is armed, counted, stepped through and closed.
#include <unistd.h>

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <string>

#include "model/course_doc.h"
#include "tests/support/fake_course_host.h"

namespace {

class NullArmedList : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger*, CCourseDoc*, CTask*) override {}
};

void Play(CCourseDoc& doc) {
  NullArmedList armed;
  doc.ResetTaskEvents(armed);
  doc.CountQuestions();
  // Enough steps to walk a small course; loops through outcomes end here.
  for (int step = 0; step < 64 && doc.GetCurrentTask(); ++step) {
    doc.CurrentTaskHasAction();
    doc.CurrentTaskRequest();
    doc.TaskAfter(doc.GetCurrentResponse(), FALSE);
    if (doc.NextTask() < 0) break;
  }
  doc.FindMediaFile("{CoursePath}media\\x.bmp");
  doc.OnCloseDocument();
}

void Prepare(tvn::testing::FakeCourseHost& host) {
  // No conversion program is ever found; no action starts programs, calls libraries or writes files.
  host.programDirectory = "/nonexistent-tvn-folder/";
  host.mayReachOutside = false;
}

}  // namespace

// Rich-text actions lay out text in Qt's fonts, as in the player, which has a
// GUI application; the offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "course_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/tvn-course-fuzz-" + std::to_string(::getpid()) + ".mcl";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  {
    tvn::testing::FakeCourseHost host;
    Prepare(host);
    CCourseDoc doc(host);
    if (doc.OnOpenDocument(CString(path))) Play(doc);
  }
  {
    tvn::testing::FakeCourseHost host;
    Prepare(host);
    if (host.data.Open(CString(path))) {
      for (int i = 0; i < host.data.GetCount() && i < 16; ++i) {
        CCourseDoc doc(host);
        if (doc.OnOpenDocument(host.data.GetEntry(i)->m_strName)) Play(doc);
      }
    }
  }
  ::unlink(path.c_str());
  return 0;
}
