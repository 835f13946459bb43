# cmake --install (GNUInstallDirs) and the Debian package (CPack DEB).
#
#   <libexecdir>/vellumtide/     the programs with Default.mtl and Vellum.3df:
#                                they read their data from their own folder
#   <bindir>/vellumtide, vellumtide-demo, vellumtide-saver
#                                relative symlinks into that folder (the
#                                programs resolve /proc/self/exe, so the data
#                                is found through the link)
#   <libexecdir>/xscreensaver/vellumtide       where Debian's XScreenSaver
#   <datadir>/xscreensaver/config/vellumtide.xml  finds display modes and
#                                              their settings
#   <mandir>/man6/*.6.gz, the desktop entry and icon of the demo, the
#   package's copyright, changelog and lintian overrides.
include(GNUInstallDirs)

set(MOLTRANE_PRIVATE_DIR ${CMAKE_INSTALL_LIBEXECDIR}/vellumtide)
set(MOLTRANE_XSCREENSAVER_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver
    CACHE STRING "Where XScreenSaver looks for display modes (relative to the prefix)")
set(MOLTRANE_XSCREENSAVER_CONFIG_DIR ${CMAKE_INSTALL_DATADIR}/xscreensaver/config
    CACHE STRING "Where xscreensaver-settings reads the display modes' settings")
set(MOLTRANE_MAINTAINER "Moltrane developers <moltrane@packages.invalid>"
    CACHE STRING "The Debian package's maintainer")
set(packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
set(staged ${CMAKE_BINARY_DIR}/install-staging)

install(TARGETS vellumtide saver demo vellumtide-capture
        RUNTIME DESTINATION ${MOLTRANE_PRIVATE_DIR})
install(FILES ${MOLTRANE_DATA_DIR}/Default.mtl ${MOLTRANE_DATA_DIR}/Vellum.3df
        DESTINATION ${MOLTRANE_PRIVATE_DIR})

# The links, made here and installed as links. Each points from its folder to
# the private one, however deep the two lie under the prefix.
function(moltrane_install_link link_dir name target_name)
  file(RELATIVE_PATH target /${link_dir} /${MOLTRANE_PRIVATE_DIR}/${target_name})
  file(MAKE_DIRECTORY ${staged}/${link_dir})
  file(CREATE_LINK ${target} ${staged}/${link_dir}/${name} SYMBOLIC)
  install(FILES ${staged}/${link_dir}/${name} DESTINATION ${link_dir})
endfunction()
moltrane_install_link(${CMAKE_INSTALL_BINDIR} vellumtide vellumtide)
moltrane_install_link(${CMAKE_INSTALL_BINDIR} vellumtide-demo demo)
moltrane_install_link(${CMAKE_INSTALL_BINDIR} vellumtide-saver saver)
moltrane_install_link(${MOLTRANE_XSCREENSAVER_HACK_DIR} vellumtide vellumtide)

install(FILES ${packaging}/vellumtide.xml DESTINATION ${MOLTRANE_XSCREENSAVER_CONFIG_DIR})
install(FILES ${packaging}/vellumtide-demo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 128)
  install(FILES ${packaging}/icons/vellumtide-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME vellumtide.png)
endforeach()

# Manual pages and the changelog go compressed, as Debian wants them; gzip -n
# keeps no name or time, so the package is the same from build to build.
set(compressed "")
foreach(page vellumtide vellumtide-demo vellumtide-saver)
  list(APPEND compressed ${staged}/${page}.6.gz)
  install(FILES ${staged}/${page}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
list(APPEND compressed ${staged}/changelog.gz)
foreach(out ${compressed})
  get_filename_component(name ${out} NAME)
  string(REGEX REPLACE "\\.gz$" "" source ${name})
  add_custom_command(OUTPUT ${out}
    COMMAND gzip -9 -n -c ${packaging}/${source} > ${out}
    DEPENDS ${packaging}/${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
endforeach()
add_custom_target(vellumtide_install_files ALL DEPENDS ${compressed})
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/vellumtide)
install(FILES ${packaging}/copyright ${staged}/changelog.gz DESTINATION ${doc_dir})
install(FILES ${packaging}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vellumtide)

# The Debian package: `cpack -G DEB` in the build folder (release preset).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumtide)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MOLTRANE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "warping texture-mapped grid screensaver and demo")
# The lines after the summary; CPack indents them and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vellumtide is an animated, texture-mapped 25 x 25 grid that warps and turns
in front of a textured dome, drawn by the Moltrane engine, which does its own
transform, projection and clipping and hands the triangles to a Glide 2.x
board emulated in software.

The package holds the XScreenSaver display mode vellumtide, the full-screen
demo vellumtide-demo and the screensaver vellumtide-saver.")
include(CPack)
