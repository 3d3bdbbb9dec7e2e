// Fuzzes UNINSTAL.INF into uninstal's removals on a recording file system: any
// removal outside the roots, of a folder that always stays, or through a ".."
// fails; only an empty folder's removal may also take a folder every
// installation shares or a parent of the product folder that holds neither
// the home folder nor the prefix. "@P" in the input stands for the product
// folder the log lies in.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "platform/user/message_box_types.h"
#include "setuptools/uninstal/uninstall_app.h"

namespace {

namespace fs = std::filesystem;

struct Boxes : IMessageBoxes {
  int Show(const CString&, const CString&, UINT) override { return IDYES; }
};
struct Yes : IUninstallQuestion {
  bool Confirm(const CString&, const CString&) override { return true; }
};
struct Progman : IProgmanTransport {
  bool Initialize() override { return true; }
  bool Connect() override { return true; }
  void Execute(std::string_view) override {}
  std::optional<std::string> Request(std::string_view item) override { return "\"" + std::string(item) + "\",x,0"; }
  void Disconnect() override {}
};

const fs::path& Home();

struct Checked : IRemovalFileSystem {
  explicit Checked(const CUninstallApp& app) : app(app) {}
  void Check(const fs::path& path) const {
    for (const auto& part : path) {
      if (part == "..") std::abort();
    }
    bool inside = false;
    for (const fs::path& root : app.Roots()) {
      const auto rel = path.lexically_relative(root);
      inside = inside || (!rel.empty() && *rel.begin() != "..");
    }
    const auto locations = tvn::sys::GetWindowsLocations();
    for (const fs::path& kept : {locations.prefix, locations.driveRoot, locations.windowsDir, locations.systemDir}) {
      if (path == kept) std::abort();
    }
    if (!inside || !path.is_absolute()) std::abort();
  }
  // Folders go only when empty, so also those every installation shares and
  // parents of the product folder, but never / or one holding the home folder.
  void CheckFolder(const fs::path& folder) const {
    const auto locations = tvn::sys::GetWindowsLocations();
    for (const fs::path& shared : {locations.prefix, locations.driveRoot, locations.windowsDir, locations.systemDir}) {
      if (folder == shared) return;
    }
    const fs::path product = app.LogPath().parent_path();
    const auto below = product.lexically_relative(folder);
    const auto home = Home().lexically_relative(folder);
    const bool holdsHome = !home.empty() && *home.begin() != "..";
    if (folder.has_relative_path() && !below.empty() && *below.begin() != ".." && !holdsHome) {
      for (const auto& part : folder) {
        if (part == "..") std::abort();
      }
      return;
    }
    Check(folder);
  }
  int RemoveFile(const fs::path& file) override { return Check(file), 0; }
  bool RemoveDirectory(const fs::path& folder) override { return CheckFolder(folder), false; }
  std::vector<std::string> ListDirectory(const fs::path& folder) override {
    Check(folder);
    return {"a", "..", ".", "b/../../c", ""};
  }
  bool Exists(const fs::path&) override { return true; }
  bool RemoveFileType(std::string_view, const std::vector<fs::path>& programs) override {
    for (const fs::path& program : programs) Check(program);
    return false;
  }
  const CUninstallApp& app;
};

// A home of its own for the whole run, so the roots lie in a folder nobody
// uses; it goes when the run ends.
struct FuzzHome {
  FuzzHome() {
    std::random_device random;
    folder = fs::temp_directory_path() / ("tvn-uninstal-fuzz-" + std::to_string(random()));
    fs::create_directories(folder / "product");
    ::setenv("HOME", folder.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
  }
  ~FuzzHome() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  fs::path folder;
};

const fs::path& Home() {
  static const FuzzHome home;
  return home.folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path product = Home() / "product";
  std::string text(reinterpret_cast<const char*>(data), size);
  for (std::size_t at = text.find("@P"); at != std::string::npos; at = text.find("@P", at + 1)) {
    text.replace(at, 2, product.string());
  }
  const fs::path log = product / "UNINSTAL.INF";
  std::ofstream(log, std::ios::binary | std::ios::trunc) << text;
  Boxes boxes;
  Yes yes;
  Progman progman;
  // The file system is made after the app so it can read the app's roots.
  struct Late : IRemovalFileSystem {
    Checked* inner = nullptr;
    int RemoveFile(const fs::path& f) override { return inner->RemoveFile(f); }
    bool RemoveDirectory(const fs::path& f) override { return inner->RemoveDirectory(f); }
    std::vector<std::string> ListDirectory(const fs::path& f) override { return inner->ListDirectory(f); }
    bool Exists(const fs::path& f) override { return inner->Exists(f); }
    bool RemoveFileType(std::string_view id, const std::vector<fs::path>& p) override {
      return inner->RemoveFileType(id, p);
    }
  } late;
  CUninstallApp app({boxes, yes, late, progman}, product, {log.string()});
  Checked checked(app);
  late.inner = &checked;
  app.InitInstance();
  return 0;
}
