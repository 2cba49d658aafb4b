# Assembles the Octave package orximaq-VERSION.tar.gz in OUTPUT_DIR:
# DESCRIPTION, INDEX, COPYING, inst/ (the package's functions) and src/ (a
# Makefile and the sources it builds). Run with cmake -P and
# -DSOURCE_DIR= -DOUTPUT_DIR= -DVERSION=.
set(stage ${OUTPUT_DIR}/package-stage/orximaq)
set(here ${SOURCE_DIR}/src/apps/octave)
file(REMOVE_RECURSE ${OUTPUT_DIR}/package-stage)
file(MAKE_DIRECTORY ${stage}/src/tree)
string(TIMESTAMP ORX_PACKAGE_DATE "%Y-%m-%d" UTC)
set(PROJECT_VERSION ${VERSION})
configure_file(${here}/package/DESCRIPTION.in ${stage}/DESCRIPTION @ONLY)
file(COPY ${here}/package/INDEX ${here}/package/COPYING DESTINATION ${stage})
file(COPY ${here}/inst DESTINATION ${stage})
file(COPY ${here}/package/Makefile DESTINATION ${stage}/src)
file(COPY ${SOURCE_DIR}/CMakeLists.txt ${SOURCE_DIR}/cmake ${SOURCE_DIR}/platform DESTINATION ${stage}/src/tree)
file(COPY ${SOURCE_DIR}/src DESTINATION ${stage}/src/tree
     PATTERN "package" EXCLUDE PATTERN "apps/orximaq" EXCLUDE)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${OUTPUT_DIR}/orximaq-${VERSION}.tar.gz orximaq
                WORKING_DIRECTORY ${OUTPUT_DIR}/package-stage RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "packing orximaq-${VERSION}.tar.gz failed")
endif()
file(REMOVE_RECURSE ${OUTPUT_DIR}/package-stage)
