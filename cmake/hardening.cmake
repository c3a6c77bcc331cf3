# The hardening Debian builds its packages with, for every program and test of the build:
# position-independent executables (so that the loader can place them anywhere), checked
# buffer functions where the compiler knows the buffer size (_FORTIFY_SOURCE, which needs
# optimisation, so not in a Debug build), a canary on the stack of every function that holds
# an array or takes an address, and a relocation table that is made read-only once the
# program is loaded (relro with now). Where the compiler has them, also probes that keep a
# large stack frame from jumping over the guard page. Control-flow marks (-fcf-protection)
# are not asked for: the link drops them, as Debian 12's C start files (Scrt1.o, crti.o)
# carry none. GLEICHWART_HARDENING=OFF leaves all of them out; a build with a sanitizer in
# CMAKE_CXX_FLAGS (scripts/tsan.sh) goes without them, as the sanitizers bring their own
# checked functions.

option(GLEICHWART_HARDENING "Build with Debian's hardening flags" ON)

if(GLEICHWART_HARDENING AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  include(CheckPIESupported)
  check_pie_supported(OUTPUT_VARIABLE pie_message LANGUAGES CXX)
  if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(FATAL_ERROR "The compiler cannot link position-independent executables:\n"
                        "${pie_message}")
  endif()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  # -U first: a _FORTIFY_SOURCE of another level given from outside (CXXFLAGS) would
  # otherwise be redefined with a warning in every file.
  add_compile_options(
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
    -fstack-protector-strong)
  add_link_options(-Wl,-z,relro,-z,now)
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag(-fstack-clash-protection HAVE_STACK_CLASH_PROTECTION)
  if(HAVE_STACK_CLASH_PROTECTION)
    add_compile_options(-fstack-clash-protection)
  endif()
endif()
