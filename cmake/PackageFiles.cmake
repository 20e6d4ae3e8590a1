# Run by cpack after the install rules have filled its staging folder: what only the Debian
# package has.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(EXISTS "${root}/usr")
  set(usr "${root}/usr")
else()
  message(FATAL_ERROR "no usr folder in ${root}")
endif()
set(folder "${usr}/${CPACK_QM_PROGRAM_DIR}")

# The program folder is shared by every user: books and settings go to each user's home.
file(WRITE "${folder}/SharedInstall"
  "This program folder is shared by every user of the computer: each keeps the books and\n"
  "settings in ~/.local/share/quillmark.\n")
# The prepared book is what every user's first start copies.
file(CHMOD "${folder}/Quillmark.MDB" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(doc "${usr}/share/doc/quillmark")
file(MAKE_DIRECTORY "${doc}")
configure_file("${CPACK_QM_SOURCE_DIR}/cmake/copyright" "${doc}/copyright" COPYONLY)
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${doc}/changelog" "quillmark (${CPACK_PACKAGE_VERSION}) stable; urgency=medium

  * Release ${CPACK_PACKAGE_VERSION}.

 -- ${CPACK_PACKAGE_CONTACT}  ${date}
")
execute_process(COMMAND gzip -9n "${doc}/changelog" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on the changelog")
endif()
