# The Debian package: the tool and its man page.
include(GNUInstallDirs)
install(TARGETS folder-migrate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/folder-migrate.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

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
