# Warnings for our own targets; third-party headers (Qt, GoogleTest) come in as system headers.
function(lumadial_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Wunused -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough)
  if(LUMADIAL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
