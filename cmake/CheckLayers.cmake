# Fails when a source file reaches above its layer. The folders under src/
# are the layers, lowest first:
#   dsp < core < process < jobs < session < cli | ui < app
# A file includes headers of its own layer and of those below it; cli and ui
# are siblings and neither reaches process/; dsp includes no Qt at all; Qt's
# Widgets and Gui headers appear only in ui/ and app/.
# Run as: cmake -DSOURCE_DIR=<src> -DQT_INCLUDE_DIR=<qt6 include root> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.21)

set(rank_dsp 0)
set(rank_core 1)
set(rank_process 2)
set(rank_jobs 3)
set(rank_session 4)
set(rank_cli 5)
set(rank_ui 5)
set(rank_app 6)

# Every header name Qt's Widgets and Gui modules install, so a new widget
# class needs no list kept by hand.
set(window_headers "")
foreach(module QtWidgets QtGui)
    file(GLOB names RELATIVE "${QT_INCLUDE_DIR}/${module}" "${QT_INCLUDE_DIR}/${module}/*")
    foreach(name IN LISTS names)
        list(APPEND window_headers "${name}" "${module}/${name}")
    endforeach()
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(problems "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" layer "${source}")
    if(NOT DEFINED rank_${layer})
        if(source MATCHES "/")
            string(APPEND problems "\n  ${source}: ${layer}/ is no layer")
        endif()
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            string(REGEX MATCH "^[^/]+" reached "${header}")
            if(NOT header MATCHES "/")
                continue()
            endif()
            if(NOT DEFINED rank_${reached})
                string(APPEND problems "\n  ${source}: includes ${header}, outside every layer")
            elseif(NOT reached STREQUAL layer AND NOT rank_${reached} LESS rank_${layer})
                string(APPEND problems "\n  ${source}: ${layer}/ includes ${header} from ${reached}/")
            elseif((layer STREQUAL "cli" OR layer STREQUAL "ui") AND reached STREQUAL "process")
                string(APPEND problems "\n  ${source}: ${layer}/ reaches process/ (${header}): go through jobs/ or session/")
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            set(header "${CMAKE_MATCH_1}")
            if(layer STREQUAL "dsp" AND header MATCHES "^Q")
                string(APPEND problems "\n  ${source}: dsp/ includes Qt (${header})")
            elseif(NOT layer STREQUAL "ui" AND NOT layer STREQUAL "app")
                list(FIND window_headers "${header}" found)
                if(found GREATER -1)
                    string(APPEND problems "\n  ${source}: ${layer}/ includes the window header <${header}>")
                endif()
            endif()
        endif()
    endforeach()
endforeach()

# The session's state is its own: the windows and the command line read it
# through accessors and change it through operations, so no class of the
# session layer declares a public data member (one indented four spaces,
# ending in ';', with no parenthesis; the members of its nested structs are
# values handed out, indented further).
file(GLOB session_headers RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/session/*.h")
foreach(header IN LISTS session_headers)
    file(STRINGS "${SOURCE_DIR}/${header}" lines)
    set(access "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^(class|struct) [A-Za-z_]+")
            set(access "private")
            if(line MATCHES "^struct")
                set(access "public")
            endif()
        elseif(line MATCHES "^(public|private|protected|signals|public slots|private slots):")
            string(REGEX REPLACE ":.*" "" access "${line}")
        elseif(access STREQUAL "public" AND line MATCHES "^    [A-Za-z_][^()]*;"
               AND NOT line MATCHES "^    (using|friend|class|struct|enum|static constexpr|//)")
            string(APPEND problems "\n  ${header}: a public data member: ${line}")
        endif()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR "Includes and members that break the layers:${problems}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to their layers")
