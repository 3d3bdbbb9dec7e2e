// Opening course files: name rules, header checks, every failure's message, backups, conversion and packed courses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "model/archive.h"
#include "model/course_doc.h"
#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using tvn::testing::CourseBuilder;
using tvn::testing::CourseFileFields;
using tvn::testing::FakeCourseHost;
using tvn::testing::IconFields;
using tvn::testing::PackedFileBuilder;
using tvn::testing::TempDir;
using tvn::testing::WriteBytes;

namespace {

namespace fs = std::filesystem;

CString Text(const fs::path& p) { return tvn::path::HostPathToText(p); }

CourseBuilder::Writer PlainTask(const std::string& name, int number) {
  return [=](CourseBuilder& b) { b.Task(IconFields{4, name, "", 3}, number, {}, {}, {}); };
}

// A task whose action list holds an object of a class no program knows.
CourseBuilder::Writer UnknownClassTask() {
  return [](CourseBuilder& b) {
    b.Task(IconFields{4, "bad", "", 3}, 9, {},
           {[](CourseBuilder& c) {
             c.out().NewObject("CNoSuchAction", 2);
             c.IconPart(IconFields{});
           }},
           {});
  };
}

CourseFileFields TwoTasks() {
  CourseFileFields f;
  f.flags = 0x21;
  f.header = "made by hand";
  f.course.name = "My Course";
  tvn::testing::VariableFields score;
  score.name = "Score";
  f.variables = {score};
  f.searchPaths = {"media\\"};
  f.tasks = {PlainTask("one", 1), PlainTask("two", 2)};
  f.packaging.texts[0] = "packed";
  f.fonts = {{"Fancy", "Regular", "fancy.ttf", {'F', 'a', 'n', 'c', 'y', '|', 'R', 'e', 'g', 'u', 'l', 'a', 'r'}}};
  return f;
}

std::vector<std::uint8_t> CourseBytes(CourseFileFields f, int version = 5) {
  f.version = static_cast<std::uint32_t>(version);
  CourseBuilder b(version);
  b.CourseFile(f);
  return b.bytes();
}

struct CourseLoaderTest : ::testing::Test {
  TempDir dir;
  FakeCourseHost host;
  CCourseDoc doc{host};

  CString Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(dir / name, bytes);
    return Text(dir / name);
  }
  void ExpectEmpty() {
    EXPECT_EQ(doc.Tasks().GetCount(), 0);
    EXPECT_EQ(doc.GetCurrentTask(), nullptr);
    EXPECT_TRUE(doc.GetCourseDirectory().IsEmpty());
    EXPECT_EQ(doc.CourseVariables().FindByName("Score"), nullptr);
    EXPECT_EQ(doc.Fonts().GetCount(), 0);
    EXPECT_EQ(host.opening, nullptr);
  }
};

