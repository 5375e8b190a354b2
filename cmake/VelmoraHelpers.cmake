# velmora_library(name SOURCES ... LINKS ...): one static library per source folder,
# whose headers are included by folder ("installer/PayloadArchive.h").
function(velmora_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# velmora_test(name SOURCES ... LINKS ... [RESOURCE_LOCK lock] [RUN_SERIAL]): a GoogleTest
# binary registered with ctest. Widget tests run on the offscreen platform so no display is
# needed. Tests that take a system-wide resource (the installer's name, running product
# processes) name a lock, so ctest never runs two of them at once; RUN_SERIAL tests run with
# nothing else beside them (timed input on real desktops).
function(velmora_test name)
    cmake_parse_arguments(ARG "RUN_SERIAL" "RESOURCE_LOCK" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main)
    set(lock)
    if(ARG_RESOURCE_LOCK)
        set(lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
    endif()
    if(ARG_RUN_SERIAL)
        list(APPEND lock RUN_SERIAL TRUE)
    endif()
    include(GoogleTest)
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${lock}
        DISCOVERY_TIMEOUT 60)
endfunction()

# Folder libraries take every source in their folder, so that parallel work on one
# folder never fights over a source list.
function(velmora_folder_library name)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    velmora_library(${name} SOURCES ${sources} LINKS ${ARG_LINKS})
endfunction()

# Adds each listed sub-folder. Every suite and library goes through here, so a folder whose
# CMakeLists.txt is missing stops the configure step: skipping it would drop its tests (or
# its code) from the build without a word.
macro(velmora_add_existing)
    foreach(_dir ${ARGN})
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/CMakeLists.txt)
            message(FATAL_ERROR
                "${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/CMakeLists.txt is missing: the folder "
                "'${_dir}' is listed in ${CMAKE_CURRENT_LIST_FILE} but cannot be built. "
                "Restore the file or take the folder off the list.")
        endif()
        add_subdirectory(${_dir})
    endforeach()
endmacro()
