# JUCE's modules are compiled once, into one static library that the editor,
# the tests and the benchmarks all link: the executables then build in seconds.

set(KIVRA_JUCE_DEFINITIONS
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_DISABLE_JUCE_VERSION_PRINTING=1)

add_library(juce_modules STATIC)
target_link_libraries(juce_modules
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_audio_basics
        juce::juce_audio_devices
    PUBLIC
        juce::juce_recommended_config_flags
        juce::pkgconfig_JUCE_CURL_LINUX_DEPS
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
target_compile_definitions(juce_modules PUBLIC ${KIVRA_JUCE_DEFINITIONS})

# The module targets are interface libraries that add their sources to whoever
# links them; hand on only their include paths and definitions.
target_include_directories(juce_modules INTERFACE
    $<TARGET_PROPERTY:juce_modules,INCLUDE_DIRECTORIES>)
target_compile_definitions(juce_modules INTERFACE
    $<TARGET_PROPERTY:juce_modules,COMPILE_DEFINITIONS>)
set_target_properties(juce_modules PROPERTIES POSITION_INDEPENDENT_CODE ON)

# The pictures of the editor, compiled in as binary data.
file(GLOB KIVRA_IMAGES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.png)
if(KIVRA_IMAGES)
    juce_add_binary_data(kivra_images HEADER_NAME BinaryData.h NAMESPACE BinaryData SOURCES ${KIVRA_IMAGES})
else()
    add_library(kivra_images INTERFACE)
endif()
