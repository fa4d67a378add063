// The command line in-process: options and file name, full paths, the
// terminal host and the exit statuses of the command-line face.
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli_face.h"
#include "app/cli_host.h"
#include "app/run_fixtures.h"
#include "platform/absolute_path.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::NumberedCaches;
using ::korvelo::testing::PlainSettings;
using ::korvelo::testing::PocketQuery;
using ::korvelo::testing::RecordingHost;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

struct ParseRow {
  std::vector<std::string> args;
  bool has_option;
  int32_t function;
  std::string file_name;
};

TEST(ParseArguments, FindsOptionsAndTheFileName) {
  const ParseRow rows[] = {
      {{"/found", "x.gpx"}, true, 2, "x.gpx"},
      {{"/FOUND", "C:\\GPX\\1.gpx"}, true, 2, "C:\\GPX\\1.gpx"},
      {{"--Mine", "My.GPX"}, true, 3, "My.GPX"},
      {{"x.gpx", "--DISABLED"}, true, 4, "x.gpx"},
      {{"/all", "/marked", "x.gpx"}, true, 5, "x.gpx"},
      {{"/marked", "/all", "x.gpx"}, true, 5, "x.gpx"},  // fixed order wins
      {{"/mine", "--found"}, true, 3, ""},
      {{"/all"}, true, 1, ""},
      {{"/all", "/ALL", "x.gpx"}, true, 1, "x.gpx"},
      {{"x.gpx"}, false, 0, "x.gpx"},
      {{"/home/ann/pq", "files/12 34.gpx", "/mine"},
       true,
       3,
       "/home/ann/pq files/12 34.gpx"},
      {{"/all", "/data/all/x.gpx"}, true, 1, "/data/all/x.gpx"},
      {{"/all/x.gpx"}, false, 0, "/all/x.gpx"},
      {{"/allx", "-all", "all", "//all"}, false, 0, "/allx -all all //all"},
      {{"/found", "\"c:\\gpx files\\1.gpx\""}, true, 2, "c:\\gpx files\\1.gpx"},
      {{"/found", "  \" x.gpx \"  "}, true, 2, "x.gpx"},
      {{"/found", "\"a\"b\""}, true, 2, "a\"b"},
      {{"/found", "\t", ""}, true, 2, ""},
  };
  for (const ParseRow& row : rows) {
    const ParsedArguments parsed = ParseArguments(row.args);
    const std::string shown = ::testing::PrintToString(row.args);
    EXPECT_EQ(parsed.has_option, row.has_option) << shown;
    if (row.has_option) {
      EXPECT_EQ(parsed.function, row.function) << shown;
    }
    EXPECT_EQ(parsed.file_name, row.file_name) << shown;
  }
}

TEST(NormalisePath, ResolvesDotsAndSlashesLexically) {
  const std::pair<const char*, const char*> rows[] = {
      {"/a//b/./c/../d/", "/a/b/d"},
      {"/../x", "/x"},
      {"/", "/"},
      {"//", "/"},
      {"a/../../b", "../b"},
      {"a/..", "."},
      {"./a/b/..", "a"},
      {"/home/j\xC3\xBCrgen/My PQ", "/home/j\xC3\xBCrgen/My PQ"},
  };
  for (const auto& [path, expected] : rows) {
    EXPECT_EQ(NormalisePath(path), expected) << path;
  }
}

