# Writes OUT (a header defining TARVO_REVISION) with the source revision of SOURCE_DIR, as
# `git describe --always --dirty` names it; empty outside a git checkout. The file is rewritten
# only when the revision changed, so an unchanged tree rebuilds nothing.
execute_process(COMMAND git -C "${SOURCE_DIR}" describe --always --dirty --abbrev=7
                OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  set(revision "")
endif()
set(text "#define TARVO_REVISION \"${revision}\"\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" alt)
endif()
if(NOT "${alt}" STREQUAL "${text}")
  file(WRITE "${OUT}" "${text}")
endif()
