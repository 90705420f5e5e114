# quenda: the command-line converter (native and Windows); its logic lives in site/.
if(NOT QUENDA_FUZZ)
  add_executable(quenda tools/quenda.cpp)
  quenda_version_resource(quenda "quenda: wandelt HTML 4 in XHTML 1.0 um (Kommandozeile)")
  quenda_warnings(quenda)
  target_link_libraries(quenda PRIVATE quenda_site)
  target_compile_definitions(quenda PRIVATE QUENDA_VERSION="${PROJECT_VERSION}")
endif()
