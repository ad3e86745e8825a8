# Run by cpack on the staged files before it packs them: `strip` keeps the compiler's name and
# version in each program's .comment section, which nothing reads at run time; Debian's own
# packages leave it out, and so do we.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_VARO_OBJCOPY}" --remove-section=.comment "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
