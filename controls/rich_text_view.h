// IRichTextView and RichTextEnvironment: what the rich-text display needs of the view and the running course.
#pragma once

#include "controls/file_type_detection.h"
#include "platform/base/win_types.h"

class CDocTypeTable;
class CMessageService;
class CVariableContext;
class CWnd;
struct HyperTextNotify;

// The presentation view, as far as rich text reaches it; tests give a fake.
class IRichTextView {
 public:
  // Whether the view has started playing a course.
  virtual BOOL IsPlaying() = 0;
  // The view's hand cursor, and back to its normal one.
  virtual void ShowHandCursor() = 0;
  virtual void RestoreCursor() = 0;
  // Posts the hypertext notice (953) with this record, which travels with
  // it by value, in order with input.
  virtual void PostHyperTextClick(const HyperTextNotify& click) = 0;
  // The window a live display is a child of.
  virtual CWnd* GetViewWindow() = 0;

 protected:
  ~IRichTextView() = default;
};

// Filled by the action (or a test) for its display; any member may be
// missing, and the display then does without that service.
struct RichTextEnvironment {
  IRichTextView* view = nullptr;
  CVariableContext* variables = nullptr;  // "HyperTextSelected" and the error variables
  CMessageService* messages = nullptr;    // message 179 and file errors
  RichTextFiles files;
  CDocTypeTable* docTypes = nullptr;      // a table without converters when missing
};
