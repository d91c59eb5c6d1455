# The installed layout of a Linux system (DRAYVANE_INSTALL_LAYOUT=system):
# the program in <prefix>/games, the art in <prefix>/share/games/drayvane31,
# and what a desktop needs to show the game in its menu: the desktop entry,
# icons drawn from the game's art, the metainfo, a man page.

set(DRAYVANE_APP_ID "io.github.drayvane31.drayvane31" CACHE STRING
  "Reverse-DNS id of the desktop entry, icons and metainfo")
set(DRAYVANE_HOMEPAGE "https://drayvane31.github.io/" CACHE STRING "The game's web page")
set(DRAYVANE_SCREENSHOT_URL "${DRAYVANE_HOMEPAGE}screenshots/design.png" CACHE STRING
  "Where the screenshot that the build makes (screenshots/design.png) is published")
set(DRAYVANE_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING
  "The game's licence, as an SPDX expression, for the metainfo")
set(DRAYVANE_MAINTAINER
  "Drayvane 31 maintainers <maintainers@users.noreply.c-seed-e087c0c8.example>")
# The date of this version's release, not of the build: the same sources give the same package.
set(DRAYVANE_RELEASE_DATE "2026-12-11")
set(DRAYVANE_CHANGELOG_DATE "Fri, 11 Dec 2026 12:00:00 +0000")

set(DRAYVANE_PROGRAM "${CMAKE_INSTALL_PREFIX}/games/drayvane31")
set(linux_files ${PROJECT_SOURCE_DIR}/packaging/linux)
set(made ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS drayvane31 RUNTIME DESTINATION games)
install(DIRECTORY ${DRAYVANE_ART_DIR}/ DESTINATION share/games/drayvane31/IronholdArt
  FILES_MATCHING PATTERN "*.png")

configure_file(${linux_files}/app.desktop.in ${made}/${DRAYVANE_APP_ID}.desktop @ONLY)
configure_file(${linux_files}/app.metainfo.xml.in ${made}/${DRAYVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${linux_files}/changelog.in ${made}/changelog @ONLY)
install(FILES ${made}/${DRAYVANE_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${made}/${DRAYVANE_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The icons: the crossed swords the window shows, enlarged by whole factors.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/make_icon ${CMAKE_BINARY_DIR}/tools/make_icon)
set(icon_files)
foreach(size 32 64 128 256)
  set(icon ${made}/icons/${size}x${size}/apps/${DRAYVANE_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${made}/icons/${size}x${size}/apps
    COMMAND make_icon ${DRAYVANE_ART_DIR}/swords.png ${size} ${icon}
    DEPENDS make_icon ${DRAYVANE_ART_DIR}/swords.png
    COMMENT "Drawing the ${size} px icon" VERBATIM)
  list(APPEND icon_files ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian's documents are compressed, without a time stamp.
set(gzipped)
foreach(pair "${linux_files}/drayvane31.6:drayvane31.6.gz" "${made}/changelog:changelog.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${made}/${target}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${made}/${target}
    DEPENDS ${source} COMMENT "Compressing ${target}" VERBATIM)
  list(APPEND gzipped ${made}/${target})
endforeach()
install(FILES ${made}/drayvane31.6.gz DESTINATION share/man/man6)
install(FILES ${made}/changelog.gz ${linux_files}/copyright DESTINATION share/doc/drayvane31)

# The metainfo's screenshot: the design screen with two ships, the golden frame
# the tests draw headless; published at DRAYVANE_SCREENSHOT_URL, not installed.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/screenshots/design.png
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/tests/golden/design_both_ships.png
    ${CMAKE_BINARY_DIR}/screenshots/design.png
  DEPENDS ${PROJECT_SOURCE_DIR}/tests/golden/design_both_ships.png VERBATIM)

add_custom_target(desktop_files ALL
  DEPENDS ${icon_files} ${gzipped} ${CMAKE_BINARY_DIR}/screenshots/design.png)
add_dependencies(desktop_files ironhold_art)
