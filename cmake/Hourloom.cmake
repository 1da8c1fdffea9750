# Shared build helpers.

# hl_library(<target> [SOURCES ...] [LINKS ...]): a static library. Without
# SOURCES it holds every source in the calling folder; with SOURCES only the
# files named (relative to the folder), so that one folder can hold a target
# that needs no widgets beside one that does. The folder itself is the public
# include path.
function(hl_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  if(ARG_SOURCES)
    list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE sources)
  else()
    file(GLOB sources CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    # Files another target of the folder has claimed stay out.
    get_property(claimed DIRECTORY PROPERTY HL_CLAIMED_SOURCES)
    if(claimed)
      list(REMOVE_ITEM sources ${claimed})
    endif()
  endif()
  set_property(DIRECTORY APPEND PROPERTY HL_CLAIMED_SOURCES ${sources})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  set_property(GLOBAL APPEND PROPERTY HL_LIBRARIES ${target})
endfunction()

# hl_core_library(<target> SOURCES ... LINKS ...): a library that must work
# without a display: it may link Qt Core but never Qt Gui or Widgets, which
# the link check (hl_check_core_links) verifies for the whole build.
function(hl_core_library target)
  hl_library(${target} ${ARGN})
  set_property(GLOBAL APPEND PROPERTY HL_CORE_LIBRARIES ${target})
endfunction()

# hl_test(<name> LABEL <area> SOURCES ... [LINKS ...]): one Qt Test executable,
# run offscreen with its own settings and data folders.
function(hl_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE hl_testsupport Qt6::Test ${ARG_LINKS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;HOURLOOM_DATA_DIR=${PROJECT_BINARY_DIR}/help")
endfunction()

# Collects into <out> every target `target` links, directly or through
# other targets.
function(hl_linked_targets target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link ${links})
      # $<LINK_ONLY:Qt6::Gui> still links Qt Gui: look inside the expression.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(NOT link MATCHES "\\$<" AND TARGET ${link})
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  list(REMOVE_ITEM seen ${target})
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Stops the configuration when a library declared with hl_core_library, or
# one of `executables`, links Qt Gui, Qt Widgets or Qt Print Support through
# any path.
function(hl_check_core_links)
  get_property(core GLOBAL PROPERTY HL_CORE_LIBRARIES)
  foreach(target ${core} ${ARGN})
    hl_linked_targets(${target} linked)
    foreach(forbidden Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
      if(forbidden IN_LIST linked)
        message(FATAL_ERROR "${target} must need no display, but it links ${forbidden}")
      endif()
    endforeach()
  endforeach()
endfunction()
