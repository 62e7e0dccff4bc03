# Shared helpers for the folders' CMakeLists.

set(VEMRO_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "VEMRO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "VEMRO_PROGRAM_DIR=${VEMRO_PROGRAM_DIR}")

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include/tests)
file(CREATE_LINK ${CMAKE_SOURCE_DIR}/tests ${CMAKE_BINARY_DIR}/include/tests/tests SYMBOLIC)

# vemro_add_test(NAME SOURCES... LIBS lib...)
# One QTest executable registered with CTest, run offscreen with the sanitizer settings.
function(vemro_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  # The tests' own helpers ("tests/..."); the program's folders come with the libraries linked.
  target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/include/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VEMRO_TEST_ENV}" TIMEOUT ${T_TIMEOUT})
  # These listen on the machine's module ports; a broadcast answer reaches whoever listens
  # there, so they take turns.
  if(name IN_LIST VEMRO_MODULE_PORT_TESTS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK module-ports)
  endif()
  # The longest tests start first, so that a parallel run ends together.
  if(name IN_LIST VEMRO_LONG_TESTS)
    set_tests_properties(${name} PROPERTIES COST 1000)
  endif()
endfunction()
set(VEMRO_MODULE_PORT_TESTS tst_roundtrip tst_cli_vxsim tst_vxsim_net tst_vxsim_process
    tst_link_vxsim tst_firmware_vxsim tst_window_vxsim)
set(VEMRO_LONG_TESTS tst_roundtrip tst_qmtest_cli tst_bootloader tst_keyboard_cli
    tst_qmprocedures tst_firmware_vxsim)

# vemro_add_fuzzer(NAME SOURCES... LIBS lib... SECONDS n [ARGS libFuzzer flags...])
# A libFuzzer harness; CTest runs it for a short fixed time over the committed seed corpus
# in fuzz/corpus/NAME (new inputs go to the build tree, never into the sources).
function(vemro_add_fuzzer name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT VEMRO_FUZZ)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 10)
  endif()
  add_executable(${name} ${F_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/fuzz/corpus-${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=4096 ${F_ARGS}
                   ${work} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VEMRO_TEST_ENV}" TIMEOUT 600 LABELS fuzz)
endfunction()

# vemro_library(NAME SOURCES... PUBLIC lib... PRIVATE lib...)  one static library per folder.
# PUBLIC: what the folder's headers include; PRIVATE: what only its sources use.
# The library exports its own folder and nothing else: "<folder>/X.h" is found through a link
# <build>/include/NAME/<folder> to the folder, so a target reaches a folder's headers only by
# linking that folder's library (directly, or through a library whose headers include them).
function(vemro_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(exported ${CMAKE_BINARY_DIR}/include/${name})
  get_filename_component(parent ${exported}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${exported}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${exported})
  target_link_libraries(${name} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
endfunction()

# Core libraries must stay free of Widgets: they are shared with vemro-cli and vxsim's core.
function(vemro_core_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  foreach(lib ${L_PUBLIC} ${L_PRIVATE})
    if(lib MATCHES "Widgets|PrintSupport")
      message(FATAL_ERROR "${name} is a core library and must not link ${lib}")
    endif()
    if(TARGET ${lib})
      get_target_property(widgetlib ${lib} VEMRO_USES_WIDGETS)
      if(widgetlib)
        message(FATAL_ERROR "${name} is a core library and must not link the Widgets library ${lib}")
      endif()
    endif()
  endforeach()
  vemro_library(${name} SOURCES ${L_SOURCES} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
endfunction()

function(vemro_widgets_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  vemro_library(${name} SOURCES ${L_SOURCES} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
  set_target_properties(${name} PROPERTIES VEMRO_USES_WIDGETS TRUE)
endfunction()
