# The browser build, with Emscripten (scripts/build-web): WebGL under
# Emscripten's legacy GL emulation, which the compiler links by itself; GL
# and GLU are names only here. The compile flags of CompilerFlags.cmake
# (no fused multiply-adds among them) hold here as everywhere.
foreach(gl_target OpenGL::GL OpenGL::GLU OpenGL::OpenGL OpenGL::EGL)
  add_library(${gl_target} INTERFACE IMPORTED)
endforeach()
set(OpenGL_FOUND TRUE)
set(OPENGL_FOUND TRUE)
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/web)
