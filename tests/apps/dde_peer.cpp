// Another program talking to Tvnrun's DDE service, for the process tests: it writes the test's courses and sends commands.
//   dde_peer write <folder>                       first.tvn (waits for a key), second.tvn and the waiting courses
//   dde_peer send <seconds> [--after <file>] <command>...
//                                                 each command acknowledged, or exit 1; with --after the
//                                                 commands go once the file exists (the conversation is open
//                                                 before; it says whether it opened before the file came)
//
// The waiting courses write "inloop.txt" beside themselves right before a wait
// that runs the program's loop inside a task step, "after.txt" once that wait
// is over, and "next.txt" when the task after it begins, 2 s later. move.tvn
// waits for a 15 s move, effect.tvn for a 15 s transition; finish.tvn goes on
// from its first task after 6 s, and its second task, which has no responses,
// holds the program for 5 s (a started program waited for) before the task's
// end pumps the messages that came meanwhile.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/dde/dde_transport.h"
#include "tests/support/course_builder.h"

using namespace tvn::testing;

namespace {

using Writers = std::vector<CourseBuilder::Writer>;

void WriteCourse(const std::string& file, const std::vector<std::pair<Writers, Writers>>& tasks) {
  CourseFileFields f;
  std::int32_t number = 0;
  for (const auto& [actions, responses] : tasks) {
    ++number;
    f.tasks.push_back([number, actions, responses](CourseBuilder& b) {
      b.Task(IconFields{4, "Task " + std::to_string(number), "", 3}, number, {}, actions, responses);
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  const auto& bytes = b.bytes();
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

CourseBuilder::Writer WaitForKey() {
  return [](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "key", "", 3}, {}, {}); };
}

CourseBuilder::Writer Mark(const char* name) {
  return [name](CourseBuilder& c) { c.WriteAction(IconFields{}, 0x05, name, "x"); };
}

CourseBuilder::Writer Box(std::uint8_t effectVariant, std::uint8_t stepDelay) {
  return [=](CourseBuilder& c) {
    ShapeFields box;
    box.flags = 0x04;
    box.brushStyle = 0;
    box.brushColour = 0x0000C8;
    DisplayFields at;
    at.rect = {10, 10, 410, 50};
    at.effect.category = effectVariant ? 1 : 0;
    at.effect.variant = effectVariant;
    at.effect.blockSize = 2;
    at.effect.stepDelay = stepDelay;
    c.ShapeAction(IconFields{4, "box", "", 3}, box, at);
  };
}

void WriteWaitingCourses(const std::string& folder) {
  MoveFields move;
  move.flags = 0x1 | 0x100000;  // waits, once
  move.objectName = "box";
  move.time = 1500;
  move.path.points = {{30, 30}, {400, 30}};
  const CourseBuilder::Writer moveAction = [move](CourseBuilder& c) {
    c.MoveAction(IconFields{4, "move", "", 3}, move, DisplayFields{});
  };
  const CourseBuilder::Writer twoSeconds = [](CourseBuilder& c) {
    c.TimeResponse(IconFields{4, "time", "", 3}, ResponseFields{}, 20);
  };
  const std::pair<Writers, Writers> next = {{Mark("next.txt")}, {WaitForKey()}};
  WriteCourse(folder + "/move.tvn",
              {{{Box(0, 0), Mark("inloop.txt"), moveAction, Mark("after.txt")}, {twoSeconds}}, next});
  // A wipe of 200 steps of 2 pixels, 75 ms each.
  WriteCourse(folder + "/effect.tvn", {{{Mark("inloop.txt"), Box(1, 75), Mark("after.txt")}, {twoSeconds}}, next});
  const CourseBuilder::Writer sixSeconds = [](CourseBuilder& c) {
    c.TimeResponse(IconFields{4, "time", "", 3}, ResponseFields{}, 60);
  };
  const CourseBuilder::Writer fiveSecondProgram = [](CourseBuilder& c) {
    c.RunAction(IconFields{}, "/bin/sleep", "5", 0x10 | 0x02);
  };
  WriteCourse(folder + "/finish.tvn", {{{}, {sixSeconds}}, {{Mark("inloop.txt"), fiveSecondProgram}, {}}, next});
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "write") {
    WriteCourse(std::string(argv[2]) + "/first.tvn", {{{}, {WaitForKey()}}});
    WriteCourse(std::string(argv[2]) + "/second.tvn", {{{}, {}}});
    WriteWaitingCourses(argv[2]);
    return 0;
  }
  if (mode != "send" || argc < 4) {
    std::fprintf(stderr, "usage: dde_peer write <folder> | send <seconds> [--after <file>] <command>...\n");
    return 2;
  }
  // The runtime may take long to start and to answer on a loaded machine:
  // connect until the deadline, and wait for each answer as long.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[2]));
  std::unique_ptr<tvn::dde::Conversation> conversation;
  while (!(conversation = tvn::dde::Conversation::Connect("Tavelon", "system", 60 * 1000))) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "dde_peer: no Tavelon service\n");
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  int first = 3;
  if (argc > 4 && std::string(argv[3]) == "--after") {
    const std::filesystem::path marker = argv[4];
    first = 5;
    // Whether the conversation was open before the file came: a program that
    // pumps no messages meanwhile could not have opened it.
    std::printf("connected %s %s\n", std::filesystem::exists(marker) ? "after" : "before", argv[4]);
    std::fflush(stdout);
    while (!std::filesystem::exists(marker)) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "dde_peer: no %s\n", argv[4]);
        return 1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  for (int i = first; i < argc; ++i) {
    if (!conversation->Execute(std::string(argv[i]) + '\0', 1)) {
      std::fprintf(stderr, "dde_peer: \"%s\" was not acknowledged\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
