// Lays down an editor response (a typed-answer field) in its stored order, for tests.
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/course_builder.h"

namespace tvn::testing {

struct EditorFields {
  std::uint32_t variableId = 0;
  std::uint32_t options = 0x11111;
  std::uint32_t maxLength = 0;
  KeyFields previousKey{8, "", {0, 1, 0, 0, 0, 1}};  // Shift+Tab
  KeyFields nextKey{8, "", {0, 0, 0, 0, 0, 1}};      // Tab
  std::uint32_t textColour = 0;
  std::uint32_t backColour = 0xFFFFFF;
  std::uint8_t prompt = '_';
  std::string mask;
  FontFields font;
};

inline CourseBuilder::Writer EditorResponse(const IconFields& icon, const ResponseFields& response,
                                            const EditorFields& e, const VariableRectFields& rect,
                                            std::uint16_t schema = 3) {
  return [=](CourseBuilder& b) {
    b.Response("CEditorResponse", schema, icon, response, [&](CourseBuilder& w) {
      w.out().Dword(e.variableId).Dword(e.options).Dword(e.maxLength);
      w.Keyboard(e.previousKey);
      w.Keyboard(e.nextKey);
      w.out().Dword(e.textColour).Dword(e.backColour).Byte(e.prompt).String(e.mask);
      w.Font(e.font);
      w.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
    });
  };
}

}  // namespace tvn::testing
