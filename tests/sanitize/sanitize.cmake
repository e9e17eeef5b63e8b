# Sanitizer build (BARRELS_SANITIZE): every program of ours carries its own runtime options, so the
# build's media step, test discovery, the tests and the game started by the end-to-end scripts all
# run with the same checks and the same leak suppressions, whoever starts them and with whatever
# environment. ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS set by hand still override them.
add_library(barrels_sanitize_options OBJECT ${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp)
target_compile_definitions(barrels_sanitize_options
  PRIVATE BARRELS_LEAK_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/leaks.supp")
barrels_warnings(barrels_sanitize_options)

# The leak checker's fault with dynamic TLS blocks, and the option that avoids it (repro/dynamic_tls.cpp).
find_package(Threads REQUIRED)
add_library(dynamic_tls_module MODULE ${CMAKE_CURRENT_LIST_DIR}/repro/dynamic_tls_module.cpp)
barrels_warnings(dynamic_tls_module)
add_executable(dynamic_tls ${CMAKE_CURRENT_LIST_DIR}/repro/dynamic_tls.cpp)
target_link_libraries(dynamic_tls PRIVATE ${CMAKE_DL_LIBS} Threads::Threads)
barrels_warnings(dynamic_tls)
add_test(NAME sanitize_dynamic_tls_checked COMMAND dynamic_tls $<TARGET_FILE:dynamic_tls_module>)
set_tests_properties(sanitize_dynamic_tls_checked PROPERTIES PASS_REGULAR_EXPRESSION "^[1-9][0-9]* of 16 blocks[^\n]*\nchecked\n$")
# Shows the fault is still there on this toolchain: once this fails, the option can go.
add_test(NAME sanitize_dynamic_tls_fault_without_option COMMAND dynamic_tls $<TARGET_FILE:dynamic_tls_module>)
set_tests_properties(sanitize_dynamic_tls_fault_without_option PROPERTIES
  ENVIRONMENT "LSAN_OPTIONS=intercept_tls_get_addr=1" PASS_REGULAR_EXPRESSION "Tracer caught signal")

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
