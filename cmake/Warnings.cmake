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
