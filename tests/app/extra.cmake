# Start-up and settings with impossible values are among the reliability
# checks that the store label gathers too.
set_property(TEST app_test_main_settings APPEND PROPERTY LABELS store)
# The text-fit walk once more on the X platform, whose fonts may differ from
# the offscreen platform's. It leaves a picture of every window in
# <build>/screenshots/windows to look at. Skipped without Xvfb.
add_test(NAME app_test_text_fit_xcb
         COMMAND sh -c "command -v xvfb-run >/dev/null && command -v xauth >/dev/null || { echo 'SKIP: xvfb-run or xauth is not installed'; exit 77; }; exec xvfb-run -a -s '-screen 0 1280x800x24 -nolisten tcp' \"$@\""
                 sh env QT_QPA_PLATFORM=xcb HOURLOOM_SHOTS=${PROJECT_BINARY_DIR}/screenshots/windows
                 $<TARGET_FILE:app_test_text_fit>)
set_tests_properties(app_test_text_fit_xcb PROPERTIES
  LABELS app SKIP_RETURN_CODE 77 TIMEOUT 120 RESOURCE_LOCK e2e_display
  ENVIRONMENT "LANG=C.UTF-8;HOURLOOM_DATA_DIR=${PROJECT_BINARY_DIR}/help")
