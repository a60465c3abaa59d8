# Signs release files with Authenticode, at build time: run as
#   cmake -DFILES="a.exe|b.dll" [-DWHAT=name] [-DQUIET=1] -P cmake/Sign.cmake
# when the environment names a certificate:
#   VORLUND_SIGN_PKCS12          path of a PKCS#12 file (certificate and private key)
#   VORLUND_SIGN_PASSWORD_FILE   path of a file holding its password (never on a command line)
#   VORLUND_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamping service
# Each file is signed in place with a SHA-256 digest (and a time stamp when a URL is given):
# with osslsigncode on Linux, with PowerShell's Set-AuthenticodeSignature on Windows (which
# reads the password from the file itself; signtool would take it only on its command line).
# Without a certificate nothing is signed and one line says so (none with QUIET).
# A signing that fails fails the build: a release is never half signed.
if(NOT DEFINED ENV{VORLUND_SIGN_PKCS12} OR "$ENV{VORLUND_SIGN_PKCS12}" STREQUAL "")
  if(NOT QUIET)
    message(STATUS "${WHAT}: not signed (no certificate given; set VORLUND_SIGN_PKCS12 and VORLUND_SIGN_PASSWORD_FILE to sign)")
  endif()
  return()
endif()
set(pkcs12 "$ENV{VORLUND_SIGN_PKCS12}")
set(password_file "$ENV{VORLUND_SIGN_PASSWORD_FILE}")
set(timestamp "$ENV{VORLUND_SIGN_TIMESTAMP_URL}")
if(NOT EXISTS "${pkcs12}" OR password_file STREQUAL "" OR NOT EXISTS "${password_file}")
  message(FATAL_ERROR "signing: VORLUND_SIGN_PKCS12 and VORLUND_SIGN_PASSWORD_FILE must name existing files")
endif()

if(CMAKE_HOST_WIN32)
  find_program(powershell NAMES pwsh powershell REQUIRED)
else()
  find_program(osslsigncode osslsigncode)
  if(NOT osslsigncode)
    message(FATAL_ERROR "signing: osslsigncode not found (Debian: osslsigncode)")
  endif()
endif()

# "|" between the files: a list's ";" does not survive a build tool's command line.
string(REPLACE "|" ";" files "${FILES}")
foreach(file IN LISTS files)
  if(CMAKE_HOST_WIN32)
    set(stamp "")
    if(NOT timestamp STREQUAL "")
      set(stamp "-TimestampServer $env:VORLUND_SIGN_TIMESTAMP_URL")
    endif()
    execute_process(
      COMMAND ${powershell} -NoProfile -NonInteractive -Command
        "$p = (Get-Content -Raw -LiteralPath $env:VORLUND_SIGN_PASSWORD_FILE).TrimEnd(); $c = New-Object System.Security.Cryptography.X509Certificates.X509Certificate2($env:VORLUND_SIGN_PKCS12, $p); $r = Set-AuthenticodeSignature -LiteralPath '${file}' -Certificate $c -HashAlgorithm SHA256 ${stamp}; if (-not $r.SignerCertificate) { exit 1 }"
      RESULT_VARIABLE result)
  else()
    set(stamp)
    if(NOT timestamp STREQUAL "")
      set(stamp -ts ${timestamp})
    endif()
    file(REMOVE ${file}.signed)
    execute_process(
      COMMAND ${osslsigncode} sign -pkcs12 ${pkcs12} -readpass ${password_file} -h sha256 ${stamp}
              -n Vorlund -in ${file} -out ${file}.signed
      RESULT_VARIABLE result OUTPUT_QUIET)
    if(result EQUAL 0)
      file(RENAME ${file}.signed ${file})
    else()
      file(REMOVE ${file}.signed)
    endif()
  endif()
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "signing ${file} failed")
  endif()
  message(STATUS "signed ${file}")
endforeach()
