// The application object: start-up with and without a file, packed data
// files, the optional libraries, the program directory and the owned courses.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "model/course_doc.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/dde/dde_transport.h"
#include "platform/sys/program_module.h"
#include "playback/app_resources.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"
#include "tests/playback/app_test_support.h"
#include "tests/page/page_test_support.h"
#include "platform/user/qt_cursor.h"
#include "tests/support/course_builder.h"
#include "tests/support/cursor_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using tvn::testing::CourseBuilder;
using tvn::testing::CourseFileFields;
using tvn::testing::EmptyTaskCourse;
using tvn::testing::IconFields;
using tvn::testing::PlayerAppTest;
using tvn::testing::WriteBytes;

CString Text(const std::filesystem::path& path) { return CString(path.string()); }

TEST_F(PlayerAppTest, WithoutAFileTheFrameAsksForACourseAndCancellingEndsTheProgram) {
  CPlayerApp& player = MakeApp();
  ASSERT_TRUE(player.InitInstance());
  ASSERT_NE(player.GetPresentationFrame(), nullptr);
  ASSERT_NE(player.GetPresentationView(), nullptr);
  ASSERT_NE(player.GetPresentationDoc(), nullptr);
  EXPECT_FALSE(player.m_pMainWnd->IsWindowVisible());

  MSG first;
  ASSERT_TRUE(player.PeekMessage(first, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(first.hwnd, player.GetPresentationFrame()->GetSafeHwnd());
  EXPECT_EQ(first.message, WM_COMMAND);
  EXPECT_EQ(first.wParam, AppCommand::kOpenCourse);

  EXPECT_EQ(RunToEnd(), 0);
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(player.m_pMainWnd, nullptr);
  EXPECT_EQ(player.GetPresentationFrame(), nullptr);
  EXPECT_EQ(player.GetPresentationView(), nullptr);
}

TEST_F(PlayerAppTest, ACourseChosenInTheDialogPlaysToItsEnd) {
  WriteBytes(dir / "chosen.tvn", EmptyTaskCourse(2));
  CPlayerApp& player = MakeApp();
  ASSERT_TRUE(player.InitInstance());
  dialogs->fileAnswers.push_back(Text(dir / "chosen.tvn"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(PlayerAppTest, ACourseOnTheCommandLinePlaysFromItsDirectoryAndEndsTheProgram) {
  std::filesystem::create_directory(dir / "Course");
  WriteBytes(dir / "Course" / "intro.tvn", EmptyTaskCourse(3));
  CPlayerApp& player = MakeApp({Text(dir / "Course" / "intro.tvn")});
  ASSERT_TRUE(player.InitInstance());

  CCourseDoc* course = player.GetCurrentCourse();
  ASSERT_NE(course, nullptr);
  EXPECT_FALSE(player.DataFile().IsOpen());
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path() / "Course"));
  EXPECT_TRUE(player.GetPresentationView()->IsRunning());
  EXPECT_TRUE(player.GetPresentationFrame()->IsWindowVisible());
  EXPECT_FALSE(player.m_pMainWnd->IsWindowVisible());
  EXPECT_EQ(player.FindDocument(Text(dir / "course" / "INTRO.tvn")), course);
  EXPECT_TRUE(player.IsOpenDocument(course));

  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_TRUE(dialogs->fileDialogs.empty());
}

TEST_F(PlayerAppTest, APackedDataFileOpensItsInnerCourseByItsBareName) {
  std::filesystem::create_directory(dir / "disk");
  tvn::testing::PackedFileBuilder()
      .Add("other.tvn", EmptyTaskCourse(1))
      .Add("PACK.TVD", EmptyTaskCourse(1, true))
      .WriteTo(dir / "disk" / "PACK.TVD");
  CPlayerApp& player = MakeApp({Text(dir / "disk" / "PACK.TVD")});
  ASSERT_TRUE(player.InitInstance());

  EXPECT_TRUE(player.DataFile().IsOpen());
  CCourseDoc* course = player.GetCurrentCourse();
  ASSERT_NE(course, nullptr);
  EXPECT_TRUE(course->IsFromDataFile());
  EXPECT_EQ(course->GetPathName(), "PACK.TVD");
  EXPECT_EQ(player.FindDocument("pack.tvd"), course);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path() / "disk"));

  // The first task waits for a key; any key finishes it and the course.
  EXPECT_EQ(RunUntilQuiet(), std::nullopt) << "a waiting task keeps the program alive";
  player.GetPresentationView()->SendMessage(WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(RunToEnd(), 0);
}

TEST_F(PlayerAppTest, CursorFilesLoadOnceFromThePackedDataFileOrTheDisk) {
  std::filesystem::create_directory(dir / "disk");
  tvn::testing::PackedFileBuilder()
      .Add("PACK.TVD", EmptyTaskCourse(1, true))
      .Add("inside.cur", tvn::testing::CursorFileBytes(3, 4))
      .WriteTo(dir / "disk" / "PACK.TVD");
  const std::vector<std::uint8_t> onDisk = tvn::testing::CursorFileBytes(9, 2);
  WriteBytes(dir / "disk" / "beside.cur", onDisk);
  WriteBytes(dir / "disk" / "broken.cur", {0, 0, 2, 0, 1});
  CPlayerApp& player = MakeApp({Text(dir / "disk" / "PACK.TVD")});
  ASSERT_TRUE(player.InitInstance());

  HCURSOR inside = player.GetCursor("inside.cur");
  ASSERT_NE(inside, nullptr) << "a cursor inside the packed data file";
  EXPECT_EQ(QtCursorFor(inside).hotSpot(), QPoint(3, 4)) << "the hot spot as stored";
  EXPECT_EQ(player.GetCursor("INSIDE.CUR"), inside) << "read once";
  HCURSOR beside = player.GetCursor("beside.cur");
  ASSERT_NE(beside, nullptr);
  EXPECT_EQ(QtCursorFor(beside).hotSpot(), QPoint(9, 2));
  EXPECT_EQ(player.GetCursor("broken.cur"), nullptr);
  EXPECT_EQ(player.GetCursor("missing.cur"), nullptr);
  EXPECT_EQ(player.GetCursor(""), nullptr);
  player.GetPresentationView()->SendMessage(WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(RunToEnd(), 0);
}

TEST_F(PlayerAppTest, TheCoursesBudgetVariableSizesThePreloadCache) {
  WriteBytes(dir / "budget.tvn", EmptyTaskCourse(1, true));
  WriteBytes(dir / "a.wav", std::vector<std::uint8_t>(3000, 'a'));
  WriteBytes(dir / "b.wav", std::vector<std::uint8_t>(3000, 'b'));
  CPlayerApp& player = MakeApp({Text(dir / "budget.tvn")});
  ASSERT_TRUE(player.InitInstance());
  CVariable* budget = FindVariable(player.Variables(), "PreloadBufferSize");
  ASSERT_NE(budget, nullptr);
  EXPECT_EQ(budget->GetLong(), CPreloadCache::kDefaultBudget);

  CPreloadCache& cache = player.PreloadCache();
  cache.AddObject(Text(dir / "a.wav"), TRUE);
  budget->SetLong(4000);  // as a preload action sets it
  cache.AddObject(Text(dir / "b.wav"), TRUE);
  EXPECT_EQ(cache.GetEntryCount(), 1) << "the older file made room";
  EXPECT_EQ(cache.GetUsed(), 3000);
  player.GetPresentationView()->SendMessage(WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(RunToEnd(), 0);
}

TEST_F(PlayerAppTest, AFileThatIsNoCourseSaysSoAndAsksForAnother) {
  struct Row {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"one byte", {'m'}},
      {"the mark and part of the signature", {0, 0, 0, 0, 'm', 'c'}},
      {"text", {'n', 'o', 't', ' ', 'a', ' ', 'c', 'o', 'u', 'r', 's', 'e'}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::filesystem::path file = dir / "broken.tvn";
    WriteBytes(file, row.bytes);
    CPlayerApp& player = MakeApp({Text(file)});
    ASSERT_TRUE(player.InitInstance());
    EXPECT_FALSE(player.DataFile().IsOpen());
    EXPECT_EQ(player.GetCurrentCourse(), nullptr);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text.str(), "'" + file.string() + "' is not a valid Velostra file.");
    MSG first;
    ASSERT_TRUE(player.PeekMessage(first, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(first.wParam, AppCommand::kOpenCourse);
    EXPECT_EQ(RunToEnd(), 0);
    app.reset();
  }
}

TEST_F(PlayerAppTest, EmbeddingEndsStartUpBeforeAnyFileIsOpened) {
  WriteBytes(dir / "intro.tvn", EmptyTaskCourse(1));
  CPlayerApp& player = MakeApp({"-Embedding", Text(dir / "intro.tvn")});
  ASSERT_TRUE(player.InitInstance());
  EXPECT_EQ(player.GetCurrentCourse(), nullptr);
  EXPECT_NE(player.GetPresentationDoc(), nullptr);
  EXPECT_EQ(RunUntilQuiet(), std::nullopt) << "it waits to be driven";
  // What start-up read of the screen: true colour, no palette, 96 pixels per inch.
  EXPECT_EQ(player.GetColourDepth(), 32);
  EXPECT_EQ(player.GetPaletteSize(), 0);
  EXPECT_EQ(player.GetLogPixelsX(), 96);
  EXPECT_EQ(player.GetOptionalDlls(), OptionalDll::kPhotoCd | OptionalDll::kAlwaysSet)
      << "no library is found in the test: only the program's own Photo CD reader";
  EXPECT_TRUE(dialogs->fileDialogs.empty());
}

TEST_F(PlayerAppTest, IdleTimeAnimatesThePageOnlyWhileTheViewRunsAndAnObjectWantsMore) {
  CPlayerApp& player = MakeApp({"-Automation"});
  ASSERT_TRUE(player.InitInstance());
  CPresentationView* view = player.GetPresentationView();
  tvn::testing::CColourOwner owner("spinner", 1, CRect(0, 0, 10, 10), RGB(255, 0, 0));
  owner.wantsMore = TRUE;
  ASSERT_NE(view->AddObject(&owner, 0), nullptr);

  EXPECT_FALSE(player.OnIdle(0)) << "a page that does not run is not animated";
  EXPECT_EQ(owner.steps, 0);

  view->SetRunning(true);
  EXPECT_TRUE(player.OnIdle(0));
  EXPECT_TRUE(player.OnMessagePumped(MSG{}));
  EXPECT_EQ(owner.steps, 2);
  owner.wantsMore = FALSE;
  EXPECT_FALSE(player.OnIdle(1)) << "the loop may sleep once nothing wants time";
  view->SetRunning(false);
  view->RemoveObject(&owner, TRUE);
}

TEST_F(PlayerAppTest, OptionalLibrariesFollowWhatIsFound) {
  CPlayerApp& player = MakeApp();
  player.GetProgramDirectory("/opt/tvn/Tvnrun");
  std::vector<std::string> asked;
  bool exported = false;
  std::filesystem::path exportAsked;
  player.SetLibraryProbe({[&](const std::string& name) -> std::optional<std::filesystem::path> {
                            asked.push_back(name);
                            if (name == "ODBCTK.DLL" || name == "DZIP32.DLL") return "/lib/" + name;
                            return std::nullopt;
                          },
                          [&](const std::filesystem::path& library, const std::string& symbol) {
                            exportAsked = library;
                            return exported && symbol == "ODBCToolKit";
                          }});
  player.DetectOptionalDlls();
  EXPECT_EQ(player.GetOptionalDlls(), OptionalDll::kZip | OptionalDll::kPhotoCd | OptionalDll::kAlwaysSet)
      << "the program's own Photo CD reader is always there";
  EXPECT_EQ(asked.size(), 7u);
  EXPECT_EQ(exportAsked, std::filesystem::path("/opt/tvn/ODBCTK.DLL")) << "the copy beside the program decides";

  exported = true;
  player.DetectOptionalDlls();
  EXPECT_EQ(player.GetOptionalDlls(),
            OptionalDll::kZip | OptionalDll::kOdbc | OptionalDll::kPhotoCd | OptionalDll::kAlwaysSet);
}

TEST_F(PlayerAppTest, TheSimulatorIsFoundBesideTheProgramByItsMappedName) {
  CPlayerApp& player = MakeApp();
  tvn::testing::TempDir dir;
  std::ofstream(dir / "librmqsim.so") << "";
  player.GetProgramDirectory(CString((dir / "Tvnrun").string()));
  player.SetLibraryProbe({[](const std::string&) { return std::nullopt; },
                          [](const std::filesystem::path&, const std::string&) { return false; }});
  player.DetectOptionalDlls();
  EXPECT_EQ(player.GetOptionalDlls(), OptionalDll::kSimulator | OptionalDll::kPhotoCd | OptionalDll::kAlwaysSet);
  EXPECT_TRUE(player.IsSimulatorPresent());
  // No course is current: no simulator asks for a task.
  EXPECT_EQ(player.GetSimulatorTarget(), 0);
}

TEST_F(PlayerAppTest, TheFractalDecoderAndPhotoCdToolkitAreFoundBesideTheProgramAndReachPictures) {
  CPlayerApp& player = MakeApp();
  tvn::testing::TempDir dir;
  std::ofstream(dir / "FIFDECO.so") << "";
  std::ofstream(dir / "libpcdlib32.so") << "";
  player.GetProgramDirectory(CString((dir / "Tvnrun").string()));
  std::vector<std::string> asked;
  player.SetLibraryProbe({[&](const std::string& name) -> std::optional<std::filesystem::path> {
                            asked.push_back(name);
                            return std::nullopt;
                          },
                          [](const std::filesystem::path&, const std::string&) { return false; }});
  player.DetectOptionalDlls();
  EXPECT_EQ(player.GetOptionalDlls(), OptionalDll::kFractal | OptionalDll::kPhotoCd | OptionalDll::kAlwaysSet);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "FIFDECO.DLL"), 0) << "found by its mapped name";
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "PCDLIB32.DLL"), 0);
  EXPECT_EQ(player.GetOptionalLibraries(), player.GetOptionalDlls());
  EXPECT_NE(player.GetFractalDecoder(), nullptr);
  EXPECT_NE(player.GetPhotoCdToolkit(), nullptr);
}

TEST(ProgramPaths, DirectoryKeepsOneSeparatorAndBareNamesCutAtTheLastOne) {
  EXPECT_EQ(ProgramDirectoryOf("/Tvnrun"), "/");
  EXPECT_EQ(ProgramDirectoryOf("/usr/lib/tvn/Tvnrun"), "/usr/lib/tvn/");
  EXPECT_EQ(ProgramDirectoryOf("C:\\TVNRUN.EXE"), "C:\\");
  EXPECT_EQ(ProgramDirectoryOf("Tvnrun"), "");

  EXPECT_EQ(BareFileName("C:\\DISK\\PACK.TVD"), "PACK.TVD");
  EXPECT_EQ(BareFileName("/media/cd/pack.tvd"), "pack.tvd");
  EXPECT_EQ(BareFileName("A:PACK.TVD"), "PACK.TVD");
  EXPECT_EQ(BareFileName("PACK.TVD"), "PACK.TVD");
  EXPECT_EQ(BareFileName("C:\\DISK/x\\PACK.TVD"), "PACK.TVD") << "a backslash wins over a later slash";
}

TEST(ProgramPaths, AHostPathOnTheCommandLineIsAFileNotASwitch) {
  CCommandLineInfo info = CWinApp::ParseCommandLine({"/Embedding", "/media/cd/intro.tvn", "/Automation"});
  EXPECT_TRUE(info.m_bRunEmbedded);
  EXPECT_TRUE(info.m_bRunAutomated);
  EXPECT_EQ(info.m_strFileName, "/media/cd/intro.tvn");
  EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
}

TEST(ProgramModule, CurrentDirectoryTakesWindowsNamesWithoutRegardToCase) {
  tvn::testing::TempDir dir;
  std::filesystem::create_directory(dir / "Media");
  const auto saved = std::filesystem::current_path();
  CString upper = CString(dir.path().string()) + "\\MEDIA";
  EXPECT_TRUE(tvn::sys::SetCurrentDirectory(upper));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir / "Media"));
  EXPECT_FALSE(tvn::sys::SetCurrentDirectory(CString(dir.path().string()) + "/missing"));
  EXPECT_FALSE(tvn::sys::SetCurrentDirectory(""));
  std::filesystem::current_path(saved);
  EXPECT_FALSE(tvn::sys::ModuleFileName().IsEmpty());
  EXPECT_FALSE(tvn::sys::LibraryExports(dir / "none.so", "anything"));
}

}  // namespace

