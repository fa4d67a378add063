# The extra icon base written into every KML file. Empty means "the icons
# this installation ships": file:// + the install prefix + /share/korvelo/icons,
# so Google Earth on the same computer shows them without any network.
# A packager who publishes assets/icons on a web server sets an https base
# instead; only then does a KML mailed to someone else show its icons.

# `text` with every byte outside [A-Za-z0-9/._~-] percent-encoded, so a
# prefix with blanks or an ampersand still gives a valid URL inside the KML.
function(korvelo_url_path out text)
  set(encoded "")
  string(LENGTH "${text}" length)
  set(index 0)
  while(index LESS length)
    string(SUBSTRING "${text}" ${index} 1 char)
    if(char MATCHES "^[A-Za-z0-9/._~-]$")
      string(APPEND encoded "${char}")
    else()
      string(HEX "${char}" hex)
      string(TOUPPER "${hex}" hex)
      string(REGEX REPLACE "(..)" "%\\1" hex "${hex}")
      string(APPEND encoded "${hex}")
    endif()
    math(EXPR index "${index} + 1")
  endwhile()
  set(${out} "${encoded}" PARENT_SCOPE)
endfunction()

set(KORVELO_EXTRA_ICON_BASE "" CACHE STRING
    "Base URL of the program's own KML icons (assets/icons); empty: the installed copy as a file:// URL")
option(KORVELO_ICONS_FROM_SOURCE
       "With an empty base: point at assets/icons of this source tree (make run)" OFF)
if(KORVELO_EXTRA_ICON_BASE STREQUAL "")
  set(icon_folder "${CMAKE_INSTALL_FULL_DATADIR}/korvelo/icons")
  if(KORVELO_ICONS_FROM_SOURCE)
    set(icon_folder "${CMAKE_SOURCE_DIR}/assets/icons")
  endif()
  korvelo_url_path(icon_folder "${icon_folder}")
  set(KORVELO_EFFECTIVE_EXTRA_ICON_BASE "file://${icon_folder}")
else()
  set(KORVELO_EFFECTIVE_EXTRA_ICON_BASE "${KORVELO_EXTRA_ICON_BASE}")
endif()
message(STATUS "KML extra icon base: ${KORVELO_EFFECTIVE_EXTRA_ICON_BASE}")
