# Fails when a file under src/core includes a header of an area its own area may not use:
# base uses none; split and state use base; engine uses base and split; content uses base, split
# and engine.
# Run: cmake -DCORE_DIR=<src/core> -P CoreLayers.cmake
set(forbidden_base "engine|split|state|content")
set(forbidden_split "engine|state|content")
set(forbidden_state "engine|split|content")
set(forbidden_engine "state|content")
set(forbidden_content "state")
set(failures "")
foreach(area base split state engine content)
    file(GLOB files "${CORE_DIR}/${area}/*.h" "${CORE_DIR}/${area}/*.cpp")
    foreach(file ${files})
        file(STRINGS "${file}" lines REGEX "#include \"core/(${forbidden_${area}})/")
        foreach(line ${lines})
            string(APPEND failures "${file}: ${line}\n")
        endforeach()
    endforeach()
endforeach()
if(failures)
    message(FATAL_ERROR "core areas include against the layer order:\n${failures}")
endif()
