# GoogleTest from Debian's sources, built for the target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One test executable is one CTest entry: each Wine process start is costly,
# so GoogleTest runs all of an executable's cases in one process.
#   sso_add_gtest(NAME name SOURCES ... [LIBS ...] [RESOURCE_LOCK lock...] [TIMEOUT s])
# Executables that change the shared simulated environment (registry,
# system32, certificate stores) take RESOURCE_LOCK simenv; those that show
# the program's windows on the shared desktop and find them there by
# caption, or capture them from the screen, take RESOURCE_LOCK desktop.
function(sso_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;RESOURCE_LOCK" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} sso_testmain gtest)
  add_test(NAME ${T_NAME} COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${T_NAME}>
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_RESOURCE_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()
