// Reading maps back as a reader sees them: the entries of a .kmz, and the
// placemarks of a classic KML or of a KMZ document after parsing either.
#ifndef KORVELO_TESTS_OUTPUT_KMZ_READING_H_
#define KORVELO_TESTS_OUTPUT_KMZ_READING_H_

#include <map>
#include <string>
#include <vector>

#include "support/xml_tree.h"

namespace korvelo::testing {

struct KmzArchive {
  std::vector<std::string> names;  // entry names in archive order
  std::map<std::string, std::string> entries;
};

// Every entry of the archive file, read and CRC-checked by the project's
// ZIP reader; fails the test when it is no archive.
KmzArchive ReadKmz(const std::string& path);

// One placemark as a reader shows it.
struct Mark {
  std::string folder;
  std::string name;
  std::string coordinates;  // "lon,lat,height"
  std::string icon;         // icon file name, "" for none

  bool operator==(const Mark&) const = default;
};

// The placemarks of a classic document, standard icon URLs translated to
// the file names of the program's own drawings of them.
std::vector<Mark> ClassicMarks(const XmlNode& kml);

// The placemarks of a KMZ document, each icon found by following its
// styleUrl through the shared styles; adds a failure for a style reference
// without "#" or to no style, and for an href that names no entry of
// `archive`.
std::vector<Mark> KmzMarks(const XmlNode& kml, const KmzArchive& archive);

// Features of a document: itself, its folders and its placemarks.
size_t FeatureCount(const XmlNode& kml);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_OUTPUT_KMZ_READING_H_
