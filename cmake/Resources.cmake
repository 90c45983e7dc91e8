# The UI resource archive: res/archive/ packed by tools/packres.py into a ZIP
# whose entries are deflated and encrypted, embedded in the exe as RCDATA
# "PT_RESOURCES" and read back from memory by toolkit/resource_archive.cpp.
#
# PT_RES_PASSWORD is the archive password, written only here: the packer gets
# it on its command line and the reader as a compile definition. It keeps the
# packed files from being casual reading, nothing more; it is no secret.

set(PT_RES_PASSWORD "Rw4nPk7Zt")
set(PT_RES_SOURCE ${PT_ROOT}/res/archive)

# The reader and its test are defined in later folders; wire them up once the
# whole tree has been read, so the password and path stay in this file.
function(pt_wire_resources)
  if(TARGET pt_toolkit)
    set_source_files_properties(${PT_ROOT}/src/toolkit/resource_archive.cpp
      DIRECTORY ${PT_ROOT}/src/toolkit
      PROPERTIES COMPILE_DEFINITIONS "PT_RES_PASSWORD=\"${PT_RES_PASSWORD}\"")
  endif()
  # The pure reader's tests also open the packed archive (natively too), so a
  # packer and a reader that disagree fail in every build.
  if(TARGET test_base AND TARGET pt_resources_zip)
    set_source_files_properties(${PT_ROOT}/tests/base/zip_reader_test.cpp
      DIRECTORY ${PT_ROOT}/tests/base
      PROPERTIES COMPILE_DEFINITIONS
        "PT_RESOURCES_ZIP_PATH=\"${PT_RESOURCES_ZIP}\";PT_RES_PASSWORD=\"${PT_RES_PASSWORD}\"")
    add_dependencies(test_base pt_resources_zip)
  endif()
  if(TARGET test_toolkit AND TARGET pt_resources_zip)
    set_source_files_properties(${PT_ROOT}/tests/toolkit/resource_archive_wintest.cpp
      DIRECTORY ${PT_ROOT}/tests/toolkit
      PROPERTIES COMPILE_DEFINITIONS "PT_RESOURCES_ZIP_PATH=\"${PT_RESOURCES_ZIP}\"")
    add_dependencies(test_toolkit pt_resources_zip)
  endif()
endfunction()
cmake_language(DEFER CALL pt_wire_resources)

find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND OR NOT EXISTS ${PT_RES_SOURCE})
  message(WARNING "No Python 3 or no res/archive: the exe is built without its UI resources")
  unset(PT_RESOURCES_ZIP CACHE)
  return()
endif()

file(GLOB_RECURSE PT_RES_FILES CONFIGURE_DEPENDS ${PT_RES_SOURCE}/*)
set(PT_RESOURCES_ZIP ${CMAKE_BINARY_DIR}/res/resources.zip CACHE INTERNAL "The packed UI resources")
add_custom_command(
  OUTPUT ${PT_RESOURCES_ZIP}
  COMMAND ${Python3_EXECUTABLE} ${PT_ROOT}/tools/packres.py --password ${PT_RES_PASSWORD}
          --source ${PT_RES_SOURCE} --output ${PT_RESOURCES_ZIP}
  DEPENDS ${PT_RES_FILES} ${PT_ROOT}/tools/packres.py
  COMMENT "Packing the UI resources"
  VERBATIM)
add_custom_target(pt_resources_zip DEPENDS ${PT_RESOURCES_ZIP})
