# Platform parts of a folder: <concept>_posix.cpp and <concept>_windows.cpp
# beside each other. Keeps the ones of the target platform in the list named
# by `sources_var`; the Windows files stay out of unity batches, so that
# <windows.h> and its macros do not reach the other files of a batch.
function(orx_keep_platform_sources sources_var)
  set(sources ${${sources_var}})
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
    set(windows_sources ${sources})
    list(FILTER windows_sources INCLUDE REGEX "_windows\\.cpp$")
    set_source_files_properties(${windows_sources} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  else()
    list(FILTER sources EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  set(${sources_var} ${sources} PARENT_SCOPE)
endfunction()
