# The three levels: files, features, runs and music in-process; the playthrough of
# the real executable. The level runs are long, so each case is its own test
# and the binary is not run a second time whole.
add_executable(content_level_tests
  ${CMAKE_CURRENT_LIST_DIR}/LevelFilesGLTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LevelMusicGLTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LevelPlayGLTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SceneObjectBoundGLTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/port/ChildProcess.cpp)
target_compile_options(content_level_tests PRIVATE ${DD_WARNINGS})
target_include_directories(content_level_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(content_level_tests PRIVATE app_entry test_support GTest::gtest GTest::gtest_main)
set(dd_level_env ${DD_TEST_ENV} "SDL_VIDEODRIVER=offscreen")
# The sanitizer build plays the short test track to its end, not the levels.
if(DD_SANITIZE)
  list(APPEND dd_level_env ${DD_SANITIZER_ENV} "ASAN_OPTIONS=${DD_ASAN_COMMON}:detect_leaks=1")
  target_compile_definitions(content_level_tests PRIVATE DD_LEVEL_PLAY_WHOLE=0)
else()
  target_compile_definitions(content_level_tests PRIVATE DD_LEVEL_PLAY_WHOLE=1)
endif()
set_property(TARGET content_level_tests PROPERTY CROSSCOMPILING_EMULATOR /usr/bin/env ${dd_level_env})
gtest_discover_tests(content_level_tests
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 900 COST 200)

# The playthrough of the real executable; its pictures go to the build's
# playthrough folder. The sanitizer build plays up to the first pause screen.
# The longest test of all: its cost starts it first, so that on a fresh
# build (no timings yet) the others run beside it instead of after it.
add_executable(content_playthrough_tests
  ${CMAKE_CURRENT_LIST_DIR}/PlaythroughGLTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/port/ChildProcess.cpp)
target_compile_options(content_playthrough_tests PRIVATE ${DD_WARNINGS})
target_include_directories(content_playthrough_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(content_playthrough_tests PRIVATE app_entry test_support GTest::gtest GTest::gtest_main)
if(DD_SANITIZE)
  set(dd_playthrough_whole 0)
else()
  set(dd_playthrough_whole 1)
endif()
target_compile_definitions(content_playthrough_tests PRIVATE
  DD_EXECUTABLE="$<TARGET_FILE:DevozizuDave>"
  DD_PLAYTHROUGH_DIR="${CMAKE_BINARY_DIR}/playthrough"
  DD_PLAYTHROUGH_WHOLE=${dd_playthrough_whole})
add_dependencies(content_playthrough_tests DevozizuDave)
set_property(TARGET content_playthrough_tests PROPERTY CROSSCOMPILING_EMULATOR /usr/bin/env ${dd_level_env})
gtest_discover_tests(content_playthrough_tests
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 1600 COST 1000)
