# Every target of the project compiles with warnings as errors.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Werror)
elseif(MSVC)
  add_compile_options(/W4 /WX)
endif()