namespace {

// Another program's side of the runtime's DDE service.
bool SendCommand(const std::string& command) {
  auto peer = tvn::dde::Conversation::Connect("tavelon", "SYSTEM", 60 * 1000);
  return peer && peer->Execute(command + '\0', 1);
}

}  // namespace

TEST_F(PlayerAppTest, OtherProgramsOpenStartCloseAndQuitThroughTheDdeService) {
  WriteBytes(dir / "first.tvn", EmptyTaskCourse(1, true));
  WriteBytes(dir / "Second.tvn", EmptyTaskCourse(1));
  CPlayerApp& player = MakeApp({Text(dir / "first.tvn")});
  ASSERT_TRUE(player.InitInstance());
  ASSERT_NE(player.GetDdeClient(), nullptr);
  CCourseDoc* first = player.GetCurrentCourse();
  ASSERT_NE(first, nullptr);
  const std::string second = (dir / "Second.tvn").string();

  // Acknowledged at once; the course opens when the loop runs the command,
  // found whatever the case of its name.
  ASSERT_TRUE(SendCommand("[Open(" + (dir / "SECOND.TVN").string() + ")]"));
  EXPECT_EQ(player.FindDocument(Text(second)), nullptr);
  EXPECT_FALSE(RunUntilQuiet());
  CCourseDoc* opened = player.FindDocument(Text(second));
  ASSERT_NE(opened, nullptr);
  // Opening it again, and starting a path no course has, change nothing.
  player.SetCurrentCourse(first);
  ASSERT_TRUE(SendCommand("open(" + second + ")"));
  ASSERT_TRUE(SendCommand("start(" + (dir / "none.tvn").string() + ")"));
  EXPECT_FALSE(RunUntilQuiet());
  EXPECT_EQ(player.FindDocument(Text(second)), opened);
  EXPECT_EQ(player.GetCurrentCourse(), first);

  ASSERT_TRUE(SendCommand("[close(" + second + ")]"));
  EXPECT_FALSE(RunUntilQuiet());
  EXPECT_EQ(player.FindDocument(Text(second)), nullptr);
  EXPECT_EQ(player.GetCurrentCourse(), first);

  ASSERT_TRUE(SendCommand("quit"));
  EXPECT_FALSE(RunUntilQuiet());
  ASSERT_TRUE(SendCommand("[quit()]"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(PlayerAppTest, StartOverTheDdeServiceRunsTheNamedOpenCourseFromItsFirstTask) {
  WriteBytes(dir / "first.tvn", EmptyTaskCourse(1, true));
  // The second course's task waits for a menu command of the number the
  // view's commands once used for the start; choosing it ends the course.
  constexpr std::uint16_t kMenuCommand = 32782;
  CourseFileFields second;
  second.tasks = {[](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {},
           {[](CourseBuilder& c) { c.MenuResponse(IconFields{4, "menu", "", 3}, {}, "Restart", kMenuCommand); }});
  }};
  CourseBuilder built;
  built.CourseFile(second);
  WriteBytes(dir / "second.tvn", built.bytes());
  CPlayerApp& player = MakeApp({Text(dir / "first.tvn")});
  ASSERT_TRUE(player.InitInstance());
  CCourseDoc* first = player.GetCurrentCourse();
  const std::string secondPath = (dir / "second.tvn").string();
  ASSERT_TRUE(SendCommand("[open(" + secondPath + ")]"));
  EXPECT_FALSE(RunUntilQuiet());
  CCourseDoc* opened = player.FindDocument(Text(secondPath));
  ASSERT_NE(opened, nullptr);
  ASSERT_EQ(player.GetCurrentCourse(), first);

  // The tasks run from here on, with the course they belong to.
  std::vector<std::pair<CCourseDoc*, int>> runs;
  player.GetPresentationView()->SetStepListener([&](UINT message, int task) {
    if (message == ViewMessage::kRunTask) runs.emplace_back(player.GetCurrentCourse(), task);
  });
  // A menu command that no response takes does not restart the course.
  player.GetPresentationView()->PostMessage(WM_COMMAND, kMenuCommand, 0);
  EXPECT_FALSE(RunUntilQuiet());
  EXPECT_TRUE(runs.empty());

  ASSERT_TRUE(SendCommand("[start(" + secondPath + ")]"));
  EXPECT_FALSE(RunUntilQuiet());
  EXPECT_EQ(runs, (std::vector<std::pair<CCourseDoc*, int>>{{opened, 1}}));
  EXPECT_EQ(player.GetCurrentCourse(), opened);
  // Started again while its menu response waits: the start is no menu command.
  ASSERT_TRUE(SendCommand("[start(" + secondPath + ")]"));
  EXPECT_FALSE(RunUntilQuiet()) << "the menu response took the start and ended the course";
  EXPECT_EQ(runs, (std::vector<std::pair<CCourseDoc*, int>>{{opened, 1}, {opened, 1}}));

  ASSERT_TRUE(SendCommand("[quit()]"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_TRUE(dialogs->boxes.empty());
}
