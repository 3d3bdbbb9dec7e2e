// Test stand-ins for the message boxes and the error variables: they record what they are given.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "model/error_variables.h"
#include "model/message_service.h"

namespace tvn::testing {

class RecordingMessageSink : public IMessageSink {
 public:
  struct Box {
    CWnd* window;
    std::string text;
    std::string caption;
    UINT style;
    UINT helpContext;
  };

  int ShowMessageBox(CWnd* window, const CString& text, const CString& caption, UINT style,
                     UINT helpContext) override {
    boxes.push_back(Box{window, text.str(), caption.str(), style, helpContext});
    events.push_back("box");
    if (answers.empty()) return IDOK;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep(UINT type) override {
    beeps.push_back(type);
    events.push_back("beep");
  }

  std::vector<Box> boxes;
  std::vector<UINT> beeps;
  std::vector<std::string> events;  // "box" and "beep" in the order they came
  std::deque<int> answers;          // buttons to answer with, then IDOK
};

class RecordingErrorVariables : public IErrorVariables {
 public:
  void SetErrorVariables(LONG number, const CString& message) override {
    ++calls;
    errorNumber = number;
    errorMessage = message.str();
  }
  int calls = 0;
  LONG errorNumber = 0;
  std::string errorMessage;
};

}  // namespace tvn::testing
