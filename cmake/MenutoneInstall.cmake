# cmake --install BUILD --prefix P: the commands in P/bin, the platform, the
# tweak and the settings bundle in P/lib/menutone, their data in
# P/share/menutone, the colour library as a CMake package and a pkg-config
# module. Everything finds everything else relative to itself, so P can move.

include(CMakePackageConfigHelpers)

set(menutone_platform_libraries device objc substrate foundation corefoundation uikit uikittext springboard social mobilegestalt messageui preferences)
list(TRANSFORM menutone_platform_libraries PREPEND platform_ OUTPUT_VARIABLE menutone_platform_targets)
# UIKit runs its animations on CoreFoundation's run loop.
set(tincture_platform_targets platform_base platform_device platform_objc platform_foundation platform_corefoundation platform_uikit)
set(other_platform_targets ${menutone_platform_targets})
list(REMOVE_ITEM other_platform_targets ${tincture_platform_targets})

set_target_properties(menutone tincture-command PROPERTIES INSTALL_RPATH "$ORIGIN/${MENUTONE_LIBRARIES_FROM_BINARIES}")
set_target_properties(${menutone_platform_targets} host_settingsapp host_homescreen Menutone PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(MenutoneSettings PROPERTIES INSTALL_RPATH "$ORIGIN/..")

install(TARGETS menutone tincture-command RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT commands)
install(TARGETS tincture tincture_core tincture_image ${tincture_platform_targets} EXPORT TinctureTargets
    LIBRARY DESTINATION "${MENUTONE_INSTALL_LIBRARYDIR}" COMPONENT libraries
    ARCHIVE DESTINATION "${MENUTONE_INSTALL_LIBRARYDIR}" COMPONENT development)
install(TARGETS ${other_platform_targets} host_settingsapp host_homescreen Menutone
    LIBRARY DESTINATION "${MENUTONE_INSTALL_LIBRARYDIR}" COMPONENT libraries)
install(TARGETS MenutoneSettings LIBRARY DESTINATION "${MENUTONE_INSTALL_LIBRARYDIR}/MenutoneSettings.bundle" COMPONENT libraries)
install(DIRECTORY "${MENUTONE_SETTINGS_BUNDLE}/" DESTINATION "${MENUTONE_INSTALL_LIBRARYDIR}/MenutoneSettings.bundle" COMPONENT libraries
    FILES_MATCHING PATTERN "*.plist" PATTERN "*.png")
install(DIRECTORY "${MENUTONE_DATA_OUTPUT}/" DESTINATION "${MENUTONE_INSTALL_DATADIR}" COMPONENT libraries)

# The colour library's headers and the platform headers they include, under
# a folder of the project's own so that nothing installs a top-level objc/.
foreach(header IN LISTS TINCTURE_PUBLIC_HEADERS)
    install(FILES "tincture/${header}" DESTINATION "${MENUTONE_INSTALL_INCLUDEDIR}/tincture" COMPONENT development)
endforeach()
foreach(header base/Error.h base/Expected.h foundation/NSComparisonResult.h foundation/NSCountedSet.h objc/Assertions.h objc/NSObject.h objc/RefCounted.h objc/RefPtr.h objc/Runtime.h
        uikit/CGColor.h uikit/CGGeometry.h uikit/UIColor.h uikit/UIImage.h)
    get_filename_component(folder "${header}" DIRECTORY)
    install(FILES "platform/${header}" DESTINATION "${MENUTONE_INSTALL_INCLUDEDIR}/${folder}" COMPONENT development)
endforeach()

set(TINCTURE_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/Tincture")
install(EXPORT TinctureTargets NAMESPACE Tincture:: DESTINATION "${TINCTURE_CMAKE_DIR}" COMPONENT development)
configure_package_config_file(cmake/TinctureConfig.cmake.in "${PROJECT_BINARY_DIR}/TinctureConfig.cmake" INSTALL_DESTINATION "${TINCTURE_CMAKE_DIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/TinctureConfigVersion.cmake" COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/TinctureConfig.cmake" "${PROJECT_BINARY_DIR}/TinctureConfigVersion.cmake" DESTINATION "${TINCTURE_CMAKE_DIR}"
    COMPONENT development)

# pkg-config: the paths are relative to the .pc file's own place (pcfiledir).
file(RELATIVE_PATH tincture_pc_to_prefix "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file(cmake/tincture.pc.in "${PROJECT_BINARY_DIR}/tincture.pc" @ONLY)
configure_file(cmake/tincture-core.pc.in "${PROJECT_BINARY_DIR}/tincture-core.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/tincture.pc" "${PROJECT_BINARY_DIR}/tincture-core.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT development)
