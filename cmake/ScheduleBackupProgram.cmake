# The kit's shipped programs and their German catalogues, set up in one place.

find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

# How lupdate (target update_translations) writes every catalogue: no texts the sources dropped,
# and no source lines, so a change of line numbers leaves the catalogues alone.
set(SCHEDULE_BACKUP_LUPDATE_OPTIONS -no-obsolete -locations none)

# schedule_backup_add_program(<name> SOURCES <files> LIBS <libraries>
#                             [CATALOGUE <.ts file> TEXT_SOURCES <files or folders>])
# A program in build/bin with the project's version, a run path to the installed libraries and
# the plug-in built beside it, since it loads the plug-in at run time. CATALOGUE builds the
# catalogue of the texts in TEXT_SOURCES into the program under :/i18n, and registers both for
# the translation test (global property SCHEDULE_BACKUP_CATALOGUES, "<ts>=<source>,<source>...").
function(schedule_backup_add_program name)
    cmake_parse_arguments(P "" "CATALOGUE" "SOURCES;LIBS;TEXT_SOURCES" ${ARGN})
    qt_add_executable(${name} ${P_SOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    target_compile_definitions(${name} PRIVATE SCHEDULE_BACKUP_VERSION="${PROJECT_VERSION}")
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    add_dependencies(${name} PluginScheduleBackup)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(NOT P_CATALOGUE)
        return()
    endif()
    cmake_path(ABSOLUTE_PATH P_CATALOGUE NORMALIZE)
    set(sources)
    foreach(source IN LISTS P_TEXT_SOURCES)
        cmake_path(ABSOLUTE_PATH source NORMALIZE)
        list(APPEND sources ${source})
    endforeach()
    qt_add_translations(${name}
        TS_FILES ${P_CATALOGUE}
        SOURCES ${sources}
        RESOURCE_PREFIX /i18n
        LUPDATE_OPTIONS ${SCHEDULE_BACKUP_LUPDATE_OPTIONS})
    list(JOIN sources "," joined)
    set_property(GLOBAL APPEND PROPERTY SCHEDULE_BACKUP_CATALOGUES "${P_CATALOGUE}=${joined}")
endfunction()
