# The one-file release: VelmoraSetup-<version>-x86_64.run, made by scripts/make-bundle.sh
# with makeself and patchelf from the wizard, wizard-tour, the Qt platform plugins and the
# CJK font. Build it from a release tree: cmake --build build/run --target setup-bundle
# (without makeself or patchelf installed the target fails and says which one is missing).
find_file(VELMORA_CJK_FONT NAMES wqy-microhei.ttc wqy-zenhei.ttc
          PATHS /usr/share/fonts/truetype/wqy NO_DEFAULT_PATH)
set(VELMORA_QT_PLUGINS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
set(VELMORA_BUNDLE "${CMAKE_BINARY_DIR}/VelmoraSetup-${PROJECT_VERSION}-x86_64.run"
    CACHE INTERNAL "The one-file release")
add_custom_command(OUTPUT ${VELMORA_BUNDLE}
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-bundle.sh
            --setup $<TARGET_FILE:VelmoraSetup> --tour $<TARGET_FILE:wizard-tour>
            --plugins ${VELMORA_QT_PLUGINS} --font ${VELMORA_CJK_FONT}
            --version ${PROJECT_VERSION} --out ${VELMORA_BUNDLE}
    DEPENDS VelmoraSetup wizard-tour ${PROJECT_SOURCE_DIR}/scripts/make-bundle.sh
    COMMENT "Bundling VelmoraSetup into one self-extracting file"
    VERBATIM)
add_custom_target(setup-bundle DEPENDS ${VELMORA_BUNDLE})
