# Where things go, in the build tree and under an install prefix alike.
foreach(folder CMAKE_INSTALL_BINDIR CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_DATADIR)
    if(IS_ABSOLUTE "${${folder}}")
        message(FATAL_ERROR "${folder} must be relative to the prefix (it is ${${folder}}): the commands find their files relative to themselves")
    endif()
endforeach()
set(MENUTONE_INSTALL_LIBRARYDIR "${CMAKE_INSTALL_LIBDIR}/menutone")
set(MENUTONE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/menutone")
set(MENUTONE_INSTALL_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}/menutone")

set(MENUTONE_RUNTIME_OUTPUT "${PROJECT_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}")
set(MENUTONE_LIBRARY_OUTPUT "${PROJECT_BINARY_DIR}/${MENUTONE_INSTALL_LIBRARYDIR}")
set(MENUTONE_DATA_OUTPUT "${PROJECT_BINARY_DIR}/${MENUTONE_INSTALL_DATADIR}")
set(MENUTONE_SETTINGS_BUNDLE "${MENUTONE_LIBRARY_OUTPUT}/MenutoneSettings.bundle")
set(MENUTONE_SETTINGS_ENTRY "${MENUTONE_DATA_OUTPUT}/PreferenceLoader/MenutoneSettings.plist")
# The build tree keeps a device root of its own; the platform knows a build
# tree by this file.
set(MENUTONE_DEFAULT_ROOT "${PROJECT_BINARY_DIR}/root")
file(WRITE "${PROJECT_BINARY_DIR}/MenutoneBuildTree.txt"
    "A Menutone build tree: its commands use ${MENUTONE_DEFAULT_ROOT} as the default device root.\n")

# The relative steps the platform takes from its libraries' folder to the prefix.
file(RELATIVE_PATH MENUTONE_PREFIX_FROM_LIBRARIES "/prefix/${MENUTONE_INSTALL_LIBRARYDIR}" "/prefix")
file(RELATIVE_PATH MENUTONE_LIBRARIES_FROM_BINARIES "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${MENUTONE_INSTALL_LIBRARYDIR}")
