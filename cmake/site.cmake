# Run by the web build once the site is complete (cmake -DSITE=... -DVERSION=... -DWORKER=...
# -P site.cmake): lists the site's files into SITE/site-files.txt, one a line, and writes
# SITE/sw.js from WORKER with that list and a release name of the version and the files' hash,
# so that a new release, or a rebuild with other files, fills a cache of its own (the worker
# adds the scope it is served from to the name).
#
# The site is every file in SITE but the CMake tree (cmake/) and the browser test's pictures
# (shots/): whatever the build put there, the studio's pages as well as the game's.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(FILTER files EXCLUDE REGEX "^(cmake|shots)/|^site-files\\.txt$|^sw\\.js$")
list(SORT files)

set(hashes "")
set(urls "'./'")
foreach(f IN LISTS files)
  file(SHA256 ${SITE}/${f} h)
  string(APPEND hashes "${f} ${h}\n")
  string(APPEND urls ", '${f}'")
endforeach()
# The list itself is a file of the site: the studio's "Download web build" reads it.
string(APPEND urls ", 'site-files.txt'")
string(SHA256 digest "${hashes}")
string(SUBSTRING ${digest} 0 12 digest)

file(READ ${WORKER} worker)
string(REPLACE "'@RELEASE@'" "'starlane-${VERSION}-${digest}'" worker "${worker}")
string(REPLACE "'@FILES@'" "${urls}" worker "${worker}")
# Written only when they change, so that an unchanged build leaves the site as it was.
foreach(out sw.js site-files.txt)
  if(out STREQUAL "sw.js")
    set(text "${worker}")
  else()
    list(APPEND files sw.js site-files.txt)
    list(SORT files)
    list(JOIN files "\n" text)
    string(APPEND text "\n")
  endif()
  set(old "")
  if(EXISTS ${SITE}/${out})
    file(READ ${SITE}/${out} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${SITE}/${out} "${text}")
  endif()
endforeach()
