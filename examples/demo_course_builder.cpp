// Writes the demo course that `scripts/run-demo` plays, and its picture next
// to it: a title page with text and a picture that comes in with a wipe; any
// key clears the page with a transition and shows a variable the task
// changed; any key again ends the program after the last, empty task.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/bmp_writer.h"
#include "tests/support/course_builder.h"
#include "tests/support/packed_file_builder.h"

namespace {

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

constexpr const char* kPictureName = "DEMO.BMP";

// A 96 x 64 picture: a red-to-blue gradient, 24 bits.
std::vector<std::uint8_t> DemoPicture() {
  std::vector<std::vector<std::uint32_t>> rows(64, std::vector<std::uint32_t>(96));
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) {
      const std::uint32_t red = static_cast<std::uint32_t>(255 - x * 255 / 95);
      const std::uint32_t blue = static_cast<std::uint32_t>(x * 255 / 95);
      const std::uint32_t green = static_cast<std::uint32_t>(y * 2);
      rows[y][x] = (red << 16) | (green << 8) | blue;
    }
  }
  tvn::testing::BmpFile f;
  f.width = 96;
  f.height = 64;
  f.pixels = tvn::testing::PackRows(rows, 24);
  return f.Bytes();
}

tvn::testing::DisplayFields At(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::uint8_t variant = 0) {
  tvn::testing::DisplayFields d;
  d.rect = {l, t, r, b};
  d.effect.category = variant ? 1 : 0;
  d.effect.variant = variant;
  d.effect.blockSize = 8;
  d.effect.stepDelay = 10;
  return d;
}

CourseBuilder::Writer Text(const char* name, const char* text, tvn::testing::DisplayFields where, int points) {
  return [=](CourseBuilder& c) {
    tvn::testing::TextFields t;
    t.text = text;
    t.textColour = 0x000000;
    t.font.pointSize = points;
    t.font.weight = 700;
    c.TextAction(IconFields{4, name, "", 3}, t, where);
  };
}

std::vector<std::uint8_t> DemoCourse() {
  tvn::testing::CourseFileFields f;
  f.header = "Demo";
  f.course = IconFields{4, "Demo course", "A first look at the runtime", 3};
  tvn::testing::VariableFields visits;
  visits.name = "Visits";
  visits.flags = 0x400;  // an integer
  f.variables.push_back(visits);
  auto anyKey = [](CourseBuilder& c) {
    tvn::testing::ResponseFields next;
    c.KeyboardResponse(IconFields{4, "Any key goes on", "", 3}, next, tvn::testing::KeyFields{});
  };
  f.tasks.push_back([=](CourseBuilder& b) {
    auto picture = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kPictureName;
      c.GraphicsAction(IconFields{4, "Picture", "", 3}, 1500, 0, image, At(40, 140, 136, 204, 1));
    };
    b.Task(IconFields{4, "Welcome", "Press any key to go on", 3}, 1, {},
           {Text("Title", "Welcome to the demo", At(40, 40, 600, 110), 32), picture,
            Text("Hint", "Press any key", At(40, 230, 600, 270), 14)},
           {anyKey});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto clear = [](CourseBuilder& c) {
      c.AreaAction("CClearAction", IconFields{4, "Clear", "", 3}, tvn::testing::AreaFields{}, At(0, 0, 0, 0, 2));
    };
    auto count = [](CourseBuilder& c) { c.VariableAction(IconFields{4, "Count", "", 3}, "Visits = Visits + 1"); };
    b.Task(IconFields{4, "Variables", "", 3}, 2, {},
           {clear, count, Text("Shown", "Visits: {Visits}", At(40, 40, 600, 110), 28)}, {anyKey});
  });
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "The end", "", 3}, 3, {}, {}, {}); });
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
  // The picture lies in the course's own folder, where its name is looked up.
  std::string folder = argv[1];
  const std::size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  tvn::testing::WriteBytes(folder + kPictureName, DemoPicture());
  return 0;
}
