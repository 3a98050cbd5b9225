# Fails when a source file includes a header of a layer it may not use. The levels point one way,
# platform ← core ← viewmodels ← views ← app (and the screenshot tool above them all), and so do the
# areas inside core: base uses none; split and state use base; engine uses base and split; content
# uses base, split and engine. Below the views nothing includes a QtWidgets header, and the
# file-manager helper includes no velmora header but the table of archive kinds (nor does that table).
# Every include is read, in quotes or angle brackets, however spaced; a path may not climb with ".."
# or start at "/", so what it names is the path as written from src/ (or below the including folder,
# which is the includer's own layer).
# Run: cmake -DSOURCE_DIR=<tree holding src/ and velmoraFinderSync/> -DWIDGETS_DIR=<QtWidgets headers>
#      -P Layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SOURCE_DIR}/src" OR NOT IS_DIRECTORY "${WIDGETS_DIR}")
    message(FATAL_ERROR "no sources at '${SOURCE_DIR}/src' or no QtWidgets headers at '${WIDGETS_DIR}'")
endif()
file(GLOB widget_headers RELATIVE "${WIDGETS_DIR}" "${WIDGETS_DIR}/*")

set(forbidden_src/platform "core|viewmodels|views|app|tools")
set(forbidden_src/core "viewmodels|views|app|tools")
set(forbidden_src/viewmodels "views|app|tools")
set(forbidden_src/views "app|tools")
set(forbidden_src/app "tools")
set(forbidden_src/core/base "core/(engine|split|state|content)")
set(forbidden_src/core/split "core/(engine|state|content)")
set(forbidden_src/core/state "core/(engine|split|content)")
set(forbidden_src/core/engine "core/(state|content)")
set(forbidden_src/core/content "core/state")
set(forbidden_velmoraFinderSync "platform|core|viewmodels|views|app|tools")
set(without_widgets src/platform src/core src/viewmodels velmoraFinderSync)
set(failures "")

function(sources_in folder out)
    file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp"
         "${SOURCE_DIR}/${folder}/*.h.in")
    set(${out} "${files}" PARENT_SCOPE)
endfunction()

# Reports each include in `files` whose path climbs or is absolute, starts with a folder matching
# `forbidden` (unless it is among `allowed`; src/tools has no such folder), or, with `no_widgets`, names a
# QtWidgets header.
function(check_includes files forbidden allowed no_widgets)
    foreach(file ${files})
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${lines})
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*(<([^>]*)>|\"([^\"]*)\")")
                list(APPEND failures "${file}: ${line} (no header name the check can read)")
                continue()
            endif()
            set(header "${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
            if(header MATCHES "^/|(^|/)\\.\\.(/|$)"
               OR (forbidden AND header MATCHES "^(${forbidden})/" AND NOT header IN_LIST allowed)
               OR (no_widgets AND (header MATCHES "^QtWidgets/" OR header IN_LIST widget_headers)))
                list(APPEND failures "${file}: ${line}")
            endif()
        endforeach()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

foreach(folder src/platform src/core src/viewmodels src/views src/app src/tools src/core/base
        src/core/split src/core/state src/core/engine src/core/content velmoraFinderSync)
    sources_in(${folder} files)
    set(allowed "")
    if(folder STREQUAL "velmoraFinderSync")
        # The table of kinds and the keeping of a name's bytes (QtCore alone), compiled in.
        set(allowed "platform/ArchiveKindTable.h;platform/ToolText.h")
        foreach(shared platform/ArchiveKindTable.h platform/ToolText.h platform/ToolText.cpp)
            if(EXISTS "${SOURCE_DIR}/src/${shared}")
                list(APPEND files "${SOURCE_DIR}/src/${shared}")
            endif()
        endforeach()
    endif()
    set(no_widgets FALSE)
    if(folder IN_LIST without_widgets)
        set(no_widgets TRUE)
    endif()
    check_includes("${files}" "${forbidden_${folder}}" "${allowed}" ${no_widgets})
endforeach()
# One line each, unwrapped (an error message would be wrapped), and each once: a file in an area of core
# is read for its level too.
list(REMOVE_DUPLICATES failures)
foreach(failure ${failures})
    message(NOTICE "${failure}")
endforeach()
list(LENGTH failures count)
if(count GREATER 0)
    message(FATAL_ERROR "includes against the layer order, listed above")
endif()
