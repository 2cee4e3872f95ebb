# Warnings for our own targets; third-party headers (Qt, GoogleTest) come in as system headers.
function(lumadial_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wunused -Wformat=2 -Wimplicit-fallthrough
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor> $<$<COMPILE_LANGUAGE:CXX>:-Woverloaded-virtual>)
  if(LUMADIAL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