// Restores the working folder a test changed.
struct CurrentFolder {
  explicit CurrentFolder(const fs::path& folder) : saved(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() { fs::current_path(saved); }
  fs::path saved;
};

TEST_F(CourseLoaderTest, EveryVersionLoadsTheWholeSequence) {
  for (int version : {3, 4, 5}) {
    SCOPED_TRACE(version);
    FakeCourseHost freshHost;
    CCourseDoc course(freshHost);
    CString path = Write("course" + std::to_string(version) + ".mcl", CourseBytes(TwoTasks(), version));
    ASSERT_TRUE(course.OnOpenDocument(path));
    EXPECT_TRUE(freshHost.sink.boxes.empty());
    EXPECT_EQ(course.GetFileVersion(), version);
    EXPECT_EQ(course.GetLoadState(), CCourseDoc::kHeaderAccepted);
    EXPECT_EQ(course.GetHeaderFlags(), 0x21);
    EXPECT_EQ(course.GetHeaderString(), "made by hand");
    EXPECT_EQ(course.CourseObject().GetName(), "My Course");
    ASSERT_NE(course.CourseVariables().FindByName("Score"), nullptr);
    ASSERT_EQ(course.Tasks().GetCount(), 2);
    EXPECT_EQ(course.GetCurrentTask(), course.Tasks().GetHead());
    for (const auto& task : course.Tasks()) {
      EXPECT_EQ(task->GetParent(), &course.CourseObject());
      EXPECT_EQ(task->GetServices(), &course);
    }
    EXPECT_EQ(course.Packaging().m_strText[0], "packed");
    EXPECT_EQ(course.Fonts().GetCount(), 1);
    EXPECT_EQ(freshHost.registry.UsersOf("Fancy", "Regular"), 1);
    EXPECT_EQ(course.GetCourseDirectory(), Text(dir.path()).MakeUpper() + "/");
    EXPECT_EQ(freshHost.opening, &course);
    EXPECT_FALSE(course.IsModified());
  }
}

TEST_F(CourseLoaderTest, HeaderFailuresShowTheirMessageWithThePathAsOpened) {
  struct Row {
    const char* what;
    std::uint32_t wideMark;
    const char* signature;
    int version;
    UINT message;
  };
  const Row rows[] = {
      {"wrong signature", 0, "xyz", 5, StringId::kNotACourse},
      {"newer version", 0, "mcl", 6, StringId::kNewerVersion},
      {"older version", 0, "mcl", 2, StringId::kOldVersion},
      {"wide characters", 1, "mcl", 5, StringId::kWideCourse},
      {"wide mark before a bad signature", 1, "abc", 5, StringId::kNotACourse},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeCourseHost freshHost;
    CCourseDoc course(freshHost);
    CourseFileFields f = TwoTasks();
    f.wideMark = row.wideMark;
    f.signature = row.signature;
    f.version = static_cast<std::uint32_t>(row.version);
    CourseBuilder b(5);
    b.CourseFile(f);
    CString path = Write("bad.mcl", b.bytes());
    EXPECT_FALSE(course.OnOpenDocument(path));
    ASSERT_EQ(freshHost.BoxTexts().size(), 1u);
    EXPECT_EQ(freshHost.BoxTexts()[0], FormatStringId1(row.message, path).str());
    EXPECT_EQ(freshHost.sink.beeps.size(), 1u);
    EXPECT_EQ(course.Tasks().GetCount(), 0);
    EXPECT_TRUE(course.GetCourseDirectory().IsEmpty());
    EXPECT_EQ(freshHost.opening, nullptr);
    // A header that is refused leaves no backup to offer.
    EXPECT_EQ(course.GetLoadState(), CCourseDoc::kNothingRead);
  }
}

TEST_F(CourseLoaderTest, ReadersLookUpVariablesOfTheCourseBeingRead) {
  // An older response names its target task through the course variable "TaskTag".
  tvn::testing::ResponseFields old;
  old.schema = 2;
  old.targets = {static_cast<std::int32_t>(0xFFFE)};
  CourseFileFields f = TwoTasks();
  tvn::testing::VariableFields tag;
  tag.name = "TaskTag";
  f.variables.push_back(tag);
  f.tasks = {[&](CourseBuilder& b) {
    b.Task(IconFields{4, "t", "", 3}, 1, {}, {},
           {[&](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "r", "", 3}, old, tvn::testing::KeyFields{}); }});
  }};
  ASSERT_TRUE(doc.OnOpenDocument(Write("tag.mcl", CourseBytes(f))));
  CIconObject* response = doc.Tasks().GetHead()->GetResponses()->GetChild(0);
  ASSERT_NE(response, nullptr);
  EXPECT_EQ(response->GetBranchTarget(0), CVariable::ComputeId("TaskTag"));
}

