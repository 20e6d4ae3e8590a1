# cmake --install into a fresh prefix, then again over it: the program folder is complete
# and writable, the menu entry starts the installed program, and a second install keeps the
# user's database (also under another case of its name).
cmake_minimum_required(VERSION 3.21)
set(failures 0)
# condition is if() syntax in one text, evaluated as written.
macro(check condition what)
  cmake_language(EVAL CODE "if(${condition})\n set(held TRUE)\nelse()\n set(held FALSE)\nendif()")
  if(NOT held)
    message(SEND_ERROR "install: ${what}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

function(install_into prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/first)
set(folder ${prefix}/${PROGRAM_DIR})
install_into(${prefix})

foreach(item quillmark Res/App.ico Res/Welcome.bmp Help.html Quillmark.MDB)
  check("EXISTS ${folder}/${item}" "${item} missing from the program folder")
endforeach()
check("IS_DIRECTORY ${folder}/Frf" "Frf folder missing")
foreach(name Report Report2 Record Record2 Daily Daily2)
  check("EXISTS ${folder}/Frf/${name}.frf" "${name}.frf missing from Frf")
endforeach()
check("NOT EXISTS ${folder}/Res/.stamp" "build stamp installed")
check("EXISTS ${prefix}/share/icons/hicolor/48x48/apps/quillmark.png" "icon missing")
check("IS_SYMLINK ${prefix}/bin/quillmark" "no command in bin")
file(READ ${BUILD_DIR}/Quillmark.MDB prepared HEX)
file(READ ${folder}/Quillmark.MDB installed HEX)
check("prepared STREQUAL installed" "installed database differs from the prepared one")

# The folder must take new files: the settings file and the database journal go there.
file(WRITE ${folder}/probe.txt "x")
check("EXISTS ${folder}/probe.txt" "program folder not writable")
file(REMOVE ${folder}/probe.txt)

set(entry ${prefix}/share/applications/quillmark.desktop)
check("EXISTS ${entry}" "menu entry missing")
if(EXISTS ${entry})
  file(STRINGS ${entry} lines ENCODING UTF-8)
  check("\"Name=澄衡客户管理软件\" IN_LIST lines" "menu entry without the program's name")
  set(exec_line "Exec=\"${folder}/quillmark\"")
  check("exec_line IN_LIST lines" "menu entry does not start the installed program")
  check("\"Icon=quillmark\" IN_LIST lines" "menu entry without the icon")
endif()

# Over an existing folder: the user's database stays byte for byte; the program is renewed.
file(WRITE ${folder}/Quillmark.MDB "the user's books")
file(WRITE ${folder}/Help.html "old manual")
# A template the user changed stays; one as an older version shipped it is renewed.
file(WRITE ${folder}/Frf/Report.frf "the user's layout")
file(WRITE ${folder}/Frf/Daily.frf "an older shipped layout")
file(WRITE ${folder}/Frf/.shipped/Daily.frf "an older shipped layout")
install_into(${prefix})
file(READ ${folder}/Frf/Report.frf layout)
check("layout STREQUAL \"the user's layout\"" "an install replaced a template the user changed")
file(READ ${folder}/Frf/Daily.frf layout)
check("NOT layout STREQUAL \"an older shipped layout\"" "an unchanged template was not renewed")
file(READ ${folder}/Quillmark.MDB kept)
check("kept STREQUAL \"the user's books\"" "a second install replaced the user's database")
file(READ ${folder}/Help.html manual)
check("NOT manual STREQUAL \"old manual\"" "a second install did not renew the manual")

# A database restored as Quillmark.mdb is the same file: no second one beside it.
set(prefix ${WORK_DIR}/second)
set(folder ${prefix}/${PROGRAM_DIR})
file(WRITE ${folder}/Quillmark.mdb "restored books")
install_into(${prefix})
file(GLOB databases ${folder}/*.MDB ${folder}/*.mdb)
list(LENGTH databases count)
check("count EQUAL 1" "a second database was installed beside Quillmark.mdb")
file(READ ${folder}/Quillmark.mdb restored)
check("restored STREQUAL \"restored books\"" "the restored database was changed")

file(REMOVE_RECURSE ${WORK_DIR})
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} install check(s) failed")
endif()
message("install: all checks passed")
