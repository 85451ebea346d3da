# SPDX-License-Identifier: BSD-3-Clause
# Man pages, shell completion, licence files and the Debian packages. `make package` builds two
# packages with CPack from the install components: schedule-backup (Runtime) and
# schedule-backup-dev (Development).

add_subdirectory(docs/man)
add_subdirectory(completion)

set(SCHEDULE_BACKUP_MAINTAINER "The PluginScheduleBackup authors <schedule-backup@example.org>")
set(SCHEDULE_BACKUP_DEB_RELEASE 1)
set(SCHEDULE_BACKUP_DEB_VERSION ${PROJECT_VERSION}-${SCHEDULE_BACKUP_DEB_RELEASE})
set(SCHEDULE_BACKUP_RUNTIME_PACKAGE schedule-backup)
set(SCHEDULE_BACKUP_DEV_PACKAGE schedule-backup-dev)

# The copyright file in Debian's machine-readable format, with the licence text taken from
# LICENSE: its clauses indented by one space, an empty line written as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(FIND "${license_text}" "Redistribution" clauses_start)
string(SUBSTRING "${license_text}" ${clauses_start} -1 license_text)
string(STRIP "${license_text}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
set(SCHEDULE_BACKUP_LICENSE_TEXT "${license_text}")
set(package_doc_dir ${PROJECT_BINARY_DIR}/packaging)
configure_file(packaging/copyright.in ${package_doc_dir}/copyright @ONLY)
# Debian wants the changelog gzipped with -9 and without a time stamp (-n).
configure_file(packaging/changelog.Debian.in ${package_doc_dir}/changelog.Debian @ONLY)
execute_process(COMMAND gzip -9n -c ${package_doc_dir}/changelog.Debian
                OUTPUT_FILE ${package_doc_dir}/changelog.Debian.gz
                RESULT_VARIABLE gzip_result)
if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${package_doc_dir}/changelog.Debian")
endif()
foreach(component Runtime Development)
    if(component STREQUAL "Runtime")
        set(package ${SCHEDULE_BACKUP_RUNTIME_PACKAGE})
    else()
        set(package ${SCHEDULE_BACKUP_DEV_PACKAGE})
    endif()
    install(FILES ${package_doc_dir}/copyright ${package_doc_dir}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
            COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SCHEDULE_BACKUP_RUNTIME_PACKAGE})
set(CPACK_PACKAGE_VENDOR "The PluginScheduleBackup authors")
set(CPACK_PACKAGE_CONTACT ${SCHEDULE_BACKUP_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The package installs to the prefix the build was configured for (/usr for `make package`),
# so the multiarch library folder and the run paths agree with the packaged tree.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
# Turns the component dependency into "schedule-backup (= <this version>)".
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SCHEDULE_BACKUP_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SCHEDULE_BACKUP_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Library dependencies come from dpkg-shlibdeps. It follows the $ORIGIN run paths; the private
# folder of the host libraries is named too (relative to the staged tree it runs in), so that
# they count as this package's own libraries and not as unknown ones.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(REGEX REPLACE "^/+" "" staged_prefix "${CMAKE_INSTALL_PREFIX}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${staged_prefix}/${CMAKE_INSTALL_LIBDIR}/schedule-backup)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${SCHEDULE_BACKUP_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION utils)
# What the page imports at run time is loaded by the QML engine, so dpkg-shlibdeps cannot see it;
# the viewer also needs a platform plug-in to open its window.
string(JOIN ", " CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
    qml6-module-qtquick-templates qml6-module-qtquick-window qt6-qpa-plugins)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "scheduled-backup settings plug-in for a video-surveillance client
The Qt 6 plug-in drives a surveillance client's scheduled-backup settings page:
it loads and stores the backup settings, reports the backup path and the status
of the running backup, and computes when the next scheduled backup starts.
.
This package also holds a demo host with an embedded backup service, its
command-line front end schedule-backup-host, the settings page as a QML module
and the viewer schedule-backup-page that shows it.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${SCHEDULE_BACKUP_DEV_PACKAGE})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The CMake package finds Qt's own CMake packages.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev, qt6-declarative-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "development files for the scheduled-backup settings plug-in
Headers of the host interface the scheduled-backup settings plug-in is written
against, the CMake package ScheduleBackup that finds the plug-in, its folder
and the settings page's QML module, and an example host.")

include(CPack)
