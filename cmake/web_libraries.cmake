# The libraries the browser build links (zlib, libpng, SDL2), built from the
# unpacked Debian sources in build/sources/ with the build's own toolchain.
# Each is configured, built and installed once into one prefix at configure
# time; a changed source folder or argument list builds it again.

set(DRAYVANE_LIBRARY_PREFIX ${CMAKE_BINARY_DIR}/libraries/prefix)

# Builds the CMake project in source_dir for this build's target and installs
# it into DRAYVANE_LIBRARY_PREFIX; the remaining arguments go to its configure.
function(drayvane_build_library name source_dir)
  if(NOT EXISTS ${source_dir}/CMakeLists.txt)
    message(FATAL_ERROR "No sources of ${name} in ${source_dir}: run scripts/fetch_sources.sh first")
  endif()
  set(work ${CMAKE_BINARY_DIR}/libraries/${name})
  set(stamp ${work}/installed.stamp)
  string(SHA1 key "${source_dir};${CMAKE_TOOLCHAIN_FILE};${ARGN}")
  if(EXISTS ${stamp})
    file(READ ${stamp} built)
    if(built STREQUAL key)
      return()
    endif()
  endif()
  message(STATUS "Building ${name} for the target from ${source_dir}")
  file(REMOVE_RECURSE ${work}/build)
  file(MAKE_DIRECTORY ${work})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${source_dir} -B ${work}/build -G Ninja
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
            -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX=${DRAYVANE_LIBRARY_PREFIX}
            -DCMAKE_PREFIX_PATH=${DRAYVANE_LIBRARY_PREFIX}
            -DCMAKE_FIND_ROOT_PATH=${DRAYVANE_LIBRARY_PREFIX}
            ${ARGN}
    OUTPUT_FILE ${work}/configure.log ERROR_FILE ${work}/configure.log
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Configuring ${name} failed: see ${work}/configure.log")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${work}/build --target install --parallel 2
    OUTPUT_FILE ${work}/build.log ERROR_FILE ${work}/build.log
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Building ${name} failed: see ${work}/build.log")
  endif()
  file(WRITE ${stamp} "${key}")
endfunction()
