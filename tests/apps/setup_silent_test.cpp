// setup -s as a process: a product written beside a copy of setup installs with no display into a home of its own.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/sys/process.h"
#include "platform/sys/program_groups.h"
#include "setuptools/uninstal/uninstall_app.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/support/scoped_env.h"
#include "tests/support/szdd_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/zip_tool.h"
#include "tests/support/zip_writer.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;

void Write(const fs::path& file, const std::string& bytes, fs::perms mode = fs::perms(0644)) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
  fs::permissions(file, mode);
}
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Szdd(const std::string& data, char missing) {
  tvn::testing::SzddOptions options;
  options.missingChar = missing;
  return tvn::testing::BuildSzdd(data, options);
}
unsigned Mode(const fs::path& file) { return static_cast<unsigned>(fs::status(file).permissions()) & 07777u; }

// A fixed, whole-second time in the past for every source file.
const fs::file_time_type kSourceTime = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
std::int64_t Seconds(fs::file_time_type time) {
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

class SetupSilentRun : public ::testing::Test {
 protected:
  // The command that runs "setup args..." from the distribution folder with
  // HOME in the temporary root and no display (setup copied there first).
  std::vector<std::string> Command(const fs::path& distribution, const std::vector<std::string>& args,
                                   const std::vector<std::string>& environment = {}) {
    fs::copy_file(TVN_SETUP_PROGRAM, distribution / "setup", fs::copy_options::overwrite_existing);
    std::vector<std::string> command = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                        "-u", "XDG_DATA_HOME", "-u", "XDG_CONFIG_HOME",
                                        "HOME=" + home.path().string()};
    command.insert(command.end(), environment.begin(), environment.end());
    command.push_back((distribution / "setup").string());
    command.insert(command.end(), args.begin(), args.end());
    return command;
  }
  // Runs it, 120 s at most; the exit status.
  int Run(const fs::path& distribution, const std::vector<std::string>& args) {
    std::vector<std::string> command = Command(distribution, args);
    command.insert(command.end() - static_cast<std::ptrdiff_t>(args.size()) - 1, {"/usr/bin/timeout", "120"});
    const tvn::sys::ProcessResult result = tvn::sys::RunAndWait("/usr/bin/env", command);
    EXPECT_TRUE(result.started);
    return result.exitCode;
  }
  fs::path Prefix() const { return home.path() / ".local/share/tavelon"; }

  TempDir home, dist;
};

