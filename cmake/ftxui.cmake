# FTXUI 6.1.9: an installed package when there is one, else built from the
# pinned source archive that scripts/setup caches.
set(PLIMSY_FTXUI_SHA256
    45819c1e54914783d4a1ca5633885035d74146778a1f74e1213cdb7b76340e71)
set(PLIMSY_FTXUI_ARCHIVE
    "${CMAKE_CURRENT_SOURCE_DIR}/.cache/ftxui_6.1.9.orig.tar.gz"
    CACHE FILEPATH "Source archive of FTXUI 6.1.9")

find_package(ftxui 6.1.9 EXACT CONFIG QUIET)
if(ftxui_FOUND)
  message(STATUS "Using installed FTXUI ${ftxui_VERSION}")
else()
  include(FetchContent)
  if(EXISTS "${PLIMSY_FTXUI_ARCHIVE}")
    message(STATUS "Building FTXUI from ${PLIMSY_FTXUI_ARCHIVE}")
    FetchContent_Declare(ftxui
      URL "file://${PLIMSY_FTXUI_ARCHIVE}"
      URL_HASH SHA256=${PLIMSY_FTXUI_SHA256}
      DOWNLOAD_EXTRACT_TIMESTAMP TRUE)
  else()
    message(STATUS "No FTXUI archive; fetching the upstream v6.1.9 tag")
    FetchContent_Declare(ftxui
      GIT_REPOSITORY https://github.com/ArthurSonzogni/FTXUI
      GIT_TAG v6.1.9
      GIT_SHALLOW TRUE)
  endif()
  set(FTXUI_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
  set(FTXUI_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
  set(FTXUI_BUILD_TESTS OFF CACHE BOOL "" FORCE)
  set(FTXUI_BUILD_DOCS OFF CACHE BOOL "" FORCE)
  set(FTXUI_QUIET ON CACHE BOOL "" FORCE)
  FetchContent_MakeAvailable(ftxui)
endif()