TEST_F(CourseLoaderTest, EachFailureIsReportedWithItsOwnPrompt) {
  const CString path = "C:\\COURSE\\lesson.mcl";
  const std::string failed = "Failed to open C:\\COURSE\\lesson.mcl.";
  struct Row {
    const char* what;
    std::shared_ptr<std::exception> error;
    BOOL saving;
    std::string expected;  // empty: nothing is shown
  };
  const Row rows[] = {
      {"course message", std::make_shared<CFileException>(StringId::kNewerVersion), FALSE,
       "'C:\\COURSE\\lesson.mcl' was created for a newer version of Velostra."},
      {"silent", std::make_shared<CUserException>(), FALSE, ""},
      {"bad schema", std::make_shared<CArchiveException>(CArchiveException::badSchema), FALSE,
       "Unexpected file format."},
      {"bad index", std::make_shared<CArchiveException>(CArchiveException::badIndex), FALSE,
       "Unexpected file format."},
      {"other archive cause", std::make_shared<CArchiveException>(CArchiveException::genericException), FALSE,
       failed},
      {"read sharing", std::make_shared<CFileException>(CFileException::accessDenied), FALSE,
       "Unable to read from C:\\COURSE\\lesson.mcl, it is opened by someone else."},
      {"write sharing", std::make_shared<CFileException>(CFileException::accessDenied), TRUE,
       "Unable to write to C:\\COURSE\\lesson.mcl, it is read-only or opened by someone else."},
      {"disk full", std::make_shared<CFileException>(CFileException::diskFull), TRUE,
       "Destination disk drive is full."},
      {"the exception's own file", std::make_shared<CFileException>(CFileException::fileNotFound, -1, "x.bmp"),
       FALSE, "x.bmp\nCannot find this file.\nPlease verify that the correct path and file name are given."},
      {"memory", std::make_shared<CMemoryException>(), FALSE, failed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    host.sink.boxes.clear();
    doc.ReportSaveLoadException(path, row.error.get(), row.saving, StringId::kFailedToOpen);
    if (row.expected.empty()) {
      EXPECT_TRUE(host.sink.boxes.empty());
    } else {
      ASSERT_EQ(host.BoxTexts().size(), 1u);
      EXPECT_EQ(host.BoxTexts()[0], row.expected);
    }
  }
  // The default prompt names at most 260 characters of the path.
  host.sink.boxes.clear();
  CString longPath(std::string(300, 'a'));
  CMemoryException memory;
  doc.ReportSaveLoadException(longPath, &memory, FALSE, StringId::kFailedToOpen);
  EXPECT_EQ(host.BoxTexts()[0], "Failed to open " + std::string(260, 'a') + ".");
}

TEST_F(CourseLoaderTest, ACapitalSignatureLoads) {
  CourseFileFields f = TwoTasks();
  f.signature = "MCL";
  EXPECT_TRUE(doc.OnOpenDocument(Write("caps.mcl", CourseBytes(f))));
  EXPECT_EQ(doc.Tasks().GetCount(), 2);
}

TEST_F(CourseLoaderTest, AnUnknownClassIsAnUnexpectedFormatThenNoBackup) {
  CourseFileFields f = TwoTasks();
  f.tasks = {PlainTask("one", 1), UnknownClassTask()};
  EXPECT_FALSE(doc.OnOpenDocument(Write("damaged.mcl", CourseBytes(f))));
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{"Unexpected file format.", "No backup file found."}));
  ExpectEmpty();
  // The search paths read before the failure stay in the application's list.
  EXPECT_EQ(host.searchPaths.GetSize(), 1);
}

