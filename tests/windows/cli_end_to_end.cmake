# The command-line host end to end on the target system: discovery, a property
# written and read back, a short acquisition written as PNG files, and one bad
# input. Every program starts through EMULATOR (Wine when cross-compiled).
#   cmake -DEMULATOR=... -DCLI=orximaq.exe -DWORK_DIR=... -P cli_end_to_end.cmake
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
cmake_minimum_required(VERSION 3.25)
set(device "ORX Colour 2448")
set(format "RGB24 (640x480)")

# Runs the host with the given arguments; sets <prefix>_out, <prefix>_err, <prefix>_rc.
function(run_cli prefix)
  execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 120)
  set(${prefix}_out "${out}" PARENT_SCOPE)
  set(${prefix}_err "${err}" PARENT_SCOPE)
  set(${prefix}_rc "${rc}" PARENT_SCOPE)
endfunction()

function(expect_success prefix what)
  if(NOT "${${prefix}_rc}" STREQUAL "0")
    message(FATAL_ERROR "${what} failed (${${prefix}_rc}):\n${${prefix}_out}\n${${prefix}_err}")
  endif()
endfunction()

function(expect_equal actual expected what)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: expected \"${expected}\", got \"${actual}\"")
  endif()
endfunction()

# Discovery: the default rig's colour camera comes first, with its formats, and
# the module the host loaded is the Windows one.
run_cli(devices devices --json)
expect_success(devices "orximaq devices --json")
string(JSON adaptor GET "${devices_out}" adaptor)
if(NOT adaptor MATCHES "ORXImaq\\.dll$")
  message(FATAL_ERROR "the host loaded \"${adaptor}\", not ORXImaq.dll")
endif()
string(JSON device_count LENGTH "${devices_out}" devices)
if(device_count LESS 2)
  message(FATAL_ERROR "expected several devices, got ${device_count}:\n${devices_out}")
endif()
string(JSON first_name GET "${devices_out}" devices 0 name)
expect_equal("${first_name}" "${device}" "first device")
string(JSON first_format GET "${devices_out}" devices 0 formats 0 name)
expect_equal("${first_format}" "${format}" "first format")

# A property written through the host is read back through the adaptor.
run_cli(properties properties "${device}" "${format}" --set Brightness=300 --json)
expect_success(properties "orximaq properties --set Brightness=300")
string(JSON property_count LENGTH "${properties_out}" properties)
set(brightness "")
math(EXPR last "${property_count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${properties_out}" properties ${i} name)
  if(name STREQUAL "Brightness")
    string(JSON brightness GET "${properties_out}" properties ${i} value)
  endif()
  if(name STREQUAL "SerialNo")
    string(JSON serial_type GET "${properties_out}" properties ${i} type)
    expect_equal("${serial_type}" "integer" "SerialNo type")
  endif()
endforeach()
expect_equal("${brightness}" "300" "Brightness after --set")

# An acquisition of a few frames, each written as a PNG file.
set(frames_dir ${WORK_DIR}/frames)
file(REMOVE_RECURSE ${frames_dir})
run_cli(acquire acquire "${device}" "${format}" -n 3 -o ${frames_dir} --json)
expect_success(acquire "orximaq acquire -n 3")
string(JSON frames GET "${acquire_out}" frames received)
expect_equal("${frames}" "3" "frames received")
file(GLOB pngs ${frames_dir}/*.png)
list(LENGTH pngs png_count)
expect_equal("${png_count}" "3" "PNG files written")
list(GET pngs 0 first_png)
file(READ ${first_png} signature LIMIT 8 HEX)
expect_equal("${signature}" "89504e470d0a1a0a" "PNG signature")

# Bad input: one error line and a non-zero exit, never a crash.
run_cli(unknown properties "No Such Camera" --json)
if("${unknown_rc}" STREQUAL "0" OR NOT "${unknown_rc}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "an unknown device gave \"${unknown_rc}\":\n${unknown_err}")
endif()
if(NOT unknown_err MATCHES "orximaq: error: ")
  message(FATAL_ERROR "an unknown device gave no error line:\n${unknown_err}")
endif()
message(STATUS "orximaq end to end: ${device_count} devices, Brightness ${brightness}, ${png_count} frames")
