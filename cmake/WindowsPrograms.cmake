# Windows programs: their resources and their wide entry point.

# corelith_windows_resources(<target> <description>): the program icon, the manifest and
# the version information (from project(VERSION), the one place of the version) as a
# Windows resource of <target>. Does nothing outside Windows.
function(corelith_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(CORELITH_RESOURCE_DIR ${PROJECT_SOURCE_DIR}/platform/win32/resources)
  get_target_property(CORELITH_PROGRAM_NAME ${target} OUTPUT_NAME)
  if(NOT CORELITH_PROGRAM_NAME)
    set(CORELITH_PROGRAM_NAME ${target})
  endif()
  set(CORELITH_PROGRAM_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  configure_file(${CORELITH_RESOURCE_DIR}/program.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS
    "${CORELITH_RESOURCE_DIR}/corelith.ico;${CORELITH_RESOURCE_DIR}/corelith.manifest")
  target_sources(${target} PRIVATE ${rc})
endfunction()

# corelith_wide_main(<target>): on Windows the program's entry point is wmain, which gets
# the arguments in UTF-16 (the narrow argv is in the ANSI code page and loses names
# outside it). Does nothing elsewhere.
function(corelith_wide_main target)
  if(MINGW) # MSVC finds wmain by itself
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
