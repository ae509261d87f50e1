# Folders of editor/ are layers. Each may include its own headers and those of the folders listed after
# it, and nothing else of the editor: an include going up or sideways stops the configuration and the build,
# as does a Qt include in a core folder (the cores never see Qt) or a folder missing from the table.
# vyr_check_editor_layers(EDITOR_FOLDER) runs at configuration; `cmake -DEDITOR_DIR=<editor folder> -P` on
# this file runs it whenever a source changes.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

function(vyr_check_editor_layers editor_dir)
  set(core_folders document script launch prefabs map check)
  set(layers
      "document"
      "script: document"
      "launch: document script"
      "prefabs: document"
      "map: document"
      "check: document script map"
      "gui/common: document launch"
      "gui/properties: gui/common document script check"
      "gui/prefab_windows: gui/common document prefabs"
      "gui/map_view: gui/common document map"
      "shell: gui/common gui/properties gui/prefab_windows gui/map_view document script launch prefabs map check"
      "app: shell gui/common document launch"
      "desktop: document launch")

  set(listed_folders)
  foreach(layer IN LISTS layers)
    string(REGEX REPLACE ":.*" "" folder "${layer}")
    list(APPEND listed_folders "${folder}")
  endforeach()
  file(GLOB_RECURSE all_sources RELATIVE "${editor_dir}" "${editor_dir}/*.h" "${editor_dir}/*.cpp")
  foreach(source IN LISTS all_sources)
    get_filename_component(folder "${source}" DIRECTORY)
    if(NOT folder IN_LIST listed_folders)
      message(FATAL_ERROR "editor/${folder} is in no layer: add it to the layers in cmake/editor_layers.cmake")
    endif()
  endforeach()

  foreach(layer IN LISTS layers)
    string(REGEX REPLACE ":.*" "" folder "${layer}")
    set(below "")
    if(layer MATCHES ":(.*)$")
      separate_arguments(below UNIX_COMMAND "${CMAKE_MATCH_1}")
    endif()
    file(GLOB sources "${editor_dir}/${folder}/*.h" "${editor_dir}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
      if(folder IN_LIST core_folders)
        file(STRINGS "${source}" qt_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")
        if(qt_includes)
          message(FATAL_ERROR "${source} includes Qt, but the editor core must build without it")
        endif()
      endif()
      file(STRINGS "${source}" editor_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]editor/")
      foreach(line IN LISTS editor_includes)
        string(REGEX REPLACE "^[^<\"]*[<\"]editor/(.*)/[^/]*[>\"].*$" "\\1" included "${line}")
        if(NOT included STREQUAL folder AND NOT included IN_LIST below)
          list(JOIN below " " allowed)
          message(FATAL_ERROR "${source}: ${line}\n"
                              "editor/${folder} may include only editor/${folder} and the folders below it: ${allowed}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  vyr_check_editor_layers("${EDITOR_DIR}")
endif()
