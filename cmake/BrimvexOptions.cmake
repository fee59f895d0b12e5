# Warning level and sanitizer flags shared by every target of the project.
add_library(brimvex_options INTERFACE)
target_compile_options(brimvex_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wconversion -Wsign-conversion -Wdouble-promotion
  -Wformat=2 -Wimplicit-fallthrough)
if(BRIMVEX_WERROR)
  target_compile_options(brimvex_options INTERFACE -Werror)
endif()

if(BRIMVEX_SANITIZE STREQUAL "address")
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
elseif(BRIMVEX_SANITIZE STREQUAL "thread")
  set(_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT BRIMVEX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "BRIMVEX_SANITIZE must be empty, address or thread")
endif()
if(_san)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()

# Fuzz builds instrument every library for coverage; the fuzzer targets add the driver.
option(BRIMVEX_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(BRIMVEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
