#include "pq_generator.h"

#include <cstdio>
#include <string_view>

#include "output/xml_text.h"

namespace korvelo::bench {
namespace {

// splitmix64: small, fast and the same on every platform and library.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) {
    return static_cast<int>(Next() % static_cast<uint64_t>(n));
  }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

 private:
  uint64_t state_;
};

using Words = std::string_view;

// The eleven type texts of the cache type table, with the share each gets.
constexpr std::string_view kTypes[] = {
    "Traditional Cache", "Traditional Cache",
    "Traditional Cache", "Traditional Cache",
    "Multi-cache",       "Multi-cache",
    "Unknown Cache",     "Unknown Cache",
    "Earthcache",        "Virtual Cache",
    "Webcam Cache",      "Event Cache",
    "Mega-Event Cache",  "Cache In Trash Out Event",
    "Letterbox Hybrid",  "Wherigo Cache"};
constexpr Words kContainers[] = {"Micro", "Small", "Regular",
                                 "Large", "Other", "Not chosen"};
constexpr Words kStates[] = {"Niedersachsen",    "Bayern",
                             "Hessen",           "Baden-W\xC3\xBCrttemberg",
                             "Th\xC3\xBCringen", "Nordrhein-Westfalen"};
constexpr Words kTitleStarts[] = {"Alte M\xC3\xBChle",
                                  "Blick \xC3\xBC"
                                  "ber das Tal",
                                  "Der gro\xC3\x9F"
                                  "e Stein",
                                  "Am Waldrand",
                                  "Schatzsuche",
                                  "Rund um den See",
                                  "Hexenh\xC3\xA4uschen",
                                  "Br\xC3\xBC"
                                  "ckenblick",
                                  "Zum F\xC3\xB6rster",
                                  "Die vergessene Quelle",
                                  "Kleine Runde",
                                  "Gipfelgl\xC3\xBC"
                                  "ck"};
// Keywords that the classification looks for, plus plain endings.
constexpr Words kTitleEnds[] = {"",
                                "",
                                "",
                                "",
                                "",
                                "",
                                " - Autobahn",
                                " an der A7",
                                " Kirche St. Peter",
                                " (Bahnhof)",
                                " Hbf",
                                " at night",
                                " TB Hotel",
                                " Rastplatz",
                                " Kirche &amp; Kloster",
                                " - Teil 2!"};
constexpr Words kOwners[] = {"Risou",
                             "vptsz",
                             "Erkneraner",
                             "M\xC3\xBCller&amp;Co",
                             "Waldl\xC3\xA4ufer",
                             "team-nc666",
                             "Fressraupen",
                             "GeoKatze"};
constexpr Words kFinders[] = {"clegg0",          "Mondsteinchen",
                              "Knabberschlange", "Sp\xC3\xBCrnase",
                              "Dosenfischer",    "hiker42"};
constexpr Words kLogTypes[] = {"Found it",   "Found it",
                               "Found it",   "Didn't find it",
                               "Write note", "Owner Maintenance"};
constexpr Words kSentences[] = {
    "Der Cache liegt an einem sch\xC3\xB6nen Aussichtspunkt.",
    "Bitte nach dem Loggen wieder gut verstecken, die Muggel sind "
    "neugierig.",
    "Von hier aus hat man einen herrlichen Blick \xC3\xBC"
    "ber die H\xC3\xBCgel.",
    "Die Stra\xC3\x9F"
    "e ist im Winter oft gesperrt, dann bitte zu Fu\xC3\x9F gehen.",
    "F\xC3\xBCr Kinder gut geeignet & auch mit dem Kinderwagen "
    "erreichbar.",
    "Parken kann man kostenlos am Wanderparkplatz.",
    "\xC3\x84ltere Ausgaben des Logbuchs liegen beim Owner.",
    "\xC3\x96"
    "ffnungszeiten des Museums: t\xC3\xA4glich 10-17 Uhr.",
    "Die Koordinaten wurden mit mehreren Ger\xC3\xA4ten gemittelt.",
    "Nachts bitte eine Taschenlampe mitnehmen.",
};
constexpr Words kLogTexts[] = {
    "Sch\xC3\xB6ner Cache, schnell gefunden. TFTC!",
    "Nach kurzer Suche waren wir erfolgreich. Danke f\xC3\xBCr's Legen und "
    "Pflegen.",
    "Heute bei strahlendem Sonnenschein mit der Familie unterwegs "
    "gewesen.\r\nDose und Logbuch sind in Ordnung.",
    "Leider nichts gefunden, die Muggel waren zu zahlreich. Wir kommen "
    "wieder!",
    "Logbuch ist fast voll, bitte bald tauschen. Gru\xC3\x9F aus dem "
    "S\xC3\xBC"
    "den",
    "Das R\xC3\xA4tsel hat uns lange besch\xC3\xA4"
    "ftigt, umso gr\xC3\xB6\xC3\x9F"
    "er die Freude am Final.",
};

