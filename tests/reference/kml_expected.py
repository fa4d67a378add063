#!/usr/bin/env python3
"""Writes the KML reference cases: the GPX inputs and the expected KML files.

The expected bytes are assembled from the literal pieces of the KML format
(header, style block, folder start, placemark, end). Which cache stands in
which folder, with which icon, height and scale, is written out by hand for
every case below; nothing here decides it by rule, and nothing is taken from
the program's own output. The C++ test (tests/output/kml_writer_test.cpp)
lists the same cases and compares byte for byte.

Run from anywhere: python3 tests/reference/kml_expected.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
STD = "https://www.geocaching.com/images/kml/"
EXTRA = "https://icons.korvelo.org/geocaching/icons/"

# ---------------------------------------------------------------- inputs

# code: (lat attribute, lon attribute, urlname, type, raw description,
#        available, lat as written to KML, lon as written to KML)
CACHES = {
    "GC1001": ("50.123456", "8.543219", "Alte Kirche", "Traditional Cache",
               "&lt;p&gt;Kurzer Weg zur Kirche.&lt;/p&gt;", True,
               "50.12345", "8.54321"),
    "GC1002": ("50.2", "8.6", "Drei Br\u00fccken", "Multi-cache",
               "Drei Stationen an drei Br\u00fccken.", True,
               "50.20000", "8.60000"),
    "GC1003": ("-33.9", "-70.25", "Raetselhaft", "Unknown Cache",
               "&lt;b&gt;R\u00e4tsel&lt;/b&gt; l\u00f6sen", True,
               "-33.90000", "-70.25000"),
    "GC1004": ("50.4", "8", "Feldweg", "Traditional Cache",
               "", True, "50.40000", "8.00000"),
    "GC1005": ("51", "9.1", "Grosses Treffen", "Mega-Event cache",
               "Alle kommen.", True, "51.00000", "9.10000"),
    "GC1006": ("51.5", "9.5", "Verschollen", "Locationless (Reverse) Cache",
               "Irgendwo.", True, "51.50000", "9.50000"),
    "GC1007": ("50.7", "8.7", "Brunnen", "Traditional Cache",
               "Am Brunnen.", False, "50.70000", "8.70000"),
    "GC1008": ("50.8", "8.8", "Am Rasthof", "Unknown Cache",
               "Gel\u00f6st.", True, "50.80000", "8.80000"),
    "GC1009": ("50.9", "8.9", "Wolkenblick", "earthcache",
               "Steine.", True, "50.90000", "8.90000"),
    "GC1010": ("50.05", "8.05", "Nachtwanderung at night", "Multi-cache",
               "Nur mit Lampe.", True, "50.05000", "8.05000"),
    "GC2001": ("52.1", "13.1", "Ostblick", "Traditional Cache",
               "Blick.", True, "52.10000", "13.10000"),
    "GC2002": ("52.2", "13.2", "Ostturm", "Virtual Cache",
               "Turm.", True, "52.20000", "13.20000"),
    "GC2003": ("52.3", "13.3", "Oststrand putzen", "Cache In Trash Out Event",
               "Putzen.", True, "52.30000", "13.30000"),
    "GC2004": ("52.4", "13.4", "Ostwald-Abenteuer", "Wherigo Cache",
               "Spiel.", True, "52.40000", "13.40000"),
    "GC3001": ("49.1", "6.1", "Westwind", "Webcam Cache",
               "Kamera.", True, "49.10000", "6.10000"),
    "GC3002": ("49.2", "6.2", "Westtor", "Letterbox Hybrid",
               "Stempel.", True, "49.20000", "6.20000"),
    "GC3003": ("49.3", "6.3", "Kaffee &amp; Kuchen", "Event Cache",
               "Treffen.", True, "49.30000", "6.30000"),
}

INPUTS = {
    "small.gpx": ["GC1001", "GC1002", "GC1003", "GC1004", "GC1005", "GC1006",
                  "GC1007", "GC1008", "GC1009", "GC1010"],
    "mode0-ost.gpx": ["GC2001", "GC2002", "GC2003", "GC2004"],
    "mode0-west.gpx": ["GC3001", "GC3002", "GC3003"],
}


def url_of(code):
    return "http://www.geocaching.com/seek/cache_details.aspx?wp=" + code


def wpt(code):
    lat, lon, urlname, ctype, desc, available = CACHES[code][:6]
    return f"""  <wpt lat="{lat}" lon="{lon}">
    <time>2008-03-15T00:00:00</time>
    <name>{code}</name>
    <desc>{urlname} by Anna, {ctype} (1.5/2)</desc>
    <url>{url_of(code)}</url>
    <urlname>{urlname}</urlname>
    <sym>Geocache</sym>
    <type>Geocache|{ctype}</type>
    <groundspeak:cache id="{code[2:]}" available="{available}" archived="False" xmlns:groundspeak="http://www.groundspeak.com/cache/1/0">
      <groundspeak:name>{urlname}</groundspeak:name>
      <groundspeak:placed_by>Anna</groundspeak:placed_by>
      <groundspeak:owner id="1">Anna</groundspeak:owner>
      <groundspeak:type>{ctype}</groundspeak:type>
      <groundspeak:container>Small</groundspeak:container>
      <groundspeak:difficulty>1.5</groundspeak:difficulty>
      <groundspeak:terrain>2</groundspeak:terrain>
      <groundspeak:country>Germany</groundspeak:country>
      <groundspeak:short_description html="False"></groundspeak:short_description>
      <groundspeak:long_description html="True">{desc}</groundspeak:long_description>
      <groundspeak:encoded_hints>Unter dem Stein</groundspeak:encoded_hints>
      <groundspeak:logs>
      </groundspeak:logs>
      <groundspeak:travelbugs />
    </groundspeak:cache>
  </wpt>
