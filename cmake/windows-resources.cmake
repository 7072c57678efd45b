# rivovuz_windows_resources(target "description"): gives a Windows executable the
# project's version resource and application manifest (packaging/).
function(rivovuz_windows_resources target file_description)
  if(NOT WIN32)
    return()
  endif()
  set(internal_name ${target})
  set(file_name ${target}.exe)
  set(manifest ${PROJECT_SOURCE_DIR}/packaging/rivovuz.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/version.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
  if(MSVC)
    # The linker would otherwise add a manifest of its own as the same resource.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
