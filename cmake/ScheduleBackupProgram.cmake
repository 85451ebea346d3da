# SPDX-License-Identifier: BSD-3-Clause
# The kit's shipped programs and their German catalogues, set up in one place.

find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

# How lupdate (target update_translations) writes every catalogue: no texts the sources dropped,
# and no source lines, so a change of line numbers leaves the catalogues alone.
set(SCHEDULE_BACKUP_LUPDATE_OPTIONS -no-obsolete -locations none)

# schedule_backup_add_catalogues(<target> CATALOGUES <.ts files> TEXT_SOURCES <files>
#                                OUTPUT_DIR <folder> INSTALL_DIR <folder below the prefix>)
# CATALOGUES (one per language) hold the texts of TEXT_SOURCES. lrelease writes them to
# OUTPUT_DIR in the build tree; they are installed to INSTALL_DIR, where the programs and other
# hosts load them from, at the same place relative to the programs in both trees. Each catalogue
# is registered for the translation test (global property SCHEDULE_BACKUP_CATALOGUES, one
# "<ts>=<source>,<source>..." per catalogue).
function(schedule_backup_add_catalogues target)
    cmake_parse_arguments(C "" "OUTPUT_DIR;INSTALL_DIR" "CATALOGUES;TEXT_SOURCES" ${ARGN})
    set(catalogues)
    foreach(catalogue IN LISTS C_CATALOGUES)
        cmake_path(ABSOLUTE_PATH catalogue NORMALIZE)
        list(APPEND catalogues ${catalogue})
    endforeach()
    set(sources)
    foreach(source IN LISTS C_TEXT_SOURCES)
        cmake_path(ABSOLUTE_PATH source NORMALIZE)
        list(APPEND sources ${source})
    endforeach()
    set_source_files_properties(${catalogues} PROPERTIES OUTPUT_LOCATION ${C_OUTPUT_DIR})
    # From Qt 6.7 on the call is deferred to the end of the top-level directory unless asked
    # otherwise; there it would not see OUTPUT_LOCATION, which belongs to this directory.
    set(immediate)
    if(Qt6_VERSION VERSION_GREATER_EQUAL 6.7)
        set(immediate IMMEDIATE_CALL)
    endif()
    qt_add_translations(${target} ${immediate}
        TS_FILES ${catalogues}
        SOURCES ${sources}
        QM_FILES_OUTPUT_VARIABLE qm_files
        LUPDATE_OPTIONS ${SCHEDULE_BACKUP_LUPDATE_OPTIONS})
    install(FILES ${qm_files} DESTINATION ${C_INSTALL_DIR} COMPONENT Runtime)
    list(JOIN sources "," joined)
    foreach(catalogue IN LISTS catalogues)
        set_property(GLOBAL APPEND PROPERTY SCHEDULE_BACKUP_CATALOGUES "${catalogue}=${joined}")
    endforeach()
endfunction()

# schedule_backup_add_program(<name> SOURCES <files> LIBS <libraries> [DEPENDS <targets>]
#                             [CATALOGUES <.ts files> TEXT_SOURCES <files>])
# A program in build/bin with the project's version and a run path to the installed private
# libraries, built after the plug-in and DEPENDS, which it loads at run time. Its catalogues go
# to the package's translations folder; the program finds them relative to itself
# (SCHEDULE_BACKUP_TRANSLATIONS_FROM_BIN).
function(schedule_backup_add_program name)
    cmake_parse_arguments(P "" "" "SOURCES;LIBS;DEPENDS;CATALOGUES;TEXT_SOURCES" ${ARGN})
    qt_add_executable(${name} ${P_SOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    schedule_backup_relative_path(translations_from_bin ${CMAKE_INSTALL_BINDIR}
        ${SCHEDULE_BACKUP_TRANSLATIONS_INSTALL_DIR})
    target_compile_definitions(${name} PRIVATE SCHEDULE_BACKUP_VERSION="${PROJECT_VERSION}"
        SCHEDULE_BACKUP_TRANSLATIONS_FROM_BIN="${translations_from_bin}")
    schedule_backup_install_rpath(${name} ${CMAKE_INSTALL_BINDIR})
    add_dependencies(${name} PluginScheduleBackup ${P_DEPENDS})
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
    if(P_CATALOGUES)
        schedule_backup_add_catalogues(${name} CATALOGUES ${P_CATALOGUES}
            TEXT_SOURCES ${P_TEXT_SOURCES}
            OUTPUT_DIR ${SCHEDULE_BACKUP_TRANSLATIONS_OUTPUT_DIR}
            INSTALL_DIR ${SCHEDULE_BACKUP_TRANSLATIONS_INSTALL_DIR})
    endif()
endfunction()
