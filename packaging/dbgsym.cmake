# Run by cpack after it made the packages. CMake 3.25's -dbgsym package names its file in md5sums by
# the staging folder's absolute path, and has no documentation folder: it is packed again with the
# md5sums right and usr/share/doc/barrels-dbgsym a link to the game's, as Debian's own have (a debug
# package holds nothing else; lintian notes that it cannot check the link's target without the
# source package, which CPack does not make, and it cannot take an overrides file).
foreach(package ${CPACK_PACKAGE_FILES})
  string(REGEX REPLACE "/${CPACK_PACKAGE_NAME}_([^/]*)\\.deb$" "/${CPACK_PACKAGE_NAME}-dbgsym_\\1.ddeb"
         ddeb ${package})
  if(ddeb STREQUAL package OR NOT EXISTS ${ddeb})
    continue()
  endif()
  set(root ${ddeb}.tree)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb --raw-extract ${ddeb} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  list(SORT files)
  set(sums "")
  foreach(file ${files})
    # Debug files are data, not programs (objcopy keeps the game's mode).
    file(CHMOD ${root}/${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 ${root}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${root}/DEBIAN/md5sums "${sums}")
  file(MAKE_DIRECTORY ${root}/usr/share/doc)
  file(CREATE_LINK ${CPACK_PACKAGE_NAME} ${root}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym SYMBOLIC)
  # dpkg-deb sorts the members and, with SOURCE_DATE_EPOCH set, clamps their times to it.
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${root} ${ddeb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()
