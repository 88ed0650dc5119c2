# The tests.  Unit tests are built for the target and run through its
# emulator where the build is a cross build.  The end-to-end tests run
# the tool on fixture folders from a Linux test program; a cross build
# runs them from the native build against its own tool.
enable_testing()
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

add_executable(folder_migrate_unit src/identifier_test.cpp src/fs_test.cpp)
target_link_libraries(folder_migrate_unit PRIVATE folder_migrate_core GTest::gtest_main)
if(CMAKE_CROSSCOMPILING)
  target_link_options(folder_migrate_unit PRIVATE -static)
endif()
if(WIN32)
  set(FOLDER_MIGRATE_FIXTURE wine)
endif()
gtest_discover_tests(folder_migrate_unit DISCOVERY_TIMEOUT 60
  PROPERTIES FIXTURES_REQUIRED "${FOLDER_MIGRATE_FIXTURE}")

if(NOT CMAKE_CROSSCOMPILING)
  add_executable(folder_migrate_e2e
    src/additional_info_test.cpp
    src/attack_test.cpp
    src/content_rename_test.cpp
    src/fault_test.cpp
    src/main_test.cpp
    src/test_support.cpp)
  target_link_libraries(folder_migrate_e2e PRIVATE folder_migrate_core GTest::gtest_main)
  target_compile_definitions(folder_migrate_e2e PRIVATE
    FOLDER_MIGRATE_TOOL="$<TARGET_FILE:folder-migrate>")
  add_dependencies(folder_migrate_e2e folder-migrate)
  gtest_discover_tests(folder_migrate_e2e DISCOVERY_TIMEOUT 30)

  find_program(GROFF groff REQUIRED)
  add_test(NAME man_page_renders_without_warnings
    COMMAND sh -c "! ${GROFF} -man -ww -z \"$1\" 2>&1 | grep ." sh
      ${CMAKE_CURRENT_SOURCE_DIR}/man/folder-migrate.1)
else()
  include(cmake/host_tests.cmake)
endif()

if(WIN32)
  # One wine server for all the tests, started before them, stopped after.
  add_test(NAME start_wine_server
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd.exe /c exit)
  set_tests_properties(start_wine_server PROPERTIES FIXTURES_SETUP wine)
  add_test(NAME stop_wine_server COMMAND wineserver -k)
  set_tests_properties(stop_wine_server PROPERTIES
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine"
    FIXTURES_CLEANUP wine)
endif()
