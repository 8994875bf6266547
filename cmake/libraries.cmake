# The libraries every build links, defined once for the Linux, Windows, web and fuzz builds.
# Each is built only when a program of that build needs it (EXCLUDE_FROM_ALL).
#   starlane_core                the game (shell/ display/ graphics/ input/ bitmap/ content/ game/)
#                                against the stand-in's windows.h, ddraw.h and dinput.h
#   starlane_platform_BACKEND    the stand-in on one backend, for each of STARLANE_BACKENDS
#                                (headless, sdl, web); sdl needs PkgConfig::SDL2 found first
#   starlane_record              recording and playback (record/)
#   starlane_tools               the content toolkit (tools/): check, warnings, listing, sheets
# Every source includes from the repository's root; the stand-in's system headers come first.
# Set before including: STARLANE_ROOT (the source tree) and STARLANE_BACKENDS.
include(${STARLANE_ROOT}/cmake/sources.cmake)

# The one PNG writer (platform/png_write.cpp) is stb_image_write, one portable header: Debian's
# copy serves every build. Its folder only: /usr/include as a whole would mix glibc's headers
# into the cross and web builds.
find_path(STB_INCLUDE_DIR stb_image_write.h PATHS /usr/include PATH_SUFFIXES stb
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)

function(starlane_includes target)
  target_include_directories(${target} BEFORE PUBLIC ${STARLANE_ROOT}/platform/include ${STARLANE_ROOT})
endfunction()

add_library(starlane_core STATIC EXCLUDE_FROM_ALL ${GAME_SOURCES})
starlane_includes(starlane_core)

foreach(backend ${STARLANE_BACKENDS})
  add_library(starlane_platform_${backend} STATIC EXCLUDE_FROM_ALL ${PLATFORM_SOURCES}
              ${STARLANE_ROOT}/platform/backend_${backend}.cpp)
  starlane_includes(starlane_platform_${backend})
  target_include_directories(starlane_platform_${backend} SYSTEM PRIVATE ${STB_INCLUDE_DIR})
endforeach()
if(TARGET starlane_platform_sdl)
  target_link_libraries(starlane_platform_sdl PUBLIC PkgConfig::SDL2)
endif()

file(GLOB RECORD_SOURCES CONFIGURE_DEPENDS ${STARLANE_ROOT}/record/*.cpp)
add_library(starlane_record STATIC EXCLUDE_FROM_ALL ${RECORD_SOURCES})
target_link_libraries(starlane_record PUBLIC starlane_core)

# The toolkit runs the game's own loaders on the headless backend, read through the one reader.
file(GLOB TOOLS_SOURCES CONFIGURE_DEPENDS ${STARLANE_ROOT}/tools/*.cpp)
add_library(starlane_tools STATIC EXCLUDE_FROM_ALL ${TOOLS_SOURCES})
target_link_libraries(starlane_tools PUBLIC starlane_core)
if(TARGET starlane_platform_headless)
  target_link_libraries(starlane_tools PUBLIC starlane_platform_headless)
endif()
