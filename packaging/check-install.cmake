# Installs the build into a staging folder, stripped as the package is, and
# checks that every file is where a desktop expects it, that the programs have
# lost the sections a stripped install drops, and that the desktop entry
# starts the launcher where it was installed. MAN_PAGES and PROGRAMS are the
# lists of packaging/CMakeLists.txt, joined by commas.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr --strip
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
string(REPLACE "," ";" pages "${MAN_PAGES}")
string(REPLACE "," ";" programs "${PROGRAMS}")
if(NOT pages OR NOT programs)
    message(FATAL_ERROR "no manual pages or no programs given")
endif()
set(launcher usr/libexec/zelvano/zelvano-launcher)
set(expected
    ${launcher}
    usr/share/applications/${APP_ID}.desktop
    usr/share/metainfo/${APP_ID}.metainfo.xml
    usr/share/doc/zelvano/copyright
    usr/share/doc/zelvano/changelog.gz)
foreach(program IN LISTS programs)
    list(APPEND expected usr/bin/${program})
endforeach()
foreach(size 16 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(page IN LISTS pages)
    string(REGEX MATCH "[1-9]$" section ${page})
    list(APPEND expected usr/share/man/man${section}/${page}.gz)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS ${STAGE}/${path})
        message(FATAL_ERROR "missing after install: ${path}")
    endif()
endforeach()
foreach(program IN LISTS programs)
    execute_process(COMMAND ${READELF} --section-headers --wide ${STAGE}/usr/bin/${program}
        OUTPUT_VARIABLE sections COMMAND_ERROR_IS_FATAL ANY)
    if(NOT sections MATCHES " \\.text ")
        message(FATAL_ERROR "${READELF} lists no .text section in usr/bin/${program}")
    endif()
    if(sections MATCHES " \\.(comment|note|symtab) ")
        message(FATAL_ERROR "usr/bin/${program} still has its .${CMAKE_MATCH_1} section")
    endif()
endforeach()
file(STRINGS ${STAGE}/usr/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=/${launcher}")
    message(FATAL_ERROR "the desktop entry says \"${exec}\", not \"Exec=/${launcher}\"")
endif()
list(LENGTH expected count)
message(STATUS "all ${count} installed files present, the programs stripped")
