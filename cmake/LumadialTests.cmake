# lumadial_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable; every test in it is registered with CTest. Each test runs with
# its own HOME and XDG_RUNTIME_DIR under the build tree and Qt on the offscreen platform,
# so nothing touches the developer's own settings or needs a display.
function(lumadial_add_test)
  if(NOT LUMADIAL_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "NAME;WORKING_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  lumadial_warnings(${ARG_NAME})
  set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(test_home ${CMAKE_BINARY_DIR}/test-home/${ARG_NAME})
  file(MAKE_DIRECTORY ${test_home}/runtime)
  file(CHMOD ${test_home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  if(ARG_WORKING_DIRECTORY)
    set(workdir ${ARG_WORKING_DIRECTORY})
  else()
    set(workdir ${CMAKE_BINARY_DIR}/tests)
  endif()
  gtest_discover_tests(${ARG_NAME}
    WORKING_DIRECTORY ${workdir}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 300)
  # The environment is a list, and gtest_discover_tests flattens lists in PROPERTIES (only the
  # first variable would survive). So it is set by a file of our own that CTest reads after the
  # discovered tests, on the list of their names.
  set(environment "HOME=${test_home};XDG_RUNTIME_DIR=${test_home}/runtime;QT_QPA_PLATFORM=offscreen;LUMADIAL_PROGRAM_DIR=${LUMADIAL_PROGRAM_DIR}")
  set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_environment.cmake)
  file(WRITE ${environment_file}
    "if(DEFINED ${ARG_NAME}_TESTS)\n"
    "  set_tests_properties(\${${ARG_NAME}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
endfunction()

# lumadial_feature(NAME name SOURCES ... [LIBS ...]
#                  [TEST_SOURCES ... [TEST_LIBS ...] [TEST_WORKING_DIRECTORY dir]])
# One folder of the program as one library, lumadial_<name>, with the folder on its include
# path and the window contract (lumadial_feature) linked; LIBS are what else it uses. With
# TEST_SOURCES (paths relative to the folder, normally tests/...), one test program
# <name>_tests links the library, the shared test support (a Qt application, a recording host
# and window) and the fake engine, and waits for the data the program loads.
function(lumadial_feature)
  cmake_parse_arguments(ARG "" "NAME;TEST_WORKING_DIRECTORY" "SOURCES;LIBS;TEST_SOURCES;TEST_LIBS"
                        ${ARGN})
  set(library lumadial_${ARG_NAME})
  add_library(${library} STATIC ${ARG_SOURCES})
  target_include_directories(${library} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT library STREQUAL "lumadial_feature")
    target_link_libraries(${library} PUBLIC lumadial_feature)
  endif()
  target_link_libraries(${library} PUBLIC ${ARG_LIBS})
  lumadial_warnings(${library})
  if(NOT LUMADIAL_TESTS OR NOT ARG_TEST_SOURCES)
    return()
  endif()
  if(ARG_TEST_WORKING_DIRECTORY)
    set(workdir ${ARG_TEST_WORKING_DIRECTORY})
  else()
    set(workdir ${LUMADIAL_PROGRAM_DIR})
  endif()
  lumadial_add_test(NAME ${ARG_NAME}_tests
    SOURCES ${ARG_TEST_SOURCES}
    LIBS ${library} ${ARG_TEST_LIBS} lumadial_test_support lumacore_fake
    WORKING_DIRECTORY ${workdir})
  lumadial_depends_on_program_data(${ARG_NAME}_tests)
endfunction()
