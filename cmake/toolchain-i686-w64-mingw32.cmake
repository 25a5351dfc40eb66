# Cross build of the Windows libraries with MinGW-w64 (i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)

# The .def files name the stdcall exports without their "@N" decoration.
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")

# 32-bit programs cannot run here: built and checked only.
