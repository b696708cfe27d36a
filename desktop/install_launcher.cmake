# Installs the launcher and the menu entry that starts it. Both depend on
# the prefix actually installed to (cmake --install --prefix, or /usr for
# the Debian package), so they are placed at install time.
#
# Under /usr and /usr/local the launcher goes to games/, Debian's place for
# games and on every player's PATH; elsewhere (~/.local) to bin/.
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
  set(launcher_dir "${CMAKE_INSTALL_PREFIX}/games")
else()
  set(launcher_dir "${CMAKE_INSTALL_PREFIX}/bin")
endif()
file(INSTALL "${CMAKE_CURRENT_LIST_DIR}/quennel" DESTINATION "${launcher_dir}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(launcher "${launcher_dir}/quennel")
if(launcher MATCHES "[\"`$\\\\]")
  # Characters the entry's Exec line would need escaped: rely on PATH.
  set(QUENNEL_EXEC "quennel")
else()
  set(QUENNEL_EXEC "\"${launcher}\"")
endif()
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/quennel.desktop")
message(STATUS "Installing: ${target}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/quennel.desktop.in" "${target}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
