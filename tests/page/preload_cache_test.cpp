// The pre-load cache: the budget, eviction, entries in use, failures, workers, look-ups and the look-ahead.
#include "page/preload_cache.h"

#include <gtest/gtest.h>

#include "model/data_file.h"
#include "model/data_mem_file.h"
#include "model/file_error_report.h"
#include "model/task.h"
#include "platform/base/host_path.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

using tvn::testing::PackedFileBuilder;
using tvn::testing::TempDir;

namespace {

CString Text(const std::filesystem::path& p) { return tvn::path::HostPathToText(p); }

// A picture of a given size, as a decoder makes it from the file's first byte.
class CSizedImage final : public IPreloadImage {
 public:
  explicit CSizedImage(std::size_t size) : m_size(size) {}
  std::size_t GetMemorySize() const override { return m_size; }
  bool HasData() const override { return m_size > 0; }

 private:
  std::size_t m_size;
};

class CByteDecoder final : public IPreloadImageDecoder {
 public:
  std::unique_ptr<IPreloadImage> Decode(CFile& file, const CString&) override {
    BYTE b = 0;
    if (file.Read(&b, 1) != 1) return nullptr;
    return std::make_unique<CSizedImage>(static_cast<std::size_t>(b) * 1000);
  }
};

class PreloadCacheTest : public ::testing::Test {
 protected:
  CString MakeFile(const std::string& name, std::size_t size, BYTE fill = 'x') {
    tvn::testing::WriteBytes(dir / name, std::vector<std::uint8_t>(size, fill));
    return Text(dir / name);
  }

  TempDir dir;
  tvn::testing::RecordingMessageSink sink;
  tvn::testing::RecordingErrorVariables vars;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{vars, messages};
  CPreloadCache cache{nullptr, &reporter};
};

// A response that leads to the task it names.
class CBranch : public CIconObject {
 public:
  explicit CBranch(CTask* target) : target(target) {}
  CTask* target;
};

class CFileUser : public CIconObject {
 public:
  explicit CFileUser(std::vector<CString> names) : names(std::move(names)) {}
  BOOL CollectFiles(CStringArray* files, int) override {
    for (const CString& n : names) files->Add(n);
    return TRUE;
  }
  std::vector<CString> names;
};

class CFakeCourse final : public IPreloadCourse {
 public:
  CTask* GetCurrentTask() override { return current; }
  CTask* TaskAfter(CIconObject* response) override { return static_cast<CBranch*>(response)->target; }
  CString FindMediaFile(const CString& name) override { return Text(folder / name.str()); }
  CTask* current = nullptr;
  std::filesystem::path folder;
};

}  // namespace

TEST_F(PreloadCacheTest, ANewFileEvictsTheOldestWhenTheBudgetIsShort) {
  const CString half = MakeFile("half.wav", 1500000), twoThirds = MakeFile("two.wav", 2000000);
  EXPECT_TRUE(cache.AddObject(half, TRUE));
  EXPECT_EQ(cache.GetUsed(), 1500000);
  EXPECT_TRUE(cache.AddObject(twoThirds, TRUE));
  EXPECT_EQ(cache.GetUsed(), 2000000);
  ASSERT_EQ(cache.GetEntryCount(), 1);
  CString upper = twoThirds;
  EXPECT_EQ(cache.Describe()[0].first, upper.MakeUpper());
}

TEST_F(PreloadCacheTest, OneNameIsLoadedOnceWhateverItsCaseAndWhoeverLoadsIt) {
  const CString name = MakeFile("clip.wav", 1000);
  CString lower = name;
  lower.MakeLower();
  cache.AddObject(name, FALSE);
  cache.AddObject(name, FALSE);
  cache.WaitForWorkers();
  cache.AddObject(lower, TRUE);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.GetUsed(), 1000);
  EXPECT_TRUE(cache.Describe()[0].second);
}

