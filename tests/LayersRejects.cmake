# The layer check over a small tree of its own: it must report every file of `bad` and none of `good`,
# so a check that stops reading some form of include fails here rather than passing the sources.
# Run: cmake -DWORK_DIR=<scratch folder> -DWIDGETS_DIR=<QtWidgets headers> -P LayersRejects.cmake
cmake_minimum_required(VERSION 3.25)
# <file>|<its one include>
set(bad
    "src/core/base/Angle.h|#include <core/state/ArchivePasswordBook.h>"
    "src/core/base/Spaced.h|#  include \"core/engine/ArchiveError.h\""
    "src/core/split/Tabbed.cpp|#\tinclude\t\"core/state/AppSettings.h\""
    "src/core/engine/Relative.cpp|#include \"../state/AppSettings.h\""
    "src/core/engine/Absolute.cpp|#include \"/usr/include/stdio.h\""
    "src/platform/Upward.h|#include <viewmodels/OperationFailure.h>"
    "src/viewmodels/Qualified.h|#include <QtWidgets/QWidget>"
    "src/viewmodels/Plain.cpp|#include <QPushButton>"
    "src/core/content/Lower.cpp|#include <qwidget.h>"
    "src/platform/Quoted.cpp|#include \"QLabel\""
    "src/views/Tool.cpp|#include \"tools/screenshots/Screens.h\""
    "src/viewmodels/Macro.cpp|#include VELMORA_HEADER"
    "velmoraFinderSync/Store.cpp|#include \"platform/DefaultsStore.h\""
    "velmoraFinderSync/Base.h|#include <core/base/ArchiveFormat.h>"
    "velmoraFinderSync/Window.cpp|#include <QWidget>"
    "src/platform/ArchiveKindTable.h|#include \"platform/AppBundle.h\"")
set(good
    "src/views/Button.cpp|#include <QPushButton>"
    "src/core/engine/Split.cpp|#include \"core/split/SplitArchiveScanner.h\""
    "src/core/content/Engine.cpp|#  include <core/engine/ArchiveError.h>"
    "src/viewmodels/State.cpp|#include \"core/state/AppSettings.h\""
    "src/tools/Everything.cpp|#include \"app/AppCoordinator.h\""
    "velmoraFinderSync/Kinds.cpp|#include \"platform/ArchiveKindTable.h\""
    "velmoraFinderSync/Own.cpp|#include \"Own.h\"")

file(REMOVE_RECURSE "${WORK_DIR}")
foreach(case ${bad} ${good})
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 line)
    file(WRITE "${WORK_DIR}/${file}" "${line}\n")
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} -DWIDGETS_DIR=${WIDGETS_DIR}
                        -P ${CMAKE_CURRENT_LIST_DIR}/Layers.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(wrong 0)
foreach(case ${bad} ${good})
    string(REGEX REPLACE "\\|.*" "" file "${case}")
    string(FIND "${output}" "${WORK_DIR}/${file}:" at)
    if((case IN_LIST bad AND at EQUAL -1) OR (case IN_LIST good AND NOT at EQUAL -1))
        message(NOTICE "misjudged: ${case}")
        math(EXPR wrong "${wrong} + 1")
    endif()
endforeach()
if(result EQUAL 0 OR wrong GREATER 0)
    message(FATAL_ERROR "the layer check misjudged ${wrong} of its own cases (status ${result}):\n${output}")
endif()
