# What `cmake --install` puts beside the binary, and the Debian package that
# `cpack -G DEB` builds from it. The version comes from project().
include(GNUInstallDirs)

set(PLIMSY_MAN_DIR "${CMAKE_INSTALL_MANDIR}/man1")
set(PLIMSY_COMPLETION_DIR "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
set(PLIMSY_STAGE "${CMAKE_CURRENT_BINARY_DIR}/stage")

# git runs "git-plimsy" for `git plimsy`, and looks up git-plimsy(1) for
# `git help plimsy`; bash completion loads "git-plimsy" for `git plimsy`.
# All three are links to plimsy's own files.
function(plimsy_link name target directory)
  file(MAKE_DIRECTORY "${PLIMSY_STAGE}/${directory}")
  file(CREATE_LINK "${target}" "${PLIMSY_STAGE}/${directory}/${name}"
       SYMBOLIC COPY_ON_ERROR)
  install(FILES "${PLIMSY_STAGE}/${directory}/${name}"
          DESTINATION "${directory}")
endfunction()

# The manual page, compressed as Debian ships manual pages when gzip is
# there, and plain otherwise.
configure_file(doc/plimsy.1.in "${PLIMSY_STAGE}/plimsy.1" @ONLY)
find_program(PLIMSY_GZIP gzip)
if(PLIMSY_GZIP)
  set(PLIMSY_MAN_PAGE "${PLIMSY_STAGE}/man/plimsy.1.gz")
  add_custom_command(
    OUTPUT "${PLIMSY_MAN_PAGE}"
    COMMAND ${CMAKE_COMMAND} -E copy "${PLIMSY_STAGE}/plimsy.1"
            "${PLIMSY_STAGE}/man/plimsy.1"
    COMMAND "${PLIMSY_GZIP}" -9nf "${PLIMSY_STAGE}/man/plimsy.1"
    DEPENDS "${PLIMSY_STAGE}/plimsy.1"
    VERBATIM)
  set(PLIMSY_MAN_LINK git-plimsy.1.gz)
else()
  set(PLIMSY_MAN_PAGE "${PLIMSY_STAGE}/plimsy.1")
  set(PLIMSY_MAN_LINK git-plimsy.1)
endif()
add_custom_target(plimsy_man_page ALL DEPENDS "${PLIMSY_MAN_PAGE}")
get_filename_component(PLIMSY_MAN_NAME "${PLIMSY_MAN_PAGE}" NAME)

install(TARGETS plimsy RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
plimsy_link(git-plimsy plimsy "${CMAKE_INSTALL_BINDIR}")
install(FILES "${PLIMSY_MAN_PAGE}" DESTINATION "${PLIMSY_MAN_DIR}")
plimsy_link("${PLIMSY_MAN_LINK}" "${PLIMSY_MAN_NAME}" "${PLIMSY_MAN_DIR}")
install(FILES completion/plimsy.bash DESTINATION "${PLIMSY_COMPLETION_DIR}"
        RENAME plimsy)
plimsy_link(git-plimsy plimsy "${PLIMSY_COMPLETION_DIR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plimsy)
if(NOT CPACK_PACKAGE_CONTACT)
  set(CPACK_PACKAGE_CONTACT "plimsy developers")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "terminal user interface for git")
set(CPACK_PACKAGE_DESCRIPTION
    "plimsy shows what git diff reports, file by file, in a joined or a
side-by-side layout, and browses the history that leads to HEAD. Every
other command line is handed to git, and `git plimsy` reaches it too.")
set(CPACK_DEBIAN_PACKAGE_SECTION vcs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS git)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
