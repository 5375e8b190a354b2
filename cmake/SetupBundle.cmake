# The one-file release: VelmoraSetup-<version>-x86_64.run, made by scripts/make-bundle.sh from
# the wizard, wizard-tour, the libraries and Qt platform plugins they load and the CJK font,
# behind the release's own shell header and decompressor. Build it from a release tree:
# cmake --build build/run --target setup-bundle (a missing tool fails the target and says
# which one).
find_file(VELMORA_CJK_FONT NAMES wqy-microhei.ttc wqy-zenhei.ttc
          PATHS /usr/share/fonts/truetype/wqy NO_DEFAULT_PATH)
set(VELMORA_QT_PLUGINS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
set(VELMORA_QT_TRANSLATIONS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}")
set(VELMORA_BUNDLE "${CMAKE_BINARY_DIR}/VelmoraSetup-${PROJECT_VERSION}-x86_64.run"
    CACHE INTERNAL "The one-file release")

# A C target takes the project's warnings less those only C++ knows (GCC says so otherwise).
function(velmora_c_only_warnings target)
    get_target_property(options ${target} COMPILE_OPTIONS)
    list(REMOVE_ITEM options -Wnon-virtual-dtor)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "${options}")
endfunction()

# The release's decompressor runs on desktops without zstd: libzstd is linked in whole (its
# static archive, from libzstd-dev), so the program needs only the C library.
find_library(VELMORA_ZSTD_STATIC NAMES libzstd.a)
find_path(VELMORA_ZSTD_INCLUDE zstd.h)
if(VELMORA_ZSTD_STATIC AND VELMORA_ZSTD_INCLUDE)
    add_executable(velmora-unzstd ${PROJECT_SOURCE_DIR}/scripts/bundle/unzstd.c)
    target_include_directories(velmora-unzstd PRIVATE ${VELMORA_ZSTD_INCLUDE})
    target_compile_options(velmora-unzstd PRIVATE -Os -ffunction-sections -fdata-sections)
    target_link_libraries(velmora-unzstd PRIVATE ${VELMORA_ZSTD_STATIC})
    target_link_options(velmora-unzstd PRIVATE -Wl,--gc-sections -s)
    velmora_c_only_warnings(velmora-unzstd)
    set(velmora_unzstd $<TARGET_FILE:velmora-unzstd>)
else()
    set(velmora_unzstd VELMORA_ZSTD_STATIC-NOTFOUND)
endif()

set(velmora_bundle_scripts
    ${PROJECT_SOURCE_DIR}/scripts/make-bundle.sh ${PROJECT_SOURCE_DIR}/scripts/bundle/stub.sh
    ${PROJECT_SOURCE_DIR}/scripts/bundle/launcher.sh ${PROJECT_SOURCE_DIR}/scripts/bundle/pack.sh
    ${PROJECT_SOURCE_DIR}/scripts/bundle/icu-data.sh)
add_custom_command(OUTPUT ${VELMORA_BUNDLE}
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-bundle.sh
            --setup $<TARGET_FILE:VelmoraSetup> --tour $<TARGET_FILE:wizard-tour>
            --plugins ${VELMORA_QT_PLUGINS} --translations ${VELMORA_QT_TRANSLATIONS}
            --font ${VELMORA_CJK_FONT}
            --unzstd ${velmora_unzstd} --version ${PROJECT_VERSION}
            --epoch ${VELMORA_SOURCE_DATE_EPOCH} --out ${VELMORA_BUNDLE}
    DEPENDS VelmoraSetup wizard-tour ${velmora_bundle_scripts}
            $<$<TARGET_EXISTS:velmora-unzstd>:velmora-unzstd>
    COMMENT "Bundling VelmoraSetup into one self-extracting file"
    VERBATIM)
add_custom_target(setup-bundle DEPENDS ${VELMORA_BUNDLE})
