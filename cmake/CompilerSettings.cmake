# Warnings everywhere (errors under CI=true), static C/C++ runtime for the Windows programs,
# sanitizers on request.
if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
endif()

if("$ENV{CI}" STREQUAL "true")
  if(MSVC)
    add_compile_options(/WX)
  else()
    add_compile_options(-Werror)
  endif()
endif()

if(WIN32)
  # Every Windows compiler: wide-character Win32 functions, no min/max macros, Windows 7 and later.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # The .exe files must start on a Windows without the compiler's runtime DLLs.
  if(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endif()

if(CHIME_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
