# cmake -DSETTINGS=<file> -DSTAGE=<folder> -DMSI=<file> -DWORK=<folder> [-DPATCH=<number>]
#       -P msi.cmake: the Windows Installer package MSI of the files in STAGE (the programs as
# they ship), made with wixl from msi/Norvell.wxs.in. WORK is scratch space, emptied first.
# PATCH stands for the version's third number, for the tests' "newer" package.
#
# The same files give the same package: the files are taken in the order of their names and
# dated by the release in the package's cabinet, the package code is made from the version,
# the commit and the files' hashes, and the summary information is dated by the release
# (msi_summary.py), where wixl would take the moment it runs and a random package code.
cmake_minimum_required(VERSION 3.25)
include(${SETTINGS})
include(${CMAKE_CURRENT_LIST_DIR}/msi/codes.cmake)
if(NOT WIXL)
  message(FATAL_ERROR "The MSI package needs wixl (Debian's package of that name, from "
                      "msitools); install it (scripts/deps.sh) and configure the build again.")
endif()
if(DEFINED PATCH)
  set(CPACK_PACKAGE_VERSION_PATCH ${PATCH})
endif()
# Windows Installer compares the first three numbers of a version.
set(MSI_VERSION ${CPACK_PACKAGE_VERSION_MAJOR}.${CPACK_PACKAGE_VERSION_MINOR}.${CPACK_PACKAGE_VERSION_PATCH})
norvell_msi_product_code(PRODUCT_CODE ${MSI_VERSION} ${COMMIT})
set(UPGRADE_CODE ${NORVELL_MSI_UPGRADE_CODE})

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/files)
file(GLOB shipped RELATIVE ${STAGE} ${STAGE}/*)
list(SORT shipped)
set(COMPONENTS "")
set(COMPONENT_REFS "")
set(hashes "")
foreach(file ${shipped})
  file(COPY_FILE ${STAGE}/${file} ${WORK}/files/${file})
  file(SHA256 ${WORK}/files/${file} hash)
  string(APPEND hashes "${hash} ${file}\n")
  # A file's component keeps its code from version to version: it is the same file in the
  # same place.
  string(UUID guid NAMESPACE 34731AC9-006F-4E3C-8122-2425624DA179 NAME "Norvell file ${file}"
         TYPE SHA1 UPPER)
  string(APPEND COMPONENTS
         "          <Component Id=\"${file}\" Guid=\"${guid}\">\n"
         "            <File Id=\"${file}\" Source=\"files/${file}\" KeyPath=\"yes\"/>\n")
  if(file STREQUAL "Norvell.exe")
    # Norvell keeps the schedule in its working folder: the entry starts it in the shared one.
    string(APPEND COMPONENTS
           "            <Shortcut Id=\"StartMenuEntry\" Directory=\"ProgramMenuFolder\" "
           "Name=\"Norvell\" Target=\"[INSTALLDIR]Norvell.exe\" WorkingDirectory=\"SHAREDFOLDER\" "
           "Description=\"Choose the programs that start when anyone logs on\"/>\n")
  endif()
  string(APPEND COMPONENTS "          </Component>\n")
  string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"${file}\"/>\n")
endforeach()
string(SHA256 contents "${hashes}")
string(UUID PACKAGE_CODE NAMESPACE 34731AC9-006F-4E3C-8122-2425624DA179
       NAME "Norvell PackageCode ${MSI_VERSION} ${COMMIT} ${contents}" TYPE SHA1 UPPER)
# The cabinet dates each file by its time.
execute_process(COMMAND ${PYTHON} -c
                "import os, sys; [os.utime(f, (int(sys.argv[1]),) * 2) for f in sys.argv[2:]]"
                ${EPOCH} ${shipped} WORKING_DIRECTORY ${WORK}/files COMMAND_ERROR_IS_FATAL ANY)
# wixl finds files by paths relative to its working folder only.
file(COPY_FILE ${ACTIONS} ${WORK}/setup_actions.dll)
set(ACTIONS setup_actions.dll)
file(COPY_FILE ${CPACK_NSIS_MUI_ICON} ${WORK}/norvell.ico)
set(ICON norvell.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/msi/Norvell.wxs.in ${WORK}/Norvell.wxs @ONLY)
execute_process(COMMAND ${WIXL} -a x64 -o ${WORK}/package.msi Norvell.wxs
                WORKING_DIRECTORY ${WORK}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "wixl failed:\n${output}")
endif()
# SCHEDULE reaches the installation's steps from the command line of a user who is no
# administrator too, when policy lets that user install elevated; wixl lists only its own.
# wixl makes every action that is not deferred an immediate one: the rollback action's type is
# set here (1 a function of a DLL in the package, 0x40 its result ignored, 0x100 rollback,
# 0x400 in the script, 0x800 without impersonation).
get_filename_component(tools ${WIXL} DIRECTORY)
execute_process(COMMAND ${tools}/msibuild ${WORK}/package.msi -q
                        "UPDATE `Property` SET `Value` = 'SCHEDULE;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${tools}/msibuild ${WORK}/package.msi -q
                        "UPDATE `CustomAction` SET `Type` = 3393 WHERE `Action` = 'UndoSharedFolder'"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/msi_summary.py ${WORK}/package.msi
                        ${EPOCH} "{${PACKAGE_CODE}}" COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${WORK}/package.msi ${MSI})
message(STATUS "${MSI}: ProductCode ${PRODUCT_CODE}")