TEST_F(PreloadCacheTest, EntriesInUseAreNeverEvictedAndTheNewcomerGivesWay) {
  const CString first = MakeFile("first.wav", 1500000, 'a'), second = MakeFile("second.wav", 2000000);
  cache.AddObject(first, TRUE);
  {
    CDataMemFile reader(nullptr, &cache);
    ASSERT_TRUE(reader.Open(first, CFile::modeRead));
    ASSERT_TRUE(reader.IsFromCache());
    BYTE b = 0;
    EXPECT_EQ(reader.Read(&b, 1), 1u);
    EXPECT_EQ(b, 'a');
    EXPECT_EQ(reader.GetLength(), 1500000u);
    cache.AddObject(second, TRUE);  // the first is being read: the second is not kept
    EXPECT_EQ(cache.GetUsed(), 1500000);
  }
  // Read and released: now it can go for the next newcomer.
  const CString third = MakeFile("third.wav", 2000000);
  cache.AddObject(third, TRUE);
  EXPECT_EQ(cache.GetUsed(), 2000000);
}

TEST_F(PreloadCacheTest, AFileLargerThanTheWholeBudgetIsNotKeptAndEvictsNothing) {
  cache.SetBudget(5000);
  const CString small = MakeFile("small.wav", 1000), huge = MakeFile("huge.wav", 6000);
  cache.AddObject(small, TRUE);
  cache.AddObject(huge, TRUE);
  EXPECT_EQ(cache.GetUsed(), 1000);
  EXPECT_EQ(cache.GetEntryCount(), 2);
  EXPECT_FALSE(cache.Describe()[1].second);
}

TEST_F(PreloadCacheTest, TheCoursesBudgetVariableTakesEffectOnTheNextLoad) {
  std::optional<LONG> variable;
  cache.SetBudgetSource([&] { return variable; });
  const CString a = MakeFile("a.wav", 3000), b = MakeFile("b.wav", 3000);
  cache.AddObject(a, TRUE);
  variable = 4000;
  cache.AddObject(b, TRUE);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.GetUsed(), 3000);
}

TEST_F(PreloadCacheTest, AMissingFileSetsTheErrorVariablesAndStaysUnloaded) {
  const CString missing = Text(dir / "nothere.wav");
  cache.AddObject(missing, TRUE);
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(vars.errorNumber, CFileException::fileNotFound);
  cache.AddObject(missing, TRUE);  // known already: nothing more happens
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(cache.FindImage(missing), nullptr);
  EXPECT_EQ(cache.GetUsed(), 0);
}

TEST_F(PreloadCacheTest, ExtensionsDecideWhatIsLoadedAndHow) {
  EXPECT_EQ(CPreloadCache::ExtensionOf("C:\\A.B\\CLIP.Tar.WAV"), CString(".tar.wav"));
  EXPECT_EQ(CPreloadCache::ExtensionOf("C:\\A.B\\README"), CString(""));
  const CString plain = MakeFile("README", 10), unknown = MakeFile("data.xyz", 10);
  cache.AddObject(plain, TRUE);
  cache.AddObject(unknown, TRUE);
  EXPECT_EQ(cache.GetUsed(), 10);  // no dot: raw bytes; an unknown extension: not loaded
  EXPECT_NE(cache.FindImage(plain), nullptr);
  EXPECT_EQ(cache.FindImage(unknown), nullptr);
}

TEST_F(PreloadCacheTest, PicturesAreFoundByExactNameAndBytesIgnoringCase) {
  CByteDecoder decoder;
  cache.SetImageDecoder(&decoder);
  const CString picture = MakeFile("pic.bmp", 4, 3), sound = MakeFile("snd.wav", 7);
  cache.AddObject(picture, TRUE);
  cache.AddObject(sound, TRUE);
  EXPECT_EQ(cache.GetUsed(), 3007);
  CString upper = picture, lower = picture;
  upper.MakeUpper();
  lower.MakeLower();
  ASSERT_NE(cache.FindObject(upper), nullptr);
  EXPECT_EQ(cache.FindObject(lower), nullptr);
  EXPECT_EQ(cache.FindImage(picture), nullptr);  // no bytes to read as a file
  CString soundLower = sound;
  IPreloadBlock* block = cache.FindImage(soundLower.MakeLower());
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetDataSize(), 7u);
  block->SetInUse(true);
  block->SetInUse(false);
}

