# Header-only packages for a cross build: the build host's nlohmann-json and
# CLI11 are usable as they are, but their own package files would put the
# host's /usr/include on the target compiler's path. Copy the headers into the
# build tree and describe them with a minimal package file beside the host's
# own version file.
set(orx_cross_packages ${CMAKE_BINARY_DIR}/cross-packages)

function(orx_cross_header_package package header_dir target)
  find_file(orx_${package}_version_file ${package}ConfigVersion.cmake
            PATHS /usr/share/cmake/${package} /usr/lib/cmake/${package}
            NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  if(NOT EXISTS /usr/include/${header_dir} OR NOT orx_${package}_version_file)
    return()
  endif()
  file(COPY /usr/include/${header_dir} DESTINATION ${orx_cross_packages}/include)
  set(config_dir ${orx_cross_packages}/${package})
  file(COPY ${orx_${package}_version_file} DESTINATION ${config_dir})
  file(WRITE ${config_dir}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${orx_cross_packages}/include)\n"
       "endif()\n")
  set(${package}_DIR ${config_dir} CACHE PATH "" FORCE)
endfunction()

orx_cross_header_package(nlohmann_json nlohmann nlohmann_json::nlohmann_json)
orx_cross_header_package(CLI11 CLI CLI11::CLI11)
