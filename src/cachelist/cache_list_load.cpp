// The loading constructor of CacheList: GPX files, pocket-query archives and
// folders of them.
#include <cctype>

#include "cachelist/cache_list.h"
#include "cachelist/progress.h"
#include "input/input_files.h"
#include "input/paths.h"
#include "input/text.h"
#include "input/waypoints.h"
#include "input/zip_names.h"
#include "input/zip_reader.h"
#include "platform/file_error.h"
#include "platform/folders.h"
#include "platform/input_file.h"
#include "platform/temp_folder.h"

namespace korvelo {
namespace {

enum class InputKind { kNothing, kGpx, kArchive, kFolder };

// Archives inside archives are followed this deep and no deeper, so that an
// archive that contains itself cannot recurse without end.
constexpr int kMaxArchiveDepth = 8;

void Load(CacheList& list, std::string_view path, Progress* progress,
          std::string_view nameOverride, int archiveDepth);

bool HasExtension(std::string_view path, std::string_view extension) {
  if (path.size() < extension.size()) return false;
  const std::string_view tail = path.substr(path.size() - extension.size());
  for (size_t i = 0; i < tail.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i]) {
      return false;
    }
  }
  return true;
}

InputKind Classify(std::string_view path) {
  if (path.empty()) return InputKind::kNothing;
  if (HasExtension(path, ".gpx")) return InputKind::kGpx;
  if (HasExtension(path, ".zip")) return InputKind::kArchive;
  if (IsFolder(path)) return InputKind::kFolder;
  return InputKind::kNothing;
}

// Every waypoint becomes a record, in file order, duplicates included. The
// file is read in pieces and each waypoint is parsed as soon as it is
// complete, so only the records stay in memory, never the file's text.
void AppendWaypoints(CacheList& list, std::string_view path,
                     const std::string& file) {
  InputFile input(path);
  WaypointCutter cutter(
      [&input](char* data, size_t size) { return input.Read(data, size); });
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    CacheRecord record(wpt);
    record.file = file;
    list.Append(std::move(record));
  }
}

void LoadGpx(CacheList& list, std::string_view path, Progress* progress,
             std::string_view nameOverride) {
  list.records.reserve(500);
  list.name = nameOverride.empty() ? path : nameOverride;
  const std::string title = BaseName(list.name);
  list.titles.push_back(title);
  if (progress != nullptr) {
    progress->SetText(FormatText("Loading %s.gpx...", BaseName(path).c_str()));
  }
  // The array is not trimmed: its unused end was never written, so it costs
  // no memory, and trimming would copy every record once more.
  AppendWaypoints(list, path, title);
}

// Reads every entry's information; false unless there are one or two
// entries, all with names that stay inside the folder they are unpacked to.
bool ReadEntryList(const ZipReader& reader, std::vector<ZipEntryInfo>& infos) {
  const int count = reader.EntryCount();
  if (count != 1 && count != 2) return false;
  infos.resize(count);
  for (int i = 0; i < count; ++i) {
    if (!reader.GetEntryInfo(infos[i], i)) return false;
    if (!IsPlainEntryName(infos[i].name)) return false;
  }
  return true;
}

// Unpacks every entry into `folder`, each checked against its CRC-32, and
// returns their paths; empty when one of them cannot be unpacked.
std::vector<std::string> ExtractEntries(ZipReader& reader,
                                        const std::vector<ZipEntryInfo>& infos,
                                        const std::string& folder) {
  std::vector<std::string> paths;
  for (size_t i = 0; i < infos.size(); ++i) {
    const std::string path = folder + infos[i].name;
    if (!ExtractZipEntry(reader, infos[i], static_cast<int>(i), path)) {
      return {};
    }
    reader.CloseEntry();
    paths.push_back(path);
  }
  return paths;
}

void LoadArchiveEntries(CacheList& list, std::string_view path,
                        Progress* progress, int archiveDepth) {
  if (!LoadFileBytes(path, ZipImage) || ZipImage.size() <= 4 ||
      ZipImage.compare(0, 4, "PK\x03\x04") != 0) {
    return;
  }
  ZipReader reader;
  reader.Open("infile");
  std::vector<ZipEntryInfo> infos;
  if (!ReadEntryList(reader, infos)) return;

  const ScopedTempFolder folder(CreateTempFolder(SystemTempFolder(), true));
  if (folder.path().empty()) return;
  const std::vector<std::string> paths =
      ExtractEntries(reader, infos, folder.path());

  // All reading is done before the first nested load refills ZipImage. The
  // additional-waypoints file of a pocket query is unpacked but not loaded.
  const std::string archive_name = BaseName(path);
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths.size() == 2 && infos[i].name.find("-wpts") != std::string::npos) {
      continue;
    }
    CacheList entry;
    Load(entry, paths[i], progress, archive_name, archiveDepth);
    list.Merge(std::move(entry));
  }
}

// An archive never stops the run: a file error or a broken archive inside it
// only ends the archive, and the lists merged before stay. Running out of
// memory is no such failure; it reaches the face.
void LoadArchive(CacheList& list, std::string_view path, Progress* progress,
                 int archiveDepth) {
  if (progress != nullptr) {
    progress->SetText(FormatText("Loading %s.zip...", BaseName(path).c_str()));
  }
  if (archiveDepth >= kMaxArchiveDepth) return;
  try {
    LoadArchiveEntries(list, path, progress, archiveDepth + 1);
  } catch (const FileError&) {
  } catch (const CZipException&) {
  }
}

// Files of the folder in name order; subfolders are not entered.
void LoadFolder(CacheList& list, std::string_view path, Progress* progress,
                int archiveDepth) {
  const std::string folder = WithTrailingBackslash(path);
  for (const FolderEntry& entry : ListFolder(path)) {
    if (entry.is_folder) continue;
    CacheList file;
    Load(file, folder + entry.name, progress, "", archiveDepth);
    list.Merge(std::move(file));
  }
}

// `archiveDepth` counts the archives this path was unpacked from.
void Load(CacheList& list, std::string_view path, Progress* progress,
          std::string_view nameOverride, int archiveDepth) {
  switch (Classify(path)) {
    case InputKind::kGpx:
      LoadGpx(list, path, progress, nameOverride);
      break;
    case InputKind::kArchive:
      LoadArchive(list, path, progress, archiveDepth);
      break;
    case InputKind::kFolder:
      LoadFolder(list, path, progress, archiveDepth);
      break;
    case InputKind::kNothing:
      break;
  }
}

}  // namespace

CacheList::CacheList(std::string_view path, Progress* progress,
                     std::string_view nameOverride)
    : CacheList() {
  Load(*this, path, progress, nameOverride, 0);
}

}  // namespace korvelo
