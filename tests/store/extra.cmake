# The long runs (stress.cpp), as two tests so that CTest can spread them over the cores.
# The fault runs need libfiu: its POSIX preload makes file-system calls fail.
add_executable(store_stress ${dir}/stress.cpp ${dir}/StoreTest.h)
target_include_directories(store_stress PRIVATE ${dir} ${dir}/../support)
target_link_libraries(store_stress PRIVATE hl_store Qt6::Test)
find_library(HL_FIU_LIBRARY fiu)
find_path(HL_FIU_INCLUDE fiu-control.h)
find_file(HL_FIU_PRELOAD fiu_posix_preload.so PATHS /usr/lib/fiu NO_DEFAULT_PATH)
if(HL_FIU_LIBRARY AND HL_FIU_INCLUDE AND HL_FIU_PRELOAD)
  target_include_directories(store_stress PRIVATE ${HL_FIU_INCLUDE})
  target_link_libraries(store_stress PRIVATE ${HL_FIU_LIBRARY})
  target_compile_definitions(store_stress PRIVATE HL_FIU_PRELOAD="${HL_FIU_PRELOAD}")
else()
  message(WARNING "libfiu (libfiu-dev, fiu-utils) not found: the fault and crash runs will skip")
endif()
add_test(NAME store_stress_faults
         COMMAND store_stress operationsTellTheTruthUnderWriteFailuresAndSurviveAKill)
add_test(NAME store_stress_load COMMAND store_stress eightWritersLoseNothingAndDuplicateNothing)
# Qt Test's own watchdog would end a long function after five minutes.
set_tests_properties(store_stress_faults store_stress_load PROPERTIES LABELS "store;stress"
                     TIMEOUT 900 ENVIRONMENT "QTEST_FUNCTION_TIMEOUT=900000")

# The store's contract runs on a new file, and on the server when the server tests'
# cluster is up (tests/server/extra.cmake starts it).
target_link_libraries(store_test_contract PRIVATE hl_server)
target_include_directories(store_test_contract PRIVATE ${dir}/../server)
set_tests_properties(store_test_contract PROPERTIES LABELS "store;server" FIXTURES_REQUIRED pg_shared
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;HOURLOOM_TEST_PG_STATE=${CMAKE_CURRENT_BINARY_DIR}/pg-shared.state")
