# The companion is tested as the program it is: each test runs the built
# executable.
target_compile_definitions(cli_test_cli PRIVATE HL_CLI_PATH="$<TARGET_FILE:hourloom-cli>")
add_dependencies(cli_test_cli hourloom-cli)
# No Qt Gui or Widgets library in the installed executable.
add_test(NAME cli_links_core_only
         COMMAND sh -c "! ldd \"$1\" | grep -E 'libQt6(Gui|Widgets|PrintSupport)'" ldd-check
                 $<TARGET_FILE:hourloom-cli>)
set_tests_properties(cli_links_core_only PROPERTIES LABELS cli)
