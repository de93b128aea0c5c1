#include "config/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "config/test_temp_dir.h"

namespace velmora {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

mode_t modeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(AtomicFileTest, WritesReplaceAndKeepModeAndLinks) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  std::string error;
  ASSERT_TRUE(writeFileAtomically(path, std::string("a\0b", 3), &error)) << error;
  EXPECT_EQ(readText(path), std::string("a\0b", 3));
  EXPECT_EQ(modeOf(path), 0600u);  // new files may hold passwords

  chmod(path.c_str(), 0640);
  ASSERT_TRUE(writeFileAtomically(path, "second", &error)) << error;
  EXPECT_EQ(readText(path), "second");
  EXPECT_EQ(modeOf(path), 0640u);
  EXPECT_EQ(dir.entryCount(), 1u);  // no temporary file left

  std::string link = dir.file("link.ini");
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
  ASSERT_TRUE(writeFileAtomically(link, "through the link", &error)) << error;
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(readText(path), "through the link");
}

TEST(AtomicFileTest, FailuresReportAndLeaveNothingBehind) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(writeFileAtomically(dir.file("no/such/folder/x.ini"), "x", &error));
  EXPECT_EQ(error.rfind("Cannot write " + dir.file("no/such/folder/x.ini") + ": ", 0), 0u) << error;
  // A folder in the way: the rename fails and the temporary file is removed.
  ASSERT_EQ(mkdir(dir.file("taken").c_str(), 0700), 0);
  EXPECT_FALSE(writeFileAtomically(dir.file("taken"), "x", &error));
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(AtomicFileTest, DiskFullKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  writeText(path, "old content\n");
  // A file size limit makes writes fail like a full disk; done in a child so the limit cannot
  // touch anything else of the test run.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    bool written = writeFileAtomically(path, std::string(100000, 'n'), &error);
    _exit(!written && error.find("Cannot write") == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not report its failure";
  EXPECT_EQ(readText(path), "old content\n");
  EXPECT_EQ(dir.entryCount(), 1u);

  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full >= 0) {
    EXPECT_FALSE(writeAllToDescriptor(full, "data"));
    EXPECT_EQ(errno, ENOSPC);
    close(full);
  }
}

TEST(AtomicFileTest, ReadsAndFolders) {
  TempDir dir;
  std::string content = "stale";
  std::string error;
  EXPECT_EQ(readWholeFile(dir.file("missing"), &content, &error), ReadStatus::Missing);
  EXPECT_EQ(content, "");
  EXPECT_EQ(readWholeFile(dir.file("missing/below"), &content, &error), ReadStatus::Missing);
  EXPECT_EQ(readWholeFile(dir.path(), &content, &error), ReadStatus::Failed);
  EXPECT_NE(error.find("Cannot read"), std::string::npos);
  std::string big(200000, 'x');
  big[100000] = '\0';
  writeText(dir.file("big"), big);
  EXPECT_EQ(readWholeFile(dir.file("big"), &content, &error), ReadStatus::Ok);
  EXPECT_EQ(content, big);

  EXPECT_TRUE(makeDirectories(dir.file("a/b/c"), &error)) << error;
  EXPECT_TRUE(makeDirectories(dir.file("a/b/c/"), &error)) << error;
  EXPECT_EQ(modeOf(dir.file("a/b")), 0700u);
  EXPECT_FALSE(makeDirectories(dir.file("big/sub"), &error));
}

}  // namespace
}  // namespace velmora
