# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# Lays out the site, then writes its service worker: the lists of the files and of the
# pictures it keeps offline, and a store named after the release and a digest of the site's
# contents.
# usage: cmake -DSITE=DIR -DVERSION=V -DTEMPLATE=sw.js.in "-DFILES=name=source;..."
#        "-DOFFLINE=name=source;..." "-DPICTURES=name=source;..." -P site.cmake
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
# The names, quoted for JavaScript and separated by commas.
function(quoted_names variable)
    set(names "")
    foreach(file IN LISTS ARGN)
        string(REGEX REPLACE "=.*" "" file ${file})
        list(APPEND names "'${file}'")
    endforeach()
    list(JOIN names ", " names)
    set(${variable} "${names}" PARENT_SCOPE)
endfunction()
quoted_names(files ${OFFLINE})
quoted_names(pictures ${PICTURES})
set(TARVOLIN_VERSION ${VERSION})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
