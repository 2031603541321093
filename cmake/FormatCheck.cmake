# Runs clang-format over our own sources: checks (default) or fixes (-DFIX=ON).
file(GLOB_RECURSE sources
  ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/platform/*.h
  ${SOURCE_DIR}/orlo/*.cpp ${SOURCE_DIR}/orlo/*.h
  ${SOURCE_DIR}/voltaro/*.cpp ${SOURCE_DIR}/voltaro/*.h
  ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
  ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h)
if(NOT sources)
  return()
endif()
if(FIX)
  execute_process(COMMAND ${CLANG_FORMAT} -i ${sources} RESULT_VARIABLE rc)
else()
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources} RESULT_VARIABLE rc)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "clang-format found badly formatted files (run: cmake --build <dir> --target format)")
endif()
