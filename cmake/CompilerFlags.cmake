# Rounding is part of the program's output: the geometry must come out the
# same to the last bit everywhere. Never fuse multiply-adds, never relax IEEE
# semantics, never flush denormals (keys can drive values down to them).
add_compile_options(-ffp-contract=off -fno-fast-math)
# x87 arithmetic would keep excess precision; SSE2 rounds every operation.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$" AND NOT EMSCRIPTEN)  # wasm has no x87
  add_compile_options(-msse2 -mfpmath=sse)
endif()

add_compile_options(-Wall -Wextra -Wshadow)
if(TUNNEL_WERROR)
  add_compile_options(-Werror)
endif()

if(TUNNEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# In the geometry every narrowing to float is a rounding step that must be
# deliberate, so the core spells each one out and the compiler checks it.
set(TUNNEL_STRICT_FLOAT_WARNINGS -Wconversion -Wfloat-conversion -Wno-sign-conversion)
