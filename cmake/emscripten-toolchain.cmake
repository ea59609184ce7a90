# The Emscripten that builds the page: the one in $EMSCRIPTEN when that names an
# Emscripten folder (an SDK of one's own, say), Debian's otherwise. The page was
# written against Debian 12's; web/CMakeLists.txt warns when another builds it.
if(DEFINED ENV{EMSCRIPTEN} AND EXISTS "$ENV{EMSCRIPTEN}/cmake/Modules/Platform/Emscripten.cmake")
  set(PL_EMSCRIPTEN_ROOT "$ENV{EMSCRIPTEN}")
else()
  set(PL_EMSCRIPTEN_ROOT /usr/share/emscripten)
endif()
include("${PL_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
