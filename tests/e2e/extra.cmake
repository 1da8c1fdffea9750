# End-to-end tests of the installed program; screenshots land in <build>/screenshots.
set(e2e_work ${CMAKE_CURRENT_BINARY_DIR}/e2e)
set(e2e_prefix ${e2e_work}/prefix)
set(e2e_shots ${PROJECT_BINARY_DIR}/screenshots)
add_test(NAME e2e_install
         COMMAND ${dir}/check_install.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${e2e_prefix})
add_test(NAME e2e_acceptance_walk
         COMMAND ${dir}/acceptance_walk.sh ${e2e_prefix} ${e2e_work}/acceptance_walk ${e2e_shots})
add_test(NAME e2e_report_browser
         COMMAND ${dir}/report_in_browser.sh ${e2e_prefix} ${e2e_work}/report ${e2e_shots})
add_test(NAME e2e_debian_package
         COMMAND ${dir}/debian_package.sh ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR}
                 ${e2e_work}/package ${e2e_prefix})
set_tests_properties(e2e_install PROPERTIES FIXTURES_SETUP e2e_installed LABELS e2e TIMEOUT 120)
# The walk types and presses through the accessibility bus at a person's pace.
set_tests_properties(e2e_acceptance_walk e2e_report_browser e2e_debian_package PROPERTIES
  FIXTURES_REQUIRED e2e_installed LABELS e2e TIMEOUT 300)
set_tests_properties(e2e_acceptance_walk PROPERTIES RESOURCE_LOCK e2e_display SKIP_RETURN_CODE 77)
