# relaybird_add_module(<name> [NO_CONTRACT_VERSION] <sources>...)
#
# Makes a protocol module: a MODULE library <name>.so (no "lib" prefix), with
# hidden visibility so that only the exports of the contract leave it, built
# with -fno-gnu-unique (a unique symbol would keep the library mapped after
# dlclose) and linked to relaybird_core. It states the contract version of the
# headers it is built with, unless NO_CONTRACT_VERSION is given and the
# module defines GetContractVersion itself. Copy the result into Protocols/
# beside the relaybird executable.
set(_RELAYBIRD_MODULE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(relaybird_add_module name)
  cmake_parse_arguments(ARG "NO_CONTRACT_VERSION" "" "" ${ARGN})
  add_library(${name} MODULE ${ARG_UNPARSED_ARGUMENTS})
  if(NOT ARG_NO_CONTRACT_VERSION)
    target_sources(${name} PRIVATE ${_RELAYBIRD_MODULE_DIR}/module_contract_version.cpp)
  endif()
  if(TARGET Relaybird::relaybird_core)
    target_link_libraries(${name} PRIVATE Relaybird::relaybird_core)
  else()
    target_link_libraries(${name} PRIVATE relaybird_core)
  endif()
  target_compile_options(${name} PRIVATE -fno-gnu-unique)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()
