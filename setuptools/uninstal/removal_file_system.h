// IRemovalFileSystem: the removals of uninstal (the host's files in the program, a recording one in tests and fuzzing).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class IRemovalFileSystem {
 public:
  virtual ~IRemovalFileSystem() = default;
  // Removes a file, or a symbolic link itself (never what it points to);
  // 0 when removed, else the file-exception cause (a folder is accessDenied).
  virtual int RemoveFile(const std::filesystem::path& file) = 0;
  // Removes an empty real folder; false for a link, a full folder or a failure.
  virtual bool RemoveDirectory(const std::filesystem::path& folder) = 0;
  // The names of the entries directly in a real folder (none through a link).
  virtual std::vector<std::string> ListDirectory(const std::filesystem::path& folder) = 0;
  // Whether anything (a link too) stands at the path.
  virtual bool Exists(const std::filesystem::path& path) = 0;
  // Takes the desktop's association of the document type away when it opens
  // files with one of the programs (files just removed); true when it did.
  virtual bool RemoveFileType(std::string_view typeId, const std::vector<std::filesystem::path>& programs) = 0;
};

// The host's file system.
class CHostRemovalFileSystem : public IRemovalFileSystem {
 public:
  int RemoveFile(const std::filesystem::path& file) override;
  bool RemoveDirectory(const std::filesystem::path& folder) override;
  std::vector<std::string> ListDirectory(const std::filesystem::path& folder) override;
  bool Exists(const std::filesystem::path& path) override;
  // In the user's data folder.
  bool RemoveFileType(std::string_view typeId, const std::vector<std::filesystem::path>& programs) override;
};
