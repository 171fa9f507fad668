# `cpack -G DEB` in a Release build configured with -DCMAKE_INSTALL_PREFIX=/usr
# makes a Debian package of both commands, their manual pages and completion,
# the desktop entry, the icon, the AppStream metainfo, the copyright file and
# the changelog. The shared libraries the binaries link decide most of the
# dependencies (dpkg-shlibdeps); the SVG icon engine draws the icon.
set(CPACK_PACKAGE_NAME "ombrel-raid")
set(CPACK_PACKAGE_VENDOR "Ombrel Raid")
set(CPACK_PACKAGE_CONTACT "Ombrel Raid developers <dev@ombrel-raid.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Damage by fight and by combatant from a game's combat log")
set(CPACK_PACKAGE_DESCRIPTION
    "Ombrel Raid reads the combat log of an online role-playing game, groups\n"
    "every hit, miss, avoidance, cast and damage-over-time tick into fights and\n"
    "lists them by fight, by combatant and by attack or spell. It comes as a\n"
    "window (ombrel-raid) and a command (ombrel-batch).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://ombrel-raid.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A tool beside a game, not a game: Debian's games go to /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Strips what Debian's dh_strip strips besides the symbols.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripSections.cmake)
include(CPack)
