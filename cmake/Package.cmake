# cpack -G DEB, in a build folder: quillmark_<version>_amd64.deb, a system-wide install
# under /usr made by the same install rules as cmake --install (Install.cmake), plus what
# only the package has (PackageFiles.cmake): the mark that the program folder is shared by
# every user, and Debian's copyright and changelog.
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "澄衡软件有限公司")
set(CPACK_PACKAGE_CONTACT "澄衡软件有限公司 <support@chengheng-soft.cn>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "customer and money book for small businesses")
# The summary above is the first line of the control file's description, this the rest;
# CPack indents it as Debian wants it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "澄衡客户管理软件 keeps a small business's customers, its cash, receivable
and payable accounts and every movement of money in one encrypted database,
with a daily journal, reports and backups. The interface is in Simplified
Chinese.

Each user of the computer keeps a book of their own, in the folder
~/.local/share/quillmark.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.chengheng-soft.cn/")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links, as dpkg-shlibdeps finds them, and the fonts the
# windows are drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-arphic-ukai")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed as if into /usr (the menu entry names /usr/lib/quillmark/quillmark), into
# CPack's staging folder.
set(CPACK_GENERATOR DEB)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageFiles.cmake)
set(CPACK_QM_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_QM_PROGRAM_DIR ${QM_PROGRAM_DIR})
include(CPack)
