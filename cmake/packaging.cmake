# Installing and packaging. On Unix, `cmake --install` puts kemcalc and its
# manual page into the prefix and CPack makes a .deb of them; for Windows the
# two programs and the README go into a .zip. scripts/package.sh runs both.
include(GNUInstallDirs)

set(CPACK_PACKAGE_VENDOR "KEM Calculator")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Return on inventory of stock items, for one item or a whole catalogue")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    install(TARGETS kemcalc RUNTIME DESTINATION .)
    if(TARGET kem)
        install(TARGETS kem RUNTIME DESTINATION .)
    endif()
    install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME kem-calculator)
    set(CPACK_PACKAGE_FILE_NAME "kem-calculator-${PROJECT_VERSION}-win32")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    install(TARGETS kemcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/docs/kemcalc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME kemcalc)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KEM Calculator developers")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    # The libraries kemcalc links against, found by dpkg-shlibdeps.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_PACKAGE_DESCRIPTION
        "kemcalc works out annual sales, gross profit, gross profit percentage, months of \
supply, average inventory and return on inventory with exactly the texts of the KEM \
Calculator window, for one item or for every row of a CSV, TSV or JSON Lines catalogue.")
endif()

include(CPack)
