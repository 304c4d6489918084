# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# Warnings for the project's own targets (link tarvolin_warnings).
add_library(tarvolin_warnings INTERFACE)
if(MSVC)
    target_compile_options(tarvolin_warnings INTERFACE /W4 /utf-8
        $<$<BOOL:${TARVOLIN_WARNINGS_AS_ERRORS}>:/WX>)
else()
    target_compile_options(tarvolin_warnings INTERFACE -Wall -Wextra -Wpedantic
        $<$<BOOL:${TARVOLIN_WARNINGS_AS_ERRORS}>:-Werror>)
endif()

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL wasm32)
    # WebAssembly runs in the browser's sandbox, where code and data never mix: there is no
    # RELRO, PIE or stack protector to ask for. The module is optimised as a whole, for size.
    add_compile_options($<${optimised}:-Oz> $<${optimised}:-flto>)
    add_link_options($<${optimised}:-flto> $<${optimised}:-Oz>)
else()
    # Hardening: by default, what Debian's dpkg-buildflags gives a package. A builder that
    # passes its own flags, as a distribution does, gets exactly those instead.
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
    if(CMAKE_CXX_FLAGS STREQUAL "" AND NOT DEFINED ENV{CXXFLAGS} AND NOT DEFINED ENV{CPPFLAGS})
        add_compile_options(-Wformat -Werror=format-security -Wdate-time
            $<${optimised}:-fstack-protector-strong> $<${optimised}:-D_FORTIFY_SOURCE=2>)
    endif()
    if(CMAKE_EXE_LINKER_FLAGS STREQUAL "" AND NOT DEFINED ENV{LDFLAGS} AND NOT APPLE AND NOT WIN32)
        add_link_options($<${optimised}:LINKER:-z,relro> $<${optimised}:LINKER:-z,now>)
    endif()
endif()

if(MINGW)
    # MinGW's stack protector and fortified functions live in libssp, which the flag links.
    # PE has no RELRO or PIE: address randomisation (64-bit) and no-execute data instead.
    # The program is one static file: unused code is dropped, and release builds stripped.
    # A PE file carries its link time unless told not to, which no rebuild could match.
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options($<${optimised}:-fstack-protector-strong>
        LINKER:--dynamicbase LINKER:--nxcompat LINKER:--high-entropy-va
        LINKER:--gc-sections $<$<CONFIG:Release,MinSizeRel>:-s> LINKER:--no-insert-timestamp)
endif()

# Reproducible builds: no build paths in the objects, and rcc (like every custom command)
# stamps resources with the release date instead of the files' modification times.
add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}/=
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
    "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TARVOLIN_SOURCE_DATE_EPOCH}")