// Runs the body with the current directory set to `folder`.
class InFolder {
 public:
  explicit InFolder(const std::string& folder)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

TEST(FullPathOf, GivesAbsolutePathsOfExistingNames) {
  TempDir dir;
  WriteFileOrFail(dir / "pq/12345.gpx", "");
  std::filesystem::create_symlink(dir / "pq", dir / "link");
  const std::string root = AbsolutePath(dir.path());
  const InFolder in_folder(dir.path());
  const std::pair<std::string, std::string> rows[] = {
      {"pq/12345.gpx", root + "/pq/12345.gpx"},
      {"./pq/../pq/12345.gpx", root + "/pq/12345.gpx"},
      {"pq\\", root + "/pq"},
      {"pq/", root + "/pq"},
      {"pq", root + "/pq"},
      {"link/12345.gpx", root + "/link/12345.gpx"},  // link kept
      {root + "//pq/12345.gpx", root + "/pq/12345.gpx"},
      {"missing.gpx", "missing.gpx"},
      {"missing\\", "missing"},
      {"Missing/./x.GPX", "Missing/./x.GPX"},
      {"", ""},
  };
  for (const auto& [name, expected] : rows) {
    EXPECT_EQ(FullPathOf(name), expected) << name;
  }
}

TEST(CliHost, WritesEachProgressTextOnItsOwnLine) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  CliHost host(stream);
  ConversionSettings settings = PlainSettings();
  const ConversionSettings before = settings;
  {
    auto progress = host.OpenProgress();
    host.ReadControls(settings);
    progress->SetText("Loading caches...");
    progress->SetText("Creating KML...");
    host.ShowFinalMessage("2 caches processed");
  }
  std::rewind(stream);
  char buffer[256] = {};
  const size_t size = std::fread(buffer, 1, sizeof buffer - 1, stream);
  std::fclose(stream);
  EXPECT_EQ(std::string(buffer, size), "Loading caches...\nCreating KML...\n");
  EXPECT_EQ(settings.bOutputKml, before.bOutputKml);

  CliHost silent(nullptr);
  silent.OpenProgress()->SetText("Loading caches...");  // must not crash
}

// The command-line face with a recording host.
class RunCommandLineTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    return RunCommandLine(args, settings_, host_, out_, err_);
  }
  TempDir dir_;
  ConversionSettings settings_ = PlainSettings();
  RecordingHost host_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(RunCommandLineTest, ArgumentsWithoutOptionGiveTheUsageText) {
  EXPECT_EQ(Run({"x.gpx"}), 0);
  EXPECT_EQ(out_.str(), std::string(UsageText()));
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(err_.str(), "");
}

TEST_F(RunCommandLineTest, OptionRunsTheFullPathWithItsFunction) {
  WriteFileOrFail(dir_ / "a b/12345.gpx", PocketQuery(NumberedCaches(1, 2)));
  const InFolder in_folder(dir_.path());
  EXPECT_EQ(Run({"/MARKED", "a", "b/./12345.gpx"}), 0);
  EXPECT_EQ(host_.events[3], "Loading 12345.gpx...");
  // Marked input: one file named after the input, in its folder.
  EXPECT_TRUE(::korvelo::testing::FileExists(dir_ / "a b/12345.kml"));
  EXPECT_EQ(out_.str() + err_.str(), "");
}

TEST_F(RunCommandLineTest, OptionAloneRunsNothingAndSucceeds) {
  EXPECT_EQ(Run({"/all"}), 0);
  EXPECT_EQ(host_.events.size(), 4u);  // open, controls, loading, close
  EXPECT_EQ(out_.str() + err_.str(), "");
}

TEST_F(RunCommandLineTest, FileErrorGivesItsTextAndStatusOne) {
  const std::string missing = dir_ / "nope.gpx";
  EXPECT_EQ(Run({"/found", missing}), 1);
  EXPECT_EQ(err_.str(), missing + " wurde nicht gefunden.\n");
  EXPECT_EQ(host_.events.back(), "[close]");
}

TEST_F(RunCommandLineTest, MemoryExhaustionGivesItsTextAndStatusOne) {
  WriteFileOrFail(dir_ / "12345.gpx", PocketQuery(NumberedCaches(1, 2)));
  host_.on_text = [](const std::string& text) {
    if (text == "Creating KML...") throw std::bad_alloc();
  };
  EXPECT_EQ(Run({"/all", dir_ / "12345.gpx"}), 1);
  EXPECT_EQ(err_.str(), "Nicht gen\xC3\xBCgend Speicher.\n");
  EXPECT_EQ(host_.events.back(), "[close]");
}

}  // namespace
}  // namespace korvelo
