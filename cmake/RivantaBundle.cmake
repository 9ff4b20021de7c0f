# The program's folders, the same on every system: build/RivantaRace.app/Contents/MacOS holds the
# executable and, beside it, the results template; the "logs" folder, three levels above the
# executable's folder, lands in the build folder. On macOS the folder is CMake's application
# bundle, with its Info.plist and icon; elsewhere the executable is only placed as in one.
set(RIVANTA_PROGRAM_DIR "${CMAKE_BINARY_DIR}/RivantaRace.app/Contents/MacOS")
set(_rivanta_info_plist "${CMAKE_CURRENT_LIST_DIR}/Info.plist.in")

# rivanta_program_bundle(target ICON file.icns)
function(rivanta_program_bundle target)
    cmake_parse_arguments(B "" "ICON" "" ${ARGN})
    if(NOT APPLE)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${RIVANTA_PROGRAM_DIR}")
        return()
    endif()
    # CMake builds the bundle <output folder>/<target>.app itself, so the output folder is the
    # one that holds the bundle: naming Contents/MacOS here would put a bundle inside the bundle.
    get_filename_component(icon_name "${B_ICON}" NAME)
    set_source_files_properties("${B_ICON}" PROPERTIES
        GENERATED TRUE MACOSX_PACKAGE_LOCATION Resources)
    target_sources(${target} PRIVATE "${B_ICON}")
    set_target_properties(${target} PROPERTIES
        MACOSX_BUNDLE ON
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}"
        MACOSX_BUNDLE_INFO_PLIST "${_rivanta_info_plist}"
        MACOSX_BUNDLE_BUNDLE_NAME "Rivanta Race"
        MACOSX_BUNDLE_GUI_IDENTIFIER "com.rivanta.race"
        MACOSX_BUNDLE_BUNDLE_VERSION "${PROJECT_VERSION}"
        MACOSX_BUNDLE_SHORT_VERSION_STRING "${PROJECT_VERSION}"
        MACOSX_BUNDLE_ICON_FILE "${icon_name}")
endfunction()
