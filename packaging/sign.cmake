# cmake -DFILE=<program> -DOSSLSIGNCODE=<osslsigncode> -DDESCRIPTION=<name> -P sign.cmake:
# signs FILE in place (Authenticode, SHA-256) with the code-signing certificate and key of the
# PKCS#12 file that NORVELL_SIGN_PKCS12 names. Its password is read from the file that
# NORVELL_SIGN_PASSWORD_FILE names, so that it never shows on a command line; without that
# variable the PKCS#12 file has none. With NORVELL_SIGN_TIMESTAMP_URL, a time-stamp server
# (RFC 3161) at that address dates the signature, which then stays valid after the
# certificate expires. DESCRIPTION is the name Windows shows for the signed program.
# The package script runs it for the programs, and makensis for the uninstaller and the
# installer.
cmake_minimum_required(VERSION 3.25)
set(command ${OSSLSIGNCODE} sign -pkcs12 $ENV{NORVELL_SIGN_PKCS12} -h sha256 -n ${DESCRIPTION})
if(NOT "$ENV{NORVELL_SIGN_PASSWORD_FILE}" STREQUAL "")
  list(APPEND command -readpass $ENV{NORVELL_SIGN_PASSWORD_FILE})
endif()
if(NOT "$ENV{NORVELL_SIGN_TIMESTAMP_URL}" STREQUAL "")
  list(APPEND command -ts $ENV{NORVELL_SIGN_TIMESTAMP_URL})
endif()
# osslsigncode writes a new file; the signed one replaces the original only once complete.
file(REMOVE "${FILE}.signed")
execute_process(COMMAND ${command} -in ${FILE} -out ${FILE}.signed
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE signed)
if(NOT signed EQUAL 0)
  file(REMOVE "${FILE}.signed")
  message(FATAL_ERROR "${FILE} could not be signed:\n${output}")
endif()
file(RENAME "${FILE}.signed" "${FILE}")