// Element text as a pocket query holds it: markup escaped, quotes kept.
std::string EscapeXml(std::string_view text) {
  std::string out;
  AppendXmlText(out, text);
  return out;
}

// Coordinate text as the site writes it: up to six decimals, no trailing
// zeros.
std::string CoordinateText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.push_back('0');
  return text;
}

// Waypoint code of a cache id, in the site's base-31 alphabet.
std::string CodeOf(uint64_t id) {
  constexpr std::string_view kAlphabet = "0123456789ABCDEFGHJKMNPQRTVWXYZ";
  std::string digits;
  for (; id > 0; id /= 31) digits.insert(digits.begin(), kAlphabet[id % 31]);
  return "GC" + digits;
}

std::string Guid(Random& random) {
  char buffer[40];
  const uint64_t a = random.Next();
  const uint64_t b = random.Next();
  std::snprintf(
      buffer, sizeof buffer, "%08x-%04x-%04x-%04x-%012llx",
      static_cast<unsigned>(a >> 32), static_cast<unsigned>((a >> 16) & 0xFFFF),
      static_cast<unsigned>(a & 0xFFFF), static_cast<unsigned>(b >> 48),
      static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFULL));
  return buffer;
}

std::string Date(Random& random) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "20%02d-%02d-%02dT%02d:00:00Z",
                4 + random.Below(8), 1 + random.Below(12), 1 + random.Below(28),
                random.Below(24));
  return buffer;
}

std::string Rating(Random& random) {
  constexpr Words kRatings[] = {"1",   "1.5", "2",   "2.5", "3",
                                "3.5", "4",   "4.5", "5"};
  return std::string(random.Pick(kRatings));
}

// The listing's HTML before escaping: paragraphs of sentences with breaks,
// an image and a link, about 1.5 to 4 KB.
std::string DescriptionHtml(Random& random) {
  std::string html = "<p><strong>Willkommen!</strong></p>\r\n";
  const int paragraphs = 4 + random.Below(5);
  for (int p = 0; p < paragraphs; ++p) {
    html += "<p>";
    const int sentences = 3 + random.Below(4);
    for (int s = 0; s < sentences; ++s) {
      html += random.Pick(kSentences);
      html += random.Chance(30) ? "<br />\r\n" : "&nbsp; ";
    }
    html += "</p>\r\n";
  }
  html += "<img src=\"http://img.geocaching.com/cache/" + Guid(random) +
          ".jpg\" border=\"0\" /><br />\r\n";
  html +=
      "<a href=\"http://www.geocaching.com/\" title=\"Counter\">"
      "Z&auml;hler</a>\r\n";
  return html;
}

void AppendLog(std::string& out, Random& random) {
  out += "        <groundspeak:log id=\"" +
         std::to_string(100000000 + random.Below(90000000)) + "\">\r\n";
  out +=
      "          <groundspeak:date>" + Date(random) + "</groundspeak:date>\r\n";
  out += "          <groundspeak:type>" + EscapeXml(random.Pick(kLogTypes)) +
         "</groundspeak:type>\r\n";
  out += "          <groundspeak:finder id=\"" +
         std::to_string(1000000 + random.Below(5000000)) + "\">" +
         std::string(random.Pick(kFinders)) + "</groundspeak:finder>\r\n";
  out += "          <groundspeak:text encoded=\"False\">";
  const int parts = 1 + random.Below(2);
  for (int i = 0; i < parts; ++i) {
    out += (i > 0 ? " " : "") + EscapeXml(random.Pick(kLogTexts));
  }
  out += "</groundspeak:text>\r\n        </groundspeak:log>\r\n";
}

struct Cache {
  std::string code;
  std::string title;  // already escaped for XML
  std::string owner;  // already escaped for XML
  std::string type;
  std::string difficulty;
  std::string terrain;
};

void AppendWaypointHead(std::string& out, const Cache& cache, Random& random) {
  const double lat = 47.3 + random.Below(7700000) / 1000000.0;
  const double lon = 6.0 + random.Below(9000000) / 1000000.0;
  out += "  <wpt lat=\"" + CoordinateText(lat) + "\" lon=\"" +
         CoordinateText(lon) + "\">\r\n";
  out += "    <time>" + Date(random) + "</time>\r\n";
  out += "    <name>" + cache.code + "</name>\r\n";
  out += "    <desc>" + cache.title + " by " + cache.owner + ", " + cache.type +
         " (" + cache.difficulty + "/" + cache.terrain + ")</desc>\r\n";
  out += "    <url>http://www.geocaching.com/seek/cache_details.aspx?guid=" +
         Guid(random) + "</url>\r\n";
  out += "    <urlname>" + cache.title + "</urlname>\r\n";
  out += "    <sym>Geocache</sym>\r\n";
  out += "    <type>Geocache|" + cache.type + "</type>\r\n";
}

