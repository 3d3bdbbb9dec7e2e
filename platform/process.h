// Starting an outside program, waiting for its end or not.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tvn::sys {

struct ProcessResult {
  bool started = false;  // false: the program could not be started (error holds errno)
  int error = 0;
  // The exit status the program ended with (0 to 255: the host keeps the
  // low 8 bits of what the program passed to exit); -1 when a signal ended it.
  int exitCode = -1;
};

// Starts the program with the given arguments (argv[0] is the program's own
// path), inheriting the caller's open handles and environment, and waits
// without a time limit for it to end.
ProcessResult RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// Starts the program the same way without waiting: started and error say
// whether it runs; a helper thread reaps it when it ends.
ProcessResult StartProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace tvn::sys
