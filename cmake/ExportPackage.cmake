# SPDX-License-Identifier: BSD-3-Clause
# The CMake package a host finds with find_package(ScheduleBackup 1.0 CONFIG REQUIRED).
include(CMakePackageConfigHelpers)

install(TARGETS hostapi EXPORT ScheduleBackupTargets COMPONENT Development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/hostapi/
        DESTINATION ${SCHEDULE_BACKUP_INCLUDE_INSTALL_DIR}/hostapi
        COMPONENT Development
        FILES_MATCHING PATTERN "*.h")
install(EXPORT ScheduleBackupTargets
        NAMESPACE ScheduleBackup::
        DESTINATION ${SCHEDULE_BACKUP_CMAKE_INSTALL_DIR}
        COMPONENT Development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ScheduleBackupConfig.cmake.in
    ${CMAKE_BINARY_DIR}/ScheduleBackupConfig.cmake
    INSTALL_DESTINATION ${SCHEDULE_BACKUP_CMAKE_INSTALL_DIR}
    PATH_VARS SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR SCHEDULE_BACKUP_QML_INSTALL_DIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ScheduleBackupConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ScheduleBackupConfig.cmake
              ${CMAKE_BINARY_DIR}/ScheduleBackupConfigVersion.cmake
        DESTINATION ${SCHEDULE_BACKUP_CMAKE_INSTALL_DIR}
        COMPONENT Development)

# The example host as sources, to be built against the installed package.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/minimal-host
        DESTINATION ${SCHEDULE_BACKUP_EXAMPLES_INSTALL_DIR}
        COMPONENT Development)
