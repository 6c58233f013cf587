# The files that make the Debian package a Debian one: the man page
# compressed, the upstream changelog as changelog.gz beside a Debian-format
# changelog.Debian.gz, the machine-readable copyright, and the lintian
# overrides. Included by Packaging.cmake on systems other than Windows.

find_program(VSS_GZIP gzip REQUIRED)
set(vss_debian_dir ${PROJECT_SOURCE_DIR}/cmake/debian)

# Writes `source` gzip-compressed as `output` (-n: no name or time stamp, so
# the package is the same from build to build) and installs it as
# `destination`/`name`.
function(vss_install_gzipped source output destination name)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${VSS_GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  string(MAKE_C_IDENTIFIER ${name} target)
  add_custom_target(vss_gzip_${target} ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${destination} RENAME ${name})
endfunction()

# The release date of PROJECT_VERSION, from its heading in CHANGELOG.md
# ("## 1.2.0 (2026-12-10)"), in the changelog's RFC 2822 form.
function(vss_release_date_rfc2822 result)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                         ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
  file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md heading
       REGEX "^## ${PROJECT_VERSION} \\([0-9]+-[0-9]+-[0-9]+\\)$")
  if(NOT heading MATCHES "\\(([0-9]+)-0*([0-9]+)-0*([0-9]+)\\)")
    message(FATAL_ERROR "CHANGELOG.md has no heading for ${PROJECT_VERSION}")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(month ${CMAKE_MATCH_2})
  set(day ${CMAKE_MATCH_3})
  # Sakamoto's method: 0 is Sunday.
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday
       "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  list(GET weekdays ${weekday} weekday_name)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET months ${index} month_name)
  set(${result}
      "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000"
      PARENT_SCOPE)
endfunction()

vss_install_gzipped(${PROJECT_SOURCE_DIR}/man/vss-handler.1
                    ${PROJECT_BINARY_DIR}/vss-handler.1.gz
                    ${CMAKE_INSTALL_MANDIR}/man1 vss-handler.1.gz)
vss_install_gzipped(${PROJECT_SOURCE_DIR}/CHANGELOG.md
                    ${PROJECT_BINARY_DIR}/changelog.gz ${CMAKE_INSTALL_DOCDIR}
                    changelog.gz)

set(VSS_DEBIAN_VERSION ${PROJECT_VERSION}-${VSS_DEBIAN_REVISION})
vss_release_date_rfc2822(VSS_RELEASE_DATE_RFC2822)
configure_file(${vss_debian_dir}/changelog.Debian.in
               ${PROJECT_BINARY_DIR}/changelog.Debian @ONLY)
vss_install_gzipped(${PROJECT_BINARY_DIR}/changelog.Debian
                    ${PROJECT_BINARY_DIR}/changelog.Debian.gz
                    ${CMAKE_INSTALL_DOCDIR} changelog.Debian.gz)

# The copyright names what the program links in statically only when it
# does: a build against the system's shared Xerces-C links nothing in.
set(vss_copyright_parts copyright)
if(VSS_XERCES_ROOT AND NOT VSS_SANITIZE)
  list(APPEND vss_copyright_parts copyright-static)
endif()
list(APPEND vss_copyright_parts copyright-licenses)
if(VSS_XERCES_ROOT AND NOT VSS_SANITIZE)
  list(APPEND vss_copyright_parts copyright-licenses-static)
endif()
set(vss_copyright ${PROJECT_BINARY_DIR}/copyright)
file(WRITE ${vss_copyright} "")
foreach(part IN LISTS vss_copyright_parts)
  file(READ ${vss_debian_dir}/${part} text)
  file(APPEND ${vss_copyright} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                         ${vss_debian_dir}/${part})
endforeach()
install(FILES ${vss_copyright} DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${vss_debian_dir}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vss-handler)
