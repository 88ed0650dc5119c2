# A cross build's end-to-end tests: the native build's test program,
# built by the default preset, runs the tool of this build through its
# emulator.  One CTest test per suite, so that they run side by side.
add_custom_target(host_e2e ALL
  COMMAND sh -c "test -f build/CMakeCache.txt || ${CMAKE_COMMAND} --preset default"
  COMMAND ${CMAKE_COMMAND} --build --preset default --target folder_migrate_e2e
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Building the native end-to-end tests"
  USES_TERMINAL)

list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
set(command "${emulator} $<TARGET_FILE:folder-migrate>")
foreach(suite AdditionalInfo Attacks CommandLine ContentRename Faults)
  add_test(NAME e2e.${suite}
    COMMAND ${CMAKE_SOURCE_DIR}/build/folder_migrate_e2e
      --gtest_filter=${suite}.*)
  set_tests_properties(e2e.${suite} PROPERTIES
    ENVIRONMENT "FOLDER_MIGRATE_COMMAND=${command};FOLDER_MIGRATE_LEG=${FOLDER_MIGRATE_LEG}"
    FIXTURES_REQUIRED "${FOLDER_MIGRATE_FIXTURE}")
endforeach()
