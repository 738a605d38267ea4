#include "data/text_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/settings.h"
#include "data/data_dir_lock.h"
#include "data/index_file.h"
#include "data/options_file.h"
#include "data/word_list.h"
#include "search/engines/queries.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

TEST(ReadLines, AcceptsEveryLineEndAndWindows1252AndCreatesAMissingFile) {
  ScratchDir dir;
  EXPECT_EQ(readLines(dir.file("new.ini")), Lines{});
  EXPECT_TRUE(dir.exists("new.ini"));
  dir.write("f.ini", "a\r\nb\nc\rd\r\r\n\ncaf\xE9\r\n\x80 5");
  EXPECT_EQ(readLines(dir.file("f.ini")),
            (Lines{"a", "b", "c", "d", "", "", "caf\xC3\xA9", "\xE2\x82\xAC 5"}));
}

TEST(Rewrite, ReplacesWholeWithCrlfAndNeverLeavesAStaleTemporaryFile) {
  ScratchDir dir;
  appendLines(dir.file("f.ini"), {"[A]", "x"});
  EXPECT_EQ(dir.read("f.ini"), "[A]\r\nx\r\n");
  // What an interrupted rewrite leaves: the old file intact beside a partial temporary one.
  dir.write("f.tmp", "half writ");
  EXPECT_EQ(readLines(dir.file("f.ini")), (Lines{"[A]", "x"}));
  rewriteLines(dir.file("f.ini"), dir.file("f.tmp"), {"z", ""});
  EXPECT_EQ(dir.read("f.ini"), "z\r\n\r\n");
  EXPECT_FALSE(dir.exists("f.tmp"));
}

TEST(Rewrite, AFailedRewriteKeepsTheOldFileAndReportsTheFailure) {
  ScratchDir dir;
  dir.write("f.ini", "old\r\n");
  EXPECT_THROW(rewriteLines(dir.file("f.ini"), dir.file("missing/f.tmp"), {"new"}),
               std::filesystem::filesystem_error);
  EXPECT_EQ(dir.read("f.ini"), "old\r\n");

  std::filesystem::create_directories(dir.file("d.ini/inner"));  // the rename cannot replace it
  EXPECT_THROW(rewriteBytes(dir.file("d.ini"), dir.file("d.tmp"), "x"),
               std::filesystem::filesystem_error);
  EXPECT_FALSE(dir.exists("d.tmp"));
}

// The names in the directory, sorted.
Lines namesIn(const ScratchDir& dir) {
  Lines names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Every rewrite of a data file, with the temporary name it writes through.
struct Rewrite {
  const char* tempName;
  const char* fileName;
  std::function<void(const std::string& dataDir)> run;
};
const Rewrite kRewrites[] = {
    {kWordTempName, kEngineWordFileName, [](auto& d) { saveWordList(d, true, "", {"new"}); }},
    {kWordTempName, kWordFileName, [](auto& d) { saveWordList(d, false, "A", {"new"}); }},
    {kIndexTempName, kIndexFileName, [](auto& d) { replaceIndexSection(d, "A", {"http://n"}); }},
    {kOptionsTempName, kOptionsFileName, [](auto& d) { saveOptions(d, Options{}); }},
    {"qxconfig.qf~", kSettingsFileName, [](auto& d) { saveSettings(d, Settings{}); }},
};

void seedSections(const ScratchDir& dir) {
  for (const char* name : {kWordFileName, kIndexFileName, kEngineWordFileName, kOptionsFileName})
    dir.write(name, "[A]\r\nold\r\n");
}

TEST(HostileNames, ALinkOrDirectoryAtATemporaryNameIsNeitherFollowedNorInTheWay) {
  for (const Rewrite& rewrite : kRewrites) {
    for (bool link : {true, false}) {
      SCOPED_TRACE(std::string(rewrite.fileName) + (link ? ", a link" : ", a directory") + " at " +
                   rewrite.tempName);
      ScratchDir dir, elsewhere;
      seedSections(dir);
      elsewhere.write("victim", "precious");
      const std::string temp = dir.file(rewrite.tempName);
      ASSERT_EQ(link ? ::symlink(elsewhere.file("victim").c_str(), temp.c_str())
                     : ::mkdir(temp.c_str(), 0755),
                0);
      EXPECT_NO_THROW(rewrite.run(dir.path()));
      EXPECT_EQ(elsewhere.read("victim"), "precious");
      EXPECT_TRUE(isRegularFile(dir.file(rewrite.fileName))) << "the data file became a link";
      EXPECT_NE(dir.read(rewrite.fileName), "[A]\r\nold\r\n") << "not saved";
      Lines left = namesIn(dir);
      std::erase_if(left, [&](const auto& n) { return n.find('.') == n.rfind('.'); });
      EXPECT_EQ(left, Lines{}) << "a temporary file was left";
    }
  }
}

TEST(HostileNames, AFifoOrDeviceAtADataFileNameIsRefusedAtOnce) {
  const std::function<void(const std::string&)> uses[] = {
      [](auto& d) { loadIndexNames(d); },
      [](auto& d) { loadSettings(d); },
      [](auto& d) { appendIndexSection(d, "B", {"http://b"}); },
      [](auto& d) { loadEngineHosts(d); },
  };
  for (bool fifo : {true, false}) {
    ScratchDir dir;
    for (const char* name : {kIndexFileName, kSettingsFileName, kEngineHostsFileName}) {
      const std::string path = dir.file(name);
      ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0644) : ::symlink("/dev/zero", path.c_str()), 0);
    }
    for (const auto& use : uses) {
      try {
        use(dir.path());
        ADD_FAILURE() << "a " << (fifo ? "FIFO" : "device") << " was taken as a data file";
      } catch (const std::filesystem::filesystem_error& e) {
        EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
      }
    }
  }
}

