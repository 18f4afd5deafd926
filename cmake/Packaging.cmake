# The Debian package (scripts/package.sh): CPack's DEB generator, every
# install component in one package brelund_VERSION_amd64.deb, the shared
# libraries it needs found by dpkg-shlibdeps. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr so that the Python module goes where Debian's
# python3 finds packages.

include(GNUInstallDirs)

set(BRELUND_MAINTAINER "Brelund maintainers <maintainers@users.noreply.c-seed-1b690cf9.example>"
    CACHE STRING "Maintainer of the Debian package")

# The sample ships, their drawings and conditions files.
file(GLOB _brelund_samples ${PROJECT_SOURCE_DIR}/samples/*.nav ${PROJECT_SOURCE_DIR}/samples/*.dxf
     ${PROJECT_SOURCE_DIR}/samples/*.conditions.json)
install(FILES ${_brelund_samples} DESTINATION ${CMAKE_INSTALL_DATADIR}/brelund/samples
        COMPONENT samples)
install(FILES ${PROJECT_SOURCE_DIR}/examples/gz_box_barges.py
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brelund/examples COMPONENT samples)

# Manual pages and the changelog compressed as Debian keeps them
# (gzip -9n: no name or time stamp, the same bytes every build).
find_program(BRELUND_GZIP gzip REQUIRED)
set(_brelund_doc ${CMAKE_BINARY_DIR}/doc)
# A native package (no Debian revision): its changelog is changelog.gz.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${_brelund_doc}/changelog @ONLY)
set(_brelund_gz)
foreach(_file doc/brelund.1 doc/brelund-calc.1 changelog)
  get_filename_component(_name ${_file} NAME)
  if(_file STREQUAL "changelog")
    set(_from ${_brelund_doc}/changelog)
  else()
    set(_from ${PROJECT_SOURCE_DIR}/${_file})
  endif()
  add_custom_command(OUTPUT ${_brelund_doc}/${_name}.gz
                     COMMAND ${BRELUND_GZIP} -9nc ${_from} > ${_brelund_doc}/${_name}.gz
                     DEPENDS ${_from} VERBATIM)
  list(APPEND _brelund_gz ${_brelund_doc}/${_name}.gz)
endforeach()
add_custom_target(brelund_docs ALL DEPENDS ${_brelund_gz})
install(FILES ${_brelund_doc}/brelund.1.gz ${_brelund_doc}/brelund-calc.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT doc)
install(FILES ${_brelund_doc}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brelund COMPONENT doc)
install(FILES ${PROJECT_SOURCE_DIR}/doc/brelund-calc.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME brelund-calc
        COMPONENT doc)

set(CPACK_PACKAGE_NAME brelund)
set(CPACK_PACKAGE_VENDOR "Brelund")
set(CPACK_PACKAGE_CONTACT "${BRELUND_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hydrostatics and stability of ships from panelled hull meshes")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Brelund computes the hydrostatics and the intact and damage stability of a\n"
    "ship or a submersible from a panelled hull model: hull elements,\n"
    "compartments and tanks imported from DXF drawings, STL or OBJ meshes and\n"
    "kept in .nav ship files. It gives the upright, inclined and Bonjean\n"
    "tables, the curves of form, tank calibration tables and the GZ curve of a\n"
    "loading condition judged by the IMO 2008 IS Code's criteria.\n"
    "\n"
    "The package holds the desktop application brelund (Qt 6), the command\n"
    "line tool brelund-calc, the Python 3 module brelund and sample ships.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no shared library says: the interpreter and numpy of the module, and
# Qt's platform plugins, without which the application cannot open a window.
set(_brelund_depends "qt6-qpa-plugins")
if(BRELUND_BUILD_PYTHON)
  # The module is built for one minor version of the interpreter.
  math(EXPR _brelund_next_minor "${Python3_VERSION_MINOR} + 1")
  string(APPEND _brelund_depends ", python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), "
         "python3 (<< ${Python3_VERSION_MAJOR}.${_brelund_next_minor}), python3-numpy")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_brelund_depends}")
# Italian buttons of Qt's own dialogs, Mesa's software OpenGL, matplotlib for
# the example's plot.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-matplotlib")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
