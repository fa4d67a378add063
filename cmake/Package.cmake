# `cpack -G DEB` (run by `make package`) builds korvelo_<version>_amd64.deb
# from the install rules. Configure with -DCMAKE_INSTALL_PREFIX=/usr so the
# compiled-in icon base names the packaged icon folder.
set(KORVELO_MAINTAINER "Korvelo developers <maintainers@korvelo.org>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvelo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Korvelo developers")
set(CPACK_PACKAGE_CONTACT "${KORVELO_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "converts geocaching pocket queries to KML for Google Earth")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVELO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KORVELO_MAKER_SITE_BASE}")
# Depends comes from the libraries the binary links (Qt 6, ISA-L, zlib).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The synopsis above is the first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Korvelo reads pocket-query GPX files (plain, zipped, or folders of them) and
writes KML for Google Earth with an icon for every cache type and markers
for found, own, disabled and marked caches. Before writing it can drop
excluded caches and caches of named owners, and move solved puzzle caches to
their final coordinates. It can also write POI-Warner .asc point files and
plain-text cache sheets. It has a command line for scripts and a small
window for drag and drop.")
include(CPack)
