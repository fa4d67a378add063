#include "output/kmz_writer.h"

#include <algorithm>
#include <cerrno>

#include "input/paths.h"
#include "output/embedded_icons.h"
#include "output/file_function.h"
#include "output/kmz_document.h"
#include "output/kmz_plan.h"
#include "output/zip_writer.h"
#include "platform/file_error.h"
#include "platform/output_file.h"

namespace korvelo {
namespace {

void WriteArchive(std::ostream& out, const KmzPart& part) {
  ZipWriter zip(out);
  WriteKmzDocument(zip.BeginEntry("doc.kml"), part);
  for (const std::string_view icon : IconsOfPart(part)) {
    // Every icon a map names is built in; a missing one is a build fault
    // that the tests catch, and the map then shows the reader's default.
    if (const auto bytes = EmbeddedIcon(icon)) {
      zip.AddEntry(IconEntryName(icon), *bytes);
    }
  }
  zip.Finish();
}

void WriteParts(const std::string& kml_path, std::vector<KmzFolder> folders,
                const MapDocument& document) {
  const std::vector<KmzPart> parts =
      SplitIntoParts(std::move(folders), document);
  for (size_t index = 0; index < parts.size(); ++index) {
    const std::string path = KmzPartPath(kml_path, index);
    WriteFileAtomically(path, [&](std::ostream& out) {
      try {
        WriteArchive(out, parts[index]);
      } catch (const ZipTooLarge&) {
        throw FileErrorFromErrno(EFBIG, path);
      }
    });
  }
  // The further parts of an earlier, larger map would show caches twice, or
  // ones the query no longer holds, beside this one.
  for (size_t index = std::max<size_t>(parts.size(), 1);
       RemoveRegularFile(KmzPartPath(kml_path, index)); ++index) {
  }
}

}  // namespace

void WriteKmz(const CacheList& list, const std::string& path, int function,
              const ConversionSettings& settings) {
  const MapRecords records(list, function, settings);
  const std::vector<MapFile> files =
      PlanMapFiles(list, path, function, settings);
  for (const MapFile& file : files) {
    const Records& taken = records.Of(file.document);
    WriteParts(file.path, PlanKmzFolders(taken, file.document), file.document);
  }
  // In the per-type mode the types of no row have no file of their own.
  if (function == kFunctionComplete && settings.OutputKmlDirFileMode == 1) {
    MapDocument other = files.front().document;
    other.onlyRow.reset();
    const Records& all = records.Of(other);
    if (!HasNewerTypes(all)) return;
    other.name = BaseName(path) + "_Other";
    const std::string other_path =
        WithTrailingBackslash(FolderOf(path)) + other.name + ".kml";
    WriteParts(other_path, PlanKmzFolders(all, other, false), other);
  }
}

}  // namespace korvelo
