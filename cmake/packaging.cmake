# `make package` (cpack -G DEB): a Debian package of what cmake --install
# installs, under /usr. Library dependencies (the ncurses, cairo, libpng and
# C++ runtimes) are found by dpkg-shlibdeps from the programs themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmore)
set(CPACK_PACKAGE_VENDOR "Quillmore developers")
set(CPACK_PACKAGE_CONTACT "Quillmore developers <quillmore@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "absorbed dose coefficients after intake of radionuclides")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmore computes absorbed dose coefficients (Gy/Bq) for the inhalation or
ingestion of a radionuclide, split into a low-LET and a high-LET component,
for chosen commitment periods, from a reference data set of absorbed dose
rates. quillmore is an interactive terminal program; quillmore-batch writes
the same tables from scripts; quillmore-sample-data writes a synthetic data
set to try them with.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first Debian revision of each upstream version; dist/changelog names it.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, man-db")
# The figures' text: fontconfig's sans-serif on Debian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
if(TARGET quillmore_python)
  include(${CMAKE_CURRENT_LIST_DIR}/python_packaging.cmake)
endif()
include(CPack)
