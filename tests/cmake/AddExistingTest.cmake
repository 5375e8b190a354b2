# A folder listed for velmora_add_existing whose CMakeLists.txt was lost must stop the
# configure step and name the file, instead of leaving its suite out of the build unseen.
# Run with cmake -P; HELPERS, WORK and GENERATOR come from the test's command line.
foreach(var HELPERS WORK GENERATOR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "AddExistingTest.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
set(tree ${WORK}/tree)
file(MAKE_DIRECTORY ${tree}/present ${tree}/lost)
file(WRITE ${tree}/CMakeLists.txt
    "cmake_minimum_required(VERSION 3.25)\n"
    "project(AddExisting NONE)\n"
    "include(${HELPERS})\n"
    "velmora_add_existing(present lost)\n")
foreach(folder present lost)
    file(WRITE ${tree}/${folder}/CMakeLists.txt "# builds nothing\n")
endforeach()

function(configure build result output)
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${tree} -B ${WORK}/${build} -G ${GENERATOR}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${result} ${code} PARENT_SCOPE)
    set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

# With every file in place the project configures, so a failure below is the lost file's.
configure(complete code out)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "The complete tree does not configure:\n${out}")
endif()

file(REMOVE ${tree}/lost/CMakeLists.txt)
configure(incomplete code out)
if(code EQUAL 0)
    message(FATAL_ERROR "A listed folder without CMakeLists.txt was skipped:\n${out}")
endif()
# CMake wraps long messages; compare with the line breaks taken out.
string(REGEX REPLACE "[ \t\r\n]+" " " flat "${out}")
string(FIND "${flat}" "${tree}/lost/CMakeLists.txt is missing" at)
if(at EQUAL -1)
    message(FATAL_ERROR "The configure failed without naming the lost file:\n${out}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "velmora_add_existing stops on a lost CMakeLists.txt")
