# Run at build time: writes OUTPUT from TEMPLATE with VERSION and the commit of
# SOURCE_DIR ("" when it is not a git checkout or git is missing).
set(QINGLAN_COMMIT "")
find_program(GIT_PROGRAM git)
if(GIT_PROGRAM AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(
    COMMAND "${GIT_PROGRAM}" -C "${SOURCE_DIR}" describe --always --dirty --abbrev=10
    OUTPUT_VARIABLE described
    RESULT_VARIABLE failed
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    set(QINGLAN_COMMIT "${described}")
  endif()
endif()
set(QINGLAN_VERSION "${VERSION}")
# configure_file leaves an unchanged output alone, so nothing is rebuilt.
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
