# The window test runs the real start-up, which lives in the shell.
target_link_libraries(setup_test_frmsetup PRIVATE hl_shell)
set_tests_properties(setup_test_frmsetup PROPERTIES LABELS "setup;app")
