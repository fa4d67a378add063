// The loading constructor of CacheList: GPX files, pocket-query archives and
// folders of them.
#include <algorithm>
#include <functional>
#include <optional>

#include "cachelist/cache_list.h"
#include "cachelist/extraction_budget.h"
#include "cachelist/original_waypoints_load.h"
#include "cachelist/progress.h"
#include "input/input_files.h"
#include "input/paths.h"
#include "input/read_ahead.h"
#include "input/text.h"
#include "input/waypoints.h"
#include "input/zip_archive.h"
#include "input/zip_entry_reader.h"
#include "input/zip_names.h"
#include "platform/folders.h"
#include "platform/input_file.h"

namespace korvelo {
namespace {

enum class InputKind { kNothing, kGpx, kArchive, kFolder };

// What one loading constructor passes down to every file it loads.
struct LoadContext {
  Progress* progress;  // may be null
  RecordTexts texts;
  WaypointOriginals originals;
  ExtractionBudget budget;  // what the load may still unpack
};

void Load(CacheList& list, std::string_view path, LoadContext& context,
          std::string_view nameOverride);

bool HasExtension(std::string_view path, std::string_view extension) {
  if (path.size() < extension.size()) return false;
  return EqualsIgnoringAsciiCase(path.substr(path.size() - extension.size()),
                                 extension);
}

// What the name alone tells: a GPX file, an archive or nothing.
InputKind ClassifyName(std::string_view path) {
  if (HasExtension(path, ".gpx")) return InputKind::kGpx;
  if (HasExtension(path, ".zip")) return InputKind::kArchive;
  return InputKind::kNothing;
}

InputKind Classify(std::string_view path) {
  if (path.empty()) return InputKind::kNothing;
  const InputKind kind = ClassifyName(path);
  if (kind != InputKind::kNothing) return kind;
  return IsFolder(path) ? InputKind::kFolder : InputKind::kNothing;
}

// Names the list of the GPX text at `path`; returns the title that its
// records carry in `file`.
std::string StartGpxList(CacheList& list, std::string_view path,
                         std::string_view nameOverride) {
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
// memory, never the text. Every record's file name is the one shared title.
// Keeping originals, the waypoint texts go to the list's originals too: as
// additional waypoints when `path` names an additional-waypoints file, and
// left in `file` when the text is that plain file's.
void AppendWaypoints(CacheList& list, const WaypointCutter::Source& source,
                     std::string_view path, const std::string& title,
                     const LoadContext& context,
                     const InputFile* file = nullptr) {
  const RecordText file_title(title);
  RecordChunks chunks;
  if (context.originals == WaypointOriginals::kKeep) {
    AppendOriginals(
        list.originals, source, path,
        [&](std::string_view wpt) -> std::string_view {
          CacheRecord& record = chunks.Add(wpt, context.texts);
          record.file = file_title;
          return record.name;
        },
        file);
  } else {
    WaypointCutter cutter(source);
    std::string_view wpt;
    while (cutter.Next(wpt)) {
      CacheRecord& record = chunks.Add(wpt, context.texts);
      record.file = file_title;
    }
  }
  list.Append(std::move(chunks));
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
      path, title, context, &input);
  if (context.originals == WaypointOriginals::kKeep) {
    LoadAdditionalBeside(list.originals, path);
  }
}

// True for one or two entries, all with names that can only mean a file
// directly inside the archive.
bool HasLoadableEntries(const ZipArchive& archive) {
  const std::vector<ZipEntryInfo>& entries = archive.entries();
  if (entries.size() != 1 && entries.size() != 2) return false;
  return std::all_of(entries.begin(), entries.end(), [](const auto& info) {
    return IsPlainEntryName(info.name);
  });
}

// What an entry gives once every entry of its archive has been read: the
// list of a GPX entry, parsed while it was inflated (with the progress text
// its load shows), or the bytes of an archive inside the archive.
struct UnpackedEntry {
  CacheList list;
  std::string progress_text;
  std::string archive_path;  // empty unless the entry is an archive
  std::string archive_bytes;
};

// Inflates entry `index` and checks it against its CRC-32. A GPX entry to
// load is parsed straight from the inflated bytes; an archive entry to load
// is kept whole, to be opened once its parent is done with; any other entry
// is only read and checked. Throws CZipException when the entry is broken.
void UnpackEntry(const ZipArchive& archive, int index, bool load,
                 const std::string& archive_name, const LoadContext& context,
                 UnpackedEntry& entry) {
  // The entry's place inside the archive stands for the path it would have
  // unpacked to: its base name is what the progress texts show.
  const std::string path = archive.path() + "/" + archive.entries()[index].name;
  const InputKind kind = load ? ClassifyName(path) : InputKind::kNothing;
  if (kind == InputKind::kArchive) {
    entry.archive_path = path;
    entry.archive_bytes = archive.ReadEntry(index);
    return;
  }
  ZipEntryReader bytes(archive, index);
  if (kind == InputKind::kGpx) {
    const std::string title = StartGpxList(entry.list, path, archive_name);
    entry.progress_text = GpxProgressText(path);
    // Inflating and checking the entry is a good part of the cost of
    // parsing it; another thread does it a few pieces ahead. That thread
    // ends with `ahead`, before the reader and the archive go, and the
    // archive's bytes never change.
    ReadAhead ahead(std::ref(bytes));
    AppendWaypoints(entry.list, std::ref(ahead), path, title, context);
  } else if (context.originals == WaypointOriginals::kKeep &&
             IsAdditionalWaypointsFile(path)) {
    ReadAhead ahead(std::ref(bytes));
    AppendOriginals(entry.list.originals, std::ref(ahead), path, nullptr);
  }
  bytes.ReadToEnd();
}

// Every entry is inflated and checked before anything is merged, and the
// archive's own bytes are gone once they are: only what its entries gave is
// kept. The additional-waypoints file of a pocket query is checked but not
// loaded, unless the originals are kept. No entries when the archive is not
// one to load.
std::vector<UnpackedEntry> UnpackArchive(std::string bytes,
                                         std::string_view path, int depth,
                                         LoadContext& context) {
  const ZipArchive archive(std::move(bytes), std::string(path), depth);
  if (!HasLoadableEntries(archive) ||
      !context.budget.Take(archive.UncompressedSize(), depth > 1)) {
    return {};
  }
  const std::vector<ZipEntryInfo>& infos = archive.entries();
  const std::string archive_name = BaseName(path);
  std::vector<UnpackedEntry> entries(infos.size());
  for (size_t i = 0; i < infos.size(); ++i) {
    const bool load =
        infos.size() == 1 || infos[i].name.find("-wpts") == std::string::npos;
    UnpackEntry(archive, static_cast<int>(i), load, archive_name, context,
                entries[i]);
  }
  return entries;
}

// An archive never stops the run: an unreadable file or a broken archive
// only ends the archive, and the lists merged before stay. Running out of
// memory is no such failure; it reaches the face. `bytes` are the archive's
// when it lies inside another one (`depth` counts the archives around it),
// else the file at `path` is read.
void LoadArchive(CacheList& list, std::string_view path,
                 std::optional<std::string> bytes, LoadContext& context,
                 int depth) {
  if (context.progress != nullptr) {
    context.progress->SetText(
        FormatText("Loading %s.zip...", BaseName(path).c_str()));
  }
  try {
    if (!bytes && !LoadFileBytes(path, bytes.emplace())) return;
    if (!ZipArchive::StartsLikeArchive(*bytes)) return;
    for (UnpackedEntry& entry :
         UnpackArchive(std::move(*bytes), path, depth + 1, context)) {
      if (context.progress != nullptr && !entry.progress_text.empty()) {
        context.progress->SetText(entry.progress_text);
      }
      if (!entry.archive_path.empty()) {
        LoadArchive(entry.list, entry.archive_path,
                    std::move(entry.archive_bytes), context, depth + 1);
      }
      list.Merge(std::move(entry.list));
    }
  } catch (const CZipException&) {
  }
}

// Files of the folder in name order; subfolders are not entered.
void LoadFolder(CacheList& list, std::string_view path, LoadContext& context) {
  const std::string folder = WithTrailingBackslash(path);
  for (const FolderEntry& entry : ListFolder(path)) {
    if (entry.is_folder) continue;
    CacheList file;
    Load(file, folder + entry.name, context, "");
    list.Merge(std::move(file));
  }
}

void Load(CacheList& list, std::string_view path, LoadContext& context,
          std::string_view nameOverride) {
  switch (Classify(path)) {
    case InputKind::kGpx:
      LoadGpx(list, path, context, nameOverride);
      break;
    case InputKind::kArchive:
      LoadArchive(list, path, std::nullopt, context, 0);
      break;
    case InputKind::kFolder:
      LoadFolder(list, path, context);
      break;
    case InputKind::kNothing:
      break;
  }
}

}  // namespace

CacheList::CacheList(std::string_view path, Progress* progress,
                     std::string_view nameOverride, RecordTexts texts,
                     WaypointOriginals originals)
    : CacheList() {
  LoadContext context{progress, texts, originals, ExtractionBudget()};
  Load(*this, path, context, nameOverride);
}

}  // namespace korvelo