TEST_F(SetupSilentRun, AProductOfEveryKindOfFileInstallsCompletely) {
  const fs::path d = dist.path();
  Write(d / "INSTALL.INF",
        "[dialog]\ncaption = \"Demo Product\"\n"
        "[data]\ndefdir = \"C:\\DEMO\"\nuninstall = TRUE\nrestartwindows = TRUE\n"
        "[disks]\n1 = \"Demo disk\"\n"
        "[default.files]\n"
        "1:PLAIN.TXT, <defdir>\n"
        "1:TOOL, <defdir>bin\\\n"
        "1:README.TX_, <defdir>docs\\\n"
        "1:BIG.D00, <defdir>media\\\n1:BIG.D01, <defdir>media\\\n1:BIG.D02, <defdir>media\\\n"
        "1:PACK.ZIP, <defdir>, , , 2\n"
        "[windows.files]\n1:DEMO.INI, <windir>\n"
        "[system.files]\n1:SHARED.DL_, <sysdir>\n"
        "[custom.dialog]\ncombobox = Samples, checked, SAMPLES, 2500\ncombobox = Extra, , EXTRA, 100\n"
        "[SAMPLES]\n1:SAMPLE.TXT, <defdir>samples\\\n"
        "[EXTRA]\n1:EXTRA.TXT, <defdir>\n"
        "[run.program.after]\n<defsrc>mark.sh, <defdir>MARKER.TXT, WAIT\n");
  Write(d / "PLAIN.TXT", "plain text");
  Write(d / "TOOL", "#!/bin/sh\necho tool\n", fs::perms(0755));
  Write(d / "README.TX_", Szdd("read me first", 'T'));
  const std::string head = std::string("\x07\x00", 2) + "BIG.AVI" + std::string("\x03\x00", 2);
  Write(d / "BIG.D00", head + "one,");
  Write(d / "BIG.D01", "two,");
  Write(d / "BIG.D02", "three");
  Write(d / "PACK.ZIP", tvn::testing::BuildZip({{"sub/", ""}, {"sub/a.txt", "alpha"}, {"b.txt", "beta"}}));
  Write(d / "DEMO.INI", "[demo]\r\n");
  Write(d / "SHARED.DL_", Szdd("shared library", 'L'));
  Write(d / "SAMPLE.TXT", "sample");
  Write(d / "EXTRA.TXT", "extra");
  Write(d / "mark.sh", "#!/bin/sh\nprintf marked > \"$1\"\n", fs::perms(0755));
  for (const auto& entry : fs::directory_iterator(d)) fs::last_write_time(entry.path(), kSourceTime);

  ASSERT_EQ(Run(d, {"-s"}), 0);

  const fs::path product = Prefix() / "drive_c/DEMO";
  struct Installed {
    fs::path file;
    std::string bytes;
    unsigned mode;
    bool sourceTime;  // keeps its source's time; otherwise made during the run
  } files[] = {
      {product / "PLAIN.TXT", "plain text", 0644, true},
      {product / "bin/TOOL", "#!/bin/sh\necho tool\n", 0755, true},
      {product / "docs/README.TXT", "read me first", 0644, true},
      {product / "media/BIG.AVI", "one,two,three", 0644, true},  // the first piece's time
      {product / "sub/a.txt", "alpha", 0644, false},
      {product / "b.txt", "beta", 0644, false},
      {Prefix() / "windows/DEMO.INI", "[demo]\r\n", 0644, true},
      {Prefix() / "windows/system/SHARED.DLL", "shared library", 0644, true},
      {product / "samples/SAMPLE.TXT", "sample", 0644, true},
      {product / "MARKER.TXT", "marked", 0644, false},
  };
  for (const Installed& f : files) {
    ASSERT_TRUE(fs::exists(f.file)) << f.file;
    EXPECT_EQ(Read(f.file), f.bytes) << f.file;
    EXPECT_EQ(Mode(f.file) & 0755u, f.mode) << f.file;
    const std::int64_t age = Seconds(fs::file_time_type::clock::now()) - Seconds(fs::last_write_time(f.file));
    if (f.sourceTime) EXPECT_EQ(Seconds(fs::last_write_time(f.file)), Seconds(kSourceTime)) << f.file;
    else EXPECT_LT(age, 3600) << f.file;
  }
  // Nothing else: no pieces, no archive, no unchecked component.
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(product)) count += entry.is_regular_file();
  EXPECT_EQ(count, 8 + 1);  // and UNINSTAL.INF
  EXPECT_FALSE(fs::exists(product / "EXTRA.TXT"));

  const std::string p = product.string();
  EXPECT_EQ(Read(product / "UNINSTAL.INF"),
            "[dialog]\r\n\tcaption = \"'Demo Product' Uninstaller\"\r\n"
            "\ttext1 = \"The 'Demo Product' installation will be removed from your hard disk.\"\r\n\r\n"
            "[default.files]\r\n\"" + p + "/PLAIN.TXT\"\r\n\"" + p + "/bin/TOOL\"\r\n\"" + p + "/docs/README.TXT\"\r\n\"" +
                // The pieces are listed as they are installed, before they are joined.
                p + "/media/BIG.D00\"\r\n\"" + p + "/media/BIG.D01\"\r\n\"" + p + "/media/BIG.D02\"\r\n\"" +
                p + "/sub/a.txt\"\r\n\"" + p + "/b.txt\"\r\n\"" + p + "/samples/SAMPLE.TXT\"\r\n\"" + p +
                "/media/BIG.AVI\"\r\n\"" + p + "/UNINSTAL.INF\"\r\n\r\n"
            "[default.directory]\r\n\"" + p + "\"\r\n\r\n"
            "[created.directories]\r\n\"" + p + "/samples\"\r\n\"" + p + "/sub\"\r\n\"" + p + "/media\"\r\n\"" + p +
                "/docs\"\r\n\"" + p + "/bin\"\r\n\"" + p + "\"\r\n\"" + Prefix().string() + "/drive_c\"\r\n\"" +
                // The folders of a new home, made at the start.
                Prefix().string() + "/windows/system\"\r\n\"" + Prefix().string() + "/windows\"\r\n\"" +
                Prefix().string() + "\"\r\n");
  // The restart question, taken as OK (nothing restarts), then how the run ended.
  EXPECT_EQ(Read(d / "setup.log"),
            "Setup needs to Restart Windows before this application will run.\n\nPress OK to Restart Windows or Cancel to "
            "return to Windows.\nApplication installation complete.\n");
}

