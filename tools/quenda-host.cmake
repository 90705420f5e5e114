# quenda-host: the minimal host editor that loads a plug-in DLL (Windows only).
if(WIN32 AND NOT QUENDA_FUZZ)
  add_executable(quenda-host tools/quenda-host.cpp)
  quenda_version_resource(quenda-host "quenda-host: ein kleiner Editor, der Plugins aufruft")
  quenda_warnings(quenda-host)
  target_link_libraries(quenda-host PRIVATE quenda_platform user32)
  set_target_properties(quenda-host PROPERTIES WIN32_EXECUTABLE OFF)
endif()
