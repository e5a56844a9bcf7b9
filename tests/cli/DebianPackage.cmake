# Runs `cpack -G DEB` on the build (-DCPACK_CONFIG=...) into WORK_DIR and checks the package: the
# editor with its desktop entry, icons, file type and software-centre description, quarn-bsl
# beside it, the dependencies, and nothing of the tests.

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${CPACK}" -G DEB --config "${CPACK_CONFIG}" -B "${WORK_DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result}):\n${output}")
endif()

file(GLOB packages "${WORK_DIR}/*.deb")
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${WORK_DIR}, found: ${packages}")
endif()
get_filename_component(package_name "${packages}" NAME)
if(NOT package_name MATCHES "^quarn-xp_${VERSION}_[a-z0-9]+\\.deb$")
  message(FATAL_ERROR "unexpected package file name: ${package_name}")
endif()

# dpkg-deb <action> <package> [field]
function(dpkg_deb out action)
  execute_process(COMMAND dpkg-deb ${action} "${packages}" ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb ${action} ${ARGN} failed (${result}): ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(failures "")

# Contents: one line per entry, the path last, e.g. "-rwxr-xr-x root/root ... ./usr/bin/quarn-xp".
dpkg_deb(contents -c)
set(expected_files
    ./usr/bin/quarn-xp
    ./usr/bin/quarn-bsl
    ./usr/share/applications/quarn-xp.desktop
    ./usr/share/mime/packages/quarn-xp.xml
    ./usr/share/metainfo/org.example.vesk.quarn_xp.metainfo.xml
    ./usr/share/doc/quarn-xp/copyright
    ./usr/share/icons/hicolor/scalable/apps/quarn-xp.svg)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND expected_files ./usr/share/icons/hicolor/${size}x${size}/apps/quarn-xp.png)
endforeach()
foreach(path IN LISTS expected_files)
  string(FIND "${contents}" " ${path}\n" at)
  if(at EQUAL -1)
    string(APPEND failures "missing ${path}\n")
  endif()
endforeach()
foreach(program quarn-xp quarn-bsl)
  if(NOT contents MATCHES "-rwxr-xr-x[^\n]* \\./usr/bin/${program}\n")
    string(APPEND failures "./usr/bin/${program} is not an executable for everyone\n")
  endif()
endforeach()

# Nothing else is a file: no test, benchmark, build tool or library.
string(REGEX MATCHALL " \\./[^\n]*[^/]\n" entries "${contents}")
foreach(entry IN LISTS entries)
  string(STRIP "${entry}" path)
  list(FIND expected_files "${path}" known)
  if(known EQUAL -1)
    string(APPEND failures "unexpected entry ${path}\n")
  endif()
endforeach()

# Control fields.
dpkg_deb(name -f Package)
dpkg_deb(version -f Version)
dpkg_deb(maintainer -f Maintainer)
dpkg_deb(section -f Section)
dpkg_deb(depends -f Depends)
if(NOT name STREQUAL "quarn-xp\n")
  string(APPEND failures "Package: ${name}\n")
endif()
if(NOT version STREQUAL "${VERSION}\n")
  string(APPEND failures "Version: ${version}\n")
endif()
if(NOT maintainer MATCHES "<[^>@]+@[^>]+>")
  string(APPEND failures "Maintainer without an address: ${maintainer}\n")
endif()
if(section STREQUAL "\n")
  string(APPEND failures "no Section\n")
endif()
foreach(library libqscintilla2-qt6 libqt6widgets6 libqt6gui6 libqt6core6)
  if(NOT depends MATCHES "(^|[ ,])${library}")
    string(APPEND failures "Depends lacks ${library}: ${depends}\n")
  endif()
endforeach()

# dpkg's triggers update the MIME and desktop databases; the package runs no scripts of its own.
dpkg_deb(info -I)
foreach(script preinst postinst prerm postrm)
  if(info MATCHES "[ \n]${script}[ \n]")
    string(APPEND failures "has a ${script} script\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${package_name}:\n${failures}\nContents:\n${contents}")
endif()
message(STATUS "${package_name} holds the programs and nothing else")
