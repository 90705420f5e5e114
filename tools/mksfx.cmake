# mksfx: builds an installer file (program + install.ini + install.zip + trailer) from a ready
# archive or from a folder, and checks or lists one; native and Windows.
if(TARGET authoring AND NOT QUENDA_FUZZ)
  add_executable(mksfx tools/mksfx.cpp)
  quenda_version_resource(mksfx "mksfx: baut die Installationsdatei eines Plugins")
  quenda_warnings(mksfx)
  target_link_libraries(mksfx PRIVATE authoring)
endif()
