# Hardening of every program we build, as Debian builds its packages: checked buffer
# functions, the stack protector, format-string checks, and relocations made read-only once
# loaded (relro, now). Included last, so it reaches every target already defined.
#
# _FORTIFY_SOURCE works only when optimising (glibc warns otherwise, and our warnings are
# errors); under the sanitizers (and in the fuzz build) it is left out, as they check the same
# calls themselves.
set(VARO_HARDENING_COMPILE -fstack-protector-strong -Wformat -Werror=format-security)
if(NOT VARO_SANITIZE AND NOT VARO_FUZZ)
  list(APPEND VARO_HARDENING_COMPILE
       $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
endif()
set(VARO_HARDENING_LINK LINKER:-z,relro LINKER:-z,now)

# The targets of a folder and of every folder below it.
function(varo_targets_below folder out)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    varo_targets_below(${subfolder} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

varo_targets_below(${PROJECT_SOURCE_DIR} varo_all_targets)
foreach(target IN LISTS varo_all_targets)
  get_target_property(type ${target} TYPE)
  if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
    target_compile_options(${target} PRIVATE ${VARO_HARDENING_COMPILE})
  endif()
  if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
    target_link_options(${target} PRIVATE ${VARO_HARDENING_LINK})
  endif()
endforeach()
