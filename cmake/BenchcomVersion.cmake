# benchcom_version_source(TARGET VERSION): adds the definition of
# bc::version() (platform/version.h) to TARGET, written at every build by
# write_version.cmake so that the git description stays current.
function(benchcom_version_source target version)
  get_filename_component(root "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/generated/version.cpp")
  add_custom_target(${target}_version
    COMMAND "${CMAKE_COMMAND}" -DVERSION=${version} -DSOURCE_DIR=${root} -DOUTPUT=${out}
      -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/write_version.cmake"
    BYPRODUCTS "${out}"
    COMMENT "Version of the checkout"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
  add_dependencies(${target} ${target}_version)
endfunction()
