# zorvane_library(<area> [LIBS ...]): one static library per source area, made of
# every .cpp/.h/.qrc in the area's folder except main.cpp; headers are included as "<area>/X.h".
function(zorvane_library area)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  # main.cpp belongs to the area's executable, never to its library.
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  add_library(zorvane_${area} STATIC ${srcs})
  target_include_directories(zorvane_${area} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(zorvane_${area} PUBLIC ${A_LIBS})
endfunction()

# zorvane_test(<name> SOURCES ... LIBS ... [ENVIRONMENT ...] [TIMEOUT s] [LABELS ...]):
# a QtTest suite run offscreen by CTest from the program's folder.
function(zorvane_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${A_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  # A private runtime folder, as a desktop session has one.
  set(runtime ${PROJECT_BINARY_DIR}/runtime)
  file(MAKE_DIRECTORY ${runtime})
  file(CHMOD ${runtime} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${runtime};ZORVANE_BIN_DIR=${ZORVANE_BIN_DIR};${A_ENVIRONMENT}")
  if(A_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}")
  endif()
endfunction()
