#include "batch/AtomicFileWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BatchTestSupport.h"

namespace tarnwell {
namespace {

class AtomicFileWriting : public testing::Test {
 protected:
  void SetUp() override { test::WriteBytes(target, "old\n"); }

  // About 3 MiB of numbered lines, several flushes of the writer's buffer.
  static std::string ManyLines() {
    std::string text;
    for (int i = 0; i < 150000; ++i) text += "line " + std::to_string(i) + " of many\r\n";
    return text;
  }

  test::ScratchFolder folder;
  const std::string target = folder.File("target.txt");
};

TEST_F(AtomicFileWriting, TargetKeepsItsContentUntilCommit) {
  const std::string text = ManyLines();
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  for (std::size_t at = 0; at < text.size(); at += 1000) EXPECT_TRUE(writer.Append(text.substr(at, 1000)));
  EXPECT_EQ(test::ReadBytes(target), "old\n");

  // Meanwhile the bytes go to ".target.txt.XXXXXX" beside it.
  const std::vector<std::string> names = folder.Names();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].substr(0, 12), ".target.txt.");
  EXPECT_EQ(names[0].size(), 18u);

  EXPECT_TRUE(writer.Commit());
  EXPECT_TRUE(test::ReadBytes(target) == text);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.txt"});
  EXPECT_FALSE(writer.Append("more")) << "a committed writer is closed";
  EXPECT_FALSE(writer.Commit());
}

TEST_F(AtomicFileWriting, WriterGivenUpLeavesTheTargetAsItWas) {
  {
    AtomicFileWriter destroyed;
    ASSERT_TRUE(destroyed.Open(target));
    EXPECT_TRUE(destroyed.Append(ManyLines()));
  }
  AtomicFileWriter discarded;
  ASSERT_TRUE(discarded.Open(target));
  EXPECT_TRUE(discarded.Append("new\n"));
  discarded.Discard();
  EXPECT_FALSE(discarded.Append("more"));
  EXPECT_FALSE(discarded.Commit());

  EXPECT_EQ(test::ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.txt"});
}

TEST_F(AtomicFileWriting, WriteErrorFailsAppendAndCommit) {
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  {
    test::FileSizeLimit diskFullAfter(100000);
    bool appended = true;
    for (int i = 0; i < 40 && appended; ++i) appended = writer.Append(std::string(65536, 'x'));
    EXPECT_FALSE(appended);
    EXPECT_FALSE(writer.Commit());
  }
  EXPECT_EQ(test::ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.txt"});
}

TEST_F(AtomicFileWriting, OpenRefusesWhatCannotBeReplaced) {
  AtomicFileWriter writer;
  std::filesystem::create_directory(folder.File("folder"));
  EXPECT_FALSE(writer.Open(folder.File("folder")));
  EXPECT_FALSE(writer.Open(folder.File("missing/target.txt")));
  EXPECT_FALSE(writer.Append("text"));
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"folder", "target.txt"}));
}

// A bare file name: the temporary file lies in the current folder.
TEST_F(AtomicFileWriting, BareNameWritesInTheCurrentFolder) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.File(""));
  AtomicFileWriter writer;
  const bool written = writer.Open("target.txt") && writer.Append("new\n") && writer.Commit();
  std::filesystem::current_path(previous);
  EXPECT_TRUE(written);
  EXPECT_EQ(test::ReadBytes(target), "new\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.txt"});
}

mode_t PermissionBits(const std::string& path) {
  struct stat file;
  stat(path.c_str(), &file);
  return file.st_mode & 0777;
}

// A replaced target keeps its permission bits; a new one gets the umask's.
TEST_F(AtomicFileWriting, ReplacedTargetKeepsItsPermissions) {
  const mode_t mask = umask(022);
  umask(mask);
  const struct {
    bool existed;
    mode_t before, after;
  } cases[] = {{true, 0640, 0640}, {true, 0755, 0755}, {true, 0200, 0200}, {false, 0, 0666 & ~mask}};
  for (const auto& [existed, before, after] : cases) {
    std::filesystem::remove(target);
    if (existed) {
      test::WriteBytes(target, "old\n");
      chmod(target.c_str(), before);
    }
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target) && writer.Append("new\n") && writer.Commit()) << before;
    EXPECT_EQ(PermissionBits(target), after) << std::oct << before;
  }
}

