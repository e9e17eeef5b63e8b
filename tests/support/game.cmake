# One Game on the render fixture with scripted devices, shared by the game tests (needs X).
add_library(barrels_test_game STATIC ${CMAKE_CURRENT_LIST_DIR}/GameHarness.cpp)
target_include_directories(barrels_test_game PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(barrels_test_game PUBLIC barrels_game barrels_test_render)
barrels_warnings(barrels_test_game)
