# Pictures (tools/picturetool): the committed textures checked as the game
# reads them, the button plates checked against the real screens' mouse
# rectangles, the tool's parts, and the tool run again giving the committed
# bytes.
dd_test(content_pictures_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PicturesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PicturePlatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureToolTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureRegenerationTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/port/ChildProcess.cpp
  DEPS picturetool_core port_gpu frontend_screens)
target_compile_definitions(content_pictures_tests PRIVATE DD_PICTURETOOL="$<TARGET_FILE:picturetool>")
add_dependencies(content_pictures_tests picturetool)
