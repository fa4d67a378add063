// The loading constructor of CacheList: GPX files, pocket-query archives and
// folders of them.
#include <algorithm>
#include <functional>

#include "cachelist/cache_list.h"
#include "cachelist/extraction_budget.h"
#include "cachelist/progress.h"
#include "input/input_files.h"
#include "input/paths.h"
#include "input/read_ahead.h"
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

// What one loading constructor passes down to every file it loads.
struct LoadContext {
  Progress* progress;  // may be null
  RecordTexts texts;
  ExtractionBudget budget;  // what the load may still unpack
};

void Load(CacheList& list, std::string_view path, LoadContext& context,
          std::string_view nameOverride, int archiveDepth);

bool HasExtension(std::string_view path, std::string_view extension) {
  if (path.size() < extension.size()) return false;
  return EqualsIgnoringAsciiCase(path.substr(path.size() - extension.size()),
                                 extension);
}

InputKind Classify(std::string_view path) {
  if (path.empty()) return InputKind::kNothing;
  if (HasExtension(path, ".gpx")) return InputKind::kGpx;
  if (HasExtension(path, ".zip")) return InputKind::kArchive;
  if (IsFolder(path)) return InputKind::kFolder;
  return InputKind::kNothing;
}

// Names the list of the GPX text at `path`; returns the title that its
// records carry in `file`.
std::string StartGpxList(CacheList& list, std::string_view path,
                         std::string_view nameOverride) {
  list.records.reserve(500);
  list.name = nameOverride.empty() ? path : nameOverride;
  std::string title = BaseName(list.name);
  list.titles.push_back(title);
  return title;
}

std::string GpxProgressText(std::string_view path) {
  return FormatText("Loading %s.gpx...", BaseName(path).c_str());
}

// Every waypoint of the text that `source` delivers becomes a record, in
// file order, duplicates included. The text is read in pieces and each
// waypoint is parsed as soon as it is complete, so only the records stay in
// memory, never the text. The array is not trimmed: its unused end was never
// written, so it costs no memory, and trimming would copy every record.
void AppendWaypoints(CacheList& list, const WaypointCutter::Source& source,
                     const std::string& title, RecordTexts texts) {
  WaypointCutter cutter(source);
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    CacheRecord record(wpt, texts);
    record.file = title;
    list.Append(std::move(record));
  }
}

