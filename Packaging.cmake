# What `cmake --install` puts beside the program, and the packages that
# `cpack -G DEB` and `cpack -G TGZ` make of it (on Windows `cpack -G ZIP`).

set(vss_documents README.md LICENSE NOTICE CHANGELOG.md)

# A packager names themself: -DVSS_PACKAGE_MAINTAINER="Name <address>". The
# default's .invalid domain says it reaches no one, and is a valid host name.
set(VSS_PACKAGE_MAINTAINER
    "The vss-handler developers <maintainers@vss-handler.invalid>"
    CACHE STRING "The Debian package's maintainer: Name <address>")
# The Debian package's own revision of the upstream version: 1.2.0-1.
set(VSS_DEBIAN_REVISION 1 CACHE STRING "The Debian revision of the package")
if(WIN32)
  # `cpack -G ZIP` in a Windows build folder: vss-handler-VERSION-win32.zip
  # (or -win64) with the .exe, the schema, the README, the licence, the
  # NOTICE of the Xerces-C linked into the .exe, the man page as text and as
  # HTML (Windows has no man), and the examples that the README's commands
  # run; beside it, vss-handler-VERSION-win32.zip.sha256.
  find_program(VSS_MANDOC mandoc REQUIRED)
  set(vss_man_page ${PROJECT_SOURCE_DIR}/man/vss-handler.1)
  set(vss_man_text ${PROJECT_BINARY_DIR}/vss-handler.txt)
  set(vss_man_html ${PROJECT_BINARY_DIR}/vss-handler.html)
  set(vss_render ${PROJECT_SOURCE_DIR}/cmake/render-man-page.cmake)
  add_custom_command(
    OUTPUT ${vss_man_text} ${vss_man_html}
    COMMAND ${CMAKE_COMMAND} -DMANDOC=${VSS_MANDOC} -DPAGE=${vss_man_page}
            -DTEXT=${vss_man_text} -DHTML=${vss_man_html} -P ${vss_render}
    DEPENDS ${vss_man_page} ${vss_render} VERBATIM)
  add_custom_target(vss_man_page_rendered ALL DEPENDS ${vss_man_text}
                                                      ${vss_man_html})
  install(FILES ${vss_documents} schema/result.xsd ${vss_man_text}
                ${vss_man_html} DESTINATION .)
  install(DIRECTORY examples DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_CHECKSUM SHA256)
else()
  install(FILES schema/result.xsd DESTINATION ${CMAKE_INSTALL_DATADIR}/vss-handler)
  install(FILES completion/vss-handler
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  # CHANGELOG.md goes in as changelog.gz, where Debian looks for it.
  list(REMOVE_ITEM vss_documents CHANGELOG.md)
  install(FILES ${vss_documents} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DOCDIR})
  include(cmake/debian/DebianFiles.cmake)
endif()

set(CPACK_PACKAGE_NAME vss-handler)
set(CPACK_PACKAGE_VENDOR "The vss-handler developers")
set(CPACK_PACKAGE_CONTACT ${VSS_PACKAGE_MAINTAINER})
# The one-line summary is the project's DESCRIPTION (CMakeLists.txt), which
# CPack takes by default.
set(CPACK_PACKAGE_DESCRIPTION
    "vss-handler answers one version-control query per run for a host\n\
application whose files live in a Visual SourceSafe database: it reads the\n\
text that the VSS command-line client printed and prints one XML document\n\
with the answer, or an error document with a message code.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION vcs)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VSS_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
