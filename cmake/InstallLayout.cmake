# SPDX-License-Identifier: BSD-3-Clause
# Where each part goes below the install prefix. Only programs, headers, the CMake package and the
# QML module sit in public folders; the libraries the plug-in and the page load are private to
# lib/<multiarch>/schedule-backup, and every run path is relative so that a copied prefix runs.
#
# Install components: Runtime (plug-in, libraries, programs, QML module, translations) and
# Development (headers, CMake package, example sources).
include(GNUInstallDirs)

foreach(dir IN ITEMS CMAKE_INSTALL_BINDIR CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_DATADIR)
    if(IS_ABSOLUTE "${${dir}}")
        message(FATAL_ERROR "${dir} must be relative to the prefix: the programs find their "
                            "plug-ins, QML module and translations relative to themselves")
    endif()
endforeach()

set(SCHEDULE_BACKUP_LIB_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/schedule-backup)
set(SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR ${SCHEDULE_BACKUP_LIB_INSTALL_DIR}/plugins)
# Debian's Qt 6 looks for QML modules in lib/<multiarch>/qt6/qml.
set(SCHEDULE_BACKUP_QML_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/qt6/qml
    CACHE STRING "QML import folder below the prefix")
set(SCHEDULE_BACKUP_TRANSLATIONS_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/schedule-backup/translations)
set(SCHEDULE_BACKUP_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/schedule-backup)
set(SCHEDULE_BACKUP_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ScheduleBackup)
set(SCHEDULE_BACKUP_EXAMPLES_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/doc/schedule-backup/examples
    CACHE STRING "Folder below the prefix for the example sources")

# Only what loads our private libraries gets a run path (see schedule_backup_install_rpath); the
# libraries themselves need none beyond the system's.
set(CMAKE_INSTALL_RPATH "")

# The build tree keeps its own layout (build/bin, build/lib, build/plugins, build/qml); the
# command-line catalogue sits where the program looks for it when installed.
set(SCHEDULE_BACKUP_QML_OUTPUT_DIR ${CMAKE_BINARY_DIR}/qml)
set(SCHEDULE_BACKUP_TRANSLATIONS_OUTPUT_DIR
    ${CMAKE_BINARY_DIR}/${SCHEDULE_BACKUP_TRANSLATIONS_INSTALL_DIR})

# schedule_backup_relative_path(<var> <from> <to>): the path from one folder below the prefix to
# another, "." when they are the same.
function(schedule_backup_relative_path var from to)
    file(RELATIVE_PATH path /${from} /${to})
    string(REGEX REPLACE "/$" "" path "${path}")
    if(path STREQUAL "")
        set(path .)
    endif()
    set(${var} ${path} PARENT_SCOPE)
endfunction()

# schedule_backup_install_rpath(<target> <install folder of the target>): lets the installed
# target find the private libraries relative to itself.
function(schedule_backup_install_rpath target dir)
    schedule_backup_relative_path(path ${dir} ${SCHEDULE_BACKUP_LIB_INSTALL_DIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${path}")
endfunction()
