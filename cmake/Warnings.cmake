# Warnings on for every target of the project; as errors only when CORELITH_WERROR is on
# (our CI and tools/test.sh), never in a user's own build.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
  if(CORELITH_WERROR)
    add_compile_options(-Werror)
  endif()
elseif(MSVC)
  add_compile_options(/W4)
  if(CORELITH_WERROR)
    add_compile_options(/WX)
  endif()
endif()

# Implicit conversions that may change a value. On for the folders that ask for it with
# corelith_conversion_warnings() (a macro, so it applies to the calling folder's targets).
macro(corelith_conversion_warnings)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-Wconversion)
  endif()
endmacro()
