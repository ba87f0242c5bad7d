# The Python module as a second Debian package, python3-quillmore, beside
# quillmore: its numpy and pandas dependencies would otherwise weigh on every
# user of the programs. Everything installed without a component (the
# programs, pages, completion, documents) stays in the package quillmore.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified python)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME quillmore)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-quillmore)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# The core is built for this one Python version's ABI.
set(major ${QUILLMORE_PYTHON_MAJOR})
math(EXPR next_minor "${QUILLMORE_PYTHON_MINOR} + 1")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= ${major}.${QUILLMORE_PYTHON_MINOR}), \
python3 (<< ${major}.${next_minor}), python3-numpy, python3-pandas")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "quillmore, python3-matplotlib")
# The module draws no figures: the fonts quillmore recommends are not for it.
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS "")
# CPack puts the common summary line before each.
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
    "The Python module quillmore gives the dose coefficients of quillmore-batch,
the rate curves behind them and their integrals as pandas data frames and
NumPy arrays: the same numbers, computed by the same code, in memory.")
