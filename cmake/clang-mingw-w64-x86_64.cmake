# Cross-compiles for 64-bit Windows with Clang 14 and lld instead of GCC, over the same
# MinGW-w64 headers, libraries and libstdc++ that the GCC cross toolchain installs.
# Clang's front end is the one clang-cl uses, so this build stands in for it.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)

# Clang 14 does not recognise Debian's GCC directory name ("12-posix"), so it would miss
# libstdc++, libgcc and crtbegin.o, and take the host's /usr/include instead. Name them:
# the sysroot holds the MinGW-w64 headers and import libraries, GCC's own directory the rest.
execute_process(COMMAND x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(gcc_dir "${libgcc}" DIRECTORY)
set(sysroot "--sysroot=/usr/x86_64-w64-mingw32")
set(CMAKE_C_FLAGS_INIT "${sysroot}")
set(CMAKE_CXX_FLAGS_INIT "${sysroot} -isystem ${gcc_dir}/include/c++ \
-isystem ${gcc_dir}/include/c++/x86_64-w64-mingw32 -isystem ${gcc_dir}/include/c++/backward")
# The posix-threads libstdc++ needs winpthreads, which GCC's driver always adds (-lpthread);
# lld takes archives in any order.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${sysroot} -fuse-ld=lld -B${gcc_dir} -L${gcc_dir} -lpthread")
