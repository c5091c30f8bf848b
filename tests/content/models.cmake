# The models, model textures, tunnel materials, sky boxes and particle
# effects: the committed files, the tools that make them, and that the tools
# make the committed bytes again.
dd_test(content_models_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ModelContentTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelToolsTest.cpp
  DEPS demoassets_textures modeltool_obj render)

add_test(NAME content_models_regenerate
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/models-regenerate.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
set_tests_properties(content_models_regenerate PROPERTIES TIMEOUT 300)
