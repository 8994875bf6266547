# Makes the page's key table, web_keys.js (an Emscripten library): each KeyboardEvent.code of
# platform/keys.def with the DirectInput code that platform/include/dinput.h gives its DIK_
# name, so that the browser and the SDL backend pass on the same keys as the same codes.
#   cmake -DKEYS=platform/keys.def -DDINPUT=platform/include/dinput.h -DOUT=web_keys.js -P web_keys.cmake
file(STRINGS ${DINPUT} defines REGEX "^#define DIK_[A-Z0-9_]+ 0x[0-9A-F]+$")
foreach(line ${defines})
  string(REGEX MATCH "^#define DIK_([A-Z0-9_]+) (0x[0-9A-F]+)$" _ "${line}")
  set(code_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()

file(STRINGS ${KEYS} keys REGEX "^KEY\\(")
set(table "")
foreach(line ${keys})
  if(NOT line MATCHES "^KEY\\(([A-Z0-9_]+), *([A-Z0-9_]+), *([A-Za-z0-9]+|-)\\)$")
    message(FATAL_ERROR "${KEYS}: not a key: ${line}")
  endif()
  set(dik ${CMAKE_MATCH_1})
  set(web ${CMAKE_MATCH_3})
  if(NOT DEFINED code_${dik})
    message(FATAL_ERROR "${KEYS}: DIK_${dik} is not in ${DINPUT}")
  endif()
  if(NOT web STREQUAL "-")
    string(APPEND table "    ${web}: ${code_${dik}},\n")
  endif()
endforeach()

file(WRITE ${OUT} "// Made by the build from platform/keys.def and platform/include/dinput.h (cmake/web_keys.cmake).
mergeInto(LibraryManager.library, {
  $starlaneKeyCodes: {
${table}  },
});
")
