# Installation and the Debian package: cmake --build build --target package
# gives build/strokedesk_<version>_<arch>.deb. The installed tree has the
# layout of cmake/Layout.cmake, where the programs find their shipped files.

# --- programs, the timer library and the shipped files ---------------------
set(STROKEDESK_PROGRAMS strokedesk rc7sim)
if(TARGET strokedesk-trace)
  list(APPEND STROKEDESK_PROGRAMS strokedesk-trace)
endif()
install(TARGETS ${STROKEDESK_PROGRAMS} RUNTIME DESTINATION ${STROKEDESK_INSTALL_BINDIR})
install(TARGETS Ksts7 LIBRARY DESTINATION ${STROKEDESK_INSTALL_LIBDIR}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(DIRECTORY resources/ DESTINATION ${STROKEDESK_INSTALL_DATADIR})

# --- manual pages: the README's tables, through tools/ManPage.cpp ------------
add_executable(strokedesk_manpage tools/ManPage.cpp tools/ManPageText.cpp)
target_link_libraries(strokedesk_manpage PRIVATE strokedesk_core)
if(TARGET unit_tests)
  target_sources(unit_tests PRIVATE tools/ManPageText.cpp)
endif()

set(generated ${CMAKE_BINARY_DIR}/packaging)
set(package_files)
foreach(program ${STROKEDESK_PROGRAMS})
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${program}.1.md)
  if(NOT EXISTS ${source})
    message(WARNING "${program} has no manual page: write docs/man/${program}.1.md")
    continue()
  endif()
  set(page ${generated}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND strokedesk_manpage ${source} ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION} ${page}
    COMMAND gzip -9nf ${page}
    DEPENDS strokedesk_manpage ${source} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/sim/README.md
    COMMENT "Manual page ${program}(1)" VERBATIM)
  list(APPEND package_files ${page}.gz)
  install(FILES ${page}.gz DESTINATION share/man/man1)
endforeach()

# --- desktop, device rule and the package's documents ------------------------
# The release date is the last commit's (or SOURCE_DATE_EPOCH), so a package
# built twice from one commit is the same.
set(epoch_given "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch_given)
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_result)
  if(git_result EQUAL 0 AND commit_time)
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
string(TIMESTAMP STROKEDESK_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP STROKEDESK_RELEASE_YEAR "%Y" UTC)
string(TIMESTAMP STROKEDESK_RELEASE_TIME "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${epoch_given}")
set(STROKEDESK_MAINTAINER "StrokeDesk developers <strokedesk@example.org>")

configure_file(packaging/org.strokedesk.StrokeDesk.metainfo.xml.in ${generated}/org.strokedesk.StrokeDesk.metainfo.xml @ONLY)
configure_file(packaging/changelog.in ${generated}/changelog @ONLY)
configure_file(packaging/copyright.in ${generated}/copyright @ONLY)
add_custom_command(OUTPUT ${generated}/changelog.gz
  COMMAND gzip -9nc ${generated}/changelog > ${generated}/changelog.gz
  DEPENDS ${generated}/changelog)
list(APPEND package_files ${generated}/changelog.gz)
add_custom_target(package_files ALL DEPENDS ${package_files})

install(FILES packaging/60-rc7-usb.rules DESTINATION lib/udev/rules.d)
install(FILES packaging/org.strokedesk.StrokeDesk.desktop DESTINATION share/applications)
install(FILES packaging/strokedesk.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${generated}/org.strokedesk.StrokeDesk.metainfo.xml DESTINATION share/metainfo)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION share/doc/strokedesk)

# --- the package ---------------------------------------------------------------
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME strokedesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STROKEDESK_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageStrip.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and commissioning tool for the RC7 drive controller")
set(CPACK_PACKAGE_DESCRIPTION "StrokeDesk is the service and commissioning tool for the RC7 drive
controller of a servo-hydraulic press ram. One PC talks to one controller
over a serial port, the controller's USB serial port or Ethernet (UDP):
it reads and writes objects, runs scripts, manages parameter sets,
downloads and evaluates scope traces of press strokes, assembles and
uploads macros, and runs scripts unattended in batch mode.

The package holds the program, the trace-file tool strokedesk-trace, the
controller simulator rc7sim and a udev rule that gives the controller's
USB device to the group dialout.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${STROKEDESK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS nasm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
set(STROKEDESK_PACKAGE ${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_${deb_arch}.deb)

# The test command checks the package unpacked, never installed.
if(BUILD_TESTING AND NOT STROKEDESK_SANITIZE)
  add_test(NAME package_unpacked COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-package.sh
    ${CMAKE_BINARY_DIR} ${STROKEDESK_PACKAGE} usr/${STROKEDESK_INSTALL_LIBDIR}/libKsts7.so
    usr/${STROKEDESK_INSTALL_DATADIR}/demo.pms usr/${STROKEDESK_INSTALL_DATADIR}/example.scr
    usr/${STROKEDESK_INSTALL_DATADIR}/norl_mac.inc usr/${STROKEDESK_INSTALL_DATADIR}/example.mac)
  set_tests_properties(package_unpacked PROPERTIES TIMEOUT 300 LABELS package)
endif()
