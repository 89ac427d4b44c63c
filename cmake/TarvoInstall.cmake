# Install rules and Debian packages (included at the end of the top-level CMakeLists.txt).
#
# Components, one Debian package each:
#   tarvo         bin/tarvo, the component libtarvo_03.so.0.1.0 (SONAME libtarvo_03.so.0), the help
#                 in share/tarvo/Hilfe, man page tarvo.1
#   tarvo-gui     bin/tarvo-gui, man page tarvo-gui.1, desktop entry and icon
#   libtarvo-dev  include/tarvo/tarvo.h, libtarvo_03.so, tarvo.pc, the CMake package tarvo
#
# Installed programs find the component through an RPATH relative to themselves ($ORIGIN), so an
# install under any prefix, a DESTDIR or an unpacked package runs as it is; under /usr the
# system's search path finds it too (Debian's checks accept an RPATH of this form).

set(tarvo_daten "${CMAKE_INSTALL_DATADIR}/tarvo")

# Where the help call looks after the library's own folder: the package data folder, relative to
# the installed library (so a relocated install finds its own) and as configured.
file(RELATIVE_PATH tarvo_daten_relativ "${CMAKE_INSTALL_FULL_LIBDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/tarvo")
target_compile_definitions(tarvo_controls PRIVATE
  TARVO_DATEN_RELATIV="${tarvo_daten_relativ}"
  TARVO_DATEN_ORDNER="${CMAKE_INSTALL_FULL_DATADIR}/tarvo")

# The help in the build tree: beside libtarvo_03.so, where the help call looks first.
file(GLOB_RECURSE tarvo_hilfe_dateien CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Hilfe/*)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/Hilfe/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/Hilfe
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/Hilfe ${PROJECT_BINARY_DIR}/Hilfe
  DEPENDS ${tarvo_hilfe_dateien}
  COMMENT "Hilfe neben libtarvo_03.so")
add_custom_target(tarvo_hilfe ALL DEPENDS ${PROJECT_BINARY_DIR}/Hilfe/index.html)
add_dependencies(tarvo_03 tarvo_hilfe)

# RPATH of the installed programs.
file(RELATIVE_PATH tarvo_bin_zu_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
set(tarvo_rpath "$ORIGIN/${tarvo_bin_zu_lib}")
set(tarvo_programme tarvo)
if(TARGET tarvo-gui)
  list(APPEND tarvo_programme tarvo-gui)
endif()
set_target_properties(${tarvo_programme} PROPERTIES INSTALL_RPATH "${tarvo_rpath}")

install(TARGETS tarvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tarvo)
install(TARGETS tarvo_03 EXPORT tarvoZiele
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT tarvo NAMELINK_COMPONENT libtarvo-dev
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/api/tarvo/tarvo.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvo COMPONENT libtarvo-dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Hilfe/ DESTINATION ${tarvo_daten}/Hilfe COMPONENT tarvo)

# Man pages, compressed as Debian ships them.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(seite tarvo tarvo-gui)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${seite}.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/data/man/${seite}.1 > ${PROJECT_BINARY_DIR}/man/${seite}.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/data/man/${seite}.1)
  list(APPEND tarvo_man ${PROJECT_BINARY_DIR}/man/${seite}.1.gz)
endforeach()
add_custom_target(tarvo_man ALL DEPENDS ${tarvo_man})
install(FILES ${PROJECT_BINARY_DIR}/man/tarvo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  COMPONENT tarvo)

if(TARGET tarvo-gui)
  install(TARGETS tarvo-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tarvo-gui)
  install(FILES ${PROJECT_BINARY_DIR}/man/tarvo-gui.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT tarvo-gui)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/tarvo-gui.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tarvo-gui)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/tarvo-gui.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tarvo-gui)
endif()

# pkg-config and the CMake package, both relocatable.
file(RELATIVE_PATH tarvo_pc_zu_prefix "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" tarvo_pc_zu_prefix "${tarvo_pc_zu_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/tarvo.pc.in ${PROJECT_BINARY_DIR}/tarvo.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarvo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT libtarvo-dev)

include(CMakePackageConfigHelpers)
set(tarvo_cmake_ziel ${CMAKE_INSTALL_LIBDIR}/cmake/tarvo)
install(EXPORT tarvoZiele NAMESPACE tarvo:: FILE tarvoTargets.cmake
  DESTINATION ${tarvo_cmake_ziel} COMPONENT libtarvo-dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tarvoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tarvoConfig.cmake INSTALL_DESTINATION ${tarvo_cmake_ziel})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tarvoConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tarvoConfig.cmake ${PROJECT_BINARY_DIR}/tarvoConfigVersion.cmake
  DESTINATION ${tarvo_cmake_ziel} COMPONENT libtarvo-dev)

# Debian's documentation files of each package: copyright and the (compressed) changelog.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/data/debian/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog)
add_custom_target(tarvo_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
foreach(paket tarvo tarvo-gui libtarvo-dev)
  install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${PROJECT_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${paket} COMPONENT ${paket})
endforeach()

include(cmake/TarvoPaket.cmake)
