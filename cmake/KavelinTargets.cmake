# Shared settings of every Kavelin target: strict warnings and explicit text
# conversions, so that no byte string turns into text without saying how.
function(kv_target_defaults target)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow=local
      -Wno-missing-field-initializers)
  endif()
endfunction()

# A library of the system: one folder, one target, tests beside it.
function(kv_add_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  kv_target_defaults(${target})
endfunction()

# A QtTest executable registered with ctest. Widgets run offscreen, and the
# tests never see the user's locale or configuration.
function(kv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  kv_target_defaults(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;KV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KV_STAGE_DIR=${KV_STAGE_DIR};KV_PRISTINE_STAGE_DIR=${KV_PRISTINE_STAGE_DIR}"
    TIMEOUT 300)
endfunction()

# A program of the product: it lives in the staged installation.
function(kv_add_program target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  kv_target_defaults(${target})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KV_STAGE_DIR}")
endfunction()
