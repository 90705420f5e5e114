# kuduunzip: the ZIP reader on the command line (list, test, extract). The library target
# has the same name, so the program's target is kuduunzip_tool.
if(TARGET kuduunzip AND NOT QUENDA_FUZZ)
  add_executable(kuduunzip_tool tools/kuduunzip.cpp)
  set_target_properties(kuduunzip_tool PROPERTIES OUTPUT_NAME kuduunzip)
  quenda_version_resource(kuduunzip_tool "kuduunzip: listet, testet und entpackt ZIP-Archive")
  quenda_warnings(kuduunzip_tool)
  target_link_libraries(kuduunzip_tool PRIVATE kuduunzip)
endif()
