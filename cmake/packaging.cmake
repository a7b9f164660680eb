# Installing and packaging. On Unix, `cmake --install` puts kemcalc, its
# manual page, copyright file and changelog into the prefix and CPack makes a
# .deb of them that lintian passes; for Windows the two programs, the README
# and the docs it links go into a .zip under one folder. scripts/package.sh
# runs both.
include(GNUInstallDirs)

set(CPACK_PACKAGE_VENDOR "KEM Calculator")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Return on inventory of stock items, for one item or a whole catalogue")
set(CPACK_STRIP_FILES ON)

# The files a Markdown page links or shows, by paths relative to `page`:
# every target of a relative link that is not only an anchor, without its
# anchor, and the targets of the linked pages in turn, so that all of them
# still work after unpacking. Addresses with a scheme stay out.
function(kem_collect_linked_files page out_var)
    set(pending ${page})
    set(found)
    get_filename_component(root ${page} DIRECTORY)
    while(pending)
        list(POP_FRONT pending current)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${current})
        file(READ ${current} text)
        get_filename_component(current_dir ${current} DIRECTORY)
        # CMake lists do not split inside square brackets, so the "](" that
        # opens a link target becomes ">(" before matching.
        string(REPLACE "](" ">(" text "${text}")
        string(REGEX MATCHALL ">\\([^]()#; ]+" links "${text}")
        foreach(link IN LISTS links)
            string(SUBSTRING "${link}" 2 -1 target)
            if(target MATCHES "^[a-z]+:")
                continue()
            endif()
            get_filename_component(target_path ${current_dir}/${target} ABSOLUTE)
            file(RELATIVE_PATH relative ${root} ${target_path})
            if(relative IN_LIST found)
                continue()
            endif()
            list(APPEND found ${relative})
            if(target MATCHES "\\.md$" AND EXISTS ${target_path})
                list(APPEND pending ${target_path})
            endif()
        endforeach()
    endwhile()
    set(${out_var} ${found} PARENT_SCOPE)
endfunction()

if(WIN32)
    install(TARGETS kemcalc RUNTIME DESTINATION .)
    if(TARGET kem)
        install(TARGETS kem RUNTIME DESTINATION .)
    endif()
    install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
    kem_collect_linked_files(${CMAKE_SOURCE_DIR}/README.md readme_files)
    foreach(file IN LISTS readme_files)
        # A link out of the source tree or to a missing file cannot go
        # along; the zip's test names it.
        if(NOT file MATCHES "^\\.\\./" AND EXISTS ${CMAKE_SOURCE_DIR}/${file})
            get_filename_component(file_dir ${file} DIRECTORY)
            install(FILES ${CMAKE_SOURCE_DIR}/${file} DESTINATION ./${file_dir})
        endif()
    endforeach()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME kem-calculator)
    set(CPACK_PACKAGE_FILE_NAME "kem-calculator-${PROJECT_VERSION}-win32")
    # Everything under one folder of the zip's own name, so that unpacking
    # it into Downloads does not scatter files there.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(KEM_DEB_MAINTAINER "KEM Calculator developers <dev@kem.invalid>"
        CACHE STRING "Name and mail address in the .deb's Maintainer field and its changelog")
    set(package_files ${CMAKE_BINARY_DIR}/packaging)
    set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/kemcalc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/deb/copyright.in ${package_files}/copyright @ONLY)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/deb/changelog.in ${package_files}/changelog @ONLY)

    # Debian installs manual pages and changelogs compressed with gzip -9n:
    # -n leaves out the name and time stamp, so the same sources give the
    # same bytes.
    find_program(KEM_GZIP gzip REQUIRED)
    add_custom_command(
        OUTPUT ${package_files}/kemcalc.1.gz ${package_files}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/kemcalc.1
                ${package_files}/kemcalc.1
        COMMAND ${KEM_GZIP} -9nf ${package_files}/kemcalc.1
        COMMAND ${KEM_GZIP} -9nkf ${package_files}/changelog
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/kemcalc.1 ${package_files}/changelog
        COMMENT "Compressing the manual page and the changelog"
        VERBATIM)
    add_custom_target(kemcalc_package_docs ALL
        DEPENDS ${package_files}/kemcalc.1.gz ${package_files}/changelog.gz)

    install(TARGETS kemcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${package_files}/kemcalc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${package_files}/copyright ${package_files}/changelog.gz
            DESTINATION ${doc_dir})
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME kemcalc)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KEM_DEB_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    # The libraries kemcalc links against, found by dpkg-shlibdeps.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The first line goes under the summary, an empty one starts a paragraph;
    # lines stay under 80 characters for a terminal.
    set(CPACK_PACKAGE_DESCRIPTION
        "kemcalc works out what a stock item earns on the money tied up in it:
annual sales, gross profit, gross profit percentage, months of supply,
average inventory and return on inventory, with exactly the texts the KEM
Calculator window shows and the same rules for reading figures.

It answers one item given as four figures on the command line (price,
cost, units bought and units sold a month), or every row of a catalogue
read from a file or standard input: CSV with a header row, or
tab-separated lines. The results come as the window's texts or as plain
numbers for a spreadsheet, written as CSV, as tab-separated lines or as
JSON Lines, with totals for the whole catalogue and for each group of
a column.")
endif()

include(CPack)
