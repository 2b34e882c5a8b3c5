# The fuzzers' stored inputs (fuzz/corpus, fuzz/regressions) replayed once: through the Windows
# build's parsers under Wine, and through the native sanitizer build (scripts/fuzz.sh --replay).
file(GLOB PD_FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/targets/*.cpp)
add_executable(fuzz_replay ${CMAKE_SOURCE_DIR}/fuzz/Replay.cpp ${CMAKE_SOURCE_DIR}/fuzz/Registry.cpp
  ${PD_FUZZ_TARGET_SOURCES})
target_link_libraries(fuzz_replay PRIVATE pdcore)
target_link_options(fuzz_replay PRIVATE ${PD_STATIC_LINK})
add_test(NAME fuzz_replay_windows COMMAND fuzz_replay Z:${CMAKE_SOURCE_DIR}/fuzz)
set_tests_properties(fuzz_replay_windows PROPERTIES TIMEOUT 120 LABELS console
  PASS_REGULAR_EXPRESSION "replayed [0-9]+ inputs of [0-9]+ targets")
add_test(NAME fuzz_replay_native COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --replay)
set_tests_properties(fuzz_replay_native PROPERTIES TIMEOUT 300 LABELS console
  PASS_REGULAR_EXPRESSION "replayed [0-9]+ inputs of [0-9]+ targets")
