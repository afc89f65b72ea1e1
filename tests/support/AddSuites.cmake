# Run by ctest before the tests: one ctest test per GoogleTest suite of a test program.
# A process per suite instead of per case keeps the run short; a crash still names its suite.
# Suites whose name holds "Postgres" need the throwaway server the fixture starts.
function(ledview_add_suites program environment)
  execute_process(COMMAND "${program}" --gtest_list_tests
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
  get_filename_component(name "${program}" NAME)
  if(NOT status EQUAL 0)
    # Keep the failure visible as a failing test rather than a silently shorter run.
    add_test("${name}.cannot_list_tests" "${program}" --gtest_list_tests)
    return()
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #]+)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
      add_test("${suite}" "${program}" "--gtest_filter=${suite}.*" --gtest_brief=1)
      set_tests_properties("${suite}" PROPERTIES ENVIRONMENT "${environment}")
      if(suite MATCHES "Postgres")
        set_tests_properties("${suite}" PROPERTIES FIXTURES_REQUIRED ledview_postgres)
      endif()
    endif()
  endforeach()
endfunction()
