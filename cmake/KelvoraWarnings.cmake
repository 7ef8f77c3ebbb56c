# Every target of the project links kelvora::warnings for one set of diagnostics.
add_library(kelvora_warnings INTERFACE)
add_library(kelvora::warnings ALIAS kelvora_warnings)
target_compile_options(kelvora_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(KELVORA_WERROR)
  target_compile_options(kelvora_warnings INTERFACE -Werror)
endif()

# kelvora_test(NAME SOURCES... LIBS ...) builds one test program and registers its cases with CTest.
function(kelvora_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest kelvora::warnings)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}" ${ARG_PROPERTIES})
endfunction()
