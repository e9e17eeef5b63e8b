# Window-free engine fixture shared by the test folders.
add_library(barrels_test_headless STATIC ${CMAKE_CURRENT_LIST_DIR}/HeadlessScene.cpp)
target_include_directories(barrels_test_headless PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(barrels_test_headless PUBLIC OgreMain)
barrels_warnings(barrels_test_headless)