TEST_F(SetupSilentRun, ASwitchAndAFolderAreReadApart) {
  TempDir cd;
  Write(dist / "INSTALL.INF", "[data]\ndefdir = \"C:\\DEMO\"\n[default.files]\n1:PLAIN.TXT, <defdir>\n");
  Write(cd / "PLAIN.TXT", "plain");
  EXPECT_EQ(Run(dist.path(), {"-s", cd.path().string()}), 0);
  EXPECT_EQ(Read(Prefix() / "drive_c/DEMO/PLAIN.TXT"), "plain");
  EXPECT_EQ(Read(dist / "setup.log"), "Application installation complete.\n");
}

// A typed folder with blanks and letters beyond ASCII, whose parent setup
// makes: a run that fails (too little room), then one that completes. The
// log tells the second run's end, the menu entry names the installed program
// and course each whole, and UNINSTAL.INF names the parent it made.
TEST_F(SetupSilentRun, AFolderWithBlanksGetsAWorkingMenuEntryAndALogOfItsOwnRun) {
  TempDir target;
  const fs::path product = target / "My Courses" / "Démo Über";
  const std::string script = "[data]\ndefdir = \"" + (target / "My Courses").string() + "/D\xe9mo \xdc" "ber\"\n"
                             "uninstall = TRUE\n[default.files]\n1:Tvnrun, <defdir>\n1:demo.tvn, <defdir>\n"
                             "[progman.groups]\nDemo\n[Demo]\nStart, <defdir>Tvnrun, <defdir>demo.tvn\n";
  Write(dist / "INSTALL.INF", script + "[disk.space]\nminspace = 99999999999999999999\n");
  Write(dist / "Tvnrun", "#!/bin/sh\n", fs::perms(0755));
  Write(dist / "demo.tvn", "course");
  EXPECT_EQ(Run(dist.path(), {"-s"}), 1);
  EXPECT_NE(Read(dist / "setup.log").find("Incomplete Installation!"), std::string::npos) << Read(dist / "setup.log");
  Write(dist / "INSTALL.INF", script);
  ASSERT_EQ(Run(dist.path(), {"-s"}), 0) << Read(dist / "setup.log");
  EXPECT_EQ(Read(dist / "setup.log"), "Application installation complete.\n");

  const fs::path entry = home / ".local/share/applications/tavelon/Demo/Start.desktop";
  EXPECT_NE(Read(entry).find("\nExec=\"" + (product / "Tvnrun").string() + "\" \"" + (product / "demo.tvn").string() +
                             "\"\n"),
            std::string::npos)
      << Read(entry);
  if (tvn::sys::ResolveProgram("desktop-file-validate")) {
    EXPECT_EQ(tvn::sys::RunAndWait("/usr/bin/env", {"desktop-file-validate", entry.string()}).exitCode, 0);
  }
  EXPECT_NE(Read(product / "UNINSTAL.INF")
                .find("[created.directories]\r\n\"" + product.string() + "\"\r\n\"" + (target / "My Courses").string() +
                      "\"\r\n"),
            std::string::npos)
      << Read(product / "UNINSTAL.INF");
}

