# The game's own folders depend one way, from the top down:
#   app -> stage -> play -> screens -> history -> state -> platform
# A file may include headers of its own folder and of the folders below it,
# never of one above. Run with -DSOURCE_DIR=<source tree> -P; fails listing
# every include that points upward.
set(LAYERS platform state history screens play stage app)

set(violations "")
foreach(layer IN LISTS LAYERS)
  list(FIND LAYERS ${layer} rank)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.h)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" target "${line}")
      list(FIND LAYERS ${target} targetRank)
      if(targetRank GREATER rank)
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${file})
        string(STRIP "${line}" line)
        list(APPEND violations "  ${rel} (${layer}/) includes ${target}/: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

# The stage model runs without windows: it includes no screen and no widget.
file(GLOB model ${SOURCE_DIR}/play/stage_run.*)
foreach(file IN LISTS model)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](screens/|QtWidgets|QWidget|QApplication|QTimer)")
  foreach(line IN LISTS includes)
    file(RELATIVE_PATH rel ${SOURCE_DIR} ${file})
    string(STRIP "${line}" line)
    list(APPEND violations "  ${rel} (the stage model) includes a window part: ${line}")
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Includes pointing upward (order, bottom first: ${LAYERS}):\n${text}")
endif()
message(STATUS "Include layers: ${LAYERS} - no upward include")
