# Emscripten brings GL itself: the targets are made in cmake/Web.cmake.
set(OpenGL_FOUND TRUE)
set(OPENGL_FOUND TRUE)
