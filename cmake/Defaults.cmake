# Compile and link settings every Helmora binary gets: Unicode wide APIs, strict warnings,
# hardening, and a statically linked GCC runtime so each file runs on a bare Windows.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(HLM_64BIT ON)
else()
  set(HLM_64BIT OFF)
endif()

add_library(hlm_defaults INTERFACE)
target_compile_definitions(hlm_defaults INTERFACE
  UNICODE _UNICODE NOMINMAX STRICT
  _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
target_compile_options(hlm_defaults INTERFACE
  -Wall -Wextra -Wno-cast-function-type
  -fstack-protector-strong)
target_include_directories(hlm_defaults INTERFACE ${PROJECT_SOURCE_DIR})
target_link_options(hlm_defaults INTERFACE
  -static
  -Wl,--dynamicbase -Wl,--nxcompat
  # ld drops the relocation section of executables by default; ASLR needs it.
  $<IF:$<BOOL:${HLM_64BIT}>,-Wl$<COMMA>--high-entropy-va,-Wl$<COMMA>--large-address-aware>)
# The small runtime every module links instead of parts of GCC's: the stack guard and its
# failure handler (GCC's libssp seeds the guard by loading the system's RSA provider at every
# load of every module), and operator new/delete on the process heap (GCC's pull the exception
# runtime into code built without exceptions).
add_library(hlm_runtime STATIC
  ${PROJECT_SOURCE_DIR}/framework/StackGuard.c
  ${PROJECT_SOURCE_DIR}/framework/NewDelete.cpp)
target_compile_definitions(hlm_runtime PRIVATE UNICODE _UNICODE STRICT _WIN32_WINNT=0x0601)
target_compile_options(hlm_runtime PRIVATE -Wall -Wextra
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
  $<$<COMPILE_LANGUAGE:C>:-fno-stack-protector>)
target_link_libraries(hlm_defaults INTERFACE hlm_runtime)

# Shipped code reports failures by return values and never asks for a type at run time, so
# it is built without exception tables and RTTI; tests keep both for GoogleTest.
add_library(hlm_product INTERFACE)
target_link_libraries(hlm_product INTERFACE hlm_defaults)
target_compile_options(hlm_product INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
  -ffunction-sections -fdata-sections)
# Release files carry no symbols and no unused code.
target_link_options(hlm_product INTERFACE -Wl,--gc-sections $<$<CONFIG:MinSizeRel,Release>:-s>)
# wWinMain / wmain entry points; test programs keep GoogleTest's narrow main.
target_link_options(hlm_product INTERFACE -municode)

function(hlm_executable target)
  target_link_libraries(${target} PRIVATE hlm_product)
endfunction()

# DLLs keep their file names as given ("TavDLL.dll", not "libTavDLL.dll").
function(hlm_library target)
  target_link_libraries(${target} PRIVATE hlm_product)
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
endfunction()
