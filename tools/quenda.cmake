# quenda: the command-line converter (native and Windows).
if(NOT QUENDA_FUZZ)
  add_executable(quenda tools/quenda.cpp)
  quenda_warnings(quenda)
  target_link_libraries(quenda PRIVATE quenda_convert)
  target_compile_definitions(quenda PRIVATE QUENDA_VERSION="${PROJECT_VERSION}")
endif()
