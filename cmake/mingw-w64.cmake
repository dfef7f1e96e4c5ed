# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The executables link the C and C++ runtimes and winpthread statically, so they need no
# DLL beyond Windows' own, and run under wine64 for ctest (script/wine-run).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KASOREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KASOREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KASOREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KASOREL_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KASOREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Windows 10 APIs (GetLocaleInfoEx, GetDateFormatEx, SHGetKnownFolderPath and the like).
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -DUNICODE -D_UNICODE")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../script/wine-run)
