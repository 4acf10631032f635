# The core's source files, listed once for the three projects that compile
# them: the native build (CMakeLists.txt), the page's WebAssembly module
# (web/module/CMakeLists.txt) and the fuzz targets (tests/fuzz/CMakeLists.txt).
#   include(path/to/cmake/CoreSources.cmake)
#   munemoji_core_sources(SYSTEM OUT_VAR)   SYSTEM: posix, win32 or wasm
# gives the absolute paths of the core's files for that system.

set(MUNEMOJI_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
cmake_path(NORMAL_PATH MUNEMOJI_ROOT)

# The file format, its texts and the output formats: every system.
set(MUNEMOJI_CORE_PORTABLE
  format/mnrFormat.cpp
  format/Unscramble.cpp
  format/GenreText.cpp
  format/OutputFormats.cpp
  format/XlsxOutput.cpp
  format/ZipWriter.cpp
  format/Crc32.cpp
  format/ProblemFileWriter.cpp
  format/Base64.cpp
  format/HiddenBytes.cpp
  platform/IoError.cpp
  platform/CodePage.cpp)  # CP932: the tables every build compiles in
# Files, folders and paths: the systems with a file system of their own.
set(MUNEMOJI_CORE_FILES
  format/LoadFromFile.cpp
  format/GenreExport.cpp
  path/PathText.cpp
  path/SplitFilePath.cpp
  platform/FileServices.cpp
  platform/ReplacementFile.cpp
  platform/FaultInjection.cpp)
set(MUNEMOJI_CORE_posix
  ${MUNEMOJI_CORE_PORTABLE} ${MUNEMOJI_CORE_FILES}
  platform/posix/NativeFile.cpp
  platform/posix/ReplacementFile.cpp
  platform/posix/DriveTable.cpp
  platform/posix/Locale.cpp
  platform/posix/Memory.cpp)
set(MUNEMOJI_CORE_win32
  ${MUNEMOJI_CORE_PORTABLE} ${MUNEMOJI_CORE_FILES}
  platform/win32/NativeFile.cpp
  platform/win32/ReplacementFile.cpp
  platform/win32/Locale.cpp
  platform/win32/CodePage.cpp
  platform/win32/Memory.cpp)
# The browser: bytes in memory only.
set(MUNEMOJI_CORE_wasm
  ${MUNEMOJI_CORE_PORTABLE}
  platform/wasm/Memory.cpp)

# The readers of the way back (JSON, CSV, genre text into problem files):
# txt2mnr, the page and the fuzz targets. They use the JSON library, which
# the core does not.
set(MUNEMOJI_IMPORT
  frontend/import/Diagnostics.cpp
  frontend/import/ProblemSetBuilder.cpp
  frontend/import/TextInput.cpp
  frontend/import/JsonInput.cpp
  frontend/import/CsvInput.cpp
  frontend/import/GenreTextInput.cpp)

function(munemoji_import_sources out)
  list(TRANSFORM MUNEMOJI_IMPORT PREPEND ${MUNEMOJI_ROOT}/ OUTPUT_VARIABLE files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

function(munemoji_core_sources system out)
  if(NOT DEFINED MUNEMOJI_CORE_${system})
    message(FATAL_ERROR "munemoji_core_sources: no system '${system}' (posix, win32, wasm)")
  endif()
  list(TRANSFORM MUNEMOJI_CORE_${system} PREPEND ${MUNEMOJI_ROOT}/ OUTPUT_VARIABLE files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
