# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# Lays out the site, then writes its service worker: the list of the files it keeps offline,
# and a store named after the release and a digest of the site's contents.
# usage: cmake -DSITE=DIR -DVERSION=V -DTEMPLATE=sw.js.in "-DFILES=name=source;..."
#        "-DOFFLINE=name=source;..." -P site.cmake
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE})
set(sums "")
foreach(file IN LISTS FILES)
    string(REGEX MATCH "^([^=]+)=(.+)$" file ${file})
    file(COPY_FILE ${CMAKE_MATCH_2} ${SITE}/${CMAKE_MATCH_1})
    file(SHA256 ${SITE}/${CMAKE_MATCH_1} sum)
    string(APPEND sums "${sum}  ${CMAKE_MATCH_1}\n")
endforeach()
string(SHA256 digest "${sums}")
string(SUBSTRING ${digest} 0 12 digest)
set(files "")
foreach(file IN LISTS OFFLINE)
    string(REGEX REPLACE "=.*" "" file ${file})
    list(APPEND files "'${file}'")
endforeach()
list(JOIN files ", " files)
set(TARVOLIN_VERSION ${VERSION})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
