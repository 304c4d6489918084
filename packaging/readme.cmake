# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# A release's README.txt from TEMPLATE: Bulgarian first, then English; UTF-8 with a
# byte-order mark and CR LF line ends, as Notepad on older Windows needs them to show
# Cyrillic. A release with Qt inside names it by the record qt.sh keeps with it.
function(tarvolin_release_readme template output)
    if(TARGET Qt6::Core)
        set(qt_record ${QT6_INSTALL_PREFIX}/tarvolin-qt-source.txt)
        if(EXISTS ${qt_record})
            file(READ ${qt_record} qt_source)
        else()
            set(qt_source "Qt ${Qt6_VERSION}, as installed in ${QT6_INSTALL_PREFIX}")
        endif()
        string(STRIP "${qt_source}" qt_source)
    endif()
    file(READ ${template} readme)
    string(CONFIGURE "${readme}" readme @ONLY)
    string(ASCII 239 187 191 bom)
    file(CONFIGURE OUTPUT ${output} CONTENT "${bom}${readme}" @ONLY NEWLINE_STYLE CRLF)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template} ${qt_record})
endfunction()