TEST_F(AtomicFileWriting, ReadOnlyTargetIsNotReplaced) {
  chmod(target.c_str(), 0444);
  EXPECT_TRUE(IsReadOnlyFile(target));
  AtomicFileWriter writer;
  EXPECT_FALSE(writer.Open(target));
  EXPECT_EQ(test::ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.txt"});
  chmod(target.c_str(), 0644);
  EXPECT_FALSE(IsReadOnlyFile(target));
  EXPECT_FALSE(IsReadOnlyFile(folder.File("missing")));
}

// Temporary files of earlier, killed processes go at the next Open; files
// written since this process started, or of other names, stay.
TEST_F(AtomicFileWriting, OpenRemovesLeftoversOfEarlierProcesses) {
  const struct {
    std::string name;
    bool old, removed;
  } cases[] = {
      {".target.txt.aB3xY9", true, true},     {".target.txt.Zz0000", true, true},
      {".target.txt.aB3xY9x", true, false},   {".target.txt.aB3x-9", true, false},
      {".other.txt.aB3xY9", true, false},     {"target.txt.aB3xY9", true, false},
      {".target.txt.Recent", false, false},
  };
  for (const auto& leftover : cases) {
    test::WriteBytes(folder.File(leftover.name), "part");
    if (leftover.old) {
      const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
      utimensat(AT_FDCWD, folder.File(leftover.name).c_str(), hourAgo, 0);
    }
  }
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  writer.Discard();
  for (const auto& leftover : cases) {
    EXPECT_EQ(std::filesystem::exists(folder.File(leftover.name)), !leftover.removed) << leftover.name;
  }
}

TEST_F(AtomicFileWriting, SameFileFollowsEveryLink) {
  const std::string other = folder.File("other.txt");
  test::WriteBytes(other, "old\n");  // equal bytes, another file
  std::filesystem::create_symlink("target.txt", folder.File("symbolic"));
  std::filesystem::create_symlink(folder.File("symbolic"), folder.File("chain"));
  std::filesystem::create_hard_link(target, folder.File("hard"));
  std::filesystem::create_symlink(folder.File("nothing"), folder.File("dangling"));

  EXPECT_TRUE(IsSameFile(target, target));
  EXPECT_TRUE(IsSameFile(target, folder.File("symbolic")));
  EXPECT_TRUE(IsSameFile(folder.File("chain"), target));
  EXPECT_TRUE(IsSameFile(target, folder.File("hard")));
  EXPECT_FALSE(IsSameFile(target, other));
  EXPECT_FALSE(IsSameFile(target, folder.File("dangling")));
  EXPECT_FALSE(IsSameFile(target, folder.File("nothing")));
  EXPECT_FALSE(IsSameFile(folder.File("nothing"), folder.File("nothing")));
}

// A set written by another writer replaces the old set only at Commit: the
// old set's files the new one lacks go, files of other names stay; a
// discarded set leaves the old one whole, and a killed process's folder
// goes at the next Open.
TEST_F(AtomicFileWriting, FileSetReplacesTheOldSetWhole) {
  for (const char* name : {"pts.shp", "pts.dbf", "pts.qix", "other.dbf"}) test::WriteBytes(folder.File(name), "old");
  const std::vector<std::string> members = {"pts.dbf", "pts.qix"};
  const std::string leftover = folder.File(".pts.shp.aB3xY9");
  std::filesystem::create_directory(leftover);
  test::WriteBytes(leftover + "/pts.shp", "part");
  const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  utimensat(AT_FDCWD, leftover.c_str(), hourAgo, 0);

  AtomicFileSet discarded;
  ASSERT_TRUE(discarded.Open(folder.File("pts.shp"), members));
  EXPECT_FALSE(std::filesystem::exists(leftover));
  test::WriteBytes(discarded.writingPath(), "new");
  discarded.Discard();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"other.dbf", "pts.dbf", "pts.qix", "pts.shp", "target.txt"}));

  AtomicFileSet set;
  ASSERT_TRUE(set.Open(folder.File("pts.shp"), members));
  test::WriteBytes(set.writingPath(), "new shp");
  test::WriteBytes(std::filesystem::path(set.writingPath()).replace_extension(".dbf"), "new dbf");
  EXPECT_EQ(test::ReadBytes(folder.File("pts.shp")), "old");
  ASSERT_TRUE(set.Commit());
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"other.dbf", "pts.dbf", "pts.shp", "target.txt"}));
  EXPECT_EQ(test::ReadBytes(folder.File("pts.shp")) + test::ReadBytes(folder.File("pts.dbf")), "new shpnew dbf");

  // Nothing made is no set; a read-only main file is kept.
  ASSERT_TRUE(set.Open(folder.File("pts.shp"), members));
  EXPECT_FALSE(set.Commit());
  EXPECT_EQ(test::ReadBytes(folder.File("pts.shp")), "new shp");
  chmod(folder.File("pts.shp").c_str(), 0444);
  EXPECT_FALSE(set.Open(folder.File("pts.shp"), members));
  EXPECT_EQ(folder.Names().size(), 4u);
}

}  // namespace
}  // namespace tarnwell
