# Release builds of one commit give the same bytes wherever and whenever they are made: the
# programs, the payload and the one-file release (scripts/test-reproducible.sh builds twice and
# compares). What would differ otherwise, and what is done about it:
#  - folder names in compiled code: both the source and the build folder are mapped away
#    (-ffile-prefix-map), so __FILE__ and debugging paths read the same from any folder;
#  - the time of compiling: no code uses __DATE__, __TIME__ or __TIMESTAMP__ (the
#    reproducibility test builds with -Werror=date-time to keep it so);
#  - file times in the Qt resources (rcc stores each file's modification time): rcc runs with
#    SOURCE_DATE_EPOCH set, so it stores that time instead;
#  - member order, owners and times in the release's archive: make-bundle.sh sorts the
#    members and gives each the owner 0:0 and the time VELMORA_SOURCE_DATE_EPOCH.
# VELMORA_SOURCE_DATE_EPOCH is SOURCE_DATE_EPOCH from the environment when set (a packager's
# choice), otherwise the time of the checked-out commit, otherwise 0 (a tree without git).

set(_velmora_reproducible_default OFF)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    set(_velmora_reproducible_default ON)
endif()
option(VELMORA_REPRODUCIBLE
       "The same commit builds to the same bytes (on by default in release builds)"
       ${_velmora_reproducible_default})

# The commit time; a commit or checkout reconfigures the build, so the value never goes stale.
function(velmora_source_date_epoch out)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(${out} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
        return()
    endif()
    find_package(Git QUIET)
    set(epoch 0)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE failed ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir
                        OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT failed AND commit_time MATCHES "^[0-9]+$")
            set(epoch ${commit_time})
            # HEAD's log gains a line with every commit, checkout and reset.
            foreach(moved ${git_dir}/logs/HEAD ${git_dir}/HEAD)
                if(EXISTS ${moved})
                    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY
                                 CMAKE_CONFIGURE_DEPENDS ${moved})
                endif()
            endforeach()
        endif()
    endif()
    set(${out} ${epoch} PARENT_SCOPE)
endfunction()

velmora_source_date_epoch(VELMORA_SOURCE_DATE_EPOCH)
if(NOT VELMORA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not ${VELMORA_SOURCE_DATE_EPOCH}")
endif()

if(VELMORA_REPRODUCIBLE)
    # The build folder last: it usually lies inside the source folder, and of the maps that
    # match a path the last one given is used.
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                        -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

    # rcc through a wrapper that sets SOURCE_DATE_EPOCH. The wrapper's name carries the time,
    # so a new commit changes the command line and the resources are made again.
    get_target_property(_velmora_rcc Qt6::rcc LOCATION)
    set(_velmora_wrappers ${PROJECT_BINARY_DIR}/reproducible)
    file(GLOB _velmora_old_wrappers ${_velmora_wrappers}/rcc-at-*)
    set(_velmora_rcc_wrapper ${_velmora_wrappers}/rcc-at-${VELMORA_SOURCE_DATE_EPOCH})
    list(REMOVE_ITEM _velmora_old_wrappers ${_velmora_rcc_wrapper})
    if(_velmora_old_wrappers)
        file(REMOVE ${_velmora_old_wrappers})
    endif()
    if(NOT _velmora_rcc MATCHES "/rcc-at-[0-9]+$")
        file(WRITE ${_velmora_rcc_wrapper}.new
             "#!/bin/sh\nSOURCE_DATE_EPOCH=${VELMORA_SOURCE_DATE_EPOCH} exec '${_velmora_rcc}' \"$@\"\n")
        file(COPY_FILE ${_velmora_rcc_wrapper}.new ${_velmora_rcc_wrapper} ONLY_IF_DIFFERENT)
        file(REMOVE ${_velmora_rcc_wrapper}.new)
        file(CHMOD ${_velmora_rcc_wrapper} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
             GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        get_target_property(_velmora_rcc_configs Qt6::rcc IMPORTED_CONFIGURATIONS)
        set_target_properties(Qt6::rcc PROPERTIES IMPORTED_LOCATION ${_velmora_rcc_wrapper})
        foreach(config ${_velmora_rcc_configs})
            set_target_properties(Qt6::rcc PROPERTIES IMPORTED_LOCATION_${config} ${_velmora_rcc_wrapper})
        endforeach()
    endif()
endif()
