# The release number and the installed tree's layout, known to the code and
# to the packaging alike.

# The banner's software number: S<major>-<minor> of the project version.
set(STROKEDESK_SOFTWARE_NUMBER "S${PROJECT_VERSION_MAJOR}-${PROJECT_VERSION_MINOR}")

# Folders below the installation prefix. The program finds its shipped files
# in them from its own place in <prefix>/${STROKEDESK_INSTALL_BINDIR}.
set(STROKEDESK_INSTALL_BINDIR bin)
set(STROKEDESK_INSTALL_DATADIR share/strokedesk)
# The private library folder of the package, below the multiarch folder where
# the toolchain has one (lib/x86_64-linux-gnu/strokedesk).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(STROKEDESK_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/strokedesk)
else()
  set(STROKEDESK_INSTALL_LIBDIR lib/strokedesk)
endif()

target_compile_definitions(strokedesk_core PUBLIC STROKEDESK_SOFTWARE_NUMBER="${STROKEDESK_SOFTWARE_NUMBER}")
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/Paths.cpp PROPERTIES COMPILE_DEFINITIONS
  "STROKEDESK_INSTALL_BINDIR=\"${STROKEDESK_INSTALL_BINDIR}\";STROKEDESK_INSTALL_DATADIR=\"${STROKEDESK_INSTALL_DATADIR}\";STROKEDESK_INSTALL_LIBDIR=\"${STROKEDESK_INSTALL_LIBDIR}\"")
