# A Debian package of everything `cmake --install` puts in place:
#   cpack --config build/CPackConfig.cmake   (scripts/package does it)
# gives build/tarvel_<version>_amd64.deb. The programs find the bundled
# component as ../lib/tarvel/ beside themselves, so the tree needs no RPATH.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarvel maintainers <tarvel@example.org>" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop and headless test tools for a crypto component")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvel2 (an RSA wizard) and Tarvel3 (DES, SHA-1 and MD5 tests) load a crypto\n\
component at run time and exercise it; tarvel-check judges a component\n\
headless against its binary contract and known answers. Includes the bundled\n\
component on OpenSSL and the headers, CMake package and pkg-config file for\n\
writing another.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tarvel-check reads the NIST validation files from this package, and runs
# valgrind for --memcheck.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-cryptography-vectors, valgrind")
# Only what the project itself installs, never a dependency's own rules.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
