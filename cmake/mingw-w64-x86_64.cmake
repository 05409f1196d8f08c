# Cross-compiling the native Windows build with MinGW-w64 (64-bit, posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUADRILL_MINGW_TRIPLE x86_64-w64-mingw32)

# Debian ships a win32 and a posix thread model of each compiler; the posix one
# gives std::thread and friends, so prefer it when it is there.
find_program(QUADRILL_MINGW_CXX NAMES ${QUADRILL_MINGW_TRIPLE}-g++-posix ${QUADRILL_MINGW_TRIPLE}-g++ REQUIRED)
find_program(QUADRILL_MINGW_CC NAMES ${QUADRILL_MINGW_TRIPLE}-gcc-posix ${QUADRILL_MINGW_TRIPLE}-gcc REQUIRED)
find_program(QUADRILL_MINGW_RC NAMES ${QUADRILL_MINGW_TRIPLE}-windres)

set(CMAKE_C_COMPILER ${QUADRILL_MINGW_CC})
set(CMAKE_CXX_COMPILER ${QUADRILL_MINGW_CXX})
if(QUADRILL_MINGW_RC)
  set(CMAKE_RC_COMPILER ${QUADRILL_MINGW_RC})
endif()

# Headers and libraries come from the MinGW sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUADRILL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The posix thread model pulls in libwinpthread-1.dll; link it statically so the
# exe needs only system DLLs and the DirectX runtime.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
