# cmake --install: the program folder (program, Res, Frf, Help.html, and the prepared
# database only when the folder has none), a command in bin, a menu entry and its icon.
set(QM_INSTALLED_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quillmark RUNTIME DESTINATION ${QM_PROGRAM_DIR})
install(DIRECTORY ${QM_OUTPUT_DIR}/Res DESTINATION ${QM_PROGRAM_DIR}
  DIRECTORY_PERMISSIONS ${QM_INSTALLED_DIRECTORY_PERMISSIONS}
  PATTERN ".stamp" EXCLUDE)
install(DIRECTORY DESTINATION ${QM_PROGRAM_DIR}/Frf
  DIRECTORY_PERMISSIONS ${QM_INSTALLED_DIRECTORY_PERMISSIONS})
install(FILES ${CMAKE_SOURCE_DIR}/resources/Help.html DESTINATION ${QM_PROGRAM_DIR})
install(DIRECTORY ${QM_OUTPUT_DIR}/icons/ DESTINATION share/icons/hicolor
  DIRECTORY_PERMISSIONS ${QM_INSTALLED_DIRECTORY_PERMISSIONS})

# The rest is decided when the install runs, against the prefix it runs with.
install(CODE "
  set(QM_PROGRAM_DIR \"${QM_PROGRAM_DIR}\")
  set(QM_PREPARED_DATABASE \"${QM_OUTPUT_DIR}/Quillmark.MDB\")
  set(QM_TITLE \"澄衡客户管理软件\")
  set(QM_VERSION \"${PROJECT_VERSION}\")
  set(QM_FRF_SOURCE \"${CMAKE_SOURCE_DIR}/resources/Frf\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallProgramFolder.cmake)
