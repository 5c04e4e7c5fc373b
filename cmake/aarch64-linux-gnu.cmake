# Cross build for 64-bit Arm Linux with Debian's cross compilers, against the
# arm64 multiarch packages (dpkg --add-architecture arm64; see scripts/setup).
# Programs built here run under qemu-user, ctest and test discovery included.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# Libraries, headers and package files of the target only; build tools of the host.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The loader and C library come from the arm64 packages in the host's root,
# not from /usr/aarch64-linux-gnu: that loader is the cross package's build of
# the C library, which need not match the arm64 libc.so.6 the multiarch
# libraries pull in, and a mismatched pair hangs at the first thread.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