TEST_F(PreloadCacheTest, EntriesOfThePackedDataFileAreTakenFromIt) {
  PackedFileBuilder b;
  b.Add("INTRO.WAV", "packed bytes");
  b.WriteTo(dir / "pack.dat");
  CDataFile data(&reporter);
  ASSERT_TRUE(data.Open(Text(dir / "pack.dat")));
  CPreloadCache packed(&data, &reporter);
  packed.AddObject("intro.wav", TRUE);
  EXPECT_EQ(packed.GetUsed(), 12);
  CDataMemFile reader(nullptr, &packed);
  ASSERT_TRUE(reader.Open("INTRO.WAV", CFile::modeRead));
  char text[13] = {};
  EXPECT_EQ(reader.Read(text, 12), 12u);
  EXPECT_STREQ(text, "packed bytes");
}

TEST_F(PreloadCacheTest, AReadThatFailsPartWayKeepsNothingAndThePageReadsTheFileItself) {
  std::vector<std::uint8_t> sound(60000);
  for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<std::uint8_t>(i % 253 + 1);
  PackedFileBuilder b;
  b.Add("INTRO.WAV", sound);
  const auto pack = dir / "pack.dat";
  b.WriteTo(pack);
  CDataFile data(&reporter);
  ASSERT_TRUE(data.Open(Text(pack)));
  // The packed file loses its tail after it was opened (a disc taken out,
  // a share gone): reading the entry stops half-way.
  std::filesystem::resize_file(pack, std::filesystem::file_size(pack) - sound.size() / 2);
  CPreloadCache packed(&data, &reporter);
  packed.AddObject("intro.wav", TRUE);
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(vars.errorNumber, CFileException::endOfFile);
  EXPECT_NE(vars.errorMessage.find("INTRO.WAV"), std::string::npos) << vars.errorMessage;
  EXPECT_EQ(packed.GetUsed(), 0);
  ASSERT_EQ(packed.Describe().size(), 1u);
  EXPECT_FALSE(packed.Describe()[0].second);
  EXPECT_EQ(packed.FindImage("INTRO.WAV"), nullptr);

  // With the file whole again the page reads it from the packed file, not a half copy.
  b.WriteTo(pack);
  CDataMemFile reader(&data, &packed);
  ASSERT_TRUE(reader.Open("INTRO.WAV", CFile::modeRead));
  EXPECT_FALSE(reader.IsFromCache());
  std::vector<std::uint8_t> read(sound.size() + 1);
  EXPECT_EQ(reader.Read(read.data(), static_cast<UINT>(read.size())), sound.size());
  read.pop_back();
  EXPECT_EQ(read, sound);
}

TEST_F(PreloadCacheTest, TheLookAheadAddsTheFilesOfTheTasksTheResponsesLeadTo) {
  MakeFile("next.wav", 100);
  MakeFile("also.wav", 50);
  MakeFile("skipped.wav", 70);
  CTask current, next, other;
  next.GetActions()->AddChild(std::make_unique<CFileUser>(std::vector<CString>{"next.wav", "{Var}.wav"}));
  auto disabled = std::make_unique<CFileUser>(std::vector<CString>{"skipped.wav"});
  disabled->SetFlags(kIconFlagDisabled);
  next.GetActions()->AddChild(std::move(disabled));
  other.GetEvents()->AddChild(std::make_unique<CFileUser>(std::vector<CString>{"also.wav"}));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(&next));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(&other));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(nullptr));

  CFakeCourse course;
  course.current = &current;
  course.folder = dir.path();
  cache.PreloadNextTasks(course);
  cache.WaitForWorkers();
  EXPECT_EQ(cache.GetEntryCount(), 2);
  EXPECT_EQ(cache.GetUsed(), 150);
}