TEST_F(CourseLoaderTest, ACourseCutAnywhereFailsCleanly) {
  std::vector<std::uint8_t> whole = CourseBytes(TwoTasks());
  for (std::size_t cut = 1; cut < whole.size(); cut += 7) {
    SCOPED_TRACE(cut);
    FakeCourseHost freshHost;
    CCourseDoc course(freshHost);
    std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    const CString path = Write("cut.mcl", part);
    EXPECT_FALSE(course.OnOpenDocument(path));
    ASSERT_FALSE(freshHost.BoxTexts().empty());
    // Cut inside its marks (four bytes and the three of the signature) it is no course at all.
    EXPECT_EQ(freshHost.BoxTexts()[0],
              cut < 7 ? FormatStringId1(StringId::kNotACourse, path).str() : "Unexpected file format.");
    EXPECT_EQ(course.Tasks().GetCount(), 0);
    EXPECT_EQ(freshHost.registry.UsersOf("Fancy", "Regular"), 0);
  }
}

TEST_F(CourseLoaderTest, AZeroLengthFileIsNoDataFileAndNoCourse) {
  CString path = Write("start.dat", {});
  EXPECT_FALSE(host.data.Open(path));
  EXPECT_FALSE(doc.OnOpenDocument(path));
  EXPECT_FALSE(doc.IsFromDataFile());
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{FormatStringId1(StringId::kNotACourse, path).str()});
  ExpectEmpty();
}

TEST_F(CourseLoaderTest, AnEmptyTaskListOpensWithNoCurrentTask) {
  CourseFileFields f = TwoTasks();
  f.tasks.clear();
  EXPECT_TRUE(doc.OnOpenDocument(Write("notasks.mcl", CourseBytes(f))));
  EXPECT_EQ(doc.GetCurrentTask(), nullptr);
}

TEST_F(CourseLoaderTest, AMissingNameIsTriedWithTheCourseExtension) {
  Write("LESSON.MCL", CourseBytes(TwoTasks()));
  for (const char* given : {"LESSON", "LESSON.xyz"}) {
    SCOPED_TRACE(given);
    FakeCourseHost freshHost;
    CCourseDoc course(freshHost);
    EXPECT_TRUE(course.OnOpenDocument(Text(dir / given)));
    EXPECT_EQ(course.Tasks().GetCount(), 2);
  }
  // Nothing under either name: the name as given is reported.
  CString missing = Text(dir / "nothing.mcl");
  EXPECT_FALSE(doc.OnOpenDocument(missing));
  ASSERT_EQ(host.BoxTexts().size(), 1u);
  EXPECT_EQ(host.BoxTexts()[0], FormatStringId1(StringId::kFileNotFound, missing).str());
  ExpectEmpty();
}

TEST_F(CourseLoaderTest, SearchPathsGetTheCourseDriveOrFolder) {
  CourseFileFields f = TwoTasks();
  f.searchPaths = {"\\MEDIA\\", ".\\x\\", "ab", "D:\\clips\\", "{Media}\\", "sounds\\"};
  std::vector<std::uint8_t> bytes = CourseBytes(f);
  CMemFile file(bytes);
  CArchive ar(file);
  doc.SetCourseDirectory("C:\\Course\\lesson.mcl");
  EXPECT_EQ(doc.GetCourseDirectory(), "C:\\COURSE\\");
  doc.ReadCourse(ar);
  std::vector<CString> expected = {"C:\\MEDIA\\", ".\\x\\", "D:\\clips\\", "{Media}\\", "C:\\COURSE\\sounds\\"};
  EXPECT_EQ(host.searchPaths.items(), expected);
  EXPECT_EQ(doc.StoredSearchPaths().GetSize(), 6);
}

