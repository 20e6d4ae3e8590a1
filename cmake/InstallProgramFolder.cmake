# Run by cmake --install (see Install.cmake) with the prefix of that run.
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${QM_PROGRAM_DIR}")
set(program "${CMAKE_INSTALL_PREFIX}/${QM_PROGRAM_DIR}/quillmark")

# The database holds the user's books: an install over an existing program folder never
# replaces it. The program finds its file name without regard to case, so a restored
# Quillmark.mdb counts as well.
file(GLOB existing LIST_DIRECTORIES false "${folder}/*")
set(has_database FALSE)
foreach(path IN LISTS existing)
  get_filename_component(name "${path}" NAME)
  string(TOLOWER "${name}" lower)
  if(lower STREQUAL "quillmark.mdb")
    set(has_database TRUE)
    message(STATUS "Kept: ${path}")
  endif()
endforeach()
# file(INSTALL) puts DESTDIR (a package's staging folder) in front of the path itself.
if(NOT has_database)
  file(INSTALL "${QM_PREPARED_DATABASE}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${QM_PROGRAM_DIR}"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
endif()

# The report templates, never over one the user changed.
include("${CMAKE_CURRENT_LIST_DIR}/Templates.cmake")
quillmark_install_templates("${QM_FRF_SOURCE}" "${folder}/Frf")

# A command on the path; the program finds its folder through the link.
file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
file(CREATE_LINK "../${QM_PROGRAM_DIR}/quillmark"
  "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/quillmark" SYMBOLIC)
message(STATUS "Installing: $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/quillmark")

# The menu entry.
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/quillmark.desktop")
file(WRITE "${entry}" "[Desktop Entry]
Type=Application
Version=1.0
Name=${QM_TITLE}
Comment=客户与资金管理
Exec=\"${program}\"
Path=${CMAKE_INSTALL_PREFIX}/${QM_PROGRAM_DIR}
Icon=quillmark
Terminal=false
Categories=Office;Finance;
X-Quillmark-Version=${QM_VERSION}
")
message(STATUS "Installing: ${entry}")
