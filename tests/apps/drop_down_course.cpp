// Writes the course of the drop-down test: task 1 puts a drop-down list
// (SMALL, MEDIUM, LARGE, chosen by "LA") bound to the variable Size in
// (60,90,280,250), a bordered rich-text editor and a Done button on the page;
// task 2 writes Size into the result file and the course ends.
//   drop_down_course <course file> <result file>
#include <cstdio>
#include <fstream>
#include <string>

#include "model/variable.h"
#include "tests/support/course_builder.h"

using namespace tvn::testing;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: drop_down_course <course file> <result file>\n");
    return 2;
  }
  const std::string result = argv[2];
  CourseFileFields f;
  VariableFields size;
  size.name = "Size";
  size.flags = 0x100;  // a string
  f.variables = {size};
  f.tasks.push_back([](CourseBuilder& b) {
    auto list = [](CourseBuilder& c) {
      ListBoxFields l;
      l.variableId = static_cast<std::uint32_t>(CVariable::ComputeId("Size"));
      l.options = 0x2;
      l.items = "SMALL\r\nMEDIUM\r\nLARGE";
      l.selection = "LA";
      c.ListBoxResponse(IconFields{4, "size", "", 3}, ResponseFields{}, l, {60, 90, 280, 250});
    };
    auto editor = [](CourseBuilder& c) {
      RtfEditorFields e;
      e.flags = 0x14;  // opaque, border
      e.backColour = 0xB4FAFF;  // (255, 250, 180)
      c.RtfEditorResponse(IconFields{4, "notes", "", 3}, ResponseFields{}, e, {320, 90, 560, 200});
    };
    auto done = [](CourseBuilder& c) {
      ButtonFields button;
      button.caption = "Done";
      ResponseFields next;
      next.outcomeFlags = 1;
      c.PushButtonResponse(IconFields{4, "Done", "", 3}, next, button, {60, 300, 200, 340});
    };
    b.Task(IconFields{4, "Choose", "", 3}, 1, {}, {}, {list, editor, done});
  });
  f.tasks.push_back([result](CourseBuilder& b) {
    auto write = [result](CourseBuilder& c) { c.WriteAction(IconFields{}, 0x05, result, "{Size}"); };
    b.Task(IconFields{4, "Store", "", 3}, 2, {}, {write}, {});
  });
  CourseBuilder b;
  b.CourseFile(f);
  const auto& bytes = b.bytes();
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
