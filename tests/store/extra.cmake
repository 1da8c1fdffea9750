# Fault injection: a helper program performs store operations while libfiu's
# POSIX preload makes file-system calls fail, or kills it at a chosen call.
find_library(HL_FIU_LIBRARY fiu)
find_path(HL_FIU_INCLUDE fiu-control.h)
find_file(HL_FIU_PRELOAD fiu_posix_preload.so
          PATHS /usr/lib/fiu /usr/lib/x86_64-linux-gnu/fiu /usr/lib/x86_64-linux-gnu /usr/local/lib/fiu
          NO_DEFAULT_PATH)
if(HL_FIU_LIBRARY AND HL_FIU_INCLUDE AND HL_FIU_PRELOAD)
  add_executable(store_fault_child ${dir}/support_faultchild/main.cpp)
  target_include_directories(store_fault_child PRIVATE ${HL_FIU_INCLUDE})
  target_link_libraries(store_fault_child PRIVATE hl_store ${HL_FIU_LIBRARY})
  foreach(test store_test_fault_writes store_test_crash_kill)
    if(TARGET ${test})
      add_dependencies(${test} store_fault_child)
      target_compile_definitions(${test} PRIVATE
        HL_FAULT_CHILD="$<TARGET_FILE:store_fault_child>" HL_FIU_PRELOAD="${HL_FIU_PRELOAD}")
    endif()
  endforeach()
else()
  message(WARNING "libfiu (libfiu-dev, fiu-utils) not found: the fault and crash tests will skip")
endif()

# The long runs: many seeded runs, or many processes on one file.
foreach(test store_test_fault_writes store_test_crash_kill store_test_load_shared)
  if(TARGET ${test})
    set_property(TEST ${test} PROPERTY LABELS store stress)
    set_property(TEST ${test} PROPERTY TIMEOUT 900)
    # Qt Test's own watchdog would end a long function after five minutes.
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT QTEST_FUNCTION_TIMEOUT=900000)
  endif()
endforeach()

# Bad settings: the real start-up and the saved layout, which live in the shell.
if(TARGET store_test_badsettings_start)
  target_link_libraries(store_test_badsettings_start PRIVATE hl_shell)
endif()
