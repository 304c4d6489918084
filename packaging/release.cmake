# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# The release: the one place to edit when cutting one. Everything that carries a version
# or a date (the program, the version resource, the metainfo, the .deb and its changelog,
# the manual pages, the source tarball, the tests) takes it from here.
set(TARVOLIN_VERSION 1.00)
set(TARVOLIN_RELEASE_DATE 2026-12-08)
set(TARVOLIN_RELEASE_NOTES "First release: the barrel puzzle, its statement and its illustration.")
set(TARVOLIN_RELEASE_NOTES_BG "Първо издание: задачата с бурето, условието, илюстрацията и деветте дегустатори.")

# "1.00" is major 1, minor 0; Windows wants the four-part 1.0.0.0.
if(NOT TARVOLIN_VERSION MATCHES "^([0-9]+)\\.([0-9][0-9])$")
    message(FATAL_ERROR "TARVOLIN_VERSION must look like 1.00, not ${TARVOLIN_VERSION}")
endif()
math(EXPR minor "${CMAKE_MATCH_2}")
set(TARVOLIN_VERSION_NUMBER ${CMAKE_MATCH_1}.${minor}.0.0)

# SOURCE_DATE_EPOCH: midnight UTC of the release date, unless the builder sets its own.
if(NOT TARVOLIN_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "TARVOLIN_RELEASE_DATE must look like 2026-12-08")
endif()
math(EXPR month "${CMAKE_MATCH_2}")
math(EXPR day "${CMAKE_MATCH_3}")
# Days since 1970-01-01 in the proleptic Gregorian calendar, counted from March.
math(EXPR year "${CMAKE_MATCH_1} - (14 - ${month}) / 12")
math(EXPR day_of_year "(153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 1")
math(EXPR days "${year} * 365 + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${day_of_year} - 719468")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(TARVOLIN_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    math(EXPR TARVOLIN_SOURCE_DATE_EPOCH "${days} * 86400")
    set(ENV{SOURCE_DATE_EPOCH} ${TARVOLIN_SOURCE_DATE_EPOCH})
endif()
unset(minor)
unset(month)
unset(day)
unset(year)
unset(day_of_year)
unset(days)
