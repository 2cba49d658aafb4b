# Compiles the probe sources (syntax only) with a target's include folders and
# definitions. EXPECT_OK probes must compile; EXPECT_MISSING probes must fail,
# and fail because their include is not found, not for any other reason.
#   -DCXX=compiler -DSTD=-std=c++20 -DINCLUDES=a|b -DDEFINES=X|Y
#   -DPROBES=folder -DEXPECT_OK=p1|p2 -DEXPECT_MISSING=p3|p4 -DWHAT=target
string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" defines "${DEFINES}")
string(REPLACE "|" ";" expect_ok "${EXPECT_OK}")
string(REPLACE "|" ";" expect_missing "${EXPECT_MISSING}")
set(flags ${STD} -fsyntax-only)
foreach(dir IN LISTS includes)
  list(APPEND flags "-I${dir}")
endforeach()
foreach(def IN LISTS defines)
  list(APPEND flags "-D${def}")
endforeach()

function(compile probe result_var output_var)
  execute_process(COMMAND ${CXX} ${flags} -c ${PROBES}/${probe}.cpp
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${out}" PARENT_SCOPE)
endfunction()

set(failures 0)
foreach(probe IN LISTS expect_ok)
  compile(${probe} result out)
  if(result EQUAL 0)
    message(STATUS "${WHAT}: ${probe} compiles, as it must")
  else()
    message(SEND_ERROR "${WHAT}: ${probe} must compile but does not:\n${out}")
  endif()
endforeach()
foreach(probe IN LISTS expect_missing)
  compile(${probe} result out)
  if(NOT result EQUAL 0 AND out MATCHES "No such file or directory|file not found")
    message(STATUS "${WHAT}: ${probe} fails, its include is not reachable")
  elseif(result EQUAL 0)
    message(SEND_ERROR "${WHAT}: ${probe} compiles, but its include must not be reachable")
  else()
    message(SEND_ERROR "${WHAT}: ${probe} fails for another reason than a missing include:\n${out}")
  endif()
endforeach()
