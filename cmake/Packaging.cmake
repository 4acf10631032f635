# What `cmake --install` installs, and the Debian package of mnr2txt (CPack).
# Included last, once every program target exists.

set(package_files ${CMAKE_BINARY_DIR}/package-files)

# Third-party code the programs carry: the Windows runtime, linked
# statically, and the JSON library txt2mnr reads JSON with (frontend/import/),
# which every package holds.
set(notices)
if(WIN32)
  list(APPEND notices docs/notices/windows-runtime.txt)
endif()
list(APPEND notices docs/notices/nlohmann-json.txt)

if(WIN32)
  # The two programs side by side at the top of the prefix, as in the zips,
  # with the licences as text files Notepad reads (CR LF).
  configure_file(LICENSE ${package_files}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  set(third_party "")
  foreach(notice ${notices})
    file(READ ${notice} text)
    if(third_party)
      string(APPEND third_party "\n----------------------------------------\n\n")
    endif()
    string(APPEND third_party "${text}")
  endforeach()
  file(WRITE ${package_files}/THIRD-PARTY.lf "${third_party}")
  configure_file(${package_files}/THIRD-PARTY.lf ${package_files}/THIRD-PARTY.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS munemoji mnr2txt txt2mnr RUNTIME DESTINATION .)
  install(FILES ${package_files}/LICENSE.txt ${package_files}/THIRD-PARTY.txt DESTINATION .)
  return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CONTACT "munemoji developers <dev@munemoji.invalid>")
# The manual page and the changelog, compressed the way Debian wants them.
configure_file(cli/mnr2txt/mnr2txt.1.in ${package_files}/mnr2txt.1 @ONLY)
configure_file(cli/txt2mnr/txt2mnr.1.in ${package_files}/txt2mnr.1 @ONLY)
configure_file(cmake/debian/changelog.in ${package_files}/changelog @ONLY)
foreach(file mnr2txt.1 txt2mnr.1 changelog)
  add_custom_command(OUTPUT ${package_files}/${file}.gz
    COMMAND gzip -9 -n -c ${file} > ${file}.gz
    WORKING_DIRECTORY ${package_files}
    DEPENDS ${package_files}/${file})
  list(APPEND compressed ${package_files}/${file}.gz)
endforeach()
add_custom_target(mnr2txt_package_files ALL DEPENDS ${compressed})

# The copyright file in Debian's machine-readable form: the project's licence,
# the notice of any third-party code linked into mnr2txt (both MIT), and the
# GCC runtime's.
function(munemoji_debian_license file out)
  file(READ ${file} text)
  string(REGEX REPLACE "^.*\n(Permission is hereby)" "\\1" text "${text}")  # the MIT text alone
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REPLACE "\n\n" "\n.\n" text "${text}")
  string(REPLACE "\n" "\n " text "${text}")
  set(${out} " ${text}" PARENT_SCOPE)
endfunction()
file(STRINGS LICENSE holder REGEX "^Copyright")
string(REGEX REPLACE "^Copyright \\(c\\) " "" holder "${holder}")
munemoji_debian_license(LICENSE project_license)
set(copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: munemoji

Files: *
Copyright: ${holder}
License: Expat
${project_license}
")
if("docs/notices/nlohmann-json.txt" IN_LIST notices)
  munemoji_debian_license(docs/notices/nlohmann-json.txt json_license)
  string(APPEND copyright "
Files: nlohmann/*
Copyright: 2013-2022 Niels Lohmann
License: Expat
${json_license}
")
endif()
# mnr2txt and txt2mnr carry the GCC runtime (cli/CMakeLists.txt).
string(APPEND copyright "
Files: libstdc++/* libgcc/*
Copyright: Free Software Foundation, Inc.
License: GPL-3+ with GCC-exception-3.1
 The GCC runtime libraries, linked into mnr2txt and txt2mnr: the GNU General
 Public License version 3 with the GCC Runtime Library Exception version 3.1,
 which permits programs compiled with GCC to carry these libraries under terms
 of the programs' own choosing.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in /usr/share/common-licenses/GPL-3.
")
file(WRITE ${package_files}/copyright "${copyright}")

install(TARGETS mnr2txt txt2mnr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT mnr2txt)
install(FILES ${package_files}/mnr2txt.1.gz ${package_files}/txt2mnr.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT mnr2txt)
install(FILES ${package_files}/copyright ${package_files}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/mnr2txt COMPONENT mnr2txt)

# `cpack` in a native build makes mnr2txt_VERSION_ARCH.deb of that component only.
set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};mnr2txt;/")
set(CPACK_PACKAGE_NAME mnr2txt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "convert quiz problem files (.mnr) into text, CSV or JSON and back
mnr2txt reads the problem files of a Japanese quiz game (eight genres of
questions with five choices each, stored scrambled in Shift-JIS), checks
them and writes each genre as a text file, byte for byte as the Windows
program munemoji.exe does, or the whole file as one text file, CSV or JSON.
txt2mnr writes problem files back from that JSON (byte for byte), CSV or
genre text.")
include(CPack)
