// The menu-entry service answering Program Manager's commands: parsing, the files of a group, the current group, removal.
#include "platform/sys/program_groups.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/sys/desktop_apps.h"
#include "platform/sys/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tvn::sys::ParseProgmanCommands;
using tvn::sys::ProgramGroupService;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProgmanCommands, ParseQuotedNamesAndRefuseMalformedText) {
  auto parsed = ParseProgmanCommands("[deleteitem(\"Start, now\")] [showgroup(Demo,1)][exitprogman(1)]");
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->size(), 3u);
  EXPECT_EQ((*parsed)[0].name, "deleteitem");
  EXPECT_EQ((*parsed)[0].arguments, std::vector<std::string>{"Start, now"});
  EXPECT_EQ((*parsed)[1].arguments, (std::vector<std::string>{"Demo", "1"}));
  parsed = ParseProgmanCommands("[additem(/p/Tvnrun \"/p/demo.mcl\",\"Start\",/p/Tvnrun,0)]");
  ASSERT_TRUE(parsed);
  EXPECT_EQ((*parsed)[0].arguments, (std::vector<std::string>{"/p/Tvnrun /p/demo.mcl", "Start", "/p/Tvnrun", "0"}));
  EXPECT_EQ((*parsed)[0].written,
            (std::vector<std::string>{"/p/Tvnrun \"/p/demo.mcl\"", "\"Start\"", "/p/Tvnrun", "0"}));
  for (const char* bad : {"[creategroup(Demo)", "creategroup(Demo)", "[creategroup(\"Demo)]", "[(x)]",
                          "[reload(Demo)] trailing", "[a(b)c]"}) {
    EXPECT_FALSE(ParseProgmanCommands(bad)) << bad;
  }
  EXPECT_EQ(tvn::sys::MenuFileName("../My Group/x"), "___My_Group_x");
  EXPECT_EQ(tvn::sys::MenuFileName(""), "_");
}

class ProgramGroupsTest : public ::testing::Test {
 protected:
  tvn::testing::TempDir root;
  tvn::sys::MenuFolders folders{root.path() / "data/applications/tavelon", root.path() / "data/desktop-directories",
                                root.path() / "config/menus/applications-merged"};
  ProgramGroupService service{folders};
};

// An item's program and argument, quoted by the command-line rules into the
// additem command, reach the entry's Exec whole, quoted by the desktop entry
// rules: '"', '`', '$' and '\' escaped by a backslash inside quotes, '%' as
// "%%", then the string escapes, so a literal backslash is "\\\\" and a
// dollar sign "\\$" in the file.
TEST_F(ProgramGroupsTest, ItemPathsReachTheExecLineWholeByTheDesktopEntryRules) {
  struct Row {
    std::string program, argument, exec;
  } rows[] = {
      {"/c/My Courses/Démo Über/Tvnrun", "/c/My Courses/Démo Über/demo.tvn",
       "\"/c/My Courses/Démo Über/Tvnrun\" \"/c/My Courses/Démo Über/demo.tvn\""},
      {"/c/say \"hi\", (now)/Tvnrun", "$HOME `id` 100%",
       "\"/c/say \\\\\"hi\\\\\", (now)/Tvnrun\" \"\\\\$HOME \\\\`id\\\\` 100%%\""},
      {"/c/Tvnrun", "C:\\dir\\", "\"/c/Tvnrun\" \"C:\\\\\\\\dir\\\\\\\\\""},
      {"/c/Tvnrun", "", "\"/c/Tvnrun\""},  // no argument: none on the line
  };
  ASSERT_TRUE(service.Execute("[creategroup(Demo)]"));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const std::string command = "[additem(" + tvn::sys::QuoteCommandLine({rows[i].program, rows[i].argument}) +
                                ",\"Item\"," + tvn::sys::QuoteCommandLine({rows[i].program}) + ",0)]";
    ASSERT_TRUE(service.Execute(command)) << "row " << i;
    const fs::path entry = folders.applications / "Demo" / "Item.desktop";
    const std::string text = Read(entry);
    EXPECT_NE(text.find("\nExec=" + rows[i].exec + "\n"), std::string::npos) << "row " << i << ": " << text;
    EXPECT_EQ(tvn::sys::ProgramOfExec(tvn::sys::DesktopExecLine(text).value_or("")), rows[i].program) << "row " << i;
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
      EXPECT_EQ(std::system(("desktop-file-validate '" + entry.string() + "'").c_str()), 0) << "row " << i;
    }
  }
}

