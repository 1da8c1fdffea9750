# The end-to-end recording starts from the program's own start-up, so it
# links the composition root as well.
hl_test(timecontrol_e2e_main LABEL timecontrol SOURCES ${dir}/e2e_main.cpp ${helpers}
        LINKS hl_shell hl_timecontrol)
target_include_directories(timecontrol_e2e_main PRIVATE ${dir})
