# Shared helpers for the project's targets.

# Our own code builds with every warning as an error.
function(tarvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One static library per folder: every .cpp in the folder (not below it).
function(tarvel_folder_library name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    # A folder that has only headers so far still makes a library.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "")
    set(srcs ${stub})
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  tarvel_warnings(${name})
endfunction()

# A GoogleTest executable from every .cpp of a tests/ subfolder. The tests of
# a fixture whose name ends in "UnprivilegedTest" (file permissions, which root
# bypasses) are labelled "unprivileged" too: scripts/test-unprivileged runs
# them as the user nobody.
function(tarvel_test_suite name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  tarvel_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "-*UnprivilegedTest.*"
    PROPERTIES TIMEOUT 120 LABELS ${name} ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "*UnprivilegedTest.*"
    TEST_LIST ${name}_unprivileged PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  # Their labels, a list, once ctest has listed them (read after the list).
  set(labels ${CMAKE_CURRENT_BINARY_DIR}/${name}_unprivileged_labels.cmake)
  file(WRITE ${labels} "if(${name}_unprivileged)\n"
    "  set_tests_properties(\${${name}_unprivileged} PROPERTIES LABELS \"${name};unprivileged\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels})
endfunction()
