# cpack -G DEB in the build, then what the package holds and declares: the program folder
# under /usr/lib/quillmark marked as shared by every user, with the prepared book readable
# by all and no user's files; the command, the menu entry and its icons; the libraries
# dpkg-shlibdeps found and the fonts; everything owned by root; and lintian finds no error.
cmake_minimum_required(VERSION 3.21)
set(failures 0)
macro(check condition what)
  cmake_language(EVAL CODE "if(${condition})\n set(held TRUE)\nelse()\n set(held FALSE)\nendif()")
  if(NOT held)
    message(SEND_ERROR "package: ${what}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()
function(run output)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${out}\n${err}")
  endif()
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run(ignored ${CPACK} -G DEB -B ${WORK_DIR} --config ${BUILD_DIR}/CPackConfig.cmake)
set(deb ${WORK_DIR}/quillmark_${VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${WORK_DIR}/*.deb)
  message(FATAL_ERROR "no ${deb}; made: ${made}")
endif()

run(contents dpkg-deb -c ${deb})
set(folder ./usr/lib/quillmark)
foreach(item ${folder}/quillmark ${folder}/SharedInstall ${folder}/Res/App.ico
        ${folder}/Help.html ${folder}/Frf/ ./usr/share/applications/quillmark.desktop
        ./usr/share/doc/quillmark/copyright ./usr/share/doc/quillmark/changelog.gz
        ./usr/share/icons/hicolor/48x48/apps/quillmark.png
        ./usr/share/icons/hicolor/256x256/apps/quillmark.png)
  string(FIND "${contents}" " ${item}\n" at)
  check("NOT at EQUAL -1" "${item} missing")
endforeach()
check("contents MATCHES \"-rw-r--r-- root/root [ 0-9]+ [-0-9: ]+ ${folder}/Quillmark.MDB\""
      "the prepared book is not readable by every user")
check("contents MATCHES \" ./usr/bin/quillmark -> ../lib/quillmark/quillmark\""
      "no command in /usr/bin")
check("NOT contents MATCHES \"Quillmark.ini|数据库备份|Cake.bmp\"" "a user's file in the package")
string(REGEX MATCHALL "\n[-dlrwx]+ [^ ]+" owners "\n${contents}")
list(FILTER owners EXCLUDE REGEX " root/root$")
check("\"${owners}\" STREQUAL \"\"" "files not owned by root: ${owners}")

run(info dpkg-deb -I ${deb})
foreach(dependency fonts-noto-cjk fonts-arphic-ukai libqt6widgets6 libsqlcipher)
  check("info MATCHES \"Depends:[^\n]*${dependency}\"" "${dependency} not in Depends")
endforeach()
check("info MATCHES \"Architecture: amd64\"" "not amd64")

execute_process(COMMAND dpkg-deb --fsys-tarfile ${deb}
                COMMAND tar -xO ./usr/share/applications/quillmark.desktop
                OUTPUT_VARIABLE entry)
foreach(line "Exec=\"/usr/lib/quillmark/quillmark\"" "Name=澄衡客户管理软件" "Icon=quillmark")
  string(FIND "\n${entry}" "\n${line}\n" at)
  check("NOT at EQUAL -1" "the menu entry lacks the line ${line}")
endforeach()

# lintian's own temporary files go with the work folder.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORK_DIR} lintian ${deb}
                RESULT_VARIABLE lint_status OUTPUT_VARIABLE lint ERROR_VARIABLE lint_err)
message("lintian:\n${lint}${lint_err}")
check("NOT lint MATCHES \"(^|\n)E: \"" "lintian reports errors")
check("NOT lint_status STREQUAL \"\" AND NOT lint_status MATCHES \"[a-z]\""
      "lintian did not run: ${lint_status}")

file(REMOVE_RECURSE ${WORK_DIR})
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} package check(s) failed")
endif()
message("package: all checks passed")