TEST_F(SetupSilentRun, ASplitSetNamingItsOwnPieceIsKeptLoggedAndTheRunIsIncomplete) {
  Write(dist / "INSTALL.INF",
        "[data]\ndefdir = \"C:\\DEMO\"\n[default.files]\n1:P.D00, <defdir>\n1:P.D01, <defdir>\n");
  const std::string first = std::string("\x05\x00", 2) + "P.D00" + std::string("\x02\x00", 2) + "first-half-";
  Write(dist / "P.D00", first);
  Write(dist / "P.D01", "second-half");
  EXPECT_NE(Run(dist.path(), {"-s"}), 0);
  const fs::path product = Prefix() / "drive_c/DEMO";
  EXPECT_EQ(Read(product / "P.D00"), first);
  EXPECT_EQ(Read(product / "P.D01"), "second-half");
  EXPECT_NE(Read(dist / "setup.log").find((product / "P.D00").string()), std::string::npos) << Read(dist / "setup.log");
}

// zip -s 64k of a random file, a text and a folder with a file, all parts in one folder, installs the same files
// and UNINSTAL.INF lines as the same files zipped whole.
TEST_F(SetupSilentRun, ASplitArchiveInstallsAsTheWholeArchiveDoes) {
  if (!tvn::testing::HaveZipTool()) GTEST_SKIP() << "zip is not installed";
  TempDir work;
  std::mt19937 random(37);
  std::string noise(150 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  Write(work / "random.bin", noise);
  Write(work / "text.txt", "a line of text\n");
  Write(work / "folder/inner.txt", "inside the folder\n");
  const std::vector<std::string> names = {"random.bin", "text.txt", "folder"};
  std::vector<std::string> whole = {"-r", "whole/PACK.zip"}, split = {"-s", "64k", "-r", "split/PACK.zip"};
  whole.insert(whole.end(), names.begin(), names.end());
  split.insert(split.end(), names.begin(), names.end());
  fs::create_directories(work / "whole");
  fs::create_directories(work / "split");
  ASSERT_TRUE(tvn::testing::RunZipTool(work.path(), whole));
  ASSERT_TRUE(tvn::testing::RunZipTool(work.path(), split));
  ASSERT_TRUE(fs::exists(work / "split/PACK.z02"));

  struct Installed {
    std::map<std::string, std::string> files;  // path under the product: bytes
    std::string uninstallLog;
  };
  auto install = [&](const fs::path& archiveFolder) {
    fs::remove_all(home / ".local");
    TempDir disk;
    Write(disk / "INSTALL.INF", "[data]\ndefdir = \"C:\\DEMO\"\nuninstall = TRUE\n[default.files]\n1:PACK.zip, <defdir>, , , 4\n");
    for (const auto& part : fs::directory_iterator(archiveFolder)) fs::copy_file(part.path(), disk / part.path().filename());
    EXPECT_EQ(Run(disk.path(), {"-s"}), 0) << Read(disk / "setup.log");
    Installed out;
    const fs::path product = Prefix() / "drive_c/DEMO";
    for (const auto& item : fs::recursive_directory_iterator(product)) {
      if (item.is_regular_file()) out.files[item.path().lexically_relative(product).string()] = Read(item.path());
    }
    out.uninstallLog = out.files["UNINSTAL.INF"];
    return out;
  };
  const Installed fromSplit = install(work / "split");
  const Installed fromWhole = install(work / "whole");
  EXPECT_EQ(fromSplit.files.size(), 4u);  // three files and UNINSTAL.INF
  EXPECT_EQ(fromSplit.files.at("random.bin"), noise);
  EXPECT_EQ(fromSplit.files.at("folder/inner.txt"), "inside the folder\n");
  EXPECT_TRUE(fromSplit.files == fromWhole.files);
  EXPECT_NE(fromSplit.uninstallLog.find("/DEMO/folder/inner.txt\"\r\n"), std::string::npos) << fromSplit.uninstallLog;
  EXPECT_NE(fromSplit.uninstallLog.find("/DEMO/folder\"\r\n"), std::string::npos) << fromSplit.uninstallLog;
}

TEST_F(SetupSilentRun, TheExampleDistributionInstallsTheDemoCourseAndTvnrunPlaysIt) {
  fs::copy(TVN_DISTRIBUTION_DIR, dist.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  ASSERT_EQ(Run(dist.path(), {"-s"}), 0);
  const fs::path product = Prefix() / "drive_c/TAVELON/DEMO";
  // The course, its media and the programs other than the two that run from the medium.
  int installed = 0;
  for (const auto& entry : fs::directory_iterator(dist.path())) {
    const std::string name = entry.path().filename().string();
    if (name == "setup" || name == "autorun" || name == "INSTALL.INF" || name == "setup.log") continue;
    EXPECT_EQ(Read(product / name), Read(entry.path())) << name;
    ++installed;
  }
  for (const char* media : {"DEMO.BMP", "STAR.BMP", "SPINNER.BMP", "BADGE.PNG", "NARRATE.WAV", "TITLE.FLC"}) {
    EXPECT_TRUE(fs::exists(dist / media)) << media;
  }
  EXPECT_GE(installed, 9);
  EXPECT_EQ(Mode(product / "Tvnrun") & 0111u, 0111u);
  EXPECT_TRUE(fs::exists(product / "UNINSTAL.INF"));
  EXPECT_EQ(Mode(product / "uninstal") & 0111u, 0111u);
  EXPECT_FALSE(fs::exists(product / "autorun"));  // it runs from the medium
  // The script's one menu entry, in the menu folder of its group.
  const fs::path menu = home.path() / ".local/share/applications/tavelon/Tavelon";
  ASSERT_TRUE(fs::is_directory(menu));
  EXPECT_EQ(std::distance(fs::directory_iterator(menu), fs::directory_iterator()), 1);
  // The installed runtime plays the installed course until it is stopped (timeout's 124), off-screen.
  const tvn::sys::ProcessResult played = tvn::sys::RunAndWait(
      "/usr/bin/env", {"HOME=" + home.path().string(), "QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy",
                       "/usr/bin/timeout", "5", (product / "Tvnrun").string(), (product / "demo.tvn").string()});
  EXPECT_EQ(played.exitCode, 124);
}

// The staged copies ".~NAME.XXXXXX" below folder (of files whose name starts with the text given).
std::vector<std::string> StagedCopies(const fs::path& folder, const std::string& name = {}) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(".~" + name, 0) == 0) found.push_back(it->path().string());
  }
  return found;
}

