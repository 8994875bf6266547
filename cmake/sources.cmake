# The sources that every build compiles, found in one place for the main build and the fuzz
# build (tests/fuzz). STARLANE_ROOT: the source tree.

# The game: one folder per subsystem, every source in it.
set(GAME_DIRS shell display graphics input bitmap content game)
set(GAME_SOURCES)
foreach(dir ${GAME_DIRS})
  file(GLOB dir_sources CONFIGURE_DEPENDS ${STARLANE_ROOT}/${dir}/*.cpp)
  list(APPEND GAME_SOURCES ${dir_sources})
endforeach()

# The stand-in: every source of platform/ but the entry point (main.cpp, the game's own
# program only) and the backends, of which each program links one (backend_NAME.cpp).
file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS ${STARLANE_ROOT}/platform/*.cpp)
list(FILTER PLATFORM_SOURCES EXCLUDE REGEX "/(backend_[a-z]+|main)\\.cpp$")
