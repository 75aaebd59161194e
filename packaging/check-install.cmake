# Installs the build into a staging folder and checks that every file is
# where a desktop expects it, and that the desktop entry starts the launcher
# where it was installed.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
set(launcher usr/libexec/zelvano/zelvano-launcher)
set(expected
    usr/bin/zelvano
    usr/bin/zelvano-cipher
    ${launcher}
    usr/share/applications/${APP_ID}.desktop
    usr/share/metainfo/${APP_ID}.metainfo.xml
    usr/share/doc/zelvano/copyright
    usr/share/doc/zelvano/changelog.gz)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
file(GLOB pages RELATIVE ${MAN_DIR} ${MAN_DIR}/*.[1-9])
foreach(page IN LISTS pages)
    string(REGEX MATCH "[1-9]$" section ${page})
    list(APPEND expected usr/share/man/man${section}/${page}.gz)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS ${STAGE}/${path})
        message(FATAL_ERROR "missing after install: ${path}")
    endif()
endforeach()
file(STRINGS ${STAGE}/usr/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=/${launcher}")
    message(FATAL_ERROR "the desktop entry says \"${exec}\", not \"Exec=/${launcher}\"")
endif()
list(LENGTH expected count)
message(STATUS "all ${count} installed files present")
