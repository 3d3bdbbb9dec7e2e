// Writes the demo course that `scripts/run-demo` plays: a welcome task that
// waits for any key, then two empty tasks; after the last the program ends.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/course_builder.h"
#include "tests/support/packed_file_builder.h"

namespace {

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

std::vector<std::uint8_t> DemoCourse() {
  tvn::testing::CourseFileFields f;
  f.header = "Demo";
  f.course = IconFields{4, "Demo course", "A first look at the runtime", 3};
  f.tasks.push_back([](CourseBuilder& b) {
    auto anyKey = [](CourseBuilder& c) {
      tvn::testing::ResponseFields next;
      c.KeyboardResponse(IconFields{4, "Any key goes on", "", 3}, next, tvn::testing::KeyFields{});
    };
    b.Task(IconFields{4, "Welcome", "Press any key to go on", 3}, 1, {}, {}, {anyKey});
  });
  for (int t = 2; t <= 3; ++t) {
    f.tasks.push_back([t](CourseBuilder& b) {
      b.Task(IconFields{4, "Step " + std::to_string(t), "", 3}, t, {}, {}, {});
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <course file to write>\n", argv[0]);
    return 2;
  }
  tvn::testing::WriteBytes(argv[1], DemoCourse());
  return 0;
}
