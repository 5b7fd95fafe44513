# Compiles a skin source, with the BMP files beside it, into a skin
# container at build time:
#   sso_compile_skin(SOURCE <dir>/skin.txt OUTPUT <file> [TARGET <name>])
# TARGET, when given, names a custom target that builds the container.
#
# skinc runs through the cross-compiling emulator (Wine). Where the machine
# cannot run this build's own skinc (an i686 build on a kernel without
# 32-bit support), SSO_HOST_SKINC names one that it can run, such as the
# x86_64 build's bin/skinc.exe; the container is the same either way.
set(SSO_HOST_SKINC "" CACHE FILEPATH "A skinc.exe this machine can run; empty: this build's own skinc")

function(sso_compile_skin)
  cmake_parse_arguments(SKIN "" "SOURCE;OUTPUT;TARGET" "" ${ARGN})
  if(NOT SKIN_SOURCE OR NOT SKIN_OUTPUT)
    message(FATAL_ERROR "sso_compile_skin needs SOURCE and OUTPUT")
  endif()
  get_filename_component(source "${SKIN_SOURCE}" ABSOLUTE)
  get_filename_component(sourceDir "${source}" DIRECTORY)
  get_filename_component(output "${SKIN_OUTPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  get_filename_component(outputDir "${output}" DIRECTORY)
  file(GLOB bitmaps CONFIGURE_DEPENDS "${sourceDir}/*.bmp")

  if(SSO_HOST_SKINC)
    set(compiler "${SSO_HOST_SKINC}")
    set(compilerDependency "${SSO_HOST_SKINC}")
  else()
    set(compiler "$<TARGET_FILE:skinc>")
    set(compilerDependency skinc)
  endif()

  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${outputDir}"
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} "${compiler}" build "${source}" -o "${output}"
    DEPENDS ${compilerDependency} "${source}" ${bitmaps}
    COMMENT "Compiling skin ${SKIN_SOURCE}"
    VERBATIM)
  if(SKIN_TARGET)
    add_custom_target(${SKIN_TARGET} DEPENDS "${output}")
  endif()
endfunction()
