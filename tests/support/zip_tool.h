// Debian's Info-ZIP zip run at test time, for archives split across disks as that program writes them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sys/process.h"

namespace tvn::testing {

inline const std::filesystem::path kZipTool = "/usr/bin/zip";

inline bool HaveZipTool() {
  std::error_code ec;
  return std::filesystem::exists(kZipTool, ec);
}

// "zip -q args..." with folder as the working directory; true when it succeeded.
inline bool RunZipTool(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> command = {"-C", folder.string(), kZipTool.string(), "-q"};
  command.insert(command.end(), args.begin(), args.end());
  const tvn::sys::ProcessResult result = tvn::sys::RunAndWait("/usr/bin/env", command);
  return result.started && result.exitCode == 0;
}

}  // namespace tvn::testing
