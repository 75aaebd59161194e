# For the Debian package: compile and link with the flags dpkg-buildflags gives
# on the machine that builds it, hardening included (bindnow too, which Debian
# leaves out by default). A DEB_BUILD_MAINT_OPTIONS in the environment still
# has the last word. Included before the targets are defined, so it applies
# to all of them.
option(ZELVANO_DEBIAN_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags" OFF)
if(ZELVANO_DEBIAN_BUILDFLAGS)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
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
    # CMake has no separate preprocessor flags.
    string(APPEND CMAKE_CXX_FLAGS " ${zelvano_deb_CPPFLAGS} ${zelvano_deb_CXXFLAGS}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${zelvano_deb_LDFLAGS}")
    message(STATUS "Debian build flags: ${zelvano_deb_CPPFLAGS} ${zelvano_deb_CXXFLAGS}; "
                   "linker: ${zelvano_deb_LDFLAGS}")
endif()
