# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, so
# that std::thread and std::mutex work), for the Windows ZEL.vst3 and its tests.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Libraries Debian does not ship for MinGW (libpng, libjpeg) come from the
# prefix that scripts/setup-windows fills; override it with -DZEL_MINGW_PREFIX.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ZEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZEL_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${ZEL_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ZEL_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

set(ZEL_MINGW_PREFIX "/opt/zel-mingw-w64" CACHE PATH "Prefix with the MinGW builds of libpng and libjpeg")
# try_compile projects re-read this file; let them see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZEL_MINGW_PREFIX JUCE_DIR)

set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_MINGW_TRIPLET} "${ZEL_MINGW_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must describe Windows libraries only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${ZEL_MINGW_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The plug-in is a MODULE library; the test programs are executables. Linking
# the C++ runtime, libgcc and winpthread statically leaves a DLL that imports
# only Windows' own DLLs; otherwise hosts fail to load it (error 126).
set(ZEL_MINGW_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${ZEL_MINGW_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ZEL_MINGW_STATIC_RUNTIME}")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "${ZEL_MINGW_STATIC_RUNTIME}")

# The root path above hides the host's packages, and JUCE is one: its CMake
# package (with the native juceaide, which runs here as it is) is named
# explicitly.
if(NOT JUCE_DIR)
    file(GLOB ZEL_JUCE_PACKAGE_DIRS LIST_DIRECTORIES true "/usr/lib/*/cmake/JUCE-*")
    if(ZEL_JUCE_PACKAGE_DIRS)
        list(SORT ZEL_JUCE_PACKAGE_DIRS)
        list(GET ZEL_JUCE_PACKAGE_DIRS -1 ZEL_JUCE_PACKAGE_DIR)
        set(JUCE_DIR "${ZEL_JUCE_PACKAGE_DIR}" CACHE PATH "JUCE's CMake package folder")
    endif()
endif()

# Test programs run under 64-bit Wine (ctest, add_test with a target).
if(EXISTS /usr/lib/wine/wine64)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
