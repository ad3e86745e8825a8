# Hardening of every program we build, as Debian builds its packages: the stack protector,
# format-string checks, checked buffer functions when optimising (left to the sanitizers and the
# fuzz build, which check the same calls themselves) and relocations read-only once loaded.
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
if(NOT VARO_SANITIZE AND NOT VARO_FUZZ)
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
