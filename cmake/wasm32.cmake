# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later

# The browser's build: the logic as a bare WebAssembly module, compiled by Debian's clang and
# linked by its lld, with no C or C++ library; the WASI sysroot lends only its headers.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr)
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions -fno-rtti -fvisibility=hidden")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib -Wl,--no-entry -Wl,--strip-all")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_AR llvm-ar-14)
set(CMAKE_RANLIB llvm-ranlib-14)
