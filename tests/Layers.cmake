# Checks every #include of the program's sources against the rooms of the house. A room is a folder
# of src/ (data/engine/file is a room inside data/engine, inside data); a file belongs to the room
# of its own folder. Each room may include itself and the rooms its table names, nothing else:
#   base <- data/engine (file/, server/) <- data <- toolkit <- access <- desk, manage <- app <- main
# and data/shop beside data, for the shell and the tools alone. Only the rooms named below include
# an engine's library or compose statement text (data/Sql.h).
# Run: cmake -DSOURCE_DIR=src -P tests/Layers.cmake
cmake_minimum_required(VERSION 3.16)
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

set(rooms base data/engine data/engine/file data/engine/server data data/shop toolkit access desk manage
          app main)
set(may_base "")
set(may_data/engine base)
set(may_data/engine/file base data/engine)
set(may_data/engine/server base data/engine)
set(may_data base data/engine)
set(may_data/shop base data/engine data/engine/file data/engine/server data)
set(may_toolkit base data/engine data)
set(may_access base data/engine data toolkit)
set(may_desk base data/engine data toolkit access)
set(may_manage base data/engine data toolkit access)
set(may_app base data/engine data data/shop toolkit access desk manage)
set(may_main base data/engine data data/shop toolkit access desk manage app)

# The engines' libraries, and the rooms that may include each.
set(library_sqlite "sqlite3\\.h|sqlcipher/")
set(library_libpq "libpq-fe\\.h|libpq/")
set(library_openssl "openssl/")
set(libraries sqlite libpq openssl)
set(library_rooms_sqlite data/engine/file data/shop)
set(library_rooms_libpq data/engine/server data/shop)
set(library_rooms_openssl base data/engine/file)
# Statement text is composed only in the data layer.
set(sql_rooms data data/shop)

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(faults "")
foreach(file ${files})
    get_filename_component(room "${file}" DIRECTORY)
    if(room STREQUAL "")
        set(room main)
    endif()
    if(NOT room IN_LIST rooms)
        list(APPEND faults "${file}: the folder ${room}/ is no room of the house")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(target "${CMAKE_MATCH_1}")
            if(target MATCHES "^ui_[A-Za-z0-9_]+\\.h$")
                continue() # a form's generated class, beside the dialog that uses it
            endif()
            get_filename_component(to "${target}" DIRECTORY)
            if(target STREQUAL "data/Sql.h" AND NOT room IN_LIST sql_rooms)
                list(APPEND faults "${file}: only the data layer composes statements (${target})")
            elseif(NOT to IN_LIST rooms)
                list(APPEND faults "${file}: \"${target}\" is not named from src/ (room/File.h)")
            elseif(NOT to STREQUAL room AND NOT to IN_LIST may_${room})
                list(APPEND faults "${file}: ${room}/ may not include ${to}/ (\"${target}\")")
            endif()
        elseif(line MATCHES "<([^>]+)>")
            set(target "${CMAKE_MATCH_1}")
            foreach(library ${libraries})
                if(target MATCHES "^(${library_${library}})" AND NOT room IN_LIST library_rooms_${library})
                    list(APPEND faults "${file}: ${room}/ may not include the engine's <${target}>")
                endif()
            endforeach()
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes against the rooms of src/:\n  ${text}")
endif()
list(LENGTH files count)
message(STATUS "${count} files of src/ include only their own room and the rooms it may")
