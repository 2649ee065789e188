# Test programs run under Wine in a prefix of this build folder. CTest starts every test
# executable through wine-run.sh (the cross-compiling emulator), which creates the prefix on
# first use, keeps one wineserver running for the whole test run and, for UI tests, a virtual
# display.

set(HLM_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${HLM_WINE_RUN}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
  @ONLY)

# Only the 64-bit build is run; the 32-bit one needs a 32-bit Wine that this machine lacks.
if(HLM_64BIT)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HLM_WINE_RUN})
  set(HLM_RUN_TESTS ON)
else()
  set(HLM_RUN_TESTS OFF)
endif()
