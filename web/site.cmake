# Run by the web build once the site is complete (cmake -DSITE=... -P site.cmake): lists the
# site's files into SITE/site-files.txt, one a line, for the local server and the release zip.
#
# The site is every file in SITE but the CMake tree (cmake/) and the browser test's pictures
# (shots/): whatever the build put there, the studio's pages as well as the game's.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(FILTER files EXCLUDE REGEX "^(cmake|shots)/|^site-files\\.txt$")
list(SORT files)
list(JOIN files "\n" text)
string(APPEND text "\n")
# Written only when it changes, so that an unchanged build leaves the site as it was.
set(old "")
if(EXISTS ${SITE}/site-files.txt)
  file(READ ${SITE}/site-files.txt old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${SITE}/site-files.txt "${text}")
endif()
