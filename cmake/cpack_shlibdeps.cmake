# Read by cpack before it builds the .deb: works out the library packages the
# program needs with dpkg-shlibdeps, run on the built program and its web
# library. CPack's own
# switch for this (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) finds programs by running
# `file` in the C locale, which turns the program's Chinese file name into
# octal escapes, and then cannot find the file.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(work "${CPACK_QORVEL_BUILD_DIR}/_CPack_Packages/shlibdeps")
    file(REMOVE_RECURSE "${work}")
    file(MAKE_DIRECTORY "${work}/debian")
    file(WRITE "${work}/debian/control" "") # dpkg-shlibdeps wants one
    execute_process(
        COMMAND dpkg-shlibdeps -O "${CPACK_QORVEL_PROGRAM}" "${CPACK_QORVEL_WEB_LIBRARY}"
        WORKING_DIRECTORY "${work}"
        OUTPUT_VARIABLE found ERROR_VARIABLE errors RESULT_VARIABLE failed)
    if(failed OR NOT found MATCHES "shlibs:Depends=([^\n]+)")
        message(FATAL_ERROR "dpkg-shlibdeps ${CPACK_QORVEL_PROGRAM} failed: ${errors}")
    endif()
    # Then the packages no link names, unless a library's package already
    # brings them in.
    set(depends "${CMAKE_MATCH_1}")
    string(REPLACE ", " ";" wanted "${CPACK_DEBIAN_PACKAGE_DEPENDS}")
    foreach(package IN LISTS wanted)
        if(NOT depends MATCHES "(^|, )${package}( |,|$)")
            string(APPEND depends ", ${package}")
        endif()
    endforeach()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
endif()
