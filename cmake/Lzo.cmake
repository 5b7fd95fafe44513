# LZO is compiled from the Debian source package that tools/setup.sh fetches;
# nothing of it lives in this repository.
if(NOT EXISTS ${LZO_SOURCE_DIR}/include/lzo/lzo1x.h)
  message(FATAL_ERROR "LZO sources not found in ${LZO_SOURCE_DIR}; run tools/setup.sh")
endif()
file(GLOB LZO_SOURCES ${LZO_SOURCE_DIR}/src/*.c)
add_library(lzo2 STATIC ${LZO_SOURCES})
target_include_directories(lzo2 SYSTEM PUBLIC ${LZO_SOURCE_DIR}/include)
target_include_directories(lzo2 PRIVATE ${LZO_SOURCE_DIR}/src)
target_compile_options(lzo2 PRIVATE -w)
