# Shared part of the two MinGW-w64 toolchain files. Debian ships a win32 and a posix thread
# flavour of each compiler; we use the win32 one (Win32 threads, no winpthread dependency).
set(CMAKE_C_COMPILER ${HLM_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${HLM_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${HLM_TRIPLE}-windres)
set(CMAKE_MC_COMPILER ${HLM_TRIPLE}-windmc)
set(CMAKE_FIND_ROOT_PATH /usr/${HLM_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
