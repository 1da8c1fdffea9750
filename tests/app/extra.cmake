# Start-up and settings with impossible values are among the reliability
# checks that the store label gathers too.
set_property(TEST app_test_main_settings APPEND PROPERTY LABELS store)
