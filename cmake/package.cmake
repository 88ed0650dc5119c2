# The Debian package, and what `cmake --install` installs: the tool, its
# man page and changelog compressed as Debian wants them, the copyright
# file, and the lintian override that explains the static link.
include(GNUInstallDirs)
set(packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(man_gz ${CMAKE_CURRENT_BINARY_DIR}/folder-migrate.1.gz)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${man_gz}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/man/folder-migrate.1 > ${man_gz}
  DEPENDS man/folder-migrate.1)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9n -c ${packaging}/changelog > ${changelog_gz}
  DEPENDS packaging/changelog)
add_custom_target(compressed_docs ALL DEPENDS ${man_gz} ${changelog_gz})

set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/folder-migrate)
install(TARGETS folder-migrate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog_gz} ${packaging}/copyright DESTINATION ${doc_dir})
install(FILES ${packaging}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME folder-migrate)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME folder-migrate)
set(CPACK_PACKAGE_VENDOR "folder-migrate developers")
set(CPACK_PACKAGE_CONTACT "folder-migrate developers <maintainers@users.noreply.c-seed-b1d86a05.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "convert a data folder from the placeholder-id layout to the unique-id layout")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "folder-migrate renames a data folder's content directory, content data
file and additional-info file from the placeholder id 00000000 to the
folder's unique id, then writes a 24-byte header into the additional-info
file that marks the folder as converted. It never replaces an entry, syncs
the header before it sets the version flag, and refuses a folder that is
already converted.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY folder-migrate)
set(CPACK_STRIP_FILES ON)
include(CPack)
