# Lays out the package folder STAGE as the program looks for its files, from
# the build folder BUILD:
#   REQUIRED  files and folders beside the program (one missing is an error),
#   OPTIONAL  files beside the program that are packed when the build made them,
#   EXTRA     files from elsewhere that go to the top of the folder.
# Then writes, into LISTS, the installer's lists of what to install
# (install_files.nsh) and what to remove (uninstall_files.nsh).
# Run with cmake -P.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})

function(stage_item path destination)
  get_filename_component(folder ${destination} DIRECTORY)
  file(COPY ${path} DESTINATION ${STAGE}/${folder})
endfunction()

foreach(item ${REQUIRED})
  if(NOT EXISTS ${BUILD}/${item})
    message(FATAL_ERROR "package: ${BUILD}/${item} is missing; build the program first")
  endif()
  stage_item(${BUILD}/${item} ${item})
endforeach()
foreach(item ${OPTIONAL})
  if(EXISTS ${BUILD}/${item})
    stage_item(${BUILD}/${item} ${item})
  endif()
endforeach()
foreach(path ${EXTRA})
  get_filename_component(name ${path} NAME)
  stage_item(${path} ${name})
endforeach()

# Files in a stable order; folders deepest first, for their removal.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(install "")
set(remove "")
set(folders "")
set(bytes 0)
foreach(f ${files})
  get_filename_component(folder ${f} DIRECTORY)
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  string(REPLACE "/" "\\" windowsFile "${f}")
  if(folder STREQUAL "")
    string(APPEND install "SetOutPath \"$INSTDIR\"\n")
  else()
    string(APPEND install "SetOutPath \"$INSTDIR\\${windowsFolder}\"\n")
    while(NOT folder STREQUAL "")
      list(APPEND folders ${folder})
      get_filename_component(folder ${folder} DIRECTORY)
    endwhile()
  endif()
  string(APPEND install "File \"${STAGE}/${f}\"\n")
  string(APPEND remove "Delete \"$INSTDIR\\${windowsFile}\"\n")
  file(SIZE ${STAGE}/${f} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # a folder sorts after the folder that holds it
foreach(folder ${folders})
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  string(APPEND remove "RMDir \"$INSTDIR\\${windowsFolder}\"\n")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")
string(APPEND install "!define INSTALLED_KB ${kilobytes}\n")
file(WRITE ${LISTS}/install_files.nsh "${install}")
file(WRITE ${LISTS}/uninstall_files.nsh "${remove}")
