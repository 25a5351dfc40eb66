# What both MinGW-w64 toolchain files share. Set LUMO_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR before including this file.
# The posix-thread compilers: GoogleTest needs std::thread and friends.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${LUMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, so the DLLs and the test programs need no MinGW runtime DLLs.
set(LUMO_MINGW_STATIC_FLAGS "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${LUMO_MINGW_STATIC_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${LUMO_MINGW_STATIC_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${LUMO_MINGW_STATIC_FLAGS}")
