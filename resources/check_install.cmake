# cmake -DBUILD_DIR=... -DPREFIX=... -DDATADIR=share -DBINDIR=bin -DWITH_PROGRAM=ON|OFF
#       -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  ${DATADIR}/applications/kestrel.desktop
  ${DATADIR}/mime/packages/kestrel.xml
  ${DATADIR}/icons/hicolor/scalable/apps/kestrel.svg)
if(WITH_PROGRAM)
  list(APPEND expected ${BINDIR}/kestrel)
endif()
foreach(size 16 24 32 48 64 128 256)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/kestrel.png)
endforeach()
foreach(path ${expected})
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The launcher must start the installed program, show the installed icon and
# claim the MIME type that the installed XML gives *.cln files.
file(READ ${PREFIX}/${DATADIR}/applications/kestrel.desktop desktop)
file(READ ${PREFIX}/${DATADIR}/mime/packages/kestrel.xml mime)
string(REGEX MATCH "\nExec=kestrel( |\n)" exec "${desktop}")
string(REGEX MATCH "\nIcon=kestrel\n" icon "${desktop}")
string(REGEX MATCH "\nMimeType=([^;\n]+);" claimed "${desktop}")
set(claimed_type "${CMAKE_MATCH_1}")
if(NOT exec OR NOT icon OR NOT claimed)
  message(FATAL_ERROR "kestrel.desktop lacks Exec=kestrel, Icon=kestrel or MimeType")
endif()
if(NOT mime MATCHES "type=\"${claimed_type}\"" OR NOT mime MATCHES "<glob pattern=\"\\*\\.cln\"/>")
  message(FATAL_ERROR "kestrel.xml does not define ${claimed_type} for *.cln")
endif()

find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} ${PREFIX}/${DATADIR}/applications/kestrel.desktop
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate rejects kestrel.desktop")
  endif()
endif()

# Where shared-mime-info is installed, its own tool must read the type.
find_program(update_mime update-mime-database)
if(update_mime)
  execute_process(COMMAND ${update_mime} ${PREFIX}/${DATADIR}/mime RESULT_VARIABLE result
                  OUTPUT_QUIET ERROR_QUIET)
  file(READ ${PREFIX}/${DATADIR}/mime/globs2 globs)
  if(NOT result EQUAL 0 OR NOT globs MATCHES "${claimed_type}:\\*\\.cln")
    message(FATAL_ERROR "update-mime-database does not give *.cln the type ${claimed_type}")
  endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
