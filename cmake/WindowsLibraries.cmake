# Cross build of the Windows libraries and their host tests (MinGW-w64).
# Used from the top CMakeLists.txt when a toolchain file from this folder is
# given; the 64-bit build runs its tests under Wine (tools/test-windows.sh).

# Programs and DLLs side by side, so a host test finds the DLL next to itself.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# GoogleTest from Debian's source package, built with the cross compiler.
set(LUMO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${LUMO_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${LUMO_GTEST_SOURCE_DIR}: install googletest (libgtest-dev)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${LUMO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to keep warning-free.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
include(GoogleTest)

# True when the build's programs can be run (x86_64 under Wine).
if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(LUMO_WINDOWS_TESTS_RUN ON)
else()
    set(LUMO_WINDOWS_TESTS_RUN OFF)
endif()

# add_windows_test(name SOURCES a.cpp LIBS lib1 [RESOURCE_LOCK name] [FIXTURES_REQUIRED name] [ISOLATED])
# One GoogleTest host program, run whole under Wine as one CTest test (a Wine
# process start costs about a second). ISOLATED runs every case as its own
# Wine process instead, listed when CTest runs (listing needs the run's prefix).
# Tests that share a RESOURCE_LOCK (the registry, say) do not run at once;
# FIXTURES_REQUIRED names a CTest fixture (a server double, say) they need.
function(add_windows_test name)
    cmake_parse_arguments(T "ISOLATED" "RESOURCE_LOCK;FIXTURES_REQUIRED" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main lumo_options)
    if(LUMO_WINDOWS_TESTS_RUN)
        set(props TIMEOUT 300)
        if(T_RESOURCE_LOCK)
            list(APPEND props RESOURCE_LOCK ${T_RESOURCE_LOCK})
        endif()
        if(T_FIXTURES_REQUIRED)
            list(APPEND props FIXTURES_REQUIRED ${T_FIXTURES_REQUIRED})
        endif()
        if(T_ISOLATED)
            gtest_discover_tests(${name}
                DISCOVERY_MODE PRE_TEST
                DISCOVERY_TIMEOUT 60
                PROPERTIES ${props})
        else()
            add_test(NAME ${name} COMMAND ${name})
            set_tests_properties(${name} PROPERTIES ${props})
        endif()
    endif()
endfunction()

# The host tests are built where they run (x86_64); elsewhere only on request,
# since the 32-bit build is there to check the libraries' exports.
option(LUMO_WINDOWS_HOST_TESTS "Build the host tests of the Windows libraries" ${LUMO_WINDOWS_TESTS_RUN})

if(LUMO_WINDOWS_HOST_TESTS)
    add_subdirectory(tests/winsupport)
endif()
add_subdirectory(mediadb)
add_subdirectory(mediadb/com)
if(LUMO_WINDOWS_HOST_TESTS)
    add_subdirectory(tests/mediadb/win)
endif()
add_subdirectory(acquire)
add_subdirectory(acquire/win)
if(LUMO_WINDOWS_HOST_TESTS)
    add_subdirectory(tests/acquire/win)
endif()
add_subdirectory(autoupdate)
add_subdirectory(autoupdate/win)
if(LUMO_WINDOWS_HOST_TESTS)
    add_subdirectory(tests/autoupdate/win)
endif()
add_subdirectory(dialoglib)
add_subdirectory(dialoglib/vellum)
add_subdirectory(dialoglib/win)
if(LUMO_WINDOWS_HOST_TESTS)
    add_subdirectory(tests/dialoglib/win)
endif()
