# Installs the build into a staging folder and checks that every file is
# where a desktop expects it.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
set(expected
    usr/bin/zelvano
    usr/bin/zelvano-cipher
    usr/share/man/man1/zelvano-cipher.1.gz
    usr/share/applications/${APP_ID}.desktop
    usr/share/metainfo/${APP_ID}.metainfo.xml)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS ${STAGE}/${path})
        message(FATAL_ERROR "missing after install: ${path}")
    endif()
endforeach()
list(LENGTH expected count)
message(STATUS "all ${count} installed files present")
