# JUCE configuration shared by every target that compiles JUCE code, so that the
# engine library, the plug-in and the test programs agree on every class layout.

add_library(zel_juce_config INTERFACE)
target_compile_definitions(zel_juce_config INTERFACE
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    $<IF:$<CONFIG:Debug>,DEBUG=1 _DEBUG=1,NDEBUG=1 _NDEBUG=1>
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1)
target_include_directories(zel_juce_config SYSTEM INTERFACE "${JUCE_MODULES_DIR}")
target_compile_features(zel_juce_config INTERFACE cxx_std_17)

# Warnings for our own code: JUCE's recommended set. JUCE's headers come in as
# system headers, and JUCE module sources compiled into our targets do not get them.
set(ZEL_WARNING_FLAGS
    -Wall -Wextra -Wpedantic -Wstrict-aliasing -Wuninitialized
    -Wunused-parameter -Wsign-compare -Wsign-conversion -Wunreachable-code
    -Wcast-align -Wno-implicit-fallthrough $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>
    -Wno-ignored-qualifiers -Wswitch-enum
    -Wredundant-decls -Wno-strict-overflow -Wshadow
    -Woverloaded-virtual -Wreorder -Wzero-as-null-pointer-constant)
add_library(zel_warnings INTERFACE)
target_compile_options(zel_warnings INTERFACE ${ZEL_WARNING_FLAGS})

# Everything the JUCE modules need at link time on this platform.
add_library(zel_juce_link INTERFACE)
target_link_libraries(zel_juce_link INTERFACE PkgConfig::ZEL_IMAGE_LIBS)
if(NOT WIN32)
    # JUCE reaches the network through curl here (WinINet on Windows).
    target_link_libraries(zel_juce_link INTERFACE CURL::libcurl)
endif()

# juce::dsp::FFT runs on FFTW when it is linked in: several times faster than
# JUCE's own fallback, which otherwise dominates the engine's cost. Where the
# library is missing (or switched off) JUCE's fallback FFT is used; band
# levels then differ in the last bits, nothing else changes. FFTW is GPL:
# a shipped binary linked with it needs FFTW's commercial licence. Off by
# default for Windows and cross builds, which have no FFTW of their own here.
if(WIN32 OR CMAKE_CROSSCOMPILING)
    set(zel_fftw_default OFF)
else()
    set(zel_fftw_default ON)
endif()
option(ZEL_USE_FFTW "Run juce::dsp::FFT on FFTW (single precision) when available" ${zel_fftw_default})
if(ZEL_USE_FFTW)
    pkg_check_modules(ZEL_FFTW3F IMPORTED_TARGET fftw3f)
endif()
if(ZEL_USE_FFTW AND ZEL_FFTW3F_FOUND)
    message(STATUS "juce::dsp::FFT uses FFTW ${ZEL_FFTW3F_VERSION}")
    target_compile_definitions(zel_juce_config INTERFACE JUCE_DSP_USE_STATIC_FFTW=1)
    target_link_libraries(zel_juce_link INTERFACE PkgConfig::ZEL_FFTW3F)
else()
    message(STATUS "juce::dsp::FFT uses JUCE's fallback FFT")
endif()

# A small static library with only the DSP modules, for the engine's tests and
# benchmarks, which run without any plug-in or GUI code.
add_library(zel_juce_dsp STATIC)
target_link_libraries(zel_juce_dsp
    PRIVATE juce::juce_dsp
    PUBLIC zel_juce_config zel_juce_link juce::juce_recommended_config_flags)
target_compile_definitions(zel_juce_dsp INTERFACE
    $<TARGET_PROPERTY:zel_juce_dsp,COMPILE_DEFINITIONS>)
set_target_properties(zel_juce_dsp PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES
    "${JUCE_MODULES_DIR}")