void AppendCacheElement(std::string& out, const Cache& cache, uint64_t id,
                        Random& random) {
  out += "    <groundspeak:cache id=\"" + std::to_string(id) +
         "\" available=\"" + (random.Chance(8) ? "False" : "True") +
         "\" archived=\"False\" xmlns:groundspeak=\""
         "http://www.groundspeak.com/cache/1/0/1\">\r\n";
  out += "      <groundspeak:name>" + cache.title + "</groundspeak:name>\r\n";
  out += "      <groundspeak:placed_by>" + cache.owner +
         "</groundspeak:placed_by>\r\n";
  out += "      <groundspeak:owner id=\"" +
         std::to_string(100000 + random.Below(4000000)) + "\">" + cache.owner +
         "</groundspeak:owner>\r\n";
  out += "      <groundspeak:type>" + cache.type + "</groundspeak:type>\r\n";
  out += "      <groundspeak:container>" +
         std::string(random.Pick(kContainers)) + "</groundspeak:container>\r\n";
  out += "      <groundspeak:difficulty>" + cache.difficulty +
         "</groundspeak:difficulty>\r\n";
  out += "      <groundspeak:terrain>" + cache.terrain +
         "</groundspeak:terrain>\r\n";
  out += "      <groundspeak:country>Germany</groundspeak:country>\r\n";
  out += "      <groundspeak:state>" + std::string(random.Pick(kStates)) +
         "</groundspeak:state>\r\n";
  out += "      <groundspeak:short_description html=\"True\">" +
         EscapeXml(random.Pick(kSentences)) +
         "</groundspeak:short_description>\r\n";
  out += "      <groundspeak:long_description html=\"True\">" +
         EscapeXml(DescriptionHtml(random)) +
         "</groundspeak:long_description>\r\n";
  out += "      <groundspeak:encoded_hints>" +
         EscapeXml(random.Pick(kSentences)) +
         "</groundspeak:encoded_hints>\r\n";
  out += "      <groundspeak:logs>\r\n";
  const int logs = 3 + random.Below(4);
  for (int i = 0; i < logs; ++i) AppendLog(out, random);
  out += "      </groundspeak:logs>\r\n";
  out += "      <groundspeak:travelbugs />\r\n    </groundspeak:cache>\r\n";
  out += "  </wpt>\r\n";
}

void AppendCache(std::string& out, uint64_t id, Random& random) {
  Cache cache;
  cache.code = CodeOf(id);
  cache.title = std::string(random.Pick(kTitleStarts)) +
                std::string(random.Pick(kTitleEnds));
  cache.owner = random.Pick(kOwners);
  cache.type = random.Pick(kTypes);
  cache.difficulty = Rating(random);
  cache.terrain = Rating(random);
  AppendWaypointHead(out, cache, random);
  AppendCacheElement(out, cache, id, random);
}

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<gpx xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" version=\"1.0\" "
    "creator=\"Groundspeak Pocket Query\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
    "http://www.topografix.com/GPX/1/0/gpx.xsd "
    "http://www.groundspeak.com/cache/1/0/1 "
    "http://www.groundspeak.com/cache/1/0/1/cache.xsd\" "
    "xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n"
    "  <name>Korvelo Beispiel</name>\r\n"
    "  <desc>Geocache file generated by Groundspeak</desc>\r\n"
    "  <author>Groundspeak</author>\r\n"
    "  <email>contact@groundspeak.com</email>\r\n"
    "  <time>2011-09-16T21:13:25.1723847Z</time>\r\n"
    "  <keywords>cache, geocache, groundspeak</keywords>\r\n"
    "  <bounds minlat=\"47.3\" minlon=\"6\" maxlat=\"55\" maxlon=\"15\" />\r\n";

}  // namespace

std::string GeneratePocketQuery(int count, uint64_t seed) {
  Random random(seed);
  std::string out(kHeader);
  out.reserve(out.size() + static_cast<size_t>(count > 0 ? count : 0) * 6000);
  const uint64_t first_id = 1000000 + random.Below(1000000);
  for (int i = 0; i < count; ++i) AppendCache(out, first_id + i, random);
  out += "</gpx>";
  return out;
}

}  // namespace korvelo::bench
