# Sanitizer build (BARRELS_SANITIZE): every program of ours carries its own runtime options, so the
# build's media step, test discovery, the tests and the game started by the end-to-end scripts all
# run with the same checks and the same leak suppressions, whoever starts them and with whatever
# environment. ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS set by hand still override them.
add_library(barrels_sanitize_options OBJECT ${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp)
target_compile_definitions(barrels_sanitize_options
  PRIVATE BARRELS_LEAK_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/leaks.supp")
barrels_warnings(barrels_sanitize_options)

# Links the options into each executable defined in DIR and the folders below it.
function(barrels_sanitize_executables dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_link_libraries(${target} PRIVATE barrels_sanitize_options)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    barrels_sanitize_executables(${subdir})
  endforeach()
endfunction()
barrels_sanitize_executables(${CMAKE_SOURCE_DIR})
