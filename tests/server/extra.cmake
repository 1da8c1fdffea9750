# The server tests run on a throw-away PostgreSQL 15 cluster (pg_cluster.sh);
# the fault test has its own, because it restarts it. Without the server
# binaries no cluster starts and the tests report themselves skipped.
set(script ${dir}/pg_cluster.sh)
foreach(cluster shared faults)
  set(state ${CMAKE_CURRENT_BINARY_DIR}/pg-${cluster}.state)
  add_test(NAME server_start_${cluster} COMMAND sh ${script} start ${state})
  add_test(NAME server_stop_${cluster} COMMAND sh ${script} stop ${state})
  set_tests_properties(server_start_${cluster} PROPERTIES FIXTURES_SETUP pg_${cluster} LABELS server)
  set_tests_properties(server_stop_${cluster} PROPERTIES FIXTURES_CLEANUP pg_${cluster} LABELS server)
endforeach()

foreach(source ${tests})
  get_filename_component(name ${source} NAME_WE)
  set(cluster shared)
  if(name STREQUAL "test_faults")
    set(cluster faults)
  endif()
  set_tests_properties(server_${name} PROPERTIES
    FIXTURES_REQUIRED pg_${cluster}
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;HOURLOOM_TEST_PG_STATE=${CMAKE_CURRENT_BINARY_DIR}/pg-${cluster}.state;HOURLOOM_TEST_PG_SCRIPT=${script}")
endforeach()

# Server mode of the program and of hourloom-cli, through the module they load.
target_link_libraries(server_test_server_mode PRIVATE hl_shell)
target_compile_definitions(server_test_server_mode PRIVATE HL_CLI_PATH="$<TARGET_FILE:hourloom-cli>")
add_dependencies(server_test_server_mode hourloom-cli hourloom-server)
find_package(Qt6 REQUIRED COMPONENTS Network)
target_link_libraries(server_test_faults PRIVATE Qt6::Network)
