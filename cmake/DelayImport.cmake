# System DLLs that are not known DLLs (gdiplus, winmm, comctl32, bcrypt, wininet, oleacc) are
# delay-loaded: the loader would otherwise look for them beside the program first, before the
# program's first line could restrict the search (see clock/main_win.cpp). The delay-import
# libraries are made once, at configure time, from MinGW's import libraries.
get_filename_component(_chime_tool_dir "${CMAKE_C_COMPILER}" DIRECTORY)
string(REGEX REPLACE "-gcc(-posix)?$" "" _chime_triplet "${CMAKE_C_COMPILER}")
get_filename_component(_chime_triplet "${_chime_triplet}" NAME)
find_program(CHIME_NM ${_chime_triplet}-nm REQUIRED)
find_program(CHIME_DLLTOOL ${_chime_triplet}-dlltool REQUIRED)

# delay_import_library(NAME DLL): defines the library target delay_NAME that links NAME's functions
# as delay imports of DLL.
function(delay_import_library name dll)
  find_library(_import_lib_${name} NAMES lib${name}.a REQUIRED)
  set(out "${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bits 64)
  else()
    set(bits 32)
  endif()
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/delay")
  execute_process(COMMAND sh "${CMAKE_SOURCE_DIR}/cmake/delay_import.sh" "${CHIME_NM}" "${CHIME_DLLTOOL}"
                          "${_import_lib_${name}}" "${dll}" "${out}" ${bits}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not make the delay-import library of ${dll}")
  endif()
  add_library(delay_${name} STATIC IMPORTED GLOBAL)
  set_target_properties(delay_${name} PROPERTIES IMPORTED_LOCATION "${out}")
endfunction()