// A silent run from a slow medium ended by the session's end (SIGTERM) or killed outright while it copies a large
// file: UNINSTAL.INF lists what is in place and the file in hand leaves nothing behind (killed, its hidden copy stays
// until the next run); a second run completes over it, and uninstal then takes away everything setup put there.
TEST_F(SetupSilentRun, ARunEndedWhileCopyingListsWhatIsInPlaceAndTheNextRunCompletes) {
  const std::string big(8 << 20, 'B');
  Write(dist / "INSTALL.INF",
        "[dialog]\ncaption = \"Slow Demo\"\n[data]\ndefdir = \"C:\\SLOW\"\nuninstall = TRUE\n"
        "[default.files]\n1:SMALL.TXT, <defdir>docs\\\n1:BIG.DAT, <defdir>\n1:AFTER.TXT, <defdir>\n"
        "[progman.groups]\nSlow\n[Slow]\nGuide, <defdir>docs/SMALL.TXT\n");
  Write(dist / "SMALL.TXT", "small");
  Write(dist / "BIG.DAT", big);
  Write(dist / "AFTER.TXT", "after");
  const fs::path product = Prefix() / "drive_c/SLOW";
  const std::string p = product.string();
  // The in-process uninstal finds the same folders as setup.
  tvn::testing::ScopedEnv homeForUninstal("HOME", home.path().string());
  tvn::testing::ScopedEnv dataHome("XDG_DATA_HOME", (home / ".local/share").string());
  tvn::testing::ScopedEnv configHome("XDG_CONFIG_HOME", (home / ".config").string());
  const fs::path menuEntry = tvn::sys::GetMenuFolders().applications / "Slow" / "Guide.desktop";
  for (const int signal : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGKILL");
    fs::remove_all(home / ".local");
    // 2 MiB a second: four seconds for the large file.
    const tvn::sys::StartResult started =
        tvn::sys::StartProgram("/usr/bin/env", Command(dist.path(), {"-s"}, {"TVN_TEST_SOURCE_RATE=2097152"}));
    ASSERT_NE(started.process, 0);
    std::optional<int> status;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!(status = tvn::sys::PollProcess(started.process)) && std::chrono::steady_clock::now() < deadline &&
           StagedCopies(product, "BIG.DAT.").empty()) {
      ::usleep(10000);
    }
    ASSERT_FALSE(status) << "setup ended before it copied the large file";
    ::kill(started.process, signal);
    while (!(status = tvn::sys::PollProcess(started.process)) && std::chrono::steady_clock::now() < deadline) {
      ::usleep(10000);
    }
    if (!status) {
      ::kill(started.process, SIGKILL);
      tvn::sys::WaitForProcess(started.process);
      FAIL() << "setup did not end";
    }
    const std::string listed = Read(product / "UNINSTAL.INF");
    const std::size_t files = listed.find("[default.files]");
    ASSERT_NE(files, std::string::npos) << listed;
    EXPECT_FALSE(fs::exists(product / "BIG.DAT"));
    if (signal == SIGTERM) {
      EXPECT_EQ(*status, 1);  // an incomplete installation
      EXPECT_EQ(StagedCopies(product), std::vector<std::string>{});
      EXPECT_EQ(listed.substr(files, listed.find("[default.directory]") - files),
                "[default.files]\r\n\"" + p + "/docs/SMALL.TXT\"\r\n\"" + p + "/UNINSTAL.INF\"\r\n\r\n");
      EXPECT_NE(listed.find("[created.directories]\r\n\"" + p + "/docs\"\r\n\"" + p + "\"\r\n"), std::string::npos)
          << listed;
    } else {
      // The lines logged so far are in the file; the hidden copy in hand stays for the next run.
      EXPECT_EQ(listed.substr(files), "[default.files]\r\n\"" + p + "/docs/SMALL.TXT\"\r\n");
      EXPECT_EQ(StagedCopies(product).size(), 1u);
    }

    ASSERT_EQ(Run(dist.path(), {"-s"}), 0) << Read(dist / "setup.log");
    EXPECT_EQ(StagedCopies(product), std::vector<std::string>{});
    EXPECT_EQ(Read(product / "BIG.DAT"), big);
    if (signal != SIGTERM) continue;
    // After the logout's run and the one that completed, uninstal leaves no folder either of them made.
    ASSERT_TRUE(fs::exists(menuEntry)) << menuEntry;
    struct Yes : IUninstallQuestion {
      bool Confirm(const CString&, const CString&) override { return true; }
    } yes;
    tvn::testing::ScriptedBoxes boxes;
    boxes.answers = std::vector<int>(10, IDYES);
    CHostRemovalFileSystem removal;
    CMenuEntryTransport menu;
    CUninstallApp uninstal({boxes, yes, removal, menu}, product, {});
    uninstal.InitInstance();
    EXPECT_FALSE(fs::exists(product)) << (fs::exists(product / "docs") ? "docs stayed" : "");
    EXPECT_FALSE(fs::exists(menuEntry));
  }
}

}  // namespace
