# The web build's programs and site (make web), included by the top-level CMakeLists.txt under
# Emscripten: the game on the web backend with the content packed in beside the page, the
# studio's tools module and page, the replay tool and the content builder for node, and last the
# web app's manifest, icons, file list and service worker.
set(STARLANE_DATA ${CMAKE_SOURCE_DIR}/data CACHE PATH "The content folder packed into the web build")
set(STARLANE_WEB_SITE ${CMAKE_BINARY_DIR} CACHE PATH "Where the page, script, wasm and content go")

# The page's key table, made from the stand-in's one list of keys.
set(WEB_KEYS ${CMAKE_BINARY_DIR}/web_keys.js)
add_custom_command(OUTPUT ${WEB_KEYS}
  COMMAND ${CMAKE_COMMAND} -DKEYS=${CMAKE_SOURCE_DIR}/platform/keys.def
          -DDINPUT=${CMAKE_SOURCE_DIR}/platform/include/dinput.h -DOUT=${WEB_KEYS}
          -P ${CMAKE_SOURCE_DIR}/cmake/web_keys.cmake
  DEPENDS platform/keys.def platform/include/dinput.h cmake/web_keys.cmake)
add_custom_target(web_keys DEPENDS ${WEB_KEYS})

# ASYNCIFY lets Sleep hand the time back to the browser; only direct calls lead there, so
# the COM and window-procedure calls through pointers need no instrumenting.
add_executable(starlane programs/starlane.cpp programs/watch_web.cpp)
target_link_libraries(starlane PRIVATE starlane_record starlane_core starlane_platform_web)
target_link_options(starlane PRIVATE -O2 -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT
  -sENVIRONMENT=web -sEXIT_RUNTIME -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=16MB
  -sFORCE_FILESYSTEM -sEXPORTED_RUNTIME_METHODS=FS,ENV,addRunDependency,removeRunDependency
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/web/backend_web.js" "SHELL:--js-library ${WEB_KEYS}")
# A changed page file links the game again, so that the copy below brings it to the site.
set_target_properties(starlane PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${STARLANE_WEB_SITE}
  LINK_DEPENDS "${CMAKE_SOURCE_DIR}/web/backend_web.js;${CMAKE_SOURCE_DIR}/web/controls.js;${CMAKE_SOURCE_DIR}/web/index.html;${CMAKE_SOURCE_DIR}/web/page.js;${WEB_KEYS}")
add_dependencies(starlane web_keys)
# The content beside the script, as data the page reads into the game's file system
# (page.js): the files one after the other in starlane.data, and where each one starts and
# ends in starlane-files.json, as emscripten's file packager writes them. Left out: what the
# game wrote there, and the sources of the sprite sheets.
file(GLOB_RECURSE STARLANE_DATA_FILES CONFIGURE_DEPENDS ${STARLANE_DATA}/*)
add_custom_command(OUTPUT ${STARLANE_WEB_SITE}/starlane.data ${STARLANE_WEB_SITE}/starlane-files.json
  COMMAND ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager ${STARLANE_WEB_SITE}/starlane.data
          --preload ${STARLANE_DATA}@/game
          --exclude *Error.txt *.png *.sheet *.colors *.gitattributes
          --separate-metadata --js-output=${CMAKE_BINARY_DIR}/starlane-files.js
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/starlane-files.js.metadata
          ${STARLANE_WEB_SITE}/starlane-files.json
  DEPENDS ${STARLANE_DATA_FILES} VERBATIM)
add_custom_target(starlane-content ALL DEPENDS ${STARLANE_WEB_SITE}/starlane-files.json)
add_custom_command(TARGET starlane POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/index.html
          ${CMAKE_SOURCE_DIR}/web/page.js ${CMAKE_SOURCE_DIR}/web/controls.js ${STARLANE_WEB_SITE})

# The studio's tools: the checker, the listing and the content builder's sheet reader on the
# headless backend, one module for the studio's worker (and node), working in its memory file
# system. Its memory comes from whoever starts it, so the worker sets the module's budget.
set(STUDIO_DIR ${CMAKE_SOURCE_DIR}/web/studio)
add_executable(starlane-tools programs/studio_tools.cpp)
target_link_libraries(starlane-tools PRIVATE starlane_tools)
target_link_options(starlane-tools PRIVATE -O2 -sMODULARIZE -sEXPORT_NAME=StarlaneTools
  -sENVIRONMENT=web,worker,node -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=32MB -sMAXIMUM_MEMORY=1GB
  -sIMPORTED_MEMORY
  -sEXPORTED_RUNTIME_METHODS=FS,ccall --pre-js ${STUDIO_DIR}/tools_pre.js)
set_target_properties(starlane-tools PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${STARLANE_WEB_SITE}
  LINK_DEPENDS ${STUDIO_DIR}/tools_pre.js)

# The studio page, bundled by esbuild from web/studio's sources and its npm packages (make web
# installs them there with npm ci), with the content it opens with, the tools module's worker
# and the game's frame; and the game page's links (web/links/), with the shipped content's
# digest they are made against.
file(GLOB STUDIO_SOURCES CONFIGURE_DEPENDS ${STUDIO_DIR}/src/*.js ${CMAKE_SOURCE_DIR}/web/links/*.js)
add_custom_command(OUTPUT ${STARLANE_WEB_SITE}/studio.js ${STARLANE_WEB_SITE}/studio-tools-worker.js
         ${STARLANE_WEB_SITE}/studio-content.zip
         ${STARLANE_WEB_SITE}/links.js ${STARLANE_WEB_SITE}/links-content.json
  COMMAND node ${STUDIO_DIR}/build.js ${STARLANE_WEB_SITE} ${STARLANE_DATA}
  DEPENDS ${STUDIO_SOURCES} ${STUDIO_DIR}/build.js ${STUDIO_DIR}/studio.html ${STUDIO_DIR}/play.html
          ${STUDIO_DIR}/play.js ${STUDIO_DIR}/package-lock.json ${CMAKE_SOURCE_DIR}/shell/resource.h
          ${STARLANE_DATA_FILES} VERBATIM)
add_custom_target(studio ALL DEPENDS ${STARLANE_WEB_SITE}/studio.js)

# Under node with the real file system, one file (script and wasm together).
add_executable(starlane-replay programs/replay.cpp programs/alloc_count.cpp)
target_link_libraries(starlane-replay PRIVATE starlane_record starlane_core starlane_platform_headless)
target_link_options(starlane-replay PRIVATE -O2 -sENVIRONMENT=node -sNODERAWFS -sSINGLE_FILE
  -sEXIT_RUNTIME -sALLOW_MEMORY_GROWTH)
set_target_properties(starlane-replay PROPERTIES SUFFIX .js)

# The content builder under node, for the web app's icons, cut from the ship's art.
add_executable(mkcontent programs/mkcontent.cpp)
target_link_libraries(mkcontent PRIVATE starlane_tools)
target_link_options(mkcontent PRIVATE -sENVIRONMENT=node -sNODERAWFS -sSINGLE_FILE -sEXIT_RUNTIME
  -sALLOW_MEMORY_GROWTH)
set_target_properties(mkcontent PROPERTIES SUFFIX .js)

# Last, once every other target has put its files into the site: the web app's manifest and
# icons, then the list of the site's files (site-files.txt, which the local server and the
# release zip go by) and the service worker that caches them, named by the version.
file(STRINGS ${CMAKE_SOURCE_DIR}/shell/resource.h STARLANE_VERSION REGEX "define STARLANE_VERSION_TEXT")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" STARLANE_VERSION "${STARLANE_VERSION}")
get_property(site_targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
# node itself: the toolchain's emulator line carries options today's node refuses.
find_program(STARLANE_NODE NAMES node nodejs REQUIRED)
add_custom_target(starlane-site ALL
  COMMAND ${STARLANE_NODE} $<TARGET_FILE:mkcontent> icon-web ${STARLANE_DATA} ${STARLANE_WEB_SITE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/starlane.webmanifest ${STARLANE_WEB_SITE}
  COMMAND ${CMAKE_COMMAND} -DSITE=${STARLANE_WEB_SITE} -DVERSION=${STARLANE_VERSION}
          -DWORKER=${CMAKE_SOURCE_DIR}/web/sw.js -P ${CMAKE_SOURCE_DIR}/cmake/site.cmake
  VERBATIM)
add_dependencies(starlane-site ${site_targets})
