# Shared compile settings and the unit-test helper.

option(LUMO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(lumo_options INTERFACE)
target_compile_options(lumo_options INTERFACE -Wall -Wextra)
target_compile_definitions(lumo_options INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT>)
if(LUMO_SANITIZE)
    target_compile_options(lumo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(lumo_options INTERFACE -fsanitize=address,undefined)
endif()

set(LUMO_FIXTURES_DIR ${CMAKE_SOURCE_DIR}/tests/fixtures)
set(LUMO_RESOURCES_DIR ${CMAKE_SOURCE_DIR}/Resources)

# add_unit_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ISOLATED])
# One GoogleTest program, headless, with the fixtures folder compiled in; CTest
# runs it whole as one test. ISOLATED runs every case in a process of its own,
# for programs whose cases cannot share one (the client's singletons are
# process-wide).
function(add_unit_test name)
    cmake_parse_arguments(T "ISOLATED" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main lumo_options)
    if(LUMO_SANITIZE)
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/lsansuppressions.cpp)
    endif()
    target_compile_definitions(${name} PRIVATE
        LUMO_FIXTURES_DIR="${LUMO_FIXTURES_DIR}"
        LUMO_RESOURCES_DIR="${LUMO_RESOURCES_DIR}"
        LUMO_BINARY_DIR="${CMAKE_BINARY_DIR}")
    if(T_ISOLATED)
        gtest_discover_tests(${name}
            DISCOVERY_TIMEOUT 60
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       TIMEOUT 120)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
    endif()
endfunction()
