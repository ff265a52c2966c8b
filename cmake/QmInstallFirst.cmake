# Run by cmake --install before it copies the first file; cmake/QmInstall.cmake
# sets QM_BUILT (the files taken from the build), QM_BUILD_DIR, QM_PLANNED (the
# files installed, relative to the prefix) and QM_PLANNED_FOLDERS (source
# folder|destination folder, installed whole).
#
# CMake cannot roll back an install that stops half-way, and it writes its list
# of what it installed (install_manifest.txt, which the uninstall reads) only
# when the install has ended well. Hence:
# - a build that lacks a file the install takes from it installs nothing, and
#   the message names the command that builds it;
# - the list of everything about to be installed goes where that list goes
#   before the first copy, so an install that fails later (a folder that cannot
#   be written, a full disk) is still undone by the uninstall; an install that
#   ends well replaces it with its own list.

set(missing "")
foreach(built IN LISTS QM_BUILT)
  if(NOT EXISTS "${built}")
    string(APPEND missing "\n  ${built}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "Nothing was installed: the build lacks${missing}\n"
                      "Build what is missing with\n"
                      "  cmake --build \"${QM_BUILD_DIR}\" --target qm_program\n"
                      "(bash scripts/run.sh builds it into build/), then install again.")
endif()

set(planned "")
foreach(file IN LISTS QM_PLANNED)
  list(APPEND planned "${CMAKE_INSTALL_PREFIX}/${file}")
endforeach()
foreach(pair IN LISTS QM_PLANNED_FOLDERS)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  file(GLOB_RECURSE files RELATIVE "${from}" "${from}/*")
  foreach(file IN LISTS files)
    list(APPEND planned "${CMAKE_INSTALL_PREFIX}/${to}/${file}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES planned)
if(CMAKE_INSTALL_COMPONENT)
  set(manifest "install_manifest_${CMAKE_INSTALL_COMPONENT}.txt")
else()
  set(manifest "install_manifest.txt")
endif()
string(REPLACE ";" "\n" planned "${planned}")
file(WRITE "${QM_BUILD_DIR}/${manifest}" "${planned}")
