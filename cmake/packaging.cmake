# The packages CPack makes from the install rules: the settings of every
# package, and the Debian package of the system layout.

set(CPACK_PACKAGE_NAME drayvane31)
set(CPACK_PACKAGE_VENDOR "The Drayvane 31 developers")
set(CPACK_PACKAGE_CONTACT
  "Drayvane 31 maintainers <maintainers@users.noreply.c-seed-e087c0c8.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ship-design and space-battle game")
set(CPACK_PACKAGE_DESCRIPTION "A single-player game for a 1024 x 768 screen, mouse and keyboard.
Type a grid size, design two ships cell by cell from two palettes of a
hundred items, and send them into battle for credits. Five slots keep
the designs, in the player's home folder.")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Folders in a package are 0755, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(DRAYVANE_INSTALL_LAYOUT STREQUAL "system")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DRAYVANE_HOMEPAGE})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # SDL draws through OpenGL when it finds the library, which it loads itself;
  # without it the game draws in software.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libgl1)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
