#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using testing::FileExists;
using testing::ReadFileOrFail;
using testing::TempDir;
using testing::WriteFileOrFail;

std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

StreamWriter Bytes(std::string bytes) {
  return [bytes](std::ostream& out) { out << bytes; };
}

// Runs `body` in a child process whose files may not grow beyond `limit`
// bytes; returns the child's exit status (0 when `body` returned true).
int InChildWithFileSizeLimit(rlim_t limit, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small = {limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) _exit(3);
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 4;
}

TEST(OutputFile, ReplacesEarlierFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFileOrFail(dir / "a.kml", "older and longer content");
  WriteFileAtomically(dir / "a.kml", Bytes("new\r\n"));
  EXPECT_EQ(ReadFileOrFail(dir / "a.kml"), "new\r\n");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"a.kml"});
}

TEST(OutputFile, WritesPiecesLargerThanItsBuffer) {
  TempDir dir;
  const std::string big(200000, 'x');
  WriteFileAtomically(
      dir / "big", [&](std::ostream& out) { out << "head" << big << "tail"; });
  EXPECT_EQ(ReadFileOrFail(dir / "big"), "head" + big + "tail");
}

TEST(OutputFile, MissingFolderGivesInvalidHandleNamingTheTarget) {
  TempDir dir;
  const std::string target = dir.path() + "\\missing\\out.kml";
  try {
    WriteFileAtomically(target, Bytes("x"));
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kInvalidFile);
    EXPECT_EQ(e.path(), target);
  }
}

TEST(OutputFile, FailingStreamKeepsEarlierFileAndRemovesTemporaryFile) {
  TempDir dir;
  WriteFileOrFail(dir / "a.kml", "earlier run");
  try {
    WriteFileAtomically(dir / "a.kml", [](std::ostream& out) {
      out << "first piece";
      out.setstate(std::ios::badbit);  // as a write error would
      out << "never written";
    });
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kDiskFull);
    EXPECT_EQ(e.path(), dir / "a.kml");
  }
  EXPECT_EQ(ReadFileOrFail(dir / "a.kml"), "earlier run");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"a.kml"});
}

TEST(OutputFile, WriterExceptionPassesThroughAndLeavesNoTrace) {
  TempDir dir;
  EXPECT_THROW(WriteFileAtomically(dir / "a.kml",
                                   [](std::ostream& out) {
                                     out << "part";
                                     throw std::runtime_error("stop");
                                   }),
               std::runtime_error);
  EXPECT_TRUE(Names(dir).empty());
}

TEST(OutputFile, FileSizeLimitGivesDiskFullAndKeepsEarlierFile) {
  TempDir dir;
  const std::string target = dir / "a.kml";
  WriteFileOrFail(target, "earlier run");
  const int status = InChildWithFileSizeLimit(4096, [&] {
    try {
      WriteFileAtomically(target, Bytes(std::string(100000, 'x')));
    } catch (const FileError& e) {
      return e.cause() == FileCause::kDiskFull && e.path() == target;
    }
    return false;
  });
  EXPECT_EQ(status, 0) << "the child saw no disk-full error naming the target";
  EXPECT_EQ(ReadFileOrFail(target), "earlier run");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"a.kml"});
}

TEST(OutputFile, AppendCreatesThenAppends) {
  TempDir dir;
  AppendToFile(dir / "s.txt", "one\r\n");
  AppendToFile(dir / "s.txt", "two\r\n");
  EXPECT_EQ(ReadFileOrFail(dir / "s.txt"), "one\r\ntwo\r\n");
}

TEST(OutputFile, AppendToMissingFolderGivesInvalidHandleNamingTheFile) {
  TempDir dir;
  const std::string target = dir.path() + "\\no\\s.txt";
  try {
    AppendToFile(target, "x");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kInvalidFile);
    EXPECT_EQ(e.path(), target);
  }
  EXPECT_FALSE(FileExists(dir / "no"));
}

TEST(OutputFile, AppendBeyondFileSizeLimitGivesDiskFull) {
  TempDir dir;
  const std::string target = dir / "s.txt";
  const int status = InChildWithFileSizeLimit(4096, [&] {
    try {
      AppendToFile(target, std::string(10000, 'x'));
    } catch (const FileError& e) {
      return e.cause() == FileCause::kDiskFull && e.path() == target;
    }
    return false;
  });
  EXPECT_EQ(status, 0) << "the child saw no disk-full error naming the file";
}

}  // namespace
}  // namespace korvelo
