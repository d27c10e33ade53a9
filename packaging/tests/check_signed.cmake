# cmake -DSETTINGS=<package settings> -DPACKAGE_SCRIPT=<package.cmake> -DWORK=<scratch folder>
#       -DOPENSSL=<openssl> -DOSSLSIGNCODE=<osslsigncode> -DWINE=<Windows program runner>
#       -P check_signed.cmake: the package made with a throwaway code-signing certificate and
# dated by a time-stamp server on this machine (timestamp_server.py). The four programs, the
# installer and the uninstaller it writes each carry a signature that osslsigncode accepts
# against that certificate, with a time stamp it accepts against the server's, and so does the
# Windows Installer package; the signed installer still installs and uninstalls silently.
# Signs copies of the programs the build made, as a release does.
cmake_minimum_required(VERSION 3.25)
include(${SETTINGS})
foreach(tool OPENSSL OSSLSIGNCODE)
  if(NOT ${tool})
    message(FATAL_ERROR "No ${tool}: install Debian's openssl and osslsigncode (scripts/deps.sh).")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE output
                  RESULT_VARIABLE result WORKING_DIRECTORY "${WORK}")
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}):\n${output}")
  endif()
endfunction()

# The password in a file as a user keeps it, ending in a line end.
string(RANDOM LENGTH 20 secret)
file(WRITE "${WORK}/password" "${secret}\n")
set(ENV{NORVELL_TEST_PASSWORD} "${secret}")
run(${OPENSSL} req -x509 -newkey rsa:2048 -keyout key.pem -passout env:NORVELL_TEST_PASSWORD
    -out certificate.pem -days 2 -subj "/CN=Norvell test signer"
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning")
run(${OPENSSL} pkcs12 -export -inkey key.pem -passin env:NORVELL_TEST_PASSWORD
    -in certificate.pem -out signer.p12 -passout env:NORVELL_TEST_PASSWORD)

# The time-stamp server's own certificate, and what openssl needs to answer as one.
run(${OPENSSL} req -x509 -newkey rsa:2048 -nodes -keyout timestamps.key -out timestamps.pem
    -days 2 -subj "/CN=Norvell test time stamps"
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,timeStamping")
file(WRITE "${WORK}/timestamps.serial" "01\n")
file(WRITE "${WORK}/timestamps.cnf" "[tsa]
default_tsa = answers
[answers]
serial = ${WORK}/timestamps.serial
signer_cert = ${WORK}/timestamps.pem
signer_key = ${WORK}/timestamps.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
accuracy = secs:1
ess_cert_id_alg = sha256
")

set(ENV{NORVELL_SIGN_PKCS12} "${WORK}/signer.p12")
set(ENV{NORVELL_SIGN_PASSWORD_FILE} "${WORK}/password")
run(${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/timestamp_server.py ${OPENSSL} ${WORK}/timestamps.cnf
    ${CMAKE_COMMAND} -DSETTINGS=${SETTINGS} -DOUT=${WORK}/package -DWORK=${WORK}/staging
    -P ${PACKAGE_SCRIPT})

set(failures "")
function(expect_signed file)
  execute_process(COMMAND ${OSSLSIGNCODE} verify -CAfile "${WORK}/certificate.pem"
                          -TSA-CAfile "${WORK}/timestamps.pem" -in "${file}"
                  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE verified)
  if(NOT verified EQUAL 0)
    string(APPEND failures "\n${file} is not signed by the certificate:\n${output}")
  elseif(NOT output MATCHES "Timestamp Server Signature verification: ok")
    string(APPEND failures "\n${file} has no time stamp from the server:\n${output}")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

set(installer "${WORK}/package/${NAME}.exe")
expect_signed("${installer}")
expect_signed("${WORK}/package/${NAME}.msi")
file(MAKE_DIRECTORY "${WORK}/unpacked")
run(${CMAKE_COMMAND} -E chdir "${WORK}/unpacked" ${CMAKE_COMMAND} -E tar xf
    "${WORK}/package/${NAME}.zip")
set(programs Norvell.exe Brightwick.exe copyfle.com clrfle.com)
foreach(program ${programs})
  expect_signed("${WORK}/unpacked/${NAME}/${program}")
endforeach()

# /D= comes last, unquoted.
set(folder "${WORK}/installed")
string(REPLACE "/" "\\" windows_folder "Z:${folder}")
# Wine may run as another user than the one who runs the tests and made this folder: the
# installer for the current user must be able to write into the folder it is given.
file(MAKE_DIRECTORY "${folder}")
file(CHMOD "${folder}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_WRITE WORLD_EXECUTE)
run(${WINE} "${installer}" /S "/D=${windows_folder}")
expect_signed("${folder}/Uninstall.exe")
# The installer holds the very files of the ZIP.
foreach(program ${programs})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${folder}/${program}"
                          "${WORK}/unpacked/${NAME}/${program}" RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    string(APPEND failures "\nThe installed ${program} is not the ZIP's")
  endif()
endforeach()

# _?= runs the uninstaller where it is, not from a copy, so that it has finished when it ends.
run(${WINE} "${folder}/Uninstall.exe" /S "_?=${windows_folder}")
file(GLOB left RELATIVE "${folder}" "${folder}/*")
# The uninstaller that runs where it is cannot remove itself.
list(REMOVE_ITEM left Uninstall.exe)
if(left)
  string(APPEND failures "\nThe uninstaller left ${left}")
endif()

if(failures)
  message(FATAL_ERROR "The signed package fails:${failures}")
endif()
file(REMOVE_RECURSE "${WORK}")
