# `cpack -G DEB` in a Release build configured with -DCMAKE_INSTALL_PREFIX=/usr
# makes a Debian package of both commands, the desktop entry, the icon and the
# AppStream metainfo. The shared libraries the binaries link decide most of
# the dependencies (dpkg-shlibdeps); the SVG icon engine draws the icon.
set(CPACK_PACKAGE_NAME "ombrel-raid")
set(CPACK_PACKAGE_VENDOR "Ombrel Raid")
set(CPACK_PACKAGE_CONTACT "Ombrel Raid developers <dev@ombrel-raid.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Damage by fight and by combatant from a game's combat log")
set(CPACK_PACKAGE_DESCRIPTION
    "Ombrel Raid reads the combat log of an online role-playing game, groups every hit,\n"
    "miss, avoidance, cast and damage-over-time tick into fights and lists them by fight,\n"
    "by combatant and by attack or spell. It comes as a window (ombrel-raid) and a\n"
    "command (ombrel-batch).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://ombrel-raid.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
include(CPack)
