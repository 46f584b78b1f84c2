# Installing the program as a system package: the program and Ruffle in
# lib/qorvel, the data every user starts with in share/qorvel/defaults, a
# launcher on PATH, the menu entry, the icon at each of its sizes, the
# AppStream file, a man page; and a .deb made from that by CPack.
#
# Installed into a folder the user cannot write to, the program keeps each
# user's data in their own data folder and fills it from the defaults on
# first start.
include(GNUInstallDirs)

set(QORVEL_APP_ID "invalid.qorvel.player" CACHE STRING
    "Name of the desktop entry and the AppStream component")
# The day this version was released; the AppStream file and the package's
# changelog carry it.
set(QORVEL_RELEASE_DATE "2026-12-08")
set(QORVEL_PACKAGE_CONTACT "Qorvel Dev <dev@qorvel.invalid>")

set(QORVEL_PROGRAM_DIR lib/qorvel)
set(QORVEL_DEFAULTS_DIR ${CMAKE_INSTALL_DATADIR}/qorvel/defaults)
set(QORVEL_PROGRAM_NAME "Qorvel儿童乐园")

# The program looks for the defaults relative to its own folder, so the
# installed tree works under any prefix.
file(RELATIVE_PATH defaults_from_program /p/${QORVEL_PROGRAM_DIR} /p/${QORVEL_DEFAULTS_DIR})
target_compile_definitions(qorvel_app PRIVATE
    QORVEL_DEFAULTS_DIR="${defaults_from_program}"
    QORVEL_DESKTOP_ID="${QORVEL_APP_ID}")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS qorvel_app RUNTIME DESTINATION ${QORVEL_PROGRAM_DIR})
# The player and the strip, loaded from beside the program once it shows.
install(TARGETS qorvel_webmodule LIBRARY DESTINATION ${QORVEL_PROGRAM_DIR})
# Ruffle as its package ships it, with its licences, without the source maps.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/node_modules/@ruffle-rs/ruffle/
    DESTINATION ${QORVEL_PROGRAM_DIR}/ruffle
    FILES_MATCHING PATTERN "*.js" PATTERN "*.wasm" PATTERN "LICENSE*")
# The cache folder is made empty in each user's folder; nothing to ship.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${QORVEL_DEFAULTS_DIR}
    PATTERN ".keep" EXCLUDE
    PATTERN "fla" EXCLUDE)

set(pkg_dir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg_dir})

# The launcher on PATH: a relative link, so the tree can be moved whole.
file(RELATIVE_PATH program_from_bin
    /p/${CMAKE_INSTALL_BINDIR} /p/${QORVEL_PROGRAM_DIR}/${QORVEL_PROGRAM_NAME})
file(CREATE_LINK ${program_from_bin} ${pkg_dir}/qorvel SYMBOLIC)
install(FILES ${pkg_dir}/qorvel DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/qorvel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${QORVEL_APP_ID}.desktop)
file(GLOB icon_files ${CMAKE_SOURCE_DIR}/packaging/icons/*.png)
foreach(icon IN LISTS icon_files)
    get_filename_component(size ${icon} NAME_WE)
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME qorvel.png)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/qorvel.metainfo.xml.in
    ${pkg_dir}/${QORVEL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pkg_dir}/${QORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the man page and the changelog compressed at the highest level
# and without a time stamp, so that equal sources give equal packages.
function(qorvel_gzip in out)
    execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${in} OUTPUT_FILE ${out}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${in} failed")
    endif()
endfunction()
configure_file(${CMAKE_SOURCE_DIR}/packaging/qorvel.1 ${pkg_dir}/qorvel.1 @ONLY)
qorvel_gzip(${pkg_dir}/qorvel.1 ${pkg_dir}/qorvel.1.gz)
install(FILES ${pkg_dir}/qorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

execute_process(COMMAND date -u -R -d ${QORVEL_RELEASE_DATE}
    OUTPUT_VARIABLE QORVEL_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${pkg_dir}/changelog @ONLY)
qorvel_gzip(${pkg_dir}/changelog ${pkg_dir}/changelog.gz)
install(FILES ${pkg_dir}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qorvel)

# The .deb: `cpack -G DEB` in the build folder, after building qorvel_app.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QORVEL_PACKAGE_CONTACT})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "player for children's Flash programmes\n"
    "Qorvel儿童乐园 plays Flash programmes for children: songs, nursery\n"
    "rhymes, stories, English, classical poems, pinyin, Chinese characters\n"
    "and games, in fourteen categories. Programmes not on the computer yet\n"
    "are fetched on demand into a cache. Each user keeps their own\n"
    "favourites, history, cache and folders of their own programmes.\n"
    "\n"
    "Flash movies are played by Ruffle, shipped with the package.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
# The libraries' packages are worked out from the links of the program and
# its web library when cpack runs (cmake/cpack_shlibdeps.cmake). The web engine's helper process, the
# platform plugins are loaded at run time, so no link names them.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack_shlibdeps.cmake)
set(CPACK_QORVEL_PROGRAM ${QORVEL_APP_DIR}/${QORVEL_PROGRAM_NAME})
set(CPACK_QORVEL_WEB_LIBRARY ${QORVEL_APP_DIR}/libqorvel_web.so)
set(CPACK_QORVEL_BUILD_DIR ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
