# cmake -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=... -DEXAMPLES_DIR=...
#       -DGENERATOR=... -P build_examples.cmake
# Installs the build tree into PREFIX (emptied first) and builds the examples
# against that installation only.
file(REMOVE_RECURSE ${PREFIX} ${EXAMPLES_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${EXAMPLES_DIR} -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${EXAMPLES_DIR} COMMAND_ERROR_IS_FATAL ANY)

# Nothing but the installation may serve the examples: no include path into
# the source tree.
get_filename_component(SOURCE_TREE ${SOURCE_DIR} DIRECTORY)
file(READ ${EXAMPLES_DIR}/compile_commands.json COMMANDS)
string(FIND "${COMMANDS}" "${SOURCE_TREE}/include" PUBLIC_HEADERS)
string(FIND "${COMMANDS}" "${SOURCE_TREE} " INTERNAL_HEADERS)
if(NOT PUBLIC_HEADERS EQUAL -1 OR NOT INTERNAL_HEADERS EQUAL -1)
  message(FATAL_ERROR "the examples were compiled with headers of the source tree ${SOURCE_TREE}")
endif()
