# The libraries the game and its tests use: SDL2::SDL2, PNG::PNG (with zlib)
# and, for the tests, GTest::gtest and GTest::gtest_main.
#
# By default they are found the usual way (Debian's -dev packages, MSYS2,
# vcpkg). With DRAYVANE_LIBRARIES_FROM_SOURCES they are built for the target
# from the source trees under build/sources/ (Debian's source packages, as
# scripts/fetch_sources.sh unpacks them), static and only as far as the game
# needs them: a cross-build has no target packages to find.
#
# Include before add_compile_options(), so that the libraries built here keep
# their own warning flags.

option(DRAYVANE_LIBRARIES_FROM_SOURCES "Build SDL2, libpng and GoogleTest from build/sources" OFF)
set(DRAYVANE_SOURCES_DIR ${PROJECT_SOURCE_DIR}/build/sources CACHE PATH
    "Where scripts/fetch_sources.sh unpacked the source packages")

# The source tree of one Debian source package, or a stop that names the fetch.
function(drayvane_source_tree package out)
  set(tree ${DRAYVANE_SOURCES_DIR}/${package})
  if(NOT EXISTS ${tree}/.unpacked)
    message(FATAL_ERROR "No sources of ${package} in ${DRAYVANE_SOURCES_DIR}. Fetch them once with:\n"
                        "  scripts/fetch_sources.sh libsdl2 libpng1.6 googletest")
  endif()
  set(${out} ${tree} PARENT_SCOPE)
endfunction()

# Built libraries live in build trees of their own, outside the game's "all",
# so only what the game links is compiled.
function(drayvane_library_from_sources package)
  drayvane_source_tree(${package} tree)
  add_subdirectory(${tree} ${CMAKE_BINARY_DIR}/libraries/${package} EXCLUDE_FROM_ALL SYSTEM)
endfunction()

if(NOT DRAYVANE_LIBRARIES_FROM_SOURCES)
  find_package(PNG REQUIRED)
  find_package(SDL2 CONFIG REQUIRED)
  if(DRAYVANE_TESTS)
    find_package(GTest REQUIRED)
  endif()
  return()
endif()

set(BUILD_SHARED_LIBS OFF)

# zlib: the target's own static library (Debian: libz-mingw-w64-dev); the
# import library would make the program need zlib1.dll beside it.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# libpng, its static library alone.
set(PNG_SHARED OFF CACHE BOOL "" FORCE)
set(PNG_STATIC ON CACHE BOOL "" FORCE)
set(PNG_TESTS OFF CACHE BOOL "" FORCE)
set(PNG_EXECUTABLES OFF CACHE BOOL "" FORCE)
set(SKIP_INSTALL_ALL ON)
drayvane_library_from_sources(libpng1.6)
drayvane_source_tree(libpng1.6 png_tree)
# libpng sets its include folders (pnglibconf.h is generated) on its directory only.
target_include_directories(png_static INTERFACE ${png_tree} ${CMAKE_BINARY_DIR}/libraries/libpng1.6)
add_library(PNG::PNG ALIAS png_static)

# SDL2: video, events and rendering; no sound, joysticks or sensors.
set(SDL_SHARED OFF CACHE BOOL "" FORCE)
set(SDL_STATIC ON CACHE BOOL "" FORCE)
set(SDL_TEST OFF CACHE BOOL "" FORCE)
set(SDL2_DISABLE_SDL2MAIN ON CACHE BOOL "" FORCE)
set(SDL2_DISABLE_INSTALL ON CACHE BOOL "" FORCE)
set(SDL2_DISABLE_UNINSTALL ON CACHE BOOL "" FORCE)
foreach(unused AUDIO JOYSTICK HAPTIC HIDAPI POWER SENSOR)
  set(SDL_${unused} OFF CACHE BOOL "" FORCE)
endforeach()
drayvane_library_from_sources(libsdl2)
if(NOT TARGET SDL2::SDL2)
  add_library(SDL2::SDL2 ALIAS SDL2-static)
endif()

if(DRAYVANE_TESTS)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  drayvane_library_from_sources(googletest)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
