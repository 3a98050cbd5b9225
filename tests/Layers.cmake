# Fails when a source file includes a header of a layer it may not use. The levels point one way,
# platform ← core ← viewmodels ← views ← app (and the screenshot tool above them all), and so do the
# areas inside core: base uses none; split and state use base; engine uses base and split; content
# uses base, split and engine.
# Run: cmake -DSRC_DIR=<src> -P Layers.cmake
set(forbidden_platform "core|viewmodels|views|app|tools")
set(forbidden_core "viewmodels|views|app|tools")
set(forbidden_viewmodels "views|app|tools")
set(forbidden_views "app|tools")
set(forbidden_app "tools")
set(forbidden_core/base "core/(engine|split|state|content)")
set(forbidden_core/split "core/(engine|state|content)")
set(forbidden_core/state "core/(engine|split|content)")
set(forbidden_core/engine "core/(state|content)")
set(forbidden_core/content "core/state")
set(failures "")

function(check_includes directory forbidden)
    file(GLOB_RECURSE files "${SRC_DIR}/${directory}/*.h" "${SRC_DIR}/${directory}/*.cpp")
    foreach(file ${files})
        file(STRINGS "${file}" lines REGEX "#include \"(${forbidden})/")
        foreach(line ${lines})
            string(APPEND failures "${file}: ${line}\n")
        endforeach()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

foreach(layer platform core viewmodels views app core/base core/split core/state core/engine core/content)
    check_includes(${layer} "${forbidden_${layer}}")
endforeach()
if(failures)
    message(FATAL_ERROR "includes against the layer order:\n${failures}")
endif()