TEST_F(CourseLoaderTest, TheCourseDirectoryIsTheUpperCasedFolderPart) {
  struct Row {
    const char* path;
    const char* expected;
  };
  const Row rows[] = {
      {"c:\\a\\b.mcl", "C:\\A\\"}, {"c:b.mcl", "C:"}, {"b.mcl", "KEEP"}, {"c:\\a\\", "KEEP"}, {"/x/y.mcl", "/X/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    CCourseDoc course(host);
    course.SetCourseDirectory("KEEP\\k");
    course.SetCourseDirectory(row.path);
    EXPECT_EQ(course.GetCourseDirectory(), std::string(row.expected) == "KEEP" ? "KEEP\\" : row.expected);
  }
}

struct BackupTest : CourseLoaderTest {
  CString damaged;
  void SetUp() override {
    fs::create_directory(dir / "my.dir");
    CourseFileFields f = TwoTasks();
    f.tasks = {UnknownClassTask()};
    WriteBytes(dir / "my.dir" / "lesson.mcl", CourseBytes(f));
    damaged = Text(dir / "my.dir" / "lesson.mcl");
  }
};

TEST_F(BackupTest, ABackupBesideTheDamagedCourseIsOfferedAndLoaded) {
  // The backup's name comes from the file's own name, not from the "." of its folder.
  WriteBytes(dir / "my.dir" / "lesson.BAK", CourseBytes(TwoTasks()));
  host.sink.answers = {IDOK, IDYES};
  ASSERT_TRUE(doc.OnOpenDocument(damaged));
  ASSERT_EQ(host.BoxTexts().size(), 2u);
  EXPECT_EQ(host.BoxTexts()[0], "Unexpected file format.");
  EXPECT_EQ(host.BoxTexts()[1], FormatStringId1(StringId::kAskLoadBackup, damaged).str());
  EXPECT_EQ(host.sink.boxes[1].style, MB_YESNO | MB_ICONSTOP);
  EXPECT_EQ(doc.Tasks().GetCount(), 2);
  EXPECT_EQ(doc.GetCourseDirectory(), Text(dir / "my.dir").MakeUpper() + "/");
}

TEST_F(BackupTest, DecliningTheBackupLeavesTheCourseUnopened) {
  WriteBytes(dir / "my.dir" / "lesson.BAK", CourseBytes(TwoTasks()));
  host.sink.answers = {IDOK, IDNO};
  EXPECT_FALSE(doc.OnOpenDocument(damaged));
  EXPECT_EQ(host.BoxTexts().size(), 2u);
  ExpectEmpty();
}

TEST_F(BackupTest, ADamagedBackupIsReportedByItsOwnName) {
  CourseFileFields f = TwoTasks();
  f.tasks = {UnknownClassTask()};
  WriteBytes(dir / "my.dir" / "lesson.BAK", CourseBytes(f));
  host.sink.answers = {IDOK, IDYES};
  EXPECT_FALSE(doc.OnOpenDocument(damaged));
  ASSERT_EQ(host.BoxTexts().size(), 4u);
  EXPECT_EQ(host.BoxTexts()[2], "Unexpected file format.");
  EXPECT_EQ(host.BoxTexts()[3], FormatStringId1(StringId::kBackupFailed, Text(dir / "my.dir" / "lesson.BAK")).str());
  ExpectEmpty();
}

struct ConversionTest : CourseLoaderTest {
  CString old;
  void SetUp() override {
    host.programDirectory = Text(dir.path()) + "/";
    old = Write("old.mcl", {0x63, 0x70, 0x6D, 0x1F, 1, 2, 3});
  }
  // The conversion program: copies a prepared course over the target and ends with the code.
  void Converter(const std::string& target, int exitCode) {
    WriteBytes(dir / "prepared.bin", CourseBytes(TwoTasks()));
    std::ofstream script(dir / "tvnconv");
    script << "#!/bin/sh\n";
    script << "echo \"$1\" > '" << (dir / "argument.txt").string() << "'\n";
    if (!target.empty())
      script << "cp '" << (dir / "prepared.bin").string() << "' '" << (dir / target).string() << "'\n";
    script << "exit " << exitCode << "\n";
    script.close();
    fs::permissions(dir / "tvnconv", fs::perms::owner_all);
  }
};

TEST_F(ConversionTest, AnOldCourseIsReadFromWhatTheConverterWrote) {
  // The converted name comes from the file's own name, not from the "." of its folder.
  fs::create_directory(dir / "v1.0");
  CString inFolder = Write("v1.0/old.mcl", {0x63, 0x70, 0x6D, 0x1F});
  Converter("v1.0/old.TVN", 0);
  ASSERT_TRUE(doc.OnOpenDocument(inFolder));
  EXPECT_TRUE(host.sink.boxes.empty());
  EXPECT_EQ(doc.Tasks().GetCount(), 2);
  EXPECT_EQ(doc.GetCourseDirectory(), Text(dir / "v1.0").MakeUpper() + "/");
  std::ifstream argument(dir / "argument.txt");
  std::string given;
  std::getline(argument, given);
  EXPECT_EQ(given, (dir / "v1.0" / "old.mcl").string());
}

TEST_F(ConversionTest, TheFailureCodeLeavesTheCourseUnopenedWithoutAMessage) {
  Converter("old.TVN", CCourseDoc::kConverterFailed & 0xFF);
  EXPECT_FALSE(doc.OnOpenDocument(old));
  EXPECT_TRUE(host.sink.boxes.empty());
  ExpectEmpty();
}

TEST_F(ConversionTest, TheClipboardNamesTheConvertedCourseOnlyWhenItExists) {
  Converter("other.TVN", CCourseDoc::kConverterRenamed & 0xFF);
  WriteBytes(dir / "other.mcl", {});
  host.clipboard = Text(dir / "other.mcl");
  EXPECT_TRUE(doc.OnOpenDocument(old));
  EXPECT_EQ(doc.Tasks().GetCount(), 2);
  EXPECT_EQ(host.clipboardEmptied, 1);

  // Text that names no file is not taken: the course's own name is used, and there is nothing under it.
  CCourseDoc second(host);
  host.clipboard = CString("not a path");
  EXPECT_FALSE(second.OnOpenDocument(old));
  EXPECT_EQ(host.clipboardEmptied, 2);
  ASSERT_EQ(host.BoxTexts().size(), 1u);
  EXPECT_EQ(host.BoxTexts()[0], FormatStringId1(StringId::kFileNotFound, Text(dir / "old.TVN")).str());
}

TEST_F(ConversionTest, AMissingConverterKeepsTheSystemError) {
  EXPECT_FALSE(doc.OnOpenDocument(old));
  EXPECT_EQ(doc.GetConverterError(), ENOENT);
  EXPECT_TRUE(host.sink.boxes.empty());
  ExpectEmpty();
}

struct PackedCourseTest : CourseLoaderTest {
  CString packed;
  void Pack(const std::vector<std::uint8_t>& course, const std::vector<std::uint8_t>& after) {
    PackedFileBuilder b;
    b.Add("lesson.mcl", course).Add("after.bin", after);
    b.WriteTo(dir / "course.dat");
    packed = Text(dir / "course.dat");
    ASSERT_TRUE(host.data.Open(packed));
  }
};

TEST_F(PackedCourseTest, ACourseOpensFromItsEntry) {
  Pack(CourseBytes(TwoTasks()), {1, 2, 3});
  ASSERT_TRUE(doc.OnOpenDocument("LESSON.MCL"));
  EXPECT_TRUE(doc.IsFromDataFile());
  EXPECT_EQ(doc.Tasks().GetCount(), 2);
  EXPECT_EQ(doc.GetCourseDirectory(), Text(dir.path()).MakeUpper() + "/");
  doc.SetPathName("LESSON.MCL");
  EXPECT_EQ(doc.GetPathName(), "LESSON.MCL");
  EXPECT_FALSE(doc.WantsRecentFileEntry());
}

TEST_F(PackedCourseTest, AnEntryReadsOnlyItsOwnBytes) {
  // The course is split over two neighbouring entries: the first alone is a cut course.
  std::vector<std::uint8_t> whole = CourseBytes(TwoTasks());
  auto middle = whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2);
  Pack(std::vector<std::uint8_t>(whole.begin(), middle), std::vector<std::uint8_t>(middle, whole.end()));
  EXPECT_FALSE(doc.OnOpenDocument("lesson.mcl"));
  ASSERT_FALSE(host.BoxTexts().empty());
  EXPECT_EQ(host.BoxTexts()[0], "Unexpected file format.");
  ExpectEmpty();
}

