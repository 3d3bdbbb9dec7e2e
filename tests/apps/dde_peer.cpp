// Another program talking to Tvnrun's DDE service, for the process tests: it writes the test's courses and sends commands.
//   dde_peer write <folder>                       first.tvn (waits for a key), second.tvn and the waiting courses
//   dde_peer send <seconds> [--after|--take <file>] <command>...
//                                                 each command acknowledged, or exit 1; with --after the
//                                                 commands go once the file exists (the conversation is open
//                                                 before; it says whether it opened before the file came),
//                                                 with --take the file is removed before they go
//   dde_peer request <seconds> --after <file> <item>
//                                                 one request once the file exists; prints how many
//                                                 milliseconds the answer (data or refusal) took
//
// The waiting courses write "inloop.txt" beside themselves right before a wait
// that runs the program's loop inside a task step; once that wait is over a
// run action starts a program that writes "started.txt" and then "after.txt"
// is written; "next.txt" when the task after it begins, 2 s later. move.tvn
// waits for a 30 s move, effect.tvn for a 30 s transition; finish.tvn goes on
// from its first task after 6 s, and its second task, which has no responses,
// holds the program for 5 s (a started program waited for) before the task's
// end pumps the messages that came meanwhile. endless.tvn waits for a move
// that never ends and box.tvn for a box nobody answers; sound.tvn waits for
// a 30 s sound ("tone30.wav", written beside it) and then writes "clicked.txt"
// for a click on its page; film.tvn waits for the film "film.avi" beside it
// (made by the test). nested.tvn waits for a move that never ends, during
// which a time event's task waits for the sound (the wait it marks).
// other.tvn writes "other.txt" in its first task and waits for a key.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/dde/dde_transport.h"
#include "tests/support/course_builder.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

using Writers = std::vector<CourseBuilder::Writer>;

