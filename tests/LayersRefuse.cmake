cmake_minimum_required(VERSION 3.16)
# Runs Layers.cmake on a tree whose one dialog breaks every rule, and fails unless each break is
# refused. Run: cmake -DLAYERS=tests/Layers.cmake -DSOURCE_DIR=tests/layers/src -P tests/LayersRefuse.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -P ${LAYERS}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${err}")
if(result EQUAL 0)
    message(FATAL_ERROR "the includes of a dialog that breaks every rule were accepted")
endif()
foreach(expected
        "desk/CBadDlg.cpp: only the data layer composes statements"
        "desk/ may not include data/engine/file/"
        "desk/ may not include data/engine/server/"
        "desk/ may not include data/shop/"
        "desk/ may not include manage/"
        "desk/ may not include the engine's <libpq-fe.h>"
        "desk/ may not include the engine's <sqlite3.h>")
    string(FIND "${err}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "not refused: ${expected}")
    endif()
endforeach()