TEST_F(CourseLoaderTest, ClosingGivesBackFontsAndForgetsTheOpeningCourse) {
  ASSERT_TRUE(doc.OnOpenDocument(Write("c.mcl", CourseBytes(TwoTasks()))));
  CCourseDoc other(host);
  ASSERT_TRUE(other.OnOpenDocument(Write("d.mcl", CourseBytes(TwoTasks()))));
  EXPECT_EQ(host.registry.UsersOf("Fancy", "Regular"), 2);
  EXPECT_EQ(host.fontSystem.added.size(), 1u);

  host.freed.clear();
  doc.OnCloseDocument();
  EXPECT_EQ(host.registry.UsersOf("Fancy", "Regular"), 1);
  EXPECT_EQ(host.fontSystem.added.size(), 1u);
  EXPECT_EQ(host.freed, std::vector<CCourseDoc*>{&doc});
  EXPECT_EQ(host.opening, &other);
  EXPECT_EQ(doc.Tasks().GetCount(), 0);

  // While the program closes the page is left alone; the last user takes the font away.
  host.closing = true;
  other.OnCloseDocument();
  EXPECT_TRUE(host.fontSystem.added.empty());
  EXPECT_EQ(host.opening, nullptr);
  EXPECT_EQ(host.freed.size(), 1u);
}

