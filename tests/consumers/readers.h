// What the reader tests share: outside programs run through the shell with
// their output captured, and the program's KML of every corpus file, made
// once per test program.
#ifndef KORVELO_TESTS_CONSUMERS_READERS_H_
#define KORVELO_TESTS_CONSUMERS_READERS_H_

#include <string>
#include <string_view>
#include <vector>

namespace korvelo::testing {

struct ToolRun {
  int status = -1;     // exit status; -1 when killed or not started
  std::string output;  // standard output and error together
};

// Runs `command` (shell text) with no input and a limit of two minutes.
ToolRun RunTool(const std::string& command);

// True when `program` is on the PATH.
bool HaveTool(std::string_view program);

// One corpus file and what the program wrote for it with /all and the GPX
// for devices switched on.
struct CorpusConversion {
  std::string input;              // path of the pocket query or archive
  int status = -1;                // the program's exit status
  std::vector<std::string> kmls;  // paths of the KML files it wrote, sorted
  std::vector<std::string> gpx_outputs;  // and of the GPX for devices
  // The GPX documents the input holds (the file itself, or each GPX entry
  // of an archive unpacked beside the output): what a reader of the input
  // reads.
  std::vector<std::string> gpx_documents;
};

// Every .gpx and .zip below the corpus folder converted once, in a folder
// that lives as long as the test program; empty without a corpus.
const std::vector<CorpusConversion>& ConvertedCorpus();

// True when xmllint reads the file at `path` as well-formed XML.
bool XmllintAccepts(const std::string& path);

// True when xmllint accepts every GPX document the input holds (false when
// it holds none). The program copies the owners' texts as they stand, so
// only such an input promises well-formed output.
bool InputWellFormed(const CorpusConversion& file);

// Sum of the "Feature Count: N" lines of an `ogrinfo -so -al` listing.
int FeatureCount(const std::string& listing);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_CONSUMERS_READERS_H_
