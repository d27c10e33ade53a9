# cmake -DSETTINGS=<file> -DOUT=<folder> -DWORK=<folder> -P package.cmake: the release package
# of the shippable folder, in OUT: the ZIP <name>.zip, the installer <name>.exe and the Windows
# Installer package <name>.msi (msi.cmake), each with a .sha256 beside it, and SHA256SUMS for
# all three. WORK is scratch space, emptied first; SETTINGS
# (written when the build is configured) names the folders, tools and values used here.
#
# The same files give the same package whoever makes it, wherever and whenever: the files are
# taken in the order of their names, the ZIP dates them all by the release (write_zip.py) and
# the installer stores no file times.
#
# When NORVELL_SIGN_PKCS12 names a PKCS#12 file, the release is signed (sign.cmake): the
# programs, in a copy of the shippable folder that the ZIP and the installer are then made of,
# the uninstaller before makensis puts it into the installer, the installer, and the MSI. The
# build
# has stripped the programs already, and their debug links keep the CRC of their debug files,
# which signing leaves alone. The hashes come last, over the signed files.
cmake_minimum_required(VERSION 3.25)
include(${SETTINGS})

set(stage ${WORK}/${NAME})
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${stage} ${OUT})
set(released ${NAME}.zip ${NAME}.exe ${NAME}.msi)
foreach(file ${released})
  file(REMOVE ${OUT}/${file} ${OUT}/${file}.sha256)
endforeach()
file(REMOVE ${OUT}/SHA256SUMS)

file(GLOB shipped LIST_DIRECTORIES true RELATIVE ${DIST} ${DIST}/*)
list(SORT shipped)
foreach(file ${shipped})
  if(IS_DIRECTORY ${DIST}/${file})
    message(FATAL_ERROR "${DIST}/${file} is a folder: the package takes the files beside "
                        "the programs only.")
  endif()
  file(COPY_FILE ${DIST}/${file} ${stage}/${file})
endforeach()

# Each file is named by its full path: the build and makensis run the signing in folders of
# their own.
foreach(variable NORVELL_SIGN_PKCS12 NORVELL_SIGN_PASSWORD_FILE)
  set(file "$ENV{${variable}}")
  if(file AND NOT IS_ABSOLUTE "${file}")
    message(FATAL_ERROR "${variable} is ${file}: name the file by its full path.")
  elseif(file AND NOT EXISTS "${file}")
    message(FATAL_ERROR "${variable} names ${file}, which does not exist.")
  endif()
endforeach()
set(certificate "$ENV{NORVELL_SIGN_PKCS12}")
if(certificate)
  if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (Debian's package of that name); "
                        "install it and configure the build again.")
  endif()
  set(sign -DOSSLSIGNCODE=${OSSLSIGNCODE} "-DDESCRIPTION=${CPACK_NSIS_PACKAGE_NAME}"
           -P ${SIGN_SCRIPT})
  foreach(file ${shipped})
    if(file MATCHES "\\.(exe|com)$")
      execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${stage}/${file} ${sign}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endforeach()
  set(sign_msi ${sign})
  # makensis runs it through the shell, with %1 for the file to sign.
  list(TRANSFORM sign PREPEND "\"")
  list(TRANSFORM sign APPEND "\"")
  list(JOIN sign " " sign)
  set(nsis_signing "-DSIGN_COMMAND=\"${CMAKE_COMMAND}\" \"-DFILE=%1\" ${sign}")
  message(STATUS "Signing the release with ${certificate}")
else()
  set(nsis_signing)
  message(STATUS "The release is not signed: NORVELL_SIGN_PKCS12 names no certificate.")
endif()

execute_process(COMMAND ${PYTHON} ${WRITE_ZIP} ${WORK}/${NAME}.zip ${EPOCH} ${stage}
                COMMAND_ERROR_IS_FATAL ANY)

# The installer's template, filled in as CPack's NSIS generator fills one in, with the files
# named one by one in the order of their names.
set(CPACK_TEMPORARY_DIRECTORY ${stage})
set(CPACK_TOPLEVEL_DIRECTORY ${WORK})
set(CPACK_OUTPUT_FILE_NAME ${NAME}.exe)
set(install)
set(delete)
foreach(file ${shipped})
  list(APPEND install "File \"\${INST_DIR}\\${file}\"")
  list(APPEND delete "  Delete \"\$INSTDIR\\${file}\"")
endforeach()
list(JOIN install "\n  " CPACK_NSIS_FULL_INSTALL)
list(JOIN delete "\n" CPACK_NSIS_DELETE_FILES)
set(CPACK_NSIS_DELETE_DIRECTORIES "")
configure_file(${TEMPLATE} ${WORK}/${NAME}.nsi @ONLY)
execute_process(COMMAND ${MAKENSIS} -V2 ${nsis_signing} ${WORK}/${NAME}.nsi
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "makensis failed:\n${output}")
endif()

# Of the same files as the ZIP and the installer, signed ones when signing.
execute_process(COMMAND ${CMAKE_COMMAND} -DSETTINGS=${SETTINGS} -DSTAGE=${stage}
                        -DMSI=${WORK}/${NAME}.msi -DWORK=${WORK}/msi -P ${MSI_SCRIPT}
                COMMAND_ERROR_IS_FATAL ANY)
if(certificate)
  execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${WORK}/${NAME}.msi ${sign_msi}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

set(sums "")
foreach(file ${released})
  file(SHA256 ${WORK}/${file} hash)
  file(WRITE ${WORK}/${file}.sha256 "${hash}  ${file}\n")
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE ${WORK}/SHA256SUMS "${sums}")
foreach(file ${released})
  file(COPY_FILE ${WORK}/${file} ${OUT}/${file})
  file(COPY_FILE ${WORK}/${file}.sha256 ${OUT}/${file}.sha256)
endforeach()
file(COPY_FILE ${WORK}/SHA256SUMS ${OUT}/SHA256SUMS)
message(STATUS "Packaged in ${OUT}: ${NAME}.zip, ${NAME}.exe, ${NAME}.msi, their .sha256 and "
               "SHA256SUMS")