TEST_F(ProgramGroupsTest, AGroupIsAFolderOfEntriesWithItsDirectoryAndMenuFiles) {
  ASSERT_TRUE(service.Open());
  ASSERT_TRUE(service.Execute("[creategroup(Demo)]"));
  ASSERT_TRUE(service.Execute("[additem(/opt/c/Tvnrun \"/opt/c/demo.mcl\",\"Start\",/opt/c/icon.png,0)]"));
  ASSERT_TRUE(service.Execute("[additem(/opt/c/Tvnrun \"\",\"Read me\",/opt/c/Tvnrun,0)][reload(Demo)]"));
  const fs::path entry = folders.applications / "Demo" / "Start.desktop";
  EXPECT_EQ(Read(entry),
            "[Desktop Entry]\nType=Application\nName=Start\nExec=\"/opt/c/Tvnrun\" \"/opt/c/demo.mcl\"\n"
            "Icon=/opt/c/icon.png\nCategories=X-Tavelon-Demo;\n");
  EXPECT_EQ(Read(folders.applications / "Demo" / "Read_me.desktop").find("Icon="), std::string::npos);
  EXPECT_EQ(Read(folders.directories / "tavelon-Demo.directory"), "[Desktop Entry]\nType=Directory\nName=Demo\n");
  const std::string menu = Read(folders.menus / "tavelon-Demo.menu");
  EXPECT_NE(menu.find("<Category>X-Tavelon-Demo</Category>"), std::string::npos);
  EXPECT_EQ(service.Request("Demo").value_or("").substr(0, 15), "\"Demo\",Demo,2\r\n");
  EXPECT_FALSE(service.Request("Other"));

  // Checked by the desktop's own validator where it is installed.
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
    for (const fs::path& file : {entry, folders.directories / "tavelon-Demo.directory"}) {
      EXPECT_EQ(std::system(("desktop-file-validate '" + file.string() + "'").c_str()), 0) << file;
    }
  }

  ASSERT_TRUE(service.Execute("[deleteitem(\"Start\")]"));
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_EQ(service.ItemCount("Demo"), 1);
  std::ofstream(folders.applications / "Demo" / "notes.txt") << "the user's";
  // The user's file keeps the folder, so the group is not wholly gone.
  EXPECT_FALSE(service.Execute("[deletegroup(\"Demo\")]"));
  EXPECT_FALSE(fs::exists(folders.applications / "Demo" / "Read_me.desktop"));
  EXPECT_TRUE(fs::exists(folders.applications / "Demo" / "notes.txt"));  // nothing but entries is removed
  EXPECT_FALSE(fs::exists(folders.directories / "tavelon-Demo.directory"));
  EXPECT_FALSE(fs::exists(folders.menus / "tavelon-Demo.menu"));
}

TEST_F(ProgramGroupsTest, DeleteItemActsOnTheCurrentGroupOnly) {
  ASSERT_TRUE(service.Execute("[creategroup(One)][additem(/x/a,\"Start\",/x/a,0)]"));
  ASSERT_TRUE(service.Execute("[creategroup(Two)][additem(/x/b,\"Start\",/x/b,0)]"));
  EXPECT_EQ(service.ItemCount("One"), 1);
  // Two is current: One's "Start" stays.
  ASSERT_TRUE(service.Execute("[deleteitem(Start)]"));
  EXPECT_EQ(service.ItemCount("One"), 1);
  EXPECT_EQ(service.ItemCount("Two"), 0);
  // Showing a group that does not exist leaves no group current.
  EXPECT_FALSE(service.Execute("[showgroup(Gone,1)][deleteitem(Start)]"));
  EXPECT_EQ(service.ItemCount("One"), 1);
  ASSERT_TRUE(service.Execute("[showgroup(One,1)][deleteitem(Start)]"));
  EXPECT_EQ(service.ItemCount("One"), 0);

  // A link planted where an item file goes is removed itself, never followed.
  tvn::testing::TempDir elsewhere;
  std::ofstream(elsewhere.path() / "keep.desktop") << "kept";
  fs::create_symlink(elsewhere.path() / "keep.desktop", folders.applications / "One" / "Link.desktop");
  ASSERT_TRUE(service.Execute("[deletegroup(One)]"));
  EXPECT_EQ(Read(elsewhere.path() / "keep.desktop"), "kept");
  EXPECT_FALSE(fs::exists(folders.applications / "One"));
}

}  // namespace
