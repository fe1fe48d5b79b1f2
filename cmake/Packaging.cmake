# Installation and the Debian package (make package; cpack -G DEB in a built tree).
#
# /usr/libexec/norlink/  norlink, norlink-cli and libkovra.so side by side: both programs find
#                     the library through RUNPATH $ORIGIN, which the loader takes from the real
#                     path, so the symbolic links in /usr/bin work. (Under /usr/lib, CPack would
#                     add ldconfig calls for a library nobody looks up by name.)
# /usr/bin/           norlink and norlink-cli (links), norlink-sim (needs no library of ours)
# /usr/share/         desktop entry, scalable icon, man pages, copyright and changelog
if(NORLINK_FUZZ)
    return()
endif()

set(NORLINK_PRIVATE_DIR libexec/norlink)
set(NORLINK_PACKAGING_SRC ${CMAKE_CURRENT_LIST_DIR}/../packaging)
set(NORLINK_PACKAGING_BIN ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${NORLINK_PACKAGING_BIN})

install(TARGETS kovra LIBRARY DESTINATION ${NORLINK_PRIVATE_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS norlink RUNTIME DESTINATION ${NORLINK_PRIVATE_DIR})
install(TARGETS norlink-sim RUNTIME DESTINATION bin)

set(NORLINK_COMMANDS norlink norlink-sim)
set(NORLINK_LINKED norlink)
if(TARGET norlink-cli)
    install(TARGETS norlink-cli RUNTIME DESTINATION ${NORLINK_PRIVATE_DIR})
    list(APPEND NORLINK_COMMANDS norlink-cli)
    list(APPEND NORLINK_LINKED norlink-cli)
endif()

# Stripped as dh_strip does: without the compiler's .comment and .note sections.
set(NORLINK_INSTALLED_ELF bin/norlink-sim)
foreach(program IN LISTS NORLINK_LINKED)
    list(APPEND NORLINK_INSTALLED_ELF ${NORLINK_PRIVATE_DIR}/${program})
endforeach()
list(APPEND NORLINK_INSTALLED_ELF ${NORLINK_PRIVATE_DIR}/libkovra.so)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(file ${NORLINK_INSTALLED_ELF})
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                                    --remove-section=.note
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

foreach(program IN LISTS NORLINK_LINKED)
    file(CREATE_LINK ../${NORLINK_PRIVATE_DIR}/${program} ${NORLINK_PACKAGING_BIN}/${program}
         SYMBOLIC)
    install(FILES ${NORLINK_PACKAGING_BIN}/${program} DESTINATION bin)
endforeach()

# Man pages and the changelog compressed as Debian wants them: gzip -9, no name or time stamp.
set(NORLINK_COMPRESSED)
foreach(page IN LISTS NORLINK_COMMANDS)
    list(APPEND NORLINK_COMPRESSED ${page}.1)
endforeach()
list(APPEND NORLINK_COMPRESSED changelog)
set(NORLINK_PACKAGING_OUTPUTS)
foreach(name IN LISTS NORLINK_COMPRESSED)
    add_custom_command(
        OUTPUT ${NORLINK_PACKAGING_BIN}/${name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${NORLINK_PACKAGING_SRC}/${name}
                ${NORLINK_PACKAGING_BIN}/${name}
        COMMAND gzip -9nf ${NORLINK_PACKAGING_BIN}/${name}
        DEPENDS ${NORLINK_PACKAGING_SRC}/${name}
        VERBATIM)
    list(APPEND NORLINK_PACKAGING_OUTPUTS ${NORLINK_PACKAGING_BIN}/${name}.gz)
    if(name MATCHES "\\.1$")
        install(FILES ${NORLINK_PACKAGING_BIN}/${name}.gz DESTINATION share/man/man1)
    endif()
endforeach()
add_custom_target(norlink_packaging_files ALL DEPENDS ${NORLINK_PACKAGING_OUTPUTS})

install(FILES ${NORLINK_PACKAGING_BIN}/changelog.gz ${NORLINK_PACKAGING_SRC}/copyright
        DESTINATION share/doc/norlink)
# The user guide with its screenshots.
install(FILES ${CMAKE_SOURCE_DIR}/docs/USER-GUIDE.md ${CMAKE_SOURCE_DIR}/docs/USER-GUIDE.en.md
        DESTINATION share/doc/norlink)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/img DESTINATION share/doc/norlink)
install(FILES ${NORLINK_PACKAGING_SRC}/norlink.desktop DESTINATION share/applications)
install(FILES ${NORLINK_PACKAGING_SRC}/norlink.svg DESTINATION share/icons/hicolor/scalable/apps)

# Everything the package holds, for building it without the tests.
add_custom_target(package_contents)
add_dependencies(package_contents ${NORLINK_COMMANDS} kovra norlink_packaging_files)

set(NORLINK_MAINTAINER "NORLINK <norlink@example.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norlink)
set(CPACK_PACKAGE_VENDOR NORLINK)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${NORLINK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the NORLINK GSM communicator")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the telephone numbers, SMS recipients and texts of a NORLINK GSM
communicator over its serial service bus (4800 Bd, 8N1), lets a service
technician edit them in one window, writes the changes back with verification
and saves the whole configuration to a text file.

The package holds the window program norlink, the command-line tool
norlink-cli for scripts and batch work, and the virtual communicator
norlink-sim for training and tests without hardware.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${NORLINK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Czech texts (file dialogs, standard buttons): no library, so shlibdeps cannot find it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
# libkovra.so is private: dpkg-shlibdeps finds it in the build tree and adds no dependency.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
