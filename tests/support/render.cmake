# Engine fixture with a hidden GL window, shared by the test folders (needs X).
add_library(barrels_test_render STATIC ${CMAKE_CURRENT_LIST_DIR}/RenderWindow.cpp)
target_include_directories(barrels_test_render PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(barrels_test_render PUBLIC OgreMain OgreOverlay)
barrels_warnings(barrels_test_render)
add_dependencies(barrels_test_render barrels_media)
