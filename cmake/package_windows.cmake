# The Windows zip: the tool, the README, the license, and the manual as a
# plain text page rendered from the man page.
find_program(GROFF groff REQUIRED)
set(manual ${CMAKE_CURRENT_BINARY_DIR}/folder-migrate.txt)
add_custom_command(OUTPUT ${manual}
  COMMAND sh -c "\"$0\" -man -Tutf8 -P-cbou \"$1\" | sed 's/$/\r/' >\"$2\""
    ${GROFF} ${CMAKE_CURRENT_SOURCE_DIR}/man/folder-migrate.1 ${manual}
  DEPENDS man/folder-migrate.1
  COMMENT "Rendering the manual as text"
  VERBATIM)
add_custom_target(manual_text ALL DEPENDS ${manual})

install(TARGETS folder-migrate RUNTIME DESTINATION .)
install(FILES README.md LICENSE ${manual} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME folder-migrate)
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