void LoadGpx(CacheList& list, std::string_view path, LoadContext& context,
             std::string_view nameOverride) {
  const std::string title = StartGpxList(list, path, nameOverride);
  if (context.progress != nullptr) {
    context.progress->SetText(GpxProgressText(path));
  }
  InputFile input(path);
  AppendWaypoints(
      list,
      [&input](char* data, size_t size) { return input.Read(data, size); },
      title, context.texts);
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

// What an entry gives once every entry of its archive has been read: the
// list of a GPX entry, parsed while it was unpacked (with the progress text
// its load shows), or the file that an archive inside the archive was
// unpacked to.
struct UnpackedEntry {
  CacheList list;
  std::string progress_text;
  std::string archive_path;
};

// Unpacks entry `index`, checked against its CRC-32. A GPX entry to load is
// parsed straight from the inflated bytes; an archive entry to load goes to
// a file in `folder`, as its own archive load needs one; any other entry is
// only read and checked. False when the entry cannot be unpacked.
bool UnpackEntry(ZipReader& reader, const ZipEntryInfo& info, int index,
                 bool load, const std::string& folder,
                 const std::string& archive_name, RecordTexts texts,
                 UnpackedEntry& entry) {
  const std::string path = folder + info.name;
  const InputKind kind = load ? Classify(path) : InputKind::kNothing;
  if (kind == InputKind::kArchive) {
    if (!ExtractZipEntry(reader, info, index, path)) return false;
    entry.archive_path = path;
  } else {
    if (!reader.OpenEntry(index)) return false;
    ZipEntryBytes bytes(reader, info.uncompressed_size);
    if (kind == InputKind::kGpx) {
      const std::string title = StartGpxList(entry.list, path, archive_name);
      entry.progress_text = GpxProgressText(path);
      // Inflating and checking the entry is a good part of the cost of
      // parsing it; another thread does it a few pieces ahead.
      ReadAhead ahead(std::ref(bytes));
      AppendWaypoints(entry.list, std::ref(ahead), title, texts);
    }
    if (!bytes.ReadToEnd()) return false;
  }
  reader.CloseEntry();
  return true;
}

void LoadArchiveEntries(CacheList& list, std::string_view path,
                        LoadContext& context, int archiveDepth) {
  if (!LoadFileBytes(path, ZipImage) || ZipImage.size() <= 4 ||
      ZipImage.compare(0, 4, "PK\x03\x04") != 0) {
    return;
  }
  ZipReader reader;
  reader.Open("infile");
  std::vector<ZipEntryInfo> infos;
  if (!ReadEntryList(reader, infos)) return;
  uint64_t bytes = 0;
  for (const ZipEntryInfo& info : infos) bytes += info.uncompressed_size;
  if (!context.budget.Take(bytes, archiveDepth > 1)) return;

  const ScopedTempFolder folder(SystemTempFolder(), true);
  if (folder.path().empty()) return;
  // Every entry is unpacked and checked before anything is merged. The
  // additional-waypoints file of a pocket query is checked but not loaded.
  const std::string archive_name = BaseName(path);
  std::vector<UnpackedEntry> entries(infos.size());
  for (size_t i = 0; i < infos.size(); ++i) {
    const bool load =
        infos.size() == 1 || infos[i].name.find("-wpts") == std::string::npos;
    if (!UnpackEntry(reader, infos[i], static_cast<int>(i), load, folder.path(),
                     archive_name, context.texts, entries[i])) {
      return;
    }
  }
  // All reading is done before a nested archive load refills ZipImage.
  for (UnpackedEntry& entry : entries) {
    if (context.progress != nullptr && !entry.progress_text.empty()) {
      context.progress->SetText(entry.progress_text);
    }
    if (!entry.archive_path.empty()) {
      Load(entry.list, entry.archive_path, context, archive_name, archiveDepth);
    }
    list.Merge(std::move(entry.list));
  }
}

// An archive never stops the run: a file error or a broken archive inside it
// only ends the archive, and the lists merged before stay. Running out of
// memory is no such failure; it reaches the face.
void LoadArchive(CacheList& list, std::string_view path, LoadContext& context,
                 int archiveDepth) {
  if (context.progress != nullptr) {
    context.progress->SetText(
        FormatText("Loading %s.zip...", BaseName(path).c_str()));
  }
  if (archiveDepth >= kMaxArchiveDepth) return;
  try {
    LoadArchiveEntries(list, path, context, archiveDepth + 1);
  } catch (const FileError&) {
  } catch (const CZipException&) {
  }
}

// Files of the folder in name order; subfolders are not entered.
void LoadFolder(CacheList& list, std::string_view path, LoadContext& context,
                int archiveDepth) {
  const std::string folder = WithTrailingBackslash(path);
  for (const FolderEntry& entry : ListFolder(path)) {
    if (entry.is_folder) continue;
    CacheList file;
    Load(file, folder + entry.name, context, "", archiveDepth);
    list.Merge(std::move(file));
  }
}

// `archiveDepth` counts the archives this path was unpacked from.
void Load(CacheList& list, std::string_view path, LoadContext& context,
          std::string_view nameOverride, int archiveDepth) {
  switch (Classify(path)) {
    case InputKind::kGpx:
      LoadGpx(list, path, context, nameOverride);
      break;
    case InputKind::kArchive:
      LoadArchive(list, path, context, archiveDepth);
      break;
    case InputKind::kFolder:
      LoadFolder(list, path, context, archiveDepth);
      break;
    case InputKind::kNothing:
      break;
  }
}

}  // namespace

CacheList::CacheList(std::string_view path, Progress* progress,
                     std::string_view nameOverride, RecordTexts texts)
    : CacheList() {
  LoadContext context{progress, texts,
                      ExtractionBudget(FreeSpace(SystemTempFolder()),
                                       ExtractionBudget::kMaxNestedArchives)};
  Load(*this, path, context, nameOverride, 0);
}

}  // namespace korvelo
