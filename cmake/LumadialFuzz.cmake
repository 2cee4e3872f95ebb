# lumadial_add_fuzz_target(NAME name SOURCES ... LIBS ... CORPUS folder)
# With clang and libFuzzer the target is a real fuzzer, with address and undefined-behaviour
# checks (run it by hand: `name folder`). Otherwise it is built as a plain program that replays
# the corpus once, and CTest runs that replay as `name_corpus`. Code that should be explored
# goes in SOURCES, so it is compiled with the fuzzer's coverage.
include(CheckCXXSourceCompiles)
set(LUMADIAL_HAVE_LIBFUZZER OFF)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
  check_cxx_source_compiles(
    "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }"
    LUMADIAL_LIBFUZZER_LINKS)
  unset(CMAKE_REQUIRED_FLAGS)
  set(LUMADIAL_HAVE_LIBFUZZER ${LUMADIAL_LIBFUZZER_LINKS})
endif()

function(lumadial_add_fuzz_target)
  cmake_parse_arguments(ARG "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
  lumadial_warnings(${ARG_NAME})
  if(LUMADIAL_HAVE_LIBFUZZER)
    target_compile_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    target_sources(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/lumacore/fuzz/ReplayMain.cpp)
    if(LUMADIAL_TESTS)
      add_test(NAME ${ARG_NAME}_corpus COMMAND ${ARG_NAME} ${ARG_CORPUS})
    endif()
  endif()
endfunction()
