# What `cmake --install` puts where (any prefix; DESTDIR honoured), and the Debian package.
#   bin/                          the program and every tool
#   share/pamphlexa/              the program folder: templates, word list, manual (help/)
#   share/applications, share/mime/packages, share/metainfo, share/icons/hicolor
#                                 desktop integration, all under one application id
#   share/man/man1/               a manual page per program
#   share/doc/pamphlexa/          copyright and changelog
include(GNUInstallDirs)

set(PAMPHLEXA_ID org.pamphlexa.Pamphlexa)
set(_res ${PROJECT_SOURCE_DIR}/resources)
set(_gen ${CMAKE_BINARY_DIR}/install-files)
string(SUBSTRING ${PAMPHLEXA_RELEASE_DATE} 0 7 PAMPHLEXA_RELEASE_MONTH)
get_property(PAMPHLEXA_PROGRAM_TARGETS GLOBAL PROPERTY PAMPHLEXA_PROGRAMS)

# The manual, also beside the build so that Help Topics works from a build.
file(GLOB _help CONFIGURE_DEPENDS ${_res}/help/*)
foreach(f ${_help})
    configure_file(${f} ${PAMPHLEXA_DATA_DIR}/help/ COPYONLY)
endforeach()

# The program folder.
file(GLOB _templates CONFIGURE_DEPENDS ${_res}/templates/*.rtt)
install(FILES ${_templates} DESTINATION ${CMAKE_INSTALL_DATADIR}/pamphlexa)
# The word lists the build generates (resources/wordlist): en_GB/ and en_US/, Words.dic and
# Words.frq in each.
install(DIRECTORY ${PAMPHLEXA_DATA_DIR}/en_GB ${PAMPHLEXA_DATA_DIR}/en_US
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pamphlexa)
install(FILES ${_help} DESTINATION ${CMAKE_INSTALL_DATADIR}/pamphlexa/help)

# Desktop entry, MIME type and AppStream data.
set(_binaries "")
foreach(p ${PAMPHLEXA_PROGRAM_TARGETS})
    string(APPEND _binaries "    <binary>${p}</binary>\n")
endforeach()
set(PAMPHLEXA_PROVIDED_BINARIES "${_binaries}")
configure_file(${_res}/desktop/${PAMPHLEXA_ID}.metainfo.xml.in ${_gen}/${PAMPHLEXA_ID}.metainfo.xml
               @ONLY)
install(FILES ${_res}/desktop/${PAMPHLEXA_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_res}/desktop/${PAMPHLEXA_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_gen}/${PAMPHLEXA_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The application icon: the scalable drawing, and PNG sizes drawn from it at build time.
set(_svg ${_res}/icons/${PAMPHLEXA_ID}.svg)
if(EXISTS ${_svg})
    find_program(PAMPHLEXA_RSVG rsvg-convert REQUIRED)
    install(FILES ${_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    set(_pngs)
    foreach(size 16 22 24 32 48 64 128 256)
        set(_png ${_gen}/icons/${size}/${PAMPHLEXA_ID}.png)
        add_custom_command(OUTPUT ${_png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/icons/${size}
            COMMAND ${PAMPHLEXA_RSVG} -w ${size} -h ${size} -o ${_png} ${_svg}
            DEPENDS ${_svg} VERBATIM)
        list(APPEND _pngs ${_png})
        install(FILES ${_png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(pamphlexa_icons ALL DEPENDS ${_pngs})
else()
    message(STATUS "No application icon at ${_svg}: none is installed")
endif()

# Manual pages, compressed as Debian wants them; copyright and changelog.
set(_compressed)
foreach(p ${PAMPHLEXA_PROGRAM_TARGETS})
    set(_page ${_res}/man/${p}.1.in)
    if(NOT EXISTS ${_page})
        message(WARNING "No manual page for ${p} (${_page})")
        continue()
    endif()
    configure_file(${_page} ${_gen}/man/${p}.1 @ONLY)
    list(APPEND _compressed ${_gen}/man/${p}.1.gz)
    install(FILES ${_gen}/man/${p}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
list(APPEND _compressed ${_gen}/doc/changelog.gz)
foreach(gz ${_compressed})
    string(REGEX REPLACE "\\.gz$" "" _plain ${gz})
    if(gz MATCHES "/doc/changelog.gz$")
        set(_plain ${_res}/legal/changelog)
    endif()
    get_filename_component(_dir ${gz} DIRECTORY)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
        COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${_plain} ${gz}
        DEPENDS ${_plain} VERBATIM)
endforeach()
add_custom_target(pamphlexa_docs ALL DEPENDS ${_compressed})
install(FILES ${_res}/legal/copyright ${_gen}/doc/changelog.gz
              ${PROJECT_SOURCE_DIR}/LICENSES/wordlists.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pamphlexa)

# The Debian package (scripts/package): dependencies come from the binaries (dpkg-shlibdeps);
# the fonts the documents are laid out with and the desktop's opener are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pamphlexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Qor Software Development")
set(CPACK_PACKAGE_CONTACT "Qor Software Development <pamphlexa@qor-software.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word processor for short documents in Rich Text Format")
# The synopsis is the summary above; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pamphlexa is a light word processor for bulletins, letters and other short
documents. It creates documents empty or from templates, formats
characters and paragraphs, inserts pictures (PCX and Targa included),
dates, times and symbols, checks spelling against a word list you can
extend, and sets up, previews and prints pages with headers and footers.

Documents are saved as Rich Text or plain text. Command-line tools convert
documents, print them to PDF and manage the settings.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PAMPHLEXA_HOME_PAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the SVG toolbar and application icons through the image and icon engine plugins in
# libqt6svg6, which no binary links to, so dpkg-shlibdeps cannot find it. The fonts are those the
# substitution table maps document fonts to (platform/Fonts.cpp): Liberation and DejaVu for the
# common families, Standard Symbols PS (fonts-urw-base35) for "Symbol"; Carlito and Caladea keep
# Calibri and Cambria documents' line breaks, and Liberation stands in when they are absent.
# The text search reads Qt's private text classes, which only the Qt release it was built
# against lays out the same way: qt6-base-abi names that release.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-base-abi (= ${Qt6_VERSION}), libqt6svg6, fonts-liberation, fonts-dejavu-core, fonts-urw-base35")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-crosextra-carlito, fonts-crosextra-caladea, xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
