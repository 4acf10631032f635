# The core: the file format, its texts and the output formats on every
# system; files, folders and paths where there is a file system (not in the
# browser); one backend per system. The readers of the way back are
# frontend/import's.

set(format_sources
  format/mnrFormat.cpp
  format/ProblemReader.cpp
  format/Unscramble.cpp
  format/GenreText.cpp
  format/OutputFormats.cpp
  format/XlsxOutput.cpp
  format/ZipWriter.cpp
  format/Crc32.cpp
  format/ProblemFileWriter.cpp
  format/Base64.cpp
  format/HiddenBytes.cpp
  path/PathText.cpp
  platform/IoError.cpp
  platform/CodePage.cpp)  # CP932: the tables every build compiles in
set(file_sources
  format/LoadFromFile.cpp
  format/GenreExport.cpp
  path/SplitFilePath.cpp
  platform/FileServices.cpp
  platform/ReplacementFile.cpp
  platform/FaultInjection.cpp)
if(EMSCRIPTEN)
  # The browser: bytes in memory only; no double-byte code page.
  set(core_sources ${format_sources} platform/posix/Locale.cpp)
elseif(WIN32)
  set(core_sources ${format_sources} ${file_sources}
    platform/win32/NativeFile.cpp
    platform/win32/ReplacementFile.cpp
    platform/win32/Locale.cpp
    platform/win32/CodePage.cpp)
else()
  set(core_sources ${format_sources} ${file_sources}
    platform/posix/NativeFile.cpp
    platform/posix/ReplacementFile.cpp
    platform/posix/DriveTable.cpp
    platform/posix/Locale.cpp)
endif()
add_library(munemoji_core STATIC ${core_sources})
target_include_directories(munemoji_core PUBLIC ${PROJECT_SOURCE_DIR})
