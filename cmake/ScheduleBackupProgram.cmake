# The kit's shipped programs and their German catalogues, set up in one place.

find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

# How lupdate (target update_translations) writes every catalogue: no texts the sources dropped,
# and no source lines, so a change of line numbers leaves the catalogues alone.
set(SCHEDULE_BACKUP_LUPDATE_OPTIONS -no-obsolete -locations none)

# schedule_backup_add_program(<name> SOURCES <files> LIBS <libraries>
#                             [CATALOGUES <.ts files> TEXT_SOURCES <files or folders>])
# A program in build/bin with the project's version, a run path to the installed libraries and
# the plug-in built beside it, since it loads the plug-in at run time. CATALOGUES (one per
# language) hold the texts of TEXT_SOURCES; they are built into the program under :/i18n and
# registered for the translation test (global property SCHEDULE_BACKUP_CATALOGUES, one
# "<ts>=<source>,<source>..." per catalogue).
function(schedule_backup_add_program name)
    cmake_parse_arguments(P "" "" "SOURCES;LIBS;CATALOGUES;TEXT_SOURCES" ${ARGN})
    qt_add_executable(${name} ${P_SOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    target_compile_definitions(${name} PRIVATE SCHEDULE_BACKUP_VERSION="${PROJECT_VERSION}")
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    add_dependencies(${name} PluginScheduleBackup)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(NOT P_CATALOGUES)
        return()
    endif()
    set(catalogues)
    foreach(catalogue IN LISTS P_CATALOGUES)
        cmake_path(ABSOLUTE_PATH catalogue NORMALIZE)
        list(APPEND catalogues ${catalogue})
    endforeach()
    set(sources)
    foreach(source IN LISTS P_TEXT_SOURCES)
        cmake_path(ABSOLUTE_PATH source NORMALIZE)
        list(APPEND sources ${source})
    endforeach()
    qt_add_translations(${name}
        TS_FILES ${catalogues}
        SOURCES ${sources}
        RESOURCE_PREFIX /i18n
        LUPDATE_OPTIONS ${SCHEDULE_BACKUP_LUPDATE_OPTIONS})
    list(JOIN sources "," joined)
    foreach(catalogue IN LISTS catalogues)
        set_property(GLOBAL APPEND PROPERTY SCHEDULE_BACKUP_CATALOGUES "${catalogue}=${joined}")
    endforeach()
endfunction()