TEST(ReferenceCourses, FailuresShowTheirMessages) {
  const fs::path base = fs::path(TVN_TEST_DATA_DIR) / "reference-courses";
  struct Row {
    const char* folder;
    const char* file;
    std::vector<std::string> messages;
  };
  const Row rows[] = {
      {"e_bad_signature", "e_bad_signature.mcl", {"'e_bad_signature.mcl' is not a valid Velostra file."}},
      {"e_truncated", "e_truncated.mcl", {"Unexpected file format.", "No backup file found."}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    CurrentFolder inside(base / row.folder);
    FakeCourseHost host;
    CCourseDoc doc(host);
    EXPECT_FALSE(doc.OnOpenDocument(row.file));
    EXPECT_EQ(host.BoxTexts(), row.messages);
    EXPECT_EQ(doc.Tasks().GetCount(), 0);
  }
}

TEST(ReferenceCourses, TextPictureAndVariableCoursesLoadInBothFileVersions) {
  const fs::path base = fs::path(TVN_TEST_DATA_DIR) / "reference-courses";
  for (const char* name : {"a_hello", "a_hello_v3", "c_sum", "f_bmp4rle"}) {
    SCOPED_TRACE(name);
    CurrentFolder inside(base / name);
    FakeCourseHost host;
    CCourseDoc doc(host);
    EXPECT_TRUE(doc.OnOpenDocument((std::string(name) + ".mcl").c_str()));
    EXPECT_TRUE(host.BoxTexts().empty());
    EXPECT_GE(doc.Tasks().GetCount(), 1);
  }
}

TEST(ReferenceCourses, ThePackedCourseIsFoundInsideItsDataFile) {
  CurrentFolder inside(fs::path(TVN_TEST_DATA_DIR) / "reference-courses" / "d_packed");
  FakeCourseHost host;
  ASSERT_TRUE(host.data.Open("d_packed.dat"));
  CCourseDoc doc(host);
  // The course entry bears the data file's own name.
  EXPECT_TRUE(doc.OnOpenDocument("D_PACKED.DAT"));
  EXPECT_TRUE(doc.IsFromDataFile());
  EXPECT_TRUE(host.BoxTexts().empty());
}

}  // namespace
