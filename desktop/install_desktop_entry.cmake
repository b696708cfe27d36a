# Writes the menu entry at install time, so that it starts the launcher of
# the prefix actually installed to (cmake --install --prefix).
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/quennel")
if(launcher MATCHES "[\"`$\\\\]")
  # Characters the entry's Exec line would need escaped: rely on PATH.
  set(QUENNEL_EXEC "quennel")
else()
  set(QUENNEL_EXEC "\"${launcher}\"")
endif()
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/quennel.desktop")
message(STATUS "Installing: ${target}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/quennel.desktop.in" "${target}" @ONLY)
