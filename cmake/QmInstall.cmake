# cmake --install: the program with its library, help pages and manual in one
# folder, PREFIX/lib/quilmorn2008, as the program looks for them beside
# itself; PREFIX/bin/Quilmorn2008 links to it. The desktop entry, the project
# files' MIME type and the icon go where the desktop looks for them.
include(GNUInstallDirs)

set(QM_INSTALL_FOLDER ${CMAKE_INSTALL_LIBDIR}/quilmorn2008)
set(desktop ${PROJECT_SOURCE_DIR}/program/resources/desktop)
set(manual_pdf ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/manual/Quilmorn2008.pdf)

# The program with all it needs beside it to run from the build and to be
# installed: what scripts/run.sh builds.
add_custom_target(qm_program)
add_dependencies(qm_program Quilmorn2008 quorlith qm_help_pages qm_manual)

# First of all, before a file is copied: the check that the build holds what
# the install takes from it, and the list of what is about to be installed
# (cmake/QmInstallFirst.cmake says why).
install(CODE "
  set(QM_BUILT \"$<TARGET_FILE:Quilmorn2008>;$<TARGET_FILE:quorlith>;${manual_pdf}\")
  set(QM_BUILD_DIR \"${CMAKE_BINARY_DIR}\")
  set(QM_PLANNED
    \"${QM_INSTALL_FOLDER}/$<TARGET_FILE_NAME:Quilmorn2008>\"
    \"${QM_INSTALL_FOLDER}/$<TARGET_FILE_NAME:quorlith>\"
    \"${QM_INSTALL_FOLDER}/manual/Quilmorn2008.pdf\"
    \"${CMAKE_INSTALL_DATADIR}/mime/packages/quilmorn2008.xml\"
    \"${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/quilmorn2008.svg\"
    \"${CMAKE_INSTALL_BINDIR}/Quilmorn2008\"
    \"${CMAKE_INSTALL_DATADIR}/applications/quilmorn2008.desktop\")
  set(QM_PLANNED_FOLDERS
    \"${PROJECT_SOURCE_DIR}/program/resources/help|${QM_INSTALL_FOLDER}/HELP\"
    \"${PROJECT_SOURCE_DIR}/program/resources/manual|${QM_INSTALL_FOLDER}/manual\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/QmInstallFirst.cmake\")
")

install(TARGETS Quilmorn2008 RUNTIME DESTINATION ${QM_INSTALL_FOLDER})
install(TARGETS quorlith LIBRARY DESTINATION ${QM_INSTALL_FOLDER} NAMELINK_SKIP)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/program/resources/help/
        DESTINATION ${QM_INSTALL_FOLDER}/HELP)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/program/resources/manual/
        DESTINATION ${QM_INSTALL_FOLDER}/manual)
install(FILES ${manual_pdf}
        DESTINATION ${QM_INSTALL_FOLDER}/manual)
install(FILES ${desktop}/quilmorn2008-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME quilmorn2008.xml)
install(FILES ${desktop}/quilmorn2008.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Done at install time, so that a prefix given to cmake --install counts: the
# link in bin, the desktop entry naming the installed program, and the
# desktop's caches of MIME types and entries brought up to date (not for a
# staged install into DESTDIR, whose packager does that).
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(MAKE_DIRECTORY \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${QM_INSTALL_FOLDER}/Quilmorn2008\"
       \"\${prefix}/${CMAKE_INSTALL_BINDIR}/Quilmorn2008\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/Quilmorn2008\")
  set(QM_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/Quilmorn2008\")
  configure_file(\"${desktop}/quilmorn2008.desktop.in\"
                 \"\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/quilmorn2008.desktop\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES
       \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/quilmorn2008.desktop\")
  message(STATUS \"Installing: \${prefix}/${CMAKE_INSTALL_DATADIR}/applications/quilmorn2008.desktop\")
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(update_mime update-mime-database)
    if(update_mime)
      execute_process(COMMAND \${update_mime} \"\${prefix}/${CMAKE_INSTALL_DATADIR}/mime\")
    endif()
    find_program(update_desktop update-desktop-database)
    if(update_desktop)
      execute_process(COMMAND \${update_desktop} \"\${prefix}/${CMAKE_INSTALL_DATADIR}/applications\")
    endif()
  endif()
")
