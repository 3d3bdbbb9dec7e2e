// The application's side of a course document for tests: recorded messages, a settable clipboard, fonts and page.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/course_doc.h"
#include "model/data_file.h"
#include "model/embedded_font.h"
#include "model/message_service.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/recording_message_sink.h"

namespace tvn::testing {

// A font database whose "font files" are the text "family|style".
class TextFontSystem : public tvn::fonts::IFontSystem {
 public:
  std::vector<CString> StylesOf(const CString& family) override {
    std::vector<CString> out;
    for (const auto& [id, font] : added) {
      if (font.first == family.str()) out.emplace_back(font.second);
    }
    return out;
  }
  int AddFont(const std::vector<BYTE>& fontFile) override {
    std::string text(fontFile.begin(), fontFile.end());
    auto bar = text.find('|');
    if (bar == std::string::npos) return -1;
    added[nextId] = {text.substr(0, bar), text.substr(bar + 1)};
    return nextId++;
  }
  bool RemoveFont(int id) override { return added.erase(id) > 0; }

  std::map<int, std::pair<std::string, std::string>> added;
  int nextId = 1;
};

class FakeCourseHost : public ICourseHost {
 public:
  CVariableContext& Variables() override { return vars; }
  CVariableTable* GetGlobalTable() override { return &vars.global; }
  CDataFile& DataFile() override { return data; }
  CStringArray& SearchPaths() override { return searchPaths; }
  CCourseDoc* GetOpeningCourse() override { return opening; }
  void SetOpeningCourse(CCourseDoc* course) override { opening = course; }
  BOOL IsCourseOpen(const CCourseDoc* course) override { return openCourses.count(course) > 0; }
  BOOL IsClosing() override { return closing; }
  void FreePageObjects(CCourseDoc* course) override { freed.push_back(course); }
  CString GetProgramDirectory() override { return programDirectory; }
  CMessageService& Messages() override { return messages; }
  CEmbeddedFontRegistry& Fonts() override { return registry; }
  BOOL GetClipboardText(CString& text) override {
    if (!clipboard) return FALSE;
    text = *clipboard;
    return TRUE;
  }
  void EmptyClipboard() override {
    clipboard.reset();
    ++clipboardEmptied;
  }
  DWORD GetTickCount() override { return tick; }
  int GetKeyState(int) override { return 0; }
  IPageAccess* GetPage() override { return &page; }
  void FlushInvalidRects() override {}
  ITimerOwner* GetTimers() override { return &timers; }
  BOOL MayReachOutside() override { return mayReachOutside; }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> out;
    for (const auto& box : sink.boxes) out.push_back(box.text);
    return out;
  }

  TestVariableContext vars;
  CDataFile data;
  CStringArray searchPaths;
  CCourseDoc* opening = nullptr;
  std::set<const CCourseDoc*> openCourses;
  bool closing = false;
  std::vector<CCourseDoc*> freed;
  CString programDirectory;
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  TextFontSystem fontSystem;
  CEmbeddedFontRegistry registry{fontSystem};
  std::optional<CString> clipboard;
  int clipboardEmptied = 0;
  DWORD tick = 1000;
  RecordingPage page;
  RecordingTimers timers;
  bool mayReachOutside = true;
};

}  // namespace tvn::testing
