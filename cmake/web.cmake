# The browser build: its libraries from the Debian sources, the build tools
# run under Node, and the game linked as a page's script and module.

# emcc's JavaScript optimiser needs Debian's acorn, which Node does not find by itself.
set(DRAYVANE_NODE_PATH /usr/share/nodejs)
set(ENV{NODE_PATH} ${DRAYVANE_NODE_PATH})
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${DRAYVANE_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${DRAYVANE_NODE_PATH})

# The game catches its own exceptions (a save that fails, a damaged slot
# file); Emscripten leaves catching out unless asked.
add_compile_options(-sDISABLE_EXCEPTION_CATCHING=0)
add_link_options(-sDISABLE_EXCEPTION_CATCHING=0)

# The tools that make the font and the art run under Node, on the real file
# system; Node's own fetch would try to load their modules by file name.
find_program(DRAYVANE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${DRAYVANE_NODE} --no-experimental-fetch)

include(${CMAKE_CURRENT_LIST_DIR}/web_libraries.cmake)
set(DRAYVANE_SOURCES ${PROJECT_SOURCE_DIR}/build/sources)
drayvane_build_library(zlib ${CMAKE_CURRENT_LIST_DIR}/zlib -DZLIB_SOURCE_DIR=${DRAYVANE_SOURCES}/zlib)
drayvane_build_library(libpng ${DRAYVANE_SOURCES}/libpng1.6
  -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF
  -DZLIB_ROOT=${DRAYVANE_LIBRARY_PREFIX} -Dld-version-script=OFF)
# Only what the game uses: video with its renderers, events and the clock;
# its configure checks answered from the recorded results.
drayvane_build_library(sdl2 ${DRAYVANE_SOURCES}/libsdl2
  -C ${CMAKE_CURRENT_LIST_DIR}/sdl2_web_checks.cmake
  -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
  -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF
  -DSDL_HIDAPI=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF
  -DSDL_FILESYSTEM=OFF -DSDL_FILE=OFF -DSDL_LOADSO=OFF -DSDL_ATOMIC=OFF -DSDL_CPUINFO=OFF)

list(APPEND CMAKE_FIND_ROOT_PATH ${DRAYVANE_LIBRARY_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${DRAYVANE_LIBRARY_PREFIX})
set(ZLIB_ROOT ${DRAYVANE_LIBRARY_PREFIX})
# Emscripten's own SDL2 package (its port, fetched at build time) is never the one.
set(SDL2_DIR ${DRAYVANE_LIBRARY_PREFIX}/lib/cmake/SDL2 CACHE PATH "SDL2 built for the browser" FORCE)

# The font and art tools write real files when run under Node.
function(drayvane_web_tool target)
  target_link_options(${target} PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1)
endfunction()

# The game as a folder of static files any web server can serve: the page,
# its script, the game's script and module, and the art beside them.
set(DRAYVANE_SITE_DIR ${CMAKE_BINARY_DIR}/site)
function(drayvane_web_page target)
  set(module_js ${PROJECT_SOURCE_DIR}/src/platform/system/web_module.js)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME index SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${DRAYVANE_SITE_DIR})
  target_link_options(${target} PRIVATE
    # The game's loops stay as they are: the module unwinds and resumes them
    # around every turn it gives the page.
    -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=131072
    -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
    "SHELL:--pre-js ${module_js}"
    "SHELL:--preload-file ${DRAYVANE_ART_DIR}@/game/IronholdArt"
    "SHELL:--exclude-file *.sdx")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${module_js})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/web/index.html
            ${PROJECT_SOURCE_DIR}/web/page.js ${DRAYVANE_SITE_DIR}
    VERBATIM)
endfunction()
