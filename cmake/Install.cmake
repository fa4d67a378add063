# What `cmake --install` (and `make install`, `make package`) puts where,
# below the install prefix.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(korvelo_docdir "${CMAKE_INSTALL_DATADIR}/doc/korvelo")
set(korvelo_app_id "org.korvelo.Korvelo")

install(TARGETS korvelo RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Manual page and changelog are shipped compressed, as Debian expects; man
# finds korvelo.1.gz like korvelo.1. gzip -n keeps the bytes reproducible.
set(korvelo_gzipped "")
foreach(pair "docs/korvelo.1|korvelo.1.gz" "packaging/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/${target}"
    COMMAND gzip -9nc "${CMAKE_SOURCE_DIR}/${source}" > "${CMAKE_BINARY_DIR}/${target}"
    DEPENDS "${CMAKE_SOURCE_DIR}/${source}" VERBATIM)
  list(APPEND korvelo_gzipped "${CMAKE_BINARY_DIR}/${target}")
endforeach()
add_custom_target(korvelo_docs ALL DEPENDS ${korvelo_gzipped})
install(FILES "${CMAKE_BINARY_DIR}/korvelo.1.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${CMAKE_BINARY_DIR}/changelog.gz" README.md packaging/copyright
        DESTINATION "${korvelo_docdir}")

install(FILES "assets/linux/${korvelo_app_id}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "assets/linux/${korvelo_app_id}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES assets/icons/app/korvelo.svg
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size 16 32 48 64 128 256)
  install(FILES "assets/icons/app/korvelo-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME korvelo.png)
endforeach()

# The KML icons at the same relative paths as under assets/icons, so that
# the default extra icon base (IconBase.cmake) points at them.
install(DIRECTORY assets/icons/geocaching/icons/
        DESTINATION "${CMAKE_INSTALL_DATADIR}/korvelo/icons/geocaching/icons"
        FILES_MATCHING PATTERN "*.png")
