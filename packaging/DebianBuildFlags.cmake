# Compile and link with the flags dpkg-buildflags gives on the building
# machine, hardening included (bindnow too, which Debian leaves out by
# default). On by default wherever dpkg-buildflags exists, so that the tests,
# the sanitizer build and the benchmarks run the code the package ships. A
# DEB_BUILD_MAINT_OPTIONS in the environment still has the last word.
# Included before the targets are defined, so it applies to all of them.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
    set(zelvano_deb_default ON)
else()
    set(zelvano_deb_default OFF)
endif()
option(ZELVANO_DEBIAN_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags"
       ${zelvano_deb_default})
if(ZELVANO_DEBIAN_BUILDFLAGS)
    if(NOT DPKG_BUILDFLAGS)
        message(FATAL_ERROR "ZELVANO_DEBIAN_BUILDFLAGS is on, but there is no dpkg-buildflags "
                            "(package dpkg-dev)")
    endif()
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        # Run in the source folder, so that its path is mapped to "." in the
        # debugging information.
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env
                    "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE zelvano_deb_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()

    # CMake has no separate preprocessor flags. With a build type, the type
    # chooses the optimisation and the debugging information, so dpkg's -O2
    # and -g go; with none (as in Debian's own package builds) they stay.
    separate_arguments(zelvano_deb_flags UNIX_COMMAND
                       "${zelvano_deb_CPPFLAGS} ${zelvano_deb_CXXFLAGS}")
    set(zelvano_deb_kept)
    set(zelvano_deb_fortify)
    foreach(flag IN LISTS zelvano_deb_flags)
        if(flag MATCHES "^-D_FORTIFY_SOURCE=")
            set(zelvano_deb_fortify ${flag})
        elseif(NOT (flag MATCHES "^-(O|g)" AND (CMAKE_BUILD_TYPE OR CMAKE_CONFIGURATION_TYPES)))
            list(APPEND zelvano_deb_kept ${flag})
        endif()
    endforeach()
    list(JOIN zelvano_deb_kept " " zelvano_deb_kept)
    string(APPEND CMAKE_CXX_FLAGS " ${zelvano_deb_kept}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${zelvano_deb_LDFLAGS}")

    # _FORTIFY_SOURCE checks buffer sizes that only the optimiser knows, and
    # glibc warns when a Debug build asks for it without optimisation. Under
    # the sanitizers it stays off: the fortified copies (__memcpy_chk and the
    # like) bypass AddressSanitizer's interceptors, so it would miss reports
    # (the sanitizers' own FAQ says the two do not work together).
    if(zelvano_deb_fortify AND NOT ZELVANO_SANITIZE)
        add_compile_options($<$<NOT:$<CONFIG:Debug>>:${zelvano_deb_fortify}>)
        string(APPEND zelvano_deb_kept " (${zelvano_deb_fortify} except in Debug builds)")
    endif()
    message(STATUS "Debian build flags: ${zelvano_deb_kept}; linker: ${zelvano_deb_LDFLAGS}")
endif()
