# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# Lays out the release folder and packs it into the ZIP, so that two builds give the same
# bytes: members in a fixed order, the release date as their time, the same modes
# whatever the builder's umask.
# usage: cmake -DSTAGE=DIR -DZIP=FILE -DDATE=YYYY-MM-DD "-DFILES=member=source;..." -P stage.cmake
file(REMOVE_RECURSE ${STAGE})
set(members "")
foreach(file IN LISTS FILES)
    string(REGEX MATCH "^([^=]+)=(.+)$" file ${file})
    get_filename_component(folder ${STAGE}/${CMAKE_MATCH_1} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${CMAKE_MATCH_2} ${STAGE}/${CMAKE_MATCH_1})
    file(CHMOD ${STAGE}/${CMAKE_MATCH_1} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND members ${CMAKE_MATCH_1})
endforeach()
# A ZIP keeps local time: this one keeps the release date's midnight, wherever it is built,
# and no extra fields (which would hold the staged files' access and change times).
set(ENV{TZ} UTC)
file(REMOVE ${ZIP})
execute_process(COMMAND touch -d "${DATE} 00:00:00" ${members}
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${STAGE})
execute_process(COMMAND zip -X -D -q ${ZIP} ${members}
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${STAGE})
