# Run by CPack in its staging folder before it builds the Debian package: compresses the man
# pages the install rules put there (gzip -9n, as Debian wants them) and adds the package's
# copyright file, its changelog (changelog.gz: the package is native, made by the project
# itself) and lintian's overrides.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT IS_DIRECTORY ${root})
  message(FATAL_ERROR "CPack's staging folder ${root} does not exist")
endif()

file(GLOB_RECURSE pages ${root}/share/man/*)
foreach(page ${pages})
  if(NOT page MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "gzip ${page} failed")
    endif()
  endif()
endforeach()

set(doc ${root}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc})
file(COPY_FILE ${CPACK_ORVA_PACKAGING_DIR}/copyright ${doc}/copyright)
file(COPY_FILE ${CPACK_ORVA_PACKAGING_DIR}/changelog ${doc}/changelog)
execute_process(COMMAND gzip -9nf ${doc}/changelog RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${doc}/changelog failed")
endif()
set(overrides ${root}/share/lintian/overrides)
file(MAKE_DIRECTORY ${overrides})
file(COPY_FILE ${CPACK_ORVA_PACKAGING_DIR}/lintian-overrides ${overrides}/${CPACK_PACKAGE_NAME})
file(CHMOD ${doc}/copyright ${doc}/changelog.gz ${overrides}/${CPACK_PACKAGE_NAME}
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