void WriteBytes(const std::string& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

struct TaskWriters {
  Writers actions;
  Writers responses;
  Writers events;
};

void WriteCourse(const std::string& file, const std::vector<TaskWriters>& tasks) {
  CourseFileFields f;
  std::int32_t number = 0;
  for (const auto& [actions, responses, events] : tasks) {
    ++number;
    f.tasks.push_back([number, actions, responses, events](CourseBuilder& b) {
      b.Task(IconFields{4, "Task " + std::to_string(number), "", 3}, number, events, actions, responses);
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  WriteBytes(file, b.bytes());
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

CourseBuilder::Writer Mci(const std::string& script) {
  return [script](CourseBuilder& c) { c.MciAction(IconFields{}, script); };
}

// What the task does once its wait is over: a program started, then a file written.
Writers AfterTheWait(const std::string& folder) {
  return {[folder](CourseBuilder& c) { c.RunAction(IconFields{}, "/usr/bin/touch", folder + "/started.txt", 0x10); },
          Mark("after.txt")};
}

Writers Join(Writers first, const Writers& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

void WriteWaitingCourses(const std::string& folder) {
  MoveFields move;
  move.flags = 0x1 | 0x100000;  // waits, once
  move.objectName = "box";
  move.time = 3000;
  move.path.points = {{30, 30}, {400, 30}};
  const CourseBuilder::Writer moveAction = [move](CourseBuilder& c) {
    c.MoveAction(IconFields{4, "move", "", 3}, move, DisplayFields{});
  };
  const CourseBuilder::Writer twoSeconds = [](CourseBuilder& c) {
    c.TimeResponse(IconFields{4, "time", "", 3}, ResponseFields{}, 20);
  };
  const TaskWriters next = {{Mark("next.txt")}, {WaitForKey()}};
  const Writers after = AfterTheWait(folder);
  WriteCourse(folder + "/move.tvn", {{Join({Box(0, 0), Mark("inloop.txt"), moveAction}, after), {twoSeconds}}, next});
  // A wipe of 200 steps of 2 pixels, 150 ms each.
  WriteCourse(folder + "/effect.tvn", {{Join({Mark("inloop.txt"), Box(1, 150)}, after), {twoSeconds}}, next});
  const CourseBuilder::Writer sixSeconds = [](CourseBuilder& c) {
    c.TimeResponse(IconFields{4, "time", "", 3}, ResponseFields{}, 60);
  };
  const CourseBuilder::Writer fiveSecondProgram = [](CourseBuilder& c) {
    c.RunAction(IconFields{}, "/bin/sleep", "5", 0x10 | 0x02);
  };
  WriteCourse(folder + "/finish.tvn", {{{}, {sixSeconds}}, {{Mark("inloop.txt"), fiveSecondProgram}, {}}, next});

  MoveFields looping = move;
  looping.flags = 0x1;  // waits, and repeats for ever
  looping.path.points = {{30, 30}, {400, 30}, {30, 30}};
  const CourseBuilder::Writer endlessMove = [looping](CourseBuilder& c) {
    c.MoveAction(IconFields{4, "move", "", 3}, looping, DisplayFields{});
  };
  WriteCourse(folder + "/endless.tvn",
              {{Join({Box(0, 0), Mark("inloop.txt"), endlessMove}, after), {twoSeconds}}, next});
  // A call into a library that is not there shows a box.
  DllFields missing;
  missing.library = "NOPE.DLL";
  missing.function = "Nothing";
  const CourseBuilder::Writer box = [missing](CourseBuilder& c) { c.DllAction(IconFields{}, missing); };
  WriteCourse(folder + "/box.tvn", {{Join({Mark("inloop.txt"), box}, after), {twoSeconds}}, next});

  WriteBytes(folder + "/tone30.wav", ToneWav(30000, 8000, 1));
  ResponseFields clicked;
  clicked.outcomeFlags = 32;  // stays
  clicked.actions = {Mark("clicked.txt")};
  const CourseBuilder::Writer click = [clicked](CourseBuilder& c) {
    c.MouseResponse(IconFields{4, "click", "", 3}, clicked, 0x1 | 0x10);
  };
  const CourseBuilder::Writer soundWait = Mci("open \"" + folder + "/tone30.wav\" alias n\r\nplay n wait");
  WriteCourse(folder + "/sound.tvn", {{Join({Mark("inloop.txt"), soundWait}, after), {click}}});
  WriteCourse(folder + "/film.tvn",
              {{Join({Mark("inloop.txt"), Mci("open \"" + folder + "/film.avi\" type avivideo alias v\r\nplay v wait")},
                     after),
                {twoSeconds}},
               next});
  // The time event's task becomes current inside the move's wait and runs there.
  const CourseBuilder::Writer inOneSecond = [](CourseBuilder& c) {
    c.TimeEvent(IconFields{4, "soon", "", 3}, EventFields{1, ""}, 1);
  };
  WriteCourse(folder + "/nested.tvn", {{Join({Box(0, 0), endlessMove}, after), {twoSeconds}},
                                       {Join({Mark("inloop.txt"), soundWait}, after), {twoSeconds}, {inOneSecond}},
                                       next});
  WriteCourse(folder + "/other.tvn", {{{Mark("other.txt")}, {WaitForKey()}}});
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
  if ((mode != "send" && mode != "request") || argc < 4) {
    std::fprintf(stderr,
                 "usage: dde_peer write <folder> | send <seconds> [--after|--take <file>] <command>... | "
                 "request <seconds> --after <file> <item>\n");
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
  const std::string option = argc > 4 ? argv[3] : "";
  if (option == "--after" || option == "--take") {
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
    if (option == "--take") std::filesystem::remove(marker);
  }
  if (mode == "request") {
    if (first >= argc) return 2;
    const auto asked = std::chrono::steady_clock::now();
    conversation->Request(argv[first], 1);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    std::printf("answered in %lld ms\n", static_cast<long long>(took.count()));
    return 0;
  }
  for (int i = first; i < argc; ++i) {
    if (!conversation->Execute(std::string(argv[i]) + '\0', 1)) {
      std::fprintf(stderr, "dde_peer: \"%s\" was not acknowledged\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
