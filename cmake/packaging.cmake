# Installation and the Debian package (scripts/package.sh): the three
# programs, the Python module (python/CMakeLists.txt), the desktop entry with
# its icon, and the documents Debian asks for. The package's dependencies are
# those of the programs' shared libraries, found by dpkg-shlibdeps, the font
# of the texts, and the python3 and numpy the module is built for.
include(GNUInstallDirs)

install(TARGETS telmor-replay telmor-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program the format libraries run in, where the installed programs and
# the Python module find it (../lib/telmor beside /usr/bin).
if(TELMOR_BUILD_FORMATS)
  install(TARGETS telmor-read RUNTIME DESTINATION lib/telmor)
endif()
if(TELMOR_BUILD_GUI)
  install(TARGETS telmor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/telmor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/telmor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/telmor)
# Debian wants the changelog compressed, without a name or time in the header.
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
                OUTPUT_FILE ${changelog_gz} COMMAND_ERROR_IS_FATAL ANY)
install(FILES README.md packaging/copyright ${changelog_gz} DESTINATION ${doc_dir})
file(GLOB doc_pages ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${doc_pages} DESTINATION ${doc_dir}/docs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME telmor)
set(CPACK_PACKAGE_VENDOR "The TELMOR developers")
# MIT (Debian calls it Expat); the copyright file carries it into the package.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_PACKAGE_CONTACT "TELMOR developers <maintainers@users.noreply.c-seed-a7252107.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "activation and recovery times of multi-lead electrograms")
# The extended description under the summary; an empty line ends a paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "TELMOR reads a multi-lead recording (up to 20 leads x 30 s at 1 kHz, a text
file), removes each lead's baseline, differentiates every lead, finds the
beats, detects the activation time (AT) and recovery time (RT) of every beat
in every lead, lets the user correct the marks window by window, and saves
the AT/RT tables to a results file. Its texts are Japanese.

The package holds the desktop program telmor, telmor-replay (the whole
program run headless over a session script), telmor-batch (whole folders
of recordings analysed without a window) and the Python module telmor (the
same analysis on numpy arrays of any size).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
if(TELMOR_BUILD_PYTHON)
  # The module is built for this python3 (its ABI in the file name) and numpy.
  set(python_this "${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}")
  math(EXPR python_after "${Python3_VERSION_MINOR} + 1")
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", python3 (>= ${python_this}), python3 (<< ${Python3_VERSION_MAJOR}.${python_after}), python3-numpy, python3-pandas")
endif()
set(CPACK_STRIP_FILES ON)
# Only what the install rules above name, not the test framework's own.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