// Held, the lock nests for this process under any spelling of the directory
// and keeps every other process out until the outermost one is released.
TEST(DataDirLock, NestsWithinAProcessAndExcludesOthers) {
  ScratchDir dir;
  const auto otherProcessGetsIt = [&] {
    return testing::waitForChild(testing::startChild([&] {
             const int fd = ::open(dir.file(kLockFileName).c_str(), O_RDONLY);
             return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1;
           })) == 0;
  };
  {
    const DataDirLock outer(dir.path());
    {
      const DataDirLock inner(dir.path() + "./");
      EXPECT_FALSE(otherProcessGetsIt());
    }
    EXPECT_FALSE(otherProcessGetsIt());
  }
  EXPECT_TRUE(otherProcessGetsIt());
}

TEST(DataDirLock, TakingItRemovesWhatKilledWritersLeft) {
  ScratchDir dir;
  const Lines left{"cattemp.st~.x1Y2z3", "qxconfig.qf~.AAAAAA", "texttemp.st~.abc123"};
  const Lines kept{"notes.st~", "report.rtf~.abc123", "texttemp.st~.abc12", "texttemp.st~.ab-123"};
  for (const auto& name : left) dir.write(name, "half");
  for (const auto& name : kept) dir.write(name, "mine");
  { const DataDirLock lock(dir.path()); }
  Lines expected = kept;
  expected.push_back(kLockFileName);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(namesIn(dir), expected);
}

// A full disk (here: a file-size limit) fails each write; the data files keep
// their old contents and no temporary or partial file is left.
TEST(FullDisk, FailedWritesLeaveTheOldFilesAndNothingElse) {
  ScratchDir dir;
  seedSections(dir);
  const std::string big(256 * 1024, 'x');
  const int failures = testing::runWithFileSizeLimit(64 * 1024, [&] {
    int failed = 0;
    const std::function<void()> writes[] = {
        [&] { saveWordList(dir.path(), true, "", {big}); },
        [&] { replaceIndexSection(dir.path(), "A", {"http://" + big}); },
        [&] { appendIndexSection(dir.path(), "B", {"http://" + big}); },
    };
    for (const auto& write : writes) {
      try {
        write();
      } catch (const std::filesystem::filesystem_error&) {
        ++failed;
      }
    }
    return failed;
  });
  EXPECT_EQ(failures, 3);
  for (const char* name : {kWordFileName, kIndexFileName, kEngineWordFileName, kOptionsFileName})
    EXPECT_EQ(dir.read(name), "[A]\r\nold\r\n") << name;
  EXPECT_EQ(namesIn(dir), (Lines{kLockFileName, kIndexFileName, kOptionsFileName, kWordFileName,
                                 kEngineWordFileName}));
}

}  // namespace
}  // namespace quexa
