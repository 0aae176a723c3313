# find_package(Relaybird): the relaybird_core library module authors link,
# the public headers, and relaybird_add_module().
include(CMakeFindDependencyMacro)
find_dependency(Threads)
include(${CMAKE_CURRENT_LIST_DIR}/RelaybirdTargets.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/RelaybirdModule.cmake)
