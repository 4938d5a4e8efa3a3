# Cross-compiles for 64-bit Windows with mingw-w64. The -posix compilers:
# Qt 6 and Varno use std::thread and std::mutex, which the -win32 ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Programs and DLLs carry the compiler's own runtime (libgcc, libstdc++,
# winpthreads), so that they run on a Windows or a Wine that has no mingw
# DLLs. Qt's static-runtime option does not do this for the programs that
# link to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# The compiler knows where its Windows headers and libraries lie (lib/ below
# the mingw root), so no distribution's path is written here.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libkernel32.a
                OUTPUT_VARIABLE mingw_kernel32 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(mingw_kernel32 "${mingw_kernel32}" REALPATH)
get_filename_component(mingw_lib "${mingw_kernel32}" DIRECTORY)
get_filename_component(mingw_root "${mingw_lib}" DIRECTORY)
list(APPEND CMAKE_FIND_ROOT_PATH "${mingw_root}")

# Programs run here; libraries and headers are Windows ones, and packages
# are looked for in the cross prefixes that callers add (a Qt for mingw).
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
