// Another program talking to Tvnrun's DDE service, for the process test: it writes the test's courses and sends commands.
//   dde_peer write <folder>                       first.tvn (waits for a key) and second.tvn
//   dde_peer send <seconds> <command>...          each command acknowledged, or exit 1
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "platform/dde/dde_transport.h"
#include "tests/support/course_builder.h"

using namespace tvn::testing;

namespace {

void WriteCourse(const std::string& file, bool waitForKey) {
  CourseFileFields f;
  f.tasks.push_back([waitForKey](CourseBuilder& b) {
    std::vector<CourseBuilder::Writer> responses;
    if (waitForKey) responses.push_back([](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "key", "", 3}, {}, {}); });
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {}, responses);
  });
  CourseBuilder b;
  b.CourseFile(f);
  const auto& bytes = b.bytes();
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "write") {
    WriteCourse(std::string(argv[2]) + "/first.tvn", true);
    WriteCourse(std::string(argv[2]) + "/second.tvn", false);
    return 0;
  }
  if (mode != "send" || argc < 4) {
    std::fprintf(stderr, "usage: dde_peer write <folder> | send <seconds> <command>...\n");
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
  for (int i = 3; i < argc; ++i) {
    if (!conversation->Execute(std::string(argv[i]) + '\0', 1)) {
      std::fprintf(stderr, "dde_peer: \"%s\" was not acknowledged\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
