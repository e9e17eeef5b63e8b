# Run by cpack on the staged package, before it strips the game into the -dbgsym package. The game
# moves from <prefix>/bin to <prefix>/games: both are one level below the prefix, so it still finds
# its media as ../share/barrels. Its .comment section (the compiler's version) goes: nothing reads it.
set(prefix ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${prefix}/games)
file(RENAME ${prefix}/${CPACK_BARRELS_BINDIR}/barrels ${prefix}/games/barrels)
file(GLOB left ${prefix}/${CPACK_BARRELS_BINDIR}/*)
if(NOT left)
  file(REMOVE_RECURSE ${prefix}/${CPACK_BARRELS_BINDIR})
endif()
execute_process(COMMAND ${CPACK_BARRELS_OBJCOPY} --remove-section=.comment ${prefix}/games/barrels
                COMMAND_ERROR_IS_FATAL ANY)