"""


def gpx(codes):
    head = ('<?xml version="1.0" encoding="utf-8"?>\n'
            '<gpx xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
            'version="1.0" creator="Groundspeak Pocket Query" '
            'xmlns="http://www.topografix.com/GPX/1/0">\n'
            '  <name>Reference list</name>\n')
    return head + "".join(wpt(c) for c in codes) + "</gpx>\n"

# ---------------------------------------------------------------- pieces

HEADER = ('<?xml version="1.0" encoding="UTF-8"?>\r\n'
          '<kml xmlns="http://earth.google.com/kml/2.0">\r\n'
          '<Document>\r\n')
END = "</Document>\r\n</kml>\r\n"

LIST_STYLES = [
    ("Virtual", STD + "4.png"), ("Letterbox", STD + "5.png"),
    ("Event", STD + "6.png"), ("MegaEvent", EXTRA + "icon_megaevent.png"),
    ("Unknown", STD + "8.png"), ("Webcam", STD + "11.png"),
    ("CITO", STD + "13.png"), ("Earth", STD + "earthcache.png"),
    ("Multi", STD + "3.png"), ("Tradi", STD + "2.png"),
    ("Wherigo", EXTRA + "icon_whereigo.png"),
    ("MultiSolved", EXTRA + "icon_multimoved.png"),
    ("UnknownSolved", EXTRA + "icon_moved.png"),
]


def style_block(scale):
    lines = ['<Style id="hoverIcon0"><IconStyle><scale>1.3</scale>'
             '</IconStyle></Style>',
             '<Style id="defaultIcon0"><LabelStyle><scale>0</scale>'
             '</LabelStyle><IconStyle><scale>1</scale></IconStyle></Style>'
             .replace("<scale>1</scale>", "<scale>%s</scale>" % scale)]
    for sid, href in LIST_STYLES:
        lines.append('<Style id="Style_' + sid + '"><ListStyle><ItemIcon>'
                     '<href>' + href + '</href></ItemIcon></ListStyle>'
                     '</Style>')
    lines.append('<StyleMap id="defaultStyle1"><Pair><key>normal</key>'
                 '<styleUrl>#defaultIcon0</styleUrl></Pair><Pair>'
                 '<key>highlight</key><styleUrl>#hoverIcon0</styleUrl>'
                 '</Pair></StyleMap>')
    return "\r\n".join(lines)


def folder(name, style, placemarks):
    template = ("<Folder>\r\n<name>Imported</name>\n\n"
                "<styleUrl>Style_Cachetype</styleUrl>\n\n<open>0</open>\r\n")
    start = template.replace("Imported", name).replace("Cachetype", style)
    return start + "".join(placemarks) + "</Folder>\r\n"


def placemark(code, height, icon, scale=""):
    urlname = CACHES[code][2]
    desc = CACHES[code][4]
    lat, lon = CACHES[code][6], CACHES[code][7]
    long_description = ("<A HREF='" + url_of(code) + "'>" + code + "</A>: "
                        + desc)
    return ("<Placemark><name>" + urlname + "</name><description>"
            + long_description + "</description><styleUrl>#defaultStyle1"
            "</styleUrl><Point><altitudeMode>relativeToGround</altitudeMode>"
            "<coordinates>" + lon + "," + lat + "," + height
            + "</coordinates></Point><Style><IconStyle><Icon><href>" + icon
            + "</href></Icon>" + scale + "</IconStyle></Style></Placemark>")


def document(name, scale, folders, style_line=""):
    return (HEADER + "<name>" + name + "</name>" + style_line
            + style_block(scale) + "".join(folders) + END)

# The eleven type folders with their Solved folders, in their fixed order.
FOLDERS = [
    ("Cache In Trash Out Event", "CITO"), ("Earthcache", "Earth"),
    ("Event Cache", "Event"), ("Letterbox Hybrid", "Letterbox"),
    ("Mega-Event Cache", "MegaEvent"), ("Multi-cache", "Multi"),
    ("Multi-cache Solved", "MultiSolved"), ("Traditional Cache", "Tradi"),
    ("Unknown Cache", "Unknown"), ("Unknown Cache Solved", "UnknownSolved"),
    ("Virtual Cache", "Virtual"), ("Webcam Cache", "Webcam"),
    ("Wherigo Cache", "Wherigo"),
]


def all_folders(content):
    """content: style id -> placemarks; missing ids give empty folders."""
    return [folder(name, sid, content.get(sid, [])) for name, sid in FOLDERS]

# ---------------------------------------------------------------- cases


def small_complete(show_disabled):
    """The small list from a Complete file, placed by hand.

    GC1002 and GC1008 are moved (Solved folders), GC1004 is a moved
    Traditional Cache (stays), GC1005 is spelled "Mega-Event cache", GC1006
    has no folder, GC1009 is "earthcache" in lower case: its folder is found
    ignoring case, but the icon table compares exactly and gives no icon.
    """
    h = "0"
    brunnen = EXTRA + "icon_unavailable.png" if show_disabled else STD + "2.png"
    return {
        "Earth": [placemark("GC1009", h, "")],
        "MegaEvent": [placemark("GC1005", h, EXTRA + "icon_megaevent.png")],
        "Multi": [placemark("GC1010", h, EXTRA + "icon_nightcache.png")],
        "MultiSolved": [placemark("GC1002", h, EXTRA + "icon_multimoved.png")],
        "Tradi": [placemark("GC1001", h, EXTRA + "icon_church.png"),
                  placemark("GC1004", h, STD + "2.png"),
                  placemark("GC1007", h, brunnen)],
        "Unknown": [placemark("GC1003", h, STD + "8.png")],
        "UnknownSolved": [placemark("GC1008", h, EXTRA + "icon_moved.png")],
    }


def small_role(height, icon, scale):
    """The small list from a file with a role: same folders, one icon."""
    def p(code):
        return placemark(code, height, icon, scale)
    return {
        "Earth": [p("GC1009")],
        "MegaEvent": [p("GC1005")],
        "Multi": [p("GC1010")],
        "MultiSolved": [p("GC1002")],
        "Tradi": [p("GC1001"), p("GC1004"), p("GC1007")],
        "Unknown": [p("GC1003")],
        "UnknownSolved": [p("GC1008")],
    }


def mode1_files(prefix, scale, content):
    files = {}
    for name, short in [("Cache In Trash Out Event", "CITO"),
                        ("Earthcache", "Earth"), ("Event Cache", "Event"),
                        ("Letterbox Hybrid", "Letterbox"),
                        ("Mega-Event Cache", "MegaEvent"),
                        ("Multi-cache", "Multi"),
                        ("Traditional Cache", "Tradi"),
                        ("Unknown Cache", "Unknown"),
                        ("Virtual Cache", "Virtual"),
                        ("Webcam Cache", "Webcam"),
                        ("Wherigo Cache", "Wherigo")]:
        folders = [folder(name, short, content.get(short, []))]
        if short in ("Multi", "Unknown"):
            folders.append(folder(name + " Solved", short + "Solved",
                                  content.get(short + "Solved", [])))
        files[f"small~all-mode1{prefix}_{short}.kml"] = document(
            "small_" + short, scale, folders,
            "<styleUrl>Style_" + short + "</styleUrl>")
    return files


def mode0_files(suffix, scale):
    h = "0"
    ost = {
        "CITO": [placemark("GC2003", h, STD + "13.png")],
        "Tradi": [placemark("GC2001", h, STD + "2.png")],
        "Virtual": [placemark("GC2002", h, STD + "4.png")],
        "Wherigo": [placemark("GC2004", h, EXTRA + "icon_whereigo.png")],
    }
    west = {
        "Event": [placemark("GC3003", h, STD + "6.png")],
        "Letterbox": [placemark("GC3002", h, STD + "5.png")],
        "Webcam": [placemark("GC3001", h, STD + "11.png")],
    }
    return {
        f"mode0{suffix}~ost.kml": document("ost", scale, all_folders(ost)),
        f"mode0{suffix}~leer.kml": document("leer", scale, all_folders({})),
        f"mode0{suffix}~west.kml": document("west", scale, all_folders(west)),
    }


def all_files():
    files = {}
    files["small~all-mode2.kml"] = document(
        "", "1.0", all_folders(small_complete(show_disabled=True)))
    files["small~all-mode2-small.kml"] = document(
        "", "0.7", all_folders(small_complete(show_disabled=False)))
    files.update(mode1_files("", "1.0", small_complete(show_disabled=True)))
    files.update(mode1_files("-small", "0.7",
                             small_complete(show_disabled=False)))
    files.update(mode0_files("", "1.0"))
    files.update(mode0_files("-small", "0.7"))
    roles = [  # case, document name, height, icon
        ("found", "My finds", "10", EXTRA + "icon_found.png"),
        ("mine", "My caches", "15", EXTRA + "icon_mine.png"),
        ("disabled", "Disabled", "5", EXTRA + "icon_unavailable.png"),
        ("marked", "Marked", "0", EXTRA + "icon_marker.png"),
        ("none", "", "0", ""),
    ]
    for case, name, height, icon in roles:
        files[f"small~{case}.kml"] = document(
            name, "1.4", all_folders(small_role(height, icon, "")))
        files[f"small~{case}-small.kml"] = document(
            name, "1.0",
            all_folders(small_role(height, icon, "<scale>1.0</scale>")))
    return files


def main():
    for name, codes in INPUTS.items():
        with open(os.path.join(HERE, name), "w", encoding="utf-8",
                  newline="\n") as out:
            out.write(gpx(codes))
    for name, text in all_files().items():
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(text.encode("utf-8"))


if __name__ == "__main__":
    main()
