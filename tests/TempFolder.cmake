# STEP=clear: makes FOLDER empty before the tests, and RUNTIME, Qt's runtime folder, private
# to the user as Qt wants it. STEP=check: fails, naming them, when the tests left anything in
# FOLDER (a crashed test, or one that forgets to clean up).
cmake_minimum_required(VERSION 3.21)
if(STEP STREQUAL "clear")
  file(REMOVE_RECURSE ${FOLDER} ${RUNTIME})
  file(MAKE_DIRECTORY ${FOLDER} ${RUNTIME})
  file(CHMOD ${RUNTIME} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  return()
endif()
file(GLOB left LIST_DIRECTORIES true RELATIVE ${FOLDER} ${FOLDER}/* ${FOLDER}/.*)
if(left)
  list(JOIN left "\n  " names)
  message(FATAL_ERROR "The tests left these in ${FOLDER}:\n  ${names}")
endif()
message("Nothing left in ${FOLDER}")
