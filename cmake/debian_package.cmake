# The Debian package of the command-line program (`cpack -G DEB` in the build folder): whatever the
# install rules install, under /usr, with the library dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_CONTACT "Varnel developers <varnel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Weibull parameters from failure times or strengths")
set(CPACK_PACKAGE_DESCRIPTION
    "varnel estimates the shape, scale and location of a Weibull distribution from a sample, with its
mean, median, mode and variance, and fits life data (suspensions, intervals, counts) by maximum
likelihood with confidence bounds and goodness of fit.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# Debian's policy wants the terms of every package in /usr/share/doc/PACKAGE/copyright, in its
# machine-readable form. The package's name is lower case, unlike the project's.
include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnel)
