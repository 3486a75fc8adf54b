# Fails when any C++ source differs from what clang-format makes of it.
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE sources
    ${ROOT}/src/*.cpp ${ROOT}/src/*.h
    ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h
    ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h
    ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h
    ${ROOT}/fuzz/*.cpp ${ROOT}/fuzz/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "clang-format: the files above need formatting (clang-format -i)")
endif()
