# A Debian package of both programs: `cpack -G DEB` in the build folder, or
# scripts/package.sh. Dependencies come from the shared libraries the
# programs link, plus the interpreter they run.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calyx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Marrowby)
set(CPACK_PACKAGE_CONTACT "Marrowby Calyx maintainers <calyx@marrowby.example>" CACHE STRING
    "Maintainer named in the package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench and editor for GNU Octave")
set(CPACK_PACKAGE_DESCRIPTION "Calyx runs the GNU Octave interpreter in a window: a console, the workspace
with a grid editor for variables, the command history, the current folder and
the Octave manual. Quire is a tabbed editor for Octave files that runs code,
breakpoints and the debugger through Calyx.")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "octave")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "octave-doc, fonts-freefont-otf")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Installs into a staging DESTDIR, so the install step leaves the desktop's
# caches to the target machine's triggers.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
