# mksfx: builds an installer file (program + install.ini + install.zip + trailer) and lists
# one; native and Windows.
if(TARGET kuduunzip AND TARGET installer_core AND NOT QUENDA_FUZZ)
  add_executable(mksfx tools/mksfx.cpp)
  quenda_version_resource(mksfx "mksfx: baut die Installationsdatei eines Plugins")
  quenda_warnings(mksfx)
  target_link_libraries(mksfx PRIVATE installer_core kuduunzip)
endif()
