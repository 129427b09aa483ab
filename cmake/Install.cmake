# What `cmake --install` puts where: the programs in bin/, the files that accompany them in
# share/rigsmith/, where the programs look for them as ../share/rigsmith from their own directory,
# then the menu entry, the icon, the .fxr file type, the manual pages and the user guide. Nothing
# absolute is compiled into the programs, so the tree works under any prefix.

include(GNUInstallDirs)

if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(WARNING "Rigsmith finds its files as ../share/rigsmith from its program: installing to "
                  "${CMAKE_INSTALL_BINDIR} and ${CMAKE_INSTALL_DATADIR} breaks that")
endif()

set(RIGSMITH_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(RIGSMITH_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)
set(RIGSMITH_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/rigsmith)

if(NOT DEFINED RIGSMITH_PACKAGE_MAINTAINER)
  set(RIGSMITH_PACKAGE_MAINTAINER "Rigsmith developers <rigsmith@example.org>")
endif()
set(RIGSMITH_PACKAGE_MAINTAINER "${RIGSMITH_PACKAGE_MAINTAINER}"
    CACHE STRING "Name and address of whoever answers for the package")

# The programs and their files.
install(TARGETS rigsmith-fxr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET rigsmith)
  install(TARGETS rigsmith RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/rigsmith
        PATTERN CMakeLists.txt EXCLUDE)

# Manual pages and the changelog, compressed as Debian wants them: gzip -9, without name or time,
# so that the same sources give the same bytes.
find_program(RIGSMITH_GZIP gzip REQUIRED)
# The changelog's date: SOURCE_DATE_EPOCH when set, else the last commit's, so that it stays put.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%cD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE RIGSMITH_PACKAGE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT RIGSMITH_PACKAGE_DATE)
  string(TIMESTAMP RIGSMITH_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
set(RIGSMITH_COMPRESSED)
function(rigsmith_compressed template name)
  configure_file(${template} ${RIGSMITH_GENERATED_DIR}/plain/${name} @ONLY)
  set(output ${RIGSMITH_GENERATED_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E copy ${RIGSMITH_GENERATED_DIR}/plain/${name} ${RIGSMITH_GENERATED_DIR}/${name}
                     COMMAND ${RIGSMITH_GZIP} -9nf ${RIGSMITH_GENERATED_DIR}/${name}
                     DEPENDS ${RIGSMITH_GENERATED_DIR}/plain/${name} COMMENT "Compressing ${name}" VERBATIM)
  set(RIGSMITH_COMPRESSED ${RIGSMITH_COMPRESSED} ${output} PARENT_SCOPE)
endfunction()

rigsmith_compressed(${RIGSMITH_PACKAGING_DIR}/man/rigsmith-fxr.1.in rigsmith-fxr.1)
install(FILES ${RIGSMITH_GENERATED_DIR}/rigsmith-fxr.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET rigsmith)
  rigsmith_compressed(${RIGSMITH_PACKAGING_DIR}/man/rigsmith.1.in rigsmith.1)
  install(FILES ${RIGSMITH_GENERATED_DIR}/rigsmith.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
rigsmith_compressed(${RIGSMITH_PACKAGING_DIR}/changelog.in changelog)
add_custom_target(rigsmith_packaging_files ALL DEPENDS ${RIGSMITH_COMPRESSED})

# The documents, and what lintian is told about the package.
install(FILES ${RIGSMITH_PACKAGING_DIR}/copyright ${RIGSMITH_GENERATED_DIR}/changelog.gz
        DESTINATION ${RIGSMITH_DOC_DIR})
install(FILES ${RIGSMITH_PACKAGING_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME rigsmith)
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/user-guide.md)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md DESTINATION ${RIGSMITH_DOC_DIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${RIGSMITH_DOC_DIR} OPTIONAL)
endif()

# The desktop: a menu entry that opens .fxr files, the file type itself, and the icon in the
# sizes the hicolor theme looks for.
if(TARGET rigsmith)
  install(FILES ${RIGSMITH_PACKAGING_DIR}/rigsmith.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${RIGSMITH_PACKAGING_DIR}/rigsmith.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${RIGSMITH_PACKAGING_DIR}/icons/rigsmith.svg DESTINATION ${icons}/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${RIGSMITH_PACKAGING_DIR}/icons/rigsmith-${size}.png DESTINATION ${icons}/${size}x${size}/apps
            RENAME rigsmith.png)
  endforeach()
endif()
