# Sound effects and music: the committed files' formats, levels and loops,
# and the sound tool (recipes, synthesiser, writer, regeneration).
dd_test(content_sounds_tests
  SOURCES
    SoundAssetsTest.cpp
    SoundToolTest.cpp
    SoundChecks.cpp
    SoundInGameTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/port/ChildProcess.cpp
  DEPS platform soundtool_synth Threads::Threads)
target_compile_definitions(content_sounds_tests PRIVATE DD_SOUNDTOOL="$<TARGET_FILE:soundtool>")
add_dependencies(content_sounds_tests soundtool)
