#include "consumers/readers.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <utility>

#include "input/input_files.h"
#include "input/zip_archive.h"
#include "support/test_support.h"

namespace korvelo::testing {

namespace fs = std::filesystem;

ToolRun RunTool(const std::string& command) {
  static TempDir captures;
  const std::string out = captures / "output";
  const int status = std::system(("timeout 120 sh -c " + ShellWord(command) +
                                  " </dev/null >" + ShellWord(out) + " 2>&1")
                                     .c_str());
  ToolRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = ReadFileOrFail(out);
  return run;
}

bool HaveTool(std::string_view program) {
  return RunTool("command -v " + ShellWord(program)).status == 0;
}

bool XmllintAccepts(const std::string& path) {
  return RunTool("xmllint --noout " + ShellWord(path)).status == 0;
}

bool InputWellFormed(const CorpusConversion& file) {
  return !file.gpx_documents.empty() &&
         std::all_of(file.gpx_documents.begin(), file.gpx_documents.end(),
                     XmllintAccepts);
}

int FeatureCount(const std::string& listing) {
  static const std::regex line("Feature Count: ([0-9]+)");
  int total = 0;
  for (std::sregex_iterator it(listing.begin(), listing.end(), line), end;
       it != end; ++it) {
    total += std::stoi((*it)[1]);
  }
  return total;
}

namespace {

// The .gpx entries of an archive, unpacked into `folder`.
std::vector<std::string> UnpackGpxEntries(const std::string& archive,
                                          const std::string& folder) {
  std::vector<std::string> documents;
  std::string bytes;
  if (!LoadFileBytes(archive, bytes)) return documents;
  try {
    const ZipArchive zip(std::move(bytes), archive, 1);
    for (size_t i = 0; i < zip.entries().size(); ++i) {
      if (!zip.entries()[i].name.ends_with(".gpx")) continue;
      const std::string path = folder + "/entry-" + std::to_string(i) + ".gpx";
      WriteFileOrFail(path, zip.ReadEntry(static_cast<int>(i)));
      documents.push_back(path);
    }
  } catch (const CZipException&) {
    // A broken archive holds no document a reader could read.
  }
  return documents;
}

CorpusConversion Convert(const fs::path& input, const TempDir& root, int n) {
  CorpusConversion done;
  done.input = input.string();
  const std::string work = root / std::to_string(n);
  fs::create_directories(work + "/config/Brannoc");
  WriteFileOrFail(work + "/config/Brannoc/Korvelo.conf",
                  "[General]\nbOutputKml=1\nOutputKmlDir=" + work +
                      "/out\nbOutputGpx=1\nOutputGpxDir=" + work + "/out\n");
  fs::create_directories(work + "/out");
  fs::create_directories(work + "/tmp");
  const int status = std::system(
      ("cd " + ShellWord(work) +
       " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
       "XDG_CONFIG_HOME=" +
       ShellWord(work + "/config") + " TMPDIR=" + ShellWord(work + "/tmp") +
       " timeout 120 " + ShellWord(KORVELO_BINARY) + " /all " +
       ShellWord(done.input) + " </dev/null >/dev/null 2>&1")
          .c_str());
  done.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  for (const auto& entry : fs::directory_iterator(work + "/out")) {
    if (entry.path().extension() == ".kml") {
      done.kmls.push_back(entry.path());
    } else if (entry.path().string().ends_with("_gps.gpx")) {
      done.gpx_outputs.push_back(entry.path());
    }
  }
  std::sort(done.kmls.begin(), done.kmls.end());
  std::sort(done.gpx_outputs.begin(), done.gpx_outputs.end());
  if (input.extension() == ".zip") {
    done.gpx_documents = UnpackGpxEntries(done.input, work);
  } else {
    done.gpx_documents = {done.input};
  }
  return done;
}

}  // namespace

const std::vector<CorpusConversion>& ConvertedCorpus() {
  static TempDir root;
  static const std::vector<CorpusConversion> all = [] {
    const std::vector<fs::path> inputs = CorpusInputs();
    std::vector<CorpusConversion> converted;
    for (size_t i = 0; i < inputs.size(); ++i)
      converted.push_back(Convert(inputs[i], root, static_cast<int>(i)));
    return converted;
  }();
  return all;
}

}  // namespace korvelo::testing
